// Runs the built window program on the offscreen platform with its own configuration and
// runtime folders, and asks it to end with a signal after a while.
#pragma once

#include <QProcess>
#include <QString>

struct TProgramEnd {
    bool started = false;
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    // From the signal to the end of the process.
    qint64 millisecondsToEnd = -1;
};

// Starts the program with XDG_CONFIG_HOME = configHome and XDG_RUNTIME_DIR = runtimeFolder,
// waits until start-up has run (the data folder path exists, or 10 s), then
// millisecondsBeforeSignal more, sends signal and waits up to 10 s for the end. arguments go
// to the program.
TProgramEnd RunProgramUntilSignal(const QString& configHome, const QString& runtimeFolder, int millisecondsBeforeSignal,
                                  int signal, const QStringList& arguments = {});

// The same with the environment's entries added to this process's, in workingFolder, waiting
// for dataFolder to exist.
TProgramEnd RunProgramUntilSignal(const QProcessEnvironment& extra, const QString& workingFolder,
                                  const QString& dataFolder, int millisecondsBeforeSignal, int signal,
                                  const QStringList& arguments = {});
