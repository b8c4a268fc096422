#include "tests/gui/ProgramRun.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <csignal>

TProgramEnd RunProgramUntilSignal(const QString& configHome, const QString& runtimeFolder, int millisecondsBeforeSignal,
                                  int signal, const QStringList& arguments) {
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    extra.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    return RunProgramUntilSignal(extra, QString(), configHome + QStringLiteral("/quviro"), millisecondsBeforeSignal,
                                 signal, arguments);
}

TProgramEnd RunProgramUntilSignal(const QProcessEnvironment& extra, const QString& workingFolder,
                                  const QString& dataFolder, int millisecondsBeforeSignal, int signal,
                                  const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(extra);

    TProgramEnd end;
    QProcess program;
    program.setProcessEnvironment(environment);
    if (!workingFolder.isEmpty())
        program.setWorkingDirectory(workingFolder);
    program.start(QStringLiteral(QUVIRO_PROGRAM), arguments);
    end.started = program.waitForStarted(10000);
    if (!end.started)
        return end;
    // Start-up creates the data folder (or finds something in its place) before the window.
    for (int waited = 0; !QFileInfo::exists(dataFolder) && waited < 10000; waited += 20)
        QThread::msleep(20);
    QThread::msleep(static_cast<unsigned long>(millisecondsBeforeSignal));
    QElapsedTimer clock;
    clock.start();
    ::kill(static_cast<pid_t>(program.processId()), signal);
    end.finished = program.waitForFinished(10000);
    end.millisecondsToEnd = clock.elapsed();
    if (!end.finished)
        program.kill();
    end.status = program.exitStatus();
    end.code = program.exitCode();
    return end;
}
