// Runs the built window program on the offscreen platform with its own configuration and
// runtime folders, and asks it to end with a signal at a chosen moment of its start.
#pragma once

#include "tests/support/StateWait.h"

#include <QProcess>
#include <QString>

// When the signal is sent: as soon as start-up has made the data folder (the window has not
// loaded the settings yet, unless this machine held the test back for the half second before
// init), or once the window has reported that it loaded them.
enum class TSignalMoment { AtStartUp, AfterLoading };

struct TProgramEnd {
    bool started = false;
    bool finished = false;
    // The window reported "loaded" before it ended.
    bool loaded = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    // From the signal to the end of the process.
    qint64 millisecondsToEnd = -1;
};

// Starts the program with XDG_CONFIG_HOME = configHome and XDG_RUNTIME_DIR = runtimeFolder,
// waits for the moment, sends signal and waits for the end. arguments go to the program.
TProgramEnd RunProgramUntilSignal(const QString& configHome, const QString& runtimeFolder, TSignalMoment moment,
                                  int signal, const QStringList& arguments = {});

// The same with the environment's entries added to this process's, in workingFolder, with
// dataFolder as the data folder that start-up makes.
TProgramEnd RunProgramUntilSignal(const QProcessEnvironment& extra, const QString& workingFolder,
                                  const QString& dataFolder, TSignalMoment moment, int signal,
                                  const QStringList& arguments = {});
