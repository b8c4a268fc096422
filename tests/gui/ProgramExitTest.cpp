// The window program asked to end by a signal closes its window as the user would: the
// settings are saved once the window has loaded them, and never before.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace {

struct ExitCase {
    const char* name;
    int signal;
    int millisecondsBeforeSignal;
    bool settingsSaved;
};

const ExitCase ExitCases[] = {
    {"SIGTERM after loading", SIGTERM, 2000, true},
    {"SIGINT after loading", SIGINT, 2000, true},
    {"SIGHUP after loading", SIGHUP, 2000, true},
    // Within the first half second the window holds nothing of the stored settings yet.
    {"SIGTERM before loading", SIGTERM, 0, false},
};

TEST(ProgramExitTest, ATerminationSignalClosesTheWindowLikeTheUser) {
    for (const ExitCase& c : ExitCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());

        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUVIRO_PROGRAM), {});
        ASSERT_TRUE(program.waitForStarted(10000));
        const QString folder = home.filePath(QStringLiteral("config/quviro/"));
        // Start-up creates the data folder before the window exists.
        for (int waited = 0; !QFile::exists(folder) && waited < 10000; waited += 20)
            QThread::msleep(20);
        QThread::msleep(static_cast<unsigned long>(c.millisecondsBeforeSignal));
        ::kill(static_cast<pid_t>(program.processId()), c.signal);

        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_EQ(QFile::exists(folder + QStringLiteral("DataSet_SYSTEMCONFIG.dblst")), c.settingsSaved);
        EXPECT_EQ(QFile::exists(folder + QStringLiteral("DataSet_SALTITEMS.dblst")), c.settingsSaved);
        if (c.settingsSaved) {
            QFile config(folder + QStringLiteral("DataSet_SYSTEMCONFIG.dblst"));
            ASSERT_TRUE(config.open(QIODevice::ReadOnly));
            EXPECT_TRUE(config.readAll().contains("INPUTTYPE=1\r\n")) << "the first-run choices are stored";
        }
    }
}

} // namespace
