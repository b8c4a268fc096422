// A hostile settings folder: whatever stands at the place of the SystemConfig file (or of the
// data folder itself), loading the stores never crashes or hangs and gives the defaults where
// nothing usable was read, and writing the store back never touches anything outside the
// folder and leaves no stray file in it. A file that existed but did not load, or that is
// read-only, is never written over. Every case runs as the user running the tests and as an
// unprivileged user (uid 65534 when the tests run as root), since root reads and writes any mode.
#include "tests/support/UnprivilegedRun.h"
#include "tools/ConfigStore.h"
#include "tools/DataSet.h"
#include "tools/ProcessValues.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder layout of a case: <root>/data/ is the data folder, <root>/outside/ holds what
// links may point at and must never change.
struct SettingsPlaces {
    QString data;    // ends in "/"
    QString config;  // the SystemConfig file
    QString outside; // ends in "/"
};

struct HostileSettingsCase {
    const char* name;
    std::function<void(const SettingsPlaces&)> prepare;
    // The stored HASHTYPE=1 is read back (otherwise the default shows).
    bool readsStoredValue;
    // Writing the store succeeds and leaves a regular file with the new value; otherwise the
    // data folder stays exactly as it was.
    bool flushWrites;
    // Only root reads the file (its mode forbids the owner too).
    bool onlyRootReads = false;
    // Writing succeeds where the file was read (for a file that only root reads).
    bool writtenWhereRead = false;
};

void PrintTo(const HostileSettingsCase& c, std::ostream* os) {
    *os << c.name;
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

void Link(const QString& target, const QString& link) {
    if (::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) != 0)
        ADD_FAILURE() << "cannot link " << link.toStdString();
}

QByteArray Binary() {
    QByteArray bytes;
    std::uint32_t x = 7;
    for (int i = 0; i < 100000; ++i) {
        x = x * 1103515245u + 12345u;
        bytes += char(x >> 16);
    }
    return bytes;
}

const HostileSettingsCase HostileSettingsCases[] = {
    {"plain", [](const SettingsPlaces& p) { Write(p.config, "HASHTYPE=1\r\n"); }, true, true},
    {"huge_sparse_file",
     [](const SettingsPlaces& p) {
         QFile file(p.config);
         if (!file.open(QIODevice::WriteOnly) || !file.resize(DataSetMaxFileSize + 1))
             ADD_FAILURE() << "cannot create the sparse file";
     },
     false, false},
    {"binary", [](const SettingsPlaces& p) { Write(p.config, Binary()); }, false, true},
    {"binary_after_the_value", [](const SettingsPlaces& p) { Write(p.config, "HASHTYPE=1\r\n" + Binary()); }, true,
     true},
    {"invalid_utf8_without_mark",
     [](const SettingsPlaces& p) { Write(p.config, "HASHTYPE=1\r\n\xC3\x28\xFF\xFE\r\n"); }, true, true},
    {"invalid_utf8_after_mark",
     [](const SettingsPlaces& p) { Write(p.config, "\xEF\xBB\xBFHASHTYPE=1\r\n\xED\xA0\x80\xC0\r\n"); }, true, true},
    {"invalid_utf16_odd_length_and_lone_surrogates",
     [](const SettingsPlaces& p) {
         // 31 bytes: the last code unit has lost its second byte.
         static const char bytes[] = "\xFF\xFEH\0A\0S\0H\0T\0Y\0P\0E\0=\0"
                                     "1\0\r\0\n\0\x00\xD8\x00\xDC\x00";
         Write(p.config, QByteArray(bytes, sizeof bytes - 1));
     },
     true, true},
    {"truncated_utf8_mark", [](const SettingsPlaces& p) { Write(p.config, "\xEF\xBB"); }, false, true},
    {"lone_byte_of_a_utf16_mark", [](const SettingsPlaces& p) { Write(p.config, "\xFF"); }, false, true},
    {"link_to_a_file_outside",
     [](const SettingsPlaces& p) {
         Write(p.outside + u"elsewhere.txt"_qs, "HASHTYPE=1\r\n");
         Link(p.outside + u"elsewhere.txt"_qs, p.config);
     },
     true, true},
    {"link_to_dev_zero", [](const SettingsPlaces& p) { Link(u"/dev/zero"_qs, p.config); }, false, false},
    {"link_to_a_fifo",
     [](const SettingsPlaces& p) {
         ::mkfifo(QFile::encodeName(p.outside + u"fifo"_qs).constData(), 0600);
         Link(p.outside + u"fifo"_qs, p.config);
     },
     false, false},
    {"fifo", [](const SettingsPlaces& p) { ::mkfifo(QFile::encodeName(p.config).constData(), 0600); }, false, false},
    {"dangling_link", [](const SettingsPlaces& p) { Link(p.outside + u"missing"_qs, p.config); }, false, true},
    {"empty_file", [](const SettingsPlaces& p) { Write(p.config, ""); }, false, true},
    {"read_only_file",
     [](const SettingsPlaces& p) {
         Write(p.config, "HASHTYPE=1\r\n");
         ::chmod(QFile::encodeName(p.config).constData(), 0444);
     },
     true, false},
    {"unreadable_file",
     [](const SettingsPlaces& p) {
         Write(p.config, "HASHTYPE=1\r\n");
         ::chmod(QFile::encodeName(p.config).constData(), 0);
     },
     true, false, true},
    {"unreadable_writable_file",
     [](const SettingsPlaces& p) {
         Write(p.config, "HASHTYPE=1\r\n");
         ::chmod(QFile::encodeName(p.config).constData(), 0200);
     },
     true, false, true, true},
    {"link_to_a_read_only_file_outside",
     [](const SettingsPlaces& p) {
         Write(p.outside + u"read-only.txt"_qs, "HASHTYPE=1\r\n");
         ::chmod(QFile::encodeName(p.outside + u"read-only.txt"_qs).constData(), 0444);
         Link(p.outside + u"read-only.txt"_qs, p.config);
     },
     true, false},
    {"file_is_a_folder", [](const SettingsPlaces& p) { QDir().mkpath(p.config); }, false, false},
    {"data_folder_is_a_file",
     [](const SettingsPlaces& p) {
         QDir(p.data).removeRecursively();
         Write(p.data.chopped(1), "HASHTYPE=1\r\n");
     },
     false, false},
};

// Every entry of folder with what it holds (a link its target, a file its bytes), to show
// that nothing there changed.
QMap<QString, QByteArray> Snapshot(const QString& folder) {
    QMap<QString, QByteArray> entries;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        QFile file(info.filePath());
        const QByteArray mode = " mode " + QByteArray::number(uint(info.permissions()), 16);
        if (info.isSymLink()) {
            entries[info.fileName()] = "link to " + QFile::encodeName(info.symLinkTarget());
        } else if (info.isFile()) {
            QCryptographicHash hash(QCryptographicHash::Sha256);
            const bool read = file.open(QIODevice::ReadOnly) && hash.addData(&file);
            entries[info.fileName()] = "file of " + QByteArray::number(info.size()) + mode + " " +
                                       (read ? hash.result().toHex() : QByteArray("unreadable"));
        } else {
            entries[info.fileName()] = (info.isDir() ? "folder" : "other") + mode;
        }
    }
    return entries;
}

class HostileSettingsTest : public testing::TestWithParam<HostileSettingsCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_places = {m_root.filePath(u"data/"_qs), QString(), m_root.filePath(u"outside/"_qs)};
        ASSERT_TRUE(QDir().mkpath(m_places.data));
        ASSERT_TRUE(QDir().mkpath(m_places.outside));
        SetDataFolder(m_places.data);
        m_places.config = DataSetPath(u"SystemConfig"_qs);
    }
    void TearDown() override {
        DestroyStoreLists();
        SetDataFolder(QString());
    }

    // Prepares the case, loads the stores, changes and flushes the config store, and checks it
    // all, as whoever runs it.
    void RunCase(bool privileged) {
        const HostileSettingsCase& c = GetParam();
        c.prepare(m_places);
        const QMap<QString, QByteArray> outside = Snapshot(m_places.outside);
        const QMap<QString, QByteArray> root = Snapshot(m_root.path());
        const QMap<QString, QByteArray> data = Snapshot(m_places.data);

        CreateStoreLists();
        LoadStores();
        const bool reads = c.readsStoredValue && (!c.onlyRootReads || privileged);
        EXPECT_EQ(ConfigGetInt(u"HashType"_qs, 2, 0, 2), reads ? 1 : 2);
        EXPECT_EQ(ConfigGetValue(u"Missing"_qs, u"default"_qs), u"default"_qs);

        ConfigSetValue(u"InputType"_qs, u"3"_qs);
        FlushConfig();

        EXPECT_EQ(Snapshot(m_places.outside), outside) << "something outside the data folder changed";
        if (!QFileInfo(m_places.data).isDir()) {
            EXPECT_EQ(Snapshot(m_root.path()), root) << "a data folder that is a file changed";
            return;
        }
        if (c.flushWrites || (c.writtenWhereRead && reads)) {
            const QFileInfo config(m_places.config);
            ASSERT_TRUE(config.isFile() && !config.isSymLink());
            TStringList reread;
            ASSERT_TRUE(LoadDataSet(reread, u"SystemConfig"_qs));
            EXPECT_TRUE(reread.Text().contains(u"INPUTTYPE=3"_qs)) << reread.Text().toStdString();
        } else {
            EXPECT_EQ(Snapshot(m_places.data), data) << "a file that did not load or is read-only was written over";
        }
        const QStringList entries =
            QDir(m_places.data).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        EXPECT_EQ(entries, QStringList{u"DataSet_SYSTEMCONFIG.dblst"_qs}) << "stray files in the data folder";
    }

    QTemporaryDir m_root;
    SettingsPlaces m_places;
};

TEST_P(HostileSettingsTest, AsThisUser) {
    RunCase(::geteuid() == 0);
}

// The same case as a user without root's rights: as root, a child process that owns the
// case's folders and runs as uid 65534; otherwise a child process of this user.
TEST_P(HostileSettingsTest, AsAnUnprivilegedUser) {
    if (::geteuid() == 0) {
        for (const QString& folder : {m_root.path(), m_places.data, m_places.outside})
            ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), UnprivilegedUserId, UnprivilegedUserId), 0);
    }
    EXPECT_TRUE(RunUnprivileged([this] { RunCase(false); }));
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileSettingsTest, testing::ValuesIn(HostileSettingsCases),
                         [](const testing::TestParamInfo<HostileSettingsCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
