// The window program started over a damaged or hostile settings folder: it comes up, closes
// normally when asked, and writes nothing outside its data folder.
#include "tests/gui/ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

struct HostileCase {
    const char* name;
    // Prepares the data folder's path `data` (nothing is there yet); `outside` is a file beside it.
    std::function<void(const QString& data, const QString& outside)> prepare;
    // The algorithm line the run stores at the end in a regular file of its own, or nullptr
    // when nothing can be stored there: "HASHTYPE=1" is the default shown, "HASHTYPE=0" the
    // choice read through a link.
    const char* storedHashType;
};

QString Store(const QString& data) {
    return data + QStringLiteral("/DataSet_SYSTEMCONFIG.dblst");
}

const HostileCase HostileCases[] = {
    {"data folder is a file", [](const QString& data, const QString&) { Write(data, "not a folder"); }, nullptr},
    {"binary store",
     [](const QString& data, const QString&) {
         QDir().mkpath(data);
         Write(Store(data), QByteArray("\x01\x02\xC3\x28\xFF\x00HASHTYPE=0\r\n", 18));
     },
     "HASHTYPE=1\r\n"},
    {"store linked to a file elsewhere",
     [](const QString& data, const QString& outside) {
         QDir().mkpath(data);
         ::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(Store(data)).constData());
     },
     "HASHTYPE=0\r\n"},
    {"store is a FIFO",
     [](const QString& data, const QString&) {
         QDir().mkpath(data);
         ::mkfifo(QFile::encodeName(Store(data)).constData(), 0600);
     },
     "HASHTYPE=1\r\n"},
    {"store is a folder", [](const QString& data, const QString&) { QDir().mkpath(Store(data)); }, nullptr},
    {"huge sparse store",
     [](const QString& data, const QString&) {
         QDir().mkpath(data);
         QFile file(Store(data));
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         ASSERT_TRUE(file.resize(qint64(200) << 20));
     },
     "HASHTYPE=1\r\n"},
    {"input text with a truncated UTF-16 mark",
     [](const QString& data, const QString&) {
         QDir().mkpath(data);
         Write(data + QStringLiteral("/DataSet_INPUTTEXT.dblst"), "\xFE");
     },
     "HASHTYPE=1\r\n"},
};

TEST(HostileStartTest, TheProgramStartsAndClosesOverAnySettingsFolder) {
    for (const HostileCase& c : HostileCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        const QString configHome = home.filePath(QStringLiteral("config"));
        ASSERT_TRUE(QDir().mkpath(configHome));
        const QString data = configHome + QStringLiteral("/quviro");
        const QString outside = home.filePath(QStringLiteral("outside.txt"));
        Write(outside, "HASHTYPE=0\r\n");
        c.prepare(data, outside);

        const TProgramEnd end = RunProgramUntilSignal(configHome, home.path(), 2000, SIGTERM);
        ASSERT_TRUE(end.started && end.finished) << "the program starts and does not hang";
        EXPECT_EQ(end.status, QProcess::NormalExit);
        EXPECT_EQ(end.code, 0);
        EXPECT_EQ(Read(outside), QByteArray("HASHTYPE=0\r\n")) << "nothing is written outside the data folder";
        const QFileInfo stored(Store(data));
        EXPECT_EQ(stored.isFile() && !stored.isSymLink(), c.storedHashType != nullptr);
        if (c.storedHashType != nullptr) {
            EXPECT_TRUE(Read(Store(data)).contains(c.storedHashType)) << "expected " << c.storedHashType;
        }
    }
}

} // namespace
