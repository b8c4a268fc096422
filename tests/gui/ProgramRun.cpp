#include "tests/gui/ProgramRun.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <csignal>

namespace {

// The line the window writes on standard error once it has loaded the settings, with the
// logging category it belongs to turned on.
constexpr char LoadedLine[] = "quviro.window: loaded\n";

bool WaitForDataFolder(const QString& dataFolder) {
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo::exists(dataFolder)) {
        if (clock.elapsed() > StateWaitMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// Reads standard error into errors until it holds the loaded line or the program ends.
bool WaitForLoaded(QProcess& program, QByteArray& errors) {
    QElapsedTimer clock;
    clock.start();
    while (!errors.contains(LoadedLine)) {
        if (program.state() != QProcess::Running || clock.elapsed() > StateWaitMs)
            return false;
        program.waitForReadyRead(100);
        errors += program.readAllStandardError();
    }
    return true;
}

} // namespace

TProgramEnd RunProgramUntilSignal(const QString& configHome, const QString& runtimeFolder, TSignalMoment moment,
                                  int signal, const QStringList& arguments) {
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    extra.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    return RunProgramUntilSignal(extra, QString(), configHome + QStringLiteral("/quviro"), moment, signal, arguments);
}

TProgramEnd RunProgramUntilSignal(const QProcessEnvironment& extra, const QString& workingFolder,
                                  const QString& dataFolder, TSignalMoment moment, int signal,
                                  const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The window's report of its loading, on standard error as "category: message" whatever
    // the session's logging set-up.
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quviro.window.info=true"));
    environment.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{category}: %{message}"));
    environment.insert(extra);

    TProgramEnd end;
    QProcess program;
    program.setProcessEnvironment(environment);
    if (!workingFolder.isEmpty())
        program.setWorkingDirectory(workingFolder);
    program.start(QStringLiteral(QUVIRO_PROGRAM), arguments);
    end.started = program.waitForStarted(StateWaitMs);
    if (!end.started)
        return end;
    QByteArray errors;
    // Start-up creates the data folder (or finds something in its place) before the window;
    // the signal handler is in place by then.
    const bool reached =
        moment == TSignalMoment::AtStartUp ? WaitForDataFolder(dataFolder) : WaitForLoaded(program, errors);
    QElapsedTimer clock;
    clock.start();
    if (reached && program.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(program.processId()), signal);
    end.finished = program.waitForFinished(StateWaitMs);
    end.millisecondsToEnd = clock.elapsed();
    if (!end.finished) {
        program.kill();
        program.waitForFinished(StateWaitMs);
    }
    errors += program.readAllStandardError();
    end.loaded = errors.contains(LoadedLine);
    end.status = program.exitStatus();
    end.code = program.exitCode();
    return end;
}
