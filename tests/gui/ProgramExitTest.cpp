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
    TSignalMoment moment;
};

const ExitCase ExitCases[] = {
    {"SIGTERM after loading", SIGTERM, TSignalMoment::AfterLoading},
    {"SIGINT after loading", SIGINT, TSignalMoment::AfterLoading},
    {"SIGHUP after loading", SIGHUP, TSignalMoment::AfterLoading},
    {"SIGTERM before loading", SIGTERM, TSignalMoment::AtStartUp},
};

// A signal at start-up arrives before the window loads, unless the machine held this test
// back for the half second before init; such a run is tried again, since it shows nothing of
// the close before loading.
constexpr int StartUpAttempts = 5;

TEST(ProgramExitTest, ATerminationSignalClosesTheWindowLikeTheUser) {
    for (const ExitCase& c : ExitCases) {
        SCOPED_TRACE(c.name);
        const bool afterLoading = c.moment == TSignalMoment::AfterLoading;
        for (int attempt = 1; attempt <= (afterLoading ? 1 : StartUpAttempts); ++attempt) {
            QTemporaryDir home;
            ASSERT_TRUE(home.isValid());
            const QString configHome = home.filePath(QStringLiteral("config"));
            const TProgramEnd end = RunProgramUntilSignal(configHome, home.path(), c.moment, c.signal);
            ASSERT_TRUE(end.started && end.finished);
            EXPECT_EQ(end.status, QProcess::NormalExit);
            EXPECT_EQ(end.code, 0);
            if (!afterLoading && end.loaded && attempt < StartUpAttempts)
                continue;
            EXPECT_EQ(end.loaded, afterLoading);
            const QString folder = configHome + QStringLiteral("/quviro/");
            EXPECT_EQ(QFile::exists(folder + QStringLiteral("DataSet_SYSTEMCONFIG.dblst")), end.loaded);
            EXPECT_EQ(QFile::exists(folder + QStringLiteral("DataSet_SALTITEMS.dblst")), end.loaded);
            if (end.loaded) {
                QFile config(folder + QStringLiteral("DataSet_SYSTEMCONFIG.dblst"));
                ASSERT_TRUE(config.open(QIODevice::ReadOnly));
                EXPECT_TRUE(config.readAll().contains("INPUTTYPE=1\r\n")) << "the first-run choices are stored";
            }
            break;
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
    // init starts the hash before it reports the window loaded.
    const TProgramEnd end =
        RunProgramUntilSignal(configHome, home.path(), TSignalMoment::AfterLoading, SIGTERM, {large});
    ASSERT_TRUE(end.started && end.finished) << "still hashing a minute after the signal";
    EXPECT_TRUE(end.loaded);
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
