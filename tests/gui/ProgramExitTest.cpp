// The window program asked to end by a signal closes its window as the user would: the
// settings are saved once the window has loaded them, and never before.
#include "tests/gui/ProgramRun.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

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
        const QString configHome = home.filePath(QStringLiteral("config"));
        const TProgramEnd end = RunProgramUntilSignal(configHome, home.path(), c.millisecondsBeforeSignal, c.signal);
        ASSERT_TRUE(end.started && end.finished);
        EXPECT_EQ(end.status, QProcess::NormalExit);
        EXPECT_EQ(end.code, 0);
        const QString folder = configHome + QStringLiteral("/quviro/");
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
