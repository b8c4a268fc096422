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

// What stands at path: its type, and a regular file's size.
QString Describe(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("link");
    if (info.isFile())
        return QStringLiteral("file of ") + QString::number(info.size());
    return info.exists() ? (info.isDir() ? QStringLiteral("folder") : QStringLiteral("other")) : QStringLiteral("none");
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
    // when the store's place stays as it was (nothing can be stored there, or a file that was
    // there did not load and is not written over): "HASHTYPE=1" is the default shown,
    // "HASHTYPE=0" the choice read through a link.
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
     nullptr},
    {"store is a folder", [](const QString& data, const QString&) { QDir().mkpath(Store(data)); }, nullptr},
    {"huge sparse store",
     [](const QString& data, const QString&) {
         QDir().mkpath(data);
         QFile file(Store(data));
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         ASSERT_TRUE(file.resize(qint64(200) << 20));
     },
     nullptr},
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
        const QString before = Describe(Store(data));

        const TProgramEnd end = RunProgramUntilSignal(configHome, home.path(), TSignalMoment::AfterLoading, SIGTERM);
        ASSERT_TRUE(end.started && end.finished) << "the program starts and does not hang";
        EXPECT_EQ(end.status, QProcess::NormalExit);
        EXPECT_EQ(end.code, 0);
        EXPECT_EQ(Read(outside), QByteArray("HASHTYPE=0\r\n")) << "nothing is written outside the data folder";
        const QFileInfo stored(Store(data));
        if (c.storedHashType != nullptr) {
            EXPECT_TRUE(stored.isFile() && !stored.isSymLink());
            EXPECT_TRUE(Read(Store(data)).contains(c.storedHashType)) << "expected " << c.storedHashType;
        } else {
            EXPECT_EQ(Describe(Store(data)).toStdString(), before.toStdString()) << "the store's place changed";
        }
    }
}

// XDG folders given as relative paths are ignored, as the XDG rules say: the settings go to
// ~/.config, and nothing appears in the folder the program was started from.
TEST(HostileStartTest, RelativeXdgFoldersAreIgnored) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString working = home.filePath(QStringLiteral("working"));
    ASSERT_TRUE(QDir().mkpath(working));
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("HOME"), home.path());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        extra.insert(QString::fromLatin1(name), QStringLiteral("relative"));
    const QString data = home.filePath(QStringLiteral(".config/quviro"));

    const TProgramEnd end = RunProgramUntilSignal(extra, working, data, TSignalMoment::AfterLoading, SIGTERM);
    ASSERT_TRUE(end.started && end.finished);
    EXPECT_EQ(end.status, QProcess::NormalExit);
    EXPECT_EQ(end.code, 0);
    EXPECT_EQ(QDir(working).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_TRUE(QFileInfo(Store(data)).isFile()) << "the settings are kept in ~/.config";
}

} // namespace
