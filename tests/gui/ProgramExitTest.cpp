// The window program asked to end by a signal closes its window as the user would: the
// settings are saved once the window has loaded them, and never before.
#include "tests/gui/ProgramRun.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>

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

// A close in the middle of a long hash (a sparse file of 64 GiB: a minute of hashing) stops
// the hash and saves the settings like any other close.
TEST(ProgramExitTest, AClosingWindowStopsARunningHash) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString large = home.filePath(QStringLiteral("large.img"));
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(64) << 30));
    file.close();
    const QString configHome = home.filePath(QStringLiteral("config"));
    // init runs half a second after start, and the hash with it.
    const TProgramEnd end = RunProgramUntilSignal(configHome, home.path(), 2000, SIGTERM, {large});
    ASSERT_TRUE(end.started && end.finished) << "still hashing after 10 s";
    EXPECT_EQ(end.status, QProcess::NormalExit);
    EXPECT_EQ(end.code, 0);
    std::printf("ended %lld ms after the signal\n", static_cast<long long>(end.millisecondsToEnd));
    const QString folder = configHome + QStringLiteral("/quviro/");
    QFile config(folder + QStringLiteral("DataSet_SYSTEMCONFIG.dblst"));
    ASSERT_TRUE(config.open(QIODevice::ReadOnly));
    EXPECT_TRUE(config.readAll().contains("INPUTTYPE=0\r\n")) << "the file name input type is stored";
    QFile input(folder + QStringLiteral("DataSet_INPUTTEXT.dblst"));
    ASSERT_TRUE(input.open(QIODevice::ReadOnly));
    EXPECT_EQ(input.readAll(), large.toUtf8());
}

} // namespace
