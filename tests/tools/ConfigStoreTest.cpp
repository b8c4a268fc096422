#include "tools/ConfigStore.h"

#include "tests/tools/ListText.h"
#include "tools/DataSet.h"
#include "tools/KeyedList.h"
#include "tools/ProcessValues.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <sys/stat.h>
#include <sys/time.h>

namespace {

// What identifies one version of a file on disk: a rewrite through a new file changes the
// inode, and the time stamps are set far back so that any write in place shows too.
struct TFileStamp {
    ino_t inode = 0;
    time_t modified = 0;
    QByteArray bytes;

    bool operator==(const TFileStamp&) const = default;
};

class ConfigStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        SetDataFolder(m_dir.path() + u'/');
        CreateStoreLists();
    }
    void TearDown() override {
        DestroyStoreLists();
        SetDataFolder(QString());
    }

    static QString ConfigPath() { return DataSetPath(QStringLiteral("SystemConfig")); }
    static QString GlobalsPath() { return DataSetPath(QStringLiteral("SystemGlobals")); }

    // Writes a file whose time stamps lie in 2001.
    static void WriteOldFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();
        const struct timeval times[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), times), 0);
    }

    static TFileStamp Stamp(const QString& path) {
        TFileStamp stamp;
        struct stat info {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return stamp;
        stamp.inode = info.st_ino;
        stamp.modified = info.st_mtime;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            stamp.bytes = file.readAll();
        return stamp;
    }

    QTemporaryDir m_dir;
};

TEST_F(ConfigStoreTest, ListsStartEmptyAndClean) {
    EXPECT_EQ(ScratchList().Count(), 0);
    EXPECT_EQ(GlobalsList().Count(), 0);
    EXPECT_EQ(ConfigList().Count(), 0);
    EXPECT_FALSE(ConfigDirty());
    EXPECT_FALSE(GlobalsDirty());

    ConfigSetValue(QStringLiteral("A"), QStringLiteral("1"));
    MarkGlobalsDirty();
    CreateStoreLists();
    EXPECT_EQ(ConfigList().Count(), 0);
    EXPECT_FALSE(ConfigDirty());
    EXPECT_FALSE(GlobalsDirty());
}

// The scratch list's users are not re-entrant: a call nested inside another's use of the
// list fails instead of overwriting the outer call's items, and the list is free again after.
TEST_F(ConfigStoreTest, ScratchListRefusesANestedUse) {
    TStringList settings(QStringList{"ITEMS=x; y"});
    TStringList target;
    {
        const TScratchListUse outer;
        outer.List().Add(QStringLiteral("outer item"));
        EXPECT_THROW(TScratchListUse(), std::logic_error);
        EXPECT_THROW(ListGetItems(settings, QStringLiteral("Items"), target, true), std::logic_error);
        EXPECT_EQ(Joined(outer.List()), "outer item");
    }
    ListGetItems(settings, QStringLiteral("Items"), target, true);
    EXPECT_EQ(Joined(target), "x|y");
    const TScratchListUse next;
    EXPECT_EQ(&next.List(), &ScratchList());

    DestroyStoreLists();
    EXPECT_THROW(TScratchListUse(), std::logic_error);
}

TEST_F(ConfigStoreTest, ListsExistOnlyBetweenCreateAndDestroy) {
    DestroyStoreLists();
    EXPECT_THROW(ConfigList(), std::logic_error);
    EXPECT_THROW(GlobalsList(), std::logic_error);
    EXPECT_THROW(ScratchList(), std::logic_error);
    EXPECT_THROW(ConfigGetValue(QStringLiteral("A"), QString()), std::logic_error);
    EXPECT_THROW(ConfigSetValue(QStringLiteral("A"), QString()), std::logic_error);
    EXPECT_FALSE(ConfigDirty());
    FlushConfig();
    FlushGlobals();
}

TEST_F(ConfigStoreTest, FirstRunStartsEmptyAndWritesAfterASetter) {
    LoadStores();
    EXPECT_EQ(ConfigGetValue(QStringLiteral("SaltText"), QStringLiteral("none")), QStringLiteral("none"));
    EXPECT_EQ(ConfigGetInt(QStringLiteral("HashType"), 1, 0, 2), 1);
    EXPECT_TRUE(ConfigGetBool(QStringLiteral("TrimInput"), true));

    FlushConfig();
    FlushGlobals();
    EXPECT_FALSE(QFile::exists(ConfigPath()));
    EXPECT_FALSE(QFile::exists(GlobalsPath()));

    ConfigSetFloat(QStringLiteral("HashType"), 2);
    FlushConfig();
    EXPECT_EQ(Stamp(ConfigPath()).bytes, QByteArray("HASHTYPE=2\r\n"));
    EXPECT_FALSE(QFile::exists(GlobalsPath()));
}

TEST_F(ConfigStoreTest, StoredSettingsAreReadBack) {
    WriteOldFile(ConfigPath(), "HASHTYPE=2\r\nINPUTTYPE=7\r\nSALTTEXT= pepper \r\nTRIMINPUT=1\r\nUPPERHASH=0\r\n");
    LoadStores();
    EXPECT_EQ(ConfigGetInt(QStringLiteral("HashType"), 1, 0, 2), 2);
    EXPECT_EQ(ConfigGetInt(QStringLiteral("InputType"), 1, 0, 3), 3);
    EXPECT_EQ(ConfigGetValue(QStringLiteral("SaltText"), QString()), QStringLiteral("pepper"));
    EXPECT_TRUE(ConfigGetBool(QStringLiteral("TrimInput"), false));
    EXPECT_FALSE(ConfigGetBool(QStringLiteral("UpperHash"), true));
    EXPECT_FALSE(ConfigDirty());
}

TEST_F(ConfigStoreTest, HandEditedOrderIsSavedWithoutASecondLine) {
    // The window's close sets every key it keeps; a file edited by hand, its keys out of order,
    // comes back with the same lines in the same order, only the values changed.
    WriteOldFile(ConfigPath(), "UPPERHASH=1\r\nSALTTYPE=2\r\nHASHTYPE=1\r\nTRIMINPUT=0\r\nINPUTTYPE=3\r\n");
    LoadStores();
    EXPECT_EQ(ConfigGetInt(QStringLiteral("HashType"), 0, 0, 2), 1);
    EXPECT_EQ(ConfigGetInt(QStringLiteral("InputType"), 0, 0, 3), 3);
    ConfigSetFloat(QStringLiteral("HashType"), 2);
    ConfigSetFloat(QStringLiteral("InputType"), 1);
    ConfigSetBool(QStringLiteral("TrimInput"), true);
    ConfigSetBool(QStringLiteral("UpperHash"), false);
    ConfigSetFloat(QStringLiteral("SaltType"), 0);
    FlushConfig();
    EXPECT_EQ(Stamp(ConfigPath()).bytes,
              QByteArray("UPPERHASH=0\r\nSALTTYPE=0\r\nHASHTYPE=2\r\nTRIMINPUT=1\r\nINPUTTYPE=1\r\n"));
}

TEST_F(ConfigStoreTest, RunWithoutSetterRewritesNothing) {
    WriteOldFile(ConfigPath(), "HASHTYPE=2\r\n");
    WriteOldFile(GlobalsPath(), "G=1\r\n");
    const TFileStamp config = Stamp(ConfigPath());
    const TFileStamp globals = Stamp(GlobalsPath());

    LoadStores();
    ConfigGetInt(QStringLiteral("HashType"), 1, 0, 2);
    ConfigGetBool(QStringLiteral("TrimInput"), true);
    ConfigGetValue(QStringLiteral("SaltText"), QString());
    FlushConfig();
    FlushGlobals();

    EXPECT_TRUE(Stamp(ConfigPath()) == config);
    EXPECT_TRUE(Stamp(GlobalsPath()) == globals);
}

TEST_F(ConfigStoreTest, EverySetterMarksTheStoreChanged) {
    const struct {
        const char* name;
        void (*change)();
    } setters[] = {
        {"ConfigSetValue", [] { ConfigSetValue(QStringLiteral("A"), QStringLiteral("x")); }},
        {"ConfigSetFloat", [] { ConfigSetFloat(QStringLiteral("A"), 1.5); }},
        {"ConfigSetBool", [] { ConfigSetBool(QStringLiteral("A"), true); }},
        {"same value again", [] { ConfigSetBool(QStringLiteral("A"), true); }},
        {"key without letters", [] { ConfigSetValue(QStringLiteral("--"), QStringLiteral("x")); }},
        {"MarkConfigDirty", [] { MarkConfigDirty(); }},
    };
    for (const auto& setter : setters) {
        FlushConfig();
        ASSERT_FALSE(ConfigDirty()) << setter.name;
        setter.change();
        EXPECT_TRUE(ConfigDirty()) << setter.name;
        EXPECT_FALSE(GlobalsDirty()) << setter.name;
    }
    EXPECT_EQ(Joined(ConfigList()), "A=1");
}

TEST_F(ConfigStoreTest, KeyWithoutLettersStillRewritesTheFile) {
    WriteOldFile(ConfigPath(), "HASHTYPE=2\r\n");
    const TFileStamp before = Stamp(ConfigPath());
    LoadStores();
    ConfigSetValue(QStringLiteral("!!"), QStringLiteral("x"));
    FlushConfig();
    const TFileStamp after = Stamp(ConfigPath());
    EXPECT_NE(after.inode, before.inode);
    EXPECT_EQ(after.bytes, before.bytes);
}

TEST_F(ConfigStoreTest, FlushingTwiceWritesOnce) {
    ConfigSetBool(QStringLiteral("UpperHash"), true);
    FlushConfig();
    EXPECT_FALSE(ConfigDirty());
    const TFileStamp first = Stamp(ConfigPath());
    ASSERT_EQ(first.bytes, QByteArray("UPPERHASH=1\r\n"));

    ConfigList().Add(QStringLiteral("ZZ=not written"));
    FlushConfig();
    EXPECT_TRUE(Stamp(ConfigPath()) == first);
}

TEST_F(ConfigStoreTest, GlobalsAreReadAndLeftUntouched) {
    WriteOldFile(GlobalsPath(), "COLOR=blue\r\nLIMIT=5\r\n");
    const TFileStamp globals = Stamp(GlobalsPath());
    LoadStores();
    EXPECT_EQ(Joined(GlobalsList()), "COLOR=blue|LIMIT=5");

    ConfigSetValue(QStringLiteral("SaltText"), QStringLiteral("x"));
    FlushConfig();
    FlushGlobals();
    EXPECT_TRUE(Stamp(GlobalsPath()) == globals);
    EXPECT_TRUE(QFile::exists(ConfigPath()));
}

TEST_F(ConfigStoreTest, MarkedGlobalsAreWrittenOnce) {
    GlobalsList().Add(QStringLiteral("G=1"));
    MarkGlobalsDirty();
    FlushGlobals();
    EXPECT_FALSE(GlobalsDirty());
    EXPECT_EQ(Stamp(GlobalsPath()).bytes, QByteArray("G=1\r\n"));
    EXPECT_FALSE(QFile::exists(ConfigPath()));
}

TEST_F(ConfigStoreTest, FailedWriteAtExitIsNotRetried) {
    ConfigSetValue(QStringLiteral("A"), QStringLiteral("1"));
    SetDataFolder(m_dir.path() + QStringLiteral("/missing/"));
    FlushConfig();
    EXPECT_FALSE(ConfigDirty());

    SetDataFolder(m_dir.path() + u'/');
    FlushConfig();
    EXPECT_FALSE(QFile::exists(ConfigPath()));
}

TEST_F(ConfigStoreTest, UnreadableStoreStartsEmpty) {
    WriteOldFile(ConfigPath(), "A=1\r\n");
    ConfigList().Add(QStringLiteral("STALE=1"));
    SetDataFolder(m_dir.path() + QStringLiteral("/elsewhere/"));
    LoadStores();
    EXPECT_EQ(ConfigList().Count(), 0);
    EXPECT_EQ(ConfigGetInt(QStringLiteral("A"), 9, 0, 0), 9);
}

} // namespace
