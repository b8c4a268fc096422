// Faults in the middle of a data set save: a full file system, and a process killed at
// random moments while it saves. The file always holds one whole version, old or new.
#include "tools/DataSet.h"
#include "tools/ProcessValues.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// A list of about size bytes whose every line names its version, so that a mix of two
// versions or a cut shows.
TStringList VersionList(char version, int size) {
    TStringList list;
    for (int line = 0; line * 40 < size; ++line)
        list.Add(QStringLiteral("version %1 line %2 ............").arg(QChar(version)).arg(line, 8, 10, QChar(u'0')));
    return list;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class SaveFaultTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        SetDataFolder(m_dir.path() + u'/');
    }
    void TearDown() override { SetDataFolder(QString()); }

    QTemporaryDir m_dir;
};

// A child saves versions A and B of a 1 MiB data set in turn, without end; it is killed with
// SIGKILL at a random moment, many times. After each kill the file is exactly A or exactly B.
TEST_F(SaveFaultTest, KilledSaveLeavesOneWholeVersion) {
    const TStringList a = VersionList('A', 1 << 20);
    const TStringList b = VersionList('B', 1 << 20);
    ASSERT_TRUE(SaveDataSet(a, u"Killed"_qs));
    const QString path = DataSetPath(u"Killed"_qs);
    const QByteArray bytesA = FileBytes(path);
    ASSERT_TRUE(SaveDataSet(b, u"Killed"_qs));
    const QByteArray bytesB = FileBytes(path);

    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> delay(0, 40000);
    constexpr int Kills = 100;
    int seenA = 0;
    int seenB = 0;
    for (int round = 0; round < Kills; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (bool useA = true;; useA = !useA)
                SaveDataSet(useA ? a : b, u"Killed"_qs);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const QByteArray now = FileBytes(path);
        ASSERT_TRUE(now == bytesA || now == bytesB)
            << "after kill " << round << " the file holds " << now.size() << " bytes of neither version";
        (now == bytesA ? seenA : seenB)++;
    }
    // A killed save may leave its temporary file behind, never in place of the data set; the
    // next save of the data set removes what the killed processes left.
    const auto leftovers = [this] {
        return QDir(m_dir.path()).entryList({u"DataSet_KILLED.dblst.*"_qs}, QDir::Files | QDir::Hidden);
    };
    std::printf("%d kills: file held version A %d times, B %d times; %lld temporary files left\n", Kills, seenA, seenB,
                static_cast<long long>(leftovers().size()));
    EXPECT_GT(seenA + seenB, 0);
    ASSERT_TRUE(SaveDataSet(a, u"Killed"_qs));
    EXPECT_EQ(leftovers(), QStringList()) << "the temporary files of killed saves are removed";
    EXPECT_EQ(FileBytes(path), bytesA);
}

// A temporary file is removed only once the process that wrote it has gone: another instance
// may be in the middle of its own save.
TEST_F(SaveFaultTest, OnlyTemporariesOfEndedWritersAreRemoved) {
    const pid_t ended = ::fork();
    ASSERT_GE(ended, 0);
    if (ended == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);

    const QString path = DataSetPath(u"Shared"_qs);
    const QString ofEnded = path + u".tmp"_qs + QString::number(ended) + u"-abcdef"_qs;
    const QString ofLive = path + u".tmp"_qs + QString::number(::getpid()) + u"-abcdef"_qs;
    const QString unrelated = path + u".tmp-notes"_qs;
    for (const QString& name : {ofEnded, ofLive, unrelated}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(SaveDataSet(TStringList(QStringList{u"x"_qs}), u"Shared"_qs));
    EXPECT_FALSE(QFile::exists(ofEnded));
    EXPECT_TRUE(QFile::exists(ofLive));
    EXPECT_TRUE(QFile::exists(unrelated));
}

// On a file system with no room left the save fails and the previous file stays whole; the
// temporary file is removed again.
TEST_F(SaveFaultTest, FullFileSystemKeepsThePreviousFile) {
    const QString mountPoint = m_dir.filePath(u"small"_qs);
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    if (::geteuid() != 0 ||
        ::mount("quviro-test", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=256k,mode=0700") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights); the write-error path is "
                        "covered by the file size limit test of the data set tests";

    SetDataFolder(mountPoint + u'/');
    const TStringList old = VersionList('O', 8 << 10);
    ASSERT_TRUE(SaveDataSet(old, u"Full"_qs));
    const QByteArray oldBytes = FileBytes(DataSetPath(u"Full"_qs));
    {
        // Fill what is left.
        QFile filler(mountPoint + u"/filler"_qs);
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }

    EXPECT_FALSE(SaveDataSet(VersionList('N', 64 << 10), u"Full"_qs));
    EXPECT_EQ(FileBytes(DataSetPath(u"Full"_qs)), oldBytes);
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"DataSet_FULL.dblst"_qs, u"filler"_qs}));
    ::umount(QFile::encodeName(mountPoint).constData());
}

} // namespace
