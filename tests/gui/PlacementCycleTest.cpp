// The window program on a real X server (Xvfb) under a real window manager (Openbox), which
// draws a maximised window with a thinner frame than a normal one: closing while maximised
// and starting again, over and over, must keep the same normal bounds.
#include "tests/gui/ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The stored placement line of the main window, without its line break.
QByteArray PlacementLine(const QString& store) {
    for (const QByteArray& line : ReadFile(store).split('\n'))
        if (line.startsWith("MAINFORM="))
            return line.trimmed();
    return "<no placement stored>";
}

// An X server of its own with Openbox running on it; both end with the object.
class TDesktop {
public:
    explicit TDesktop(const QString& folder) {
        // -displayfd 1: the server picks a free display and writes its number on stdout.
        m_server.start(QStringLiteral("Xvfb"), {u"-displayfd"_qs, u"1"_qs, u"-screen"_qs, u"0"_qs, u"1600x1000x24"_qs,
                                                u"-nolisten"_qs, u"tcp"_qs});
        if (!m_server.waitForStarted(StateWaitMs))
            return;
        QByteArray number;
        QElapsedTimer clock;
        clock.start();
        while (!number.endsWith('\n') && m_server.state() == QProcess::Running && clock.elapsed() < StateWaitMs) {
            m_server.waitForReadyRead(50);
            number += m_server.readAllStandardOutput();
        }
        if (number.trimmed().isEmpty())
            return;
        m_display = u":"_qs + QString::fromLatin1(number.trimmed());

        // Openbox runs its startup command once it manages the screen.
        const QString ready = folder + u"/window-manager-ready"_qs;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DISPLAY"_qs, m_display);
        m_windowManager.setProcessEnvironment(environment);
        m_windowManager.start(QStringLiteral("openbox"), {u"--sm-disable"_qs, u"--startup"_qs, u"touch "_qs + ready});
        if (!m_windowManager.waitForStarted(StateWaitMs))
            return;
        clock.restart();
        while (!QFileInfo::exists(ready) && m_windowManager.state() == QProcess::Running &&
               clock.elapsed() < StateWaitMs)
            QThread::msleep(50);
        m_ready = QFileInfo::exists(ready);
    }
    ~TDesktop() {
        for (QProcess* process : {&m_windowManager, &m_server}) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished(5000);
        }
    }
    TDesktop(const TDesktop&) = delete;
    TDesktop& operator=(const TDesktop&) = delete;

    bool Ready() const { return m_ready && m_windowManager.state() == QProcess::Running; }
    const QString& Display() const { return m_display; }

private:
    QProcess m_server;
    QProcess m_windowManager;
    QString m_display;
    bool m_ready = false;
};

TEST(PlacementCycleTest, MaximisedCloseAndRestartKeepsTheNormalBounds) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    TDesktop desktop(home.path());
    ASSERT_TRUE(desktop.Ready()) << "Xvfb and openbox (scripts/debian-packages) must run; display \""
                                 << desktop.Display().toStdString() << "\"";

    const QString data = home.filePath(u"config/quviro"_qs);
    ASSERT_TRUE(QDir().mkpath(data));
    const QString runtime = home.filePath(u"runtime"_qs);
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString store = data + u"/DataSet_SYSTEMCONFIG.dblst"_qs;
    const QByteArray placement = "MAINFORM=HEIGHT=400; LEFT=100; MONITOR=0; STATE=Maximized; TOP=80; WIDTH=900";
    {
        QFile file(store);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(placement + "\r\n");
    }

    QProcessEnvironment extra;
    extra.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
    extra.insert(u"DISPLAY"_qs, desktop.Display());
    extra.insert(u"XDG_CONFIG_HOME"_qs, home.filePath(u"config"_qs));
    extra.insert(u"XDG_RUNTIME_DIR"_qs, runtime);
    for (int cycle = 1; cycle <= 4; ++cycle) {
        SCOPED_TRACE(testing::Message() << "cycle " << cycle);
        // Started maximised from the store, closed like the user closes it, which stores the
        // placement again.
        const TProgramEnd end = RunProgramUntilSignal(extra, home.path(), data, TSignalMoment::AfterLoading, SIGTERM);
        ASSERT_TRUE(end.started && end.finished);
        ASSERT_EQ(end.status, QProcess::NormalExit);
        ASSERT_EQ(end.code, 0);
        EXPECT_EQ(PlacementLine(store).toStdString(), placement.toStdString());
    }
}

} // namespace
