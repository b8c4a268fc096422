#include "tools/DataSet.h"

#include "tests/support/UnprivilegedRun.h"
#include "tests/tools/ListText.h"
#include "text/TextEncoding.h"
#include "tools/KeyedList.h"
#include "tools/ProcessValues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;

QByteArray Bytes(const char* hex) {
    return QByteArray::fromHex(hex);
}

std::string Hex(const QByteArray& bytes) {
    return bytes.toHex(' ').toStdString();
}

// A list standing for a multi-line text box: its text form is the box's text exactly, and
// setting it takes the text whole.
class TMemoLines final : public TStrings {
public:
    int Count() const override { return int(SplitLines(m_text).size()); }
    QString Get(int index) const override {
        CheckIndex(index, Count());
        return SplitLines(m_text)[index];
    }
    void Put(int, const QString&) override {}
    void Insert(int, const QString&) override {}
    void Delete(int) override {}
    void Clear() override { m_text.clear(); }
    QString Text() const override { return m_text; }
    void SetText(const QString& text) override {
        if (text.size() > m_capacity)
            throw std::length_error("text too long for the box");
        m_text = text;
    }

    QString m_text;
    qsizetype m_capacity = 1000;
};

class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        SetDataFolder(m_dir.path() + u'/');
    }
    void TearDown() override { SetDataFolder(QString()); }

    QString PathOf(const char* name) const { return DataSetPath(QString::fromLatin1(name)); }

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList FolderEntries() const {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
};

TEST_F(DataSetTest, NamesNormaliseToOneFile) {
    const QString expected = m_dir.path() + QStringLiteral("/DataSet_SYSTEMCONFIG.dblst");
    for (const char* name : {"SystemConfig", "systemconfig", "  System Config \t", "System_Config", "SYSTEM-CONFIG"})
        EXPECT_EQ(PathOf(name), expected) << name;

    TStringList list(QStringList{"A=1"});
    ASSERT_TRUE(SaveDataSet(list, QStringLiteral(" system_Config ")));
    EXPECT_TRUE(QFileInfo::exists(expected));
    EXPECT_TRUE(LoadDataSet(list, QStringLiteral("SystemConfig")));
    EXPECT_EQ(Joined(list), "A=1");
}

TEST_F(DataSetTest, NameWithoutLettersOrDigitsAddressesNoFile) {
    for (const char16_t* name : {u"", u"   ", u"!?_.-", u"\u00C4\u00F6\u00DF", u"\u65E5\u672C"}) {
        const QString text = QString::fromUtf16(name);
        TStringList list(QStringList{"keep"});
        EXPECT_TRUE(DataSetPath(text).isEmpty()) << text.toStdString();
        EXPECT_FALSE(SaveDataSet(list, text)) << text.toStdString();
        EXPECT_FALSE(LoadDataSet(list, text)) << text.toStdString();
        EXPECT_EQ(list.Count(), 0) << text.toStdString();
    }
    EXPECT_TRUE(FolderEntries().isEmpty());
}

TEST_F(DataSetTest, EmptyDataFolderRefusesBoth) {
    SetDataFolder(QString());
    TStringList list(QStringList{"keep"});
    EXPECT_FALSE(SaveDataSet(list, QStringLiteral("Name")));
    EXPECT_FALSE(LoadDataSet(list, QStringLiteral("Name")));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(DataSetTest, MissingFileLoadsAsEmptyListAndKeepsTheEncoding) {
    TStringList list(QStringList{"keep"});
    list.SetEncoding(TTextEncoding::Utf16BE);
    EXPECT_FALSE(LoadDataSet(list, QStringLiteral("Nothing")));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Encoding(), TTextEncoding::Utf16BE);
}

// The stored configuration as the program writes it, byte for byte.
TEST_F(DataSetTest, SystemConfigExampleByteForByte) {
    TStringList config;
    ListSetValue(config, QStringLiteral("MainForm"),
                 QStringLiteral("HEIGHT=640; LEFT=100; MONITOR=0; STATE=Normal; TOP=80; WIDTH=1072"));
    ListSetValue(config, QStringLiteral("SaltText"), QString());
    ListSetFloat(config, QStringLiteral("SaltType"), 0);
    ListSetFloat(config, QStringLiteral("InputType"), 1);
    ListSetFloat(config, QStringLiteral("HashType"), 2);
    ListSetBool(config, QStringLiteral("TrimInput"), true);
    ListSetBool(config, QStringLiteral("UpperHash"), false);
    ASSERT_TRUE(SaveDataSet(config, QStringLiteral("SystemConfig")));

    const QByteArray expected = "HASHTYPE=2\r\n"
                                "INPUTTYPE=1\r\n"
                                "MAINFORM=HEIGHT=640; LEFT=100; MONITOR=0; STATE=Normal; TOP=80; WIDTH=1072\r\n"
                                "SALTTEXT=\r\n"
                                "SALTTYPE=0\r\n"
                                "TRIMINPUT=1\r\n"
                                "UPPERHASH=0\r\n";
    EXPECT_EQ(ReadFile(PathOf("SystemConfig")), expected);

    TStringList loaded;
    ASSERT_TRUE(LoadDataSet(loaded, QStringLiteral("SystemConfig")));
    EXPECT_EQ(loaded.Lines(), config.Lines());
    EXPECT_EQ(loaded.Encoding(), TTextEncoding::Ansi);
    ASSERT_TRUE(SaveDataSet(loaded, QStringLiteral("SystemConfig")));
    EXPECT_EQ(ReadFile(PathOf("SystemConfig")), expected);
}

struct LoadCase {
    const char* name;
    const char* fileHex;
    std::u16string lines; // joined with "|"
    TTextEncoding encoding;
    const char* savedHex; // what the loaded list saves as
};

const LoadCase LoadCases[] = {
    {"empty file", "", u"", TTextEncoding::Ansi, ""},
    {"no final break", "610d0a62", u"a|b", TTextEncoding::Ansi, "610d0a620d0a"},
    {"lone LF and lone CR", "610a620d63", u"a|b|c", TTextEncoding::Ansi, "610d0a620d0a630d0a"},
    {"LF CR is two breaks", "610a0d62", u"a||b", TTextEncoding::Ansi, "610d0a0d0a620d0a"},
    {"empty line kept", "610d0a0d0a620d0a", u"a||b", TTextEncoding::Ansi, "610d0a0d0a620d0a"},
    {"final break adds no line", "610d0a", u"a", TTextEncoding::Ansi, "610d0a"},
    {"NUL is text", "610d0a62006364650d0a66", u"a|b\0cde|f"s, TTextEncoding::Ansi, "610d0a62006364650d0a660d0a"},
    {"NUL first", "00610d0a", u"\0a"s, TTextEncoding::Ansi, "00610d0a"},
    {"UTF-8 without mark", "c3a40d0ae282ac", u"\u00E4|\u20AC", TTextEncoding::Ansi, "c3a40d0ae282ac0d0a"},
    {"Windows-1252", "636166e90d0a80818d8f909d9f", u"caf\u00E9|\u20AC\u0081\u008D\u008F\u0090\u009D\u0178",
     TTextEncoding::Ansi, "636166c3a90d0ae282acc281c28dc28fc290c29dc5b80d0a"},
    {"Windows-1252 decided by the whole file", "c3a400e9", u"\u00C3\u00A4\0\u00E9"s, TTextEncoding::Ansi,
     "c383c2a400c3a90d0a"},
    {"UTF-8 on both sides of NUL", "c3a400c3a4", u"\u00E4\0\u00E4"s, TTextEncoding::Ansi, "c3a400c3a40d0a"},
    {"overlong UTF-8 is Windows-1252", "c0af", u"\u00C0\u00AF", TTextEncoding::Ansi, "c380c2af0d0a"},
    {"UTF-8 mark", "efbbbf610d0ac3a4", u"a|\u00E4", TTextEncoding::Utf8, "efbbbf610d0ac3a40d0a"},
    {"UTF-8 mark alone", "efbbbf", u"", TTextEncoding::Utf8, "efbbbf"},
    {"UTF-8 mark, then U+FEFF as text", "efbbbfefbbbf78", u"\uFEFFx", TTextEncoding::Utf8, "efbbbfefbbbf780d0a"},
    {"no mark, U+FEFF later as text", "78efbbbf", u"x\uFEFF", TTextEncoding::Ansi, "78efbbbf0d0a"},
    {"UTF-8 mark, invalid byte", "efbbbf61ff62", u"a\uFFFDb", TTextEncoding::Utf8, "efbbbf61efbfbd620d0a"},
    {"UTF-8 mark, NUL", "efbbbf610062", u"a\0b"s, TTextEncoding::Utf8, "efbbbf6100620d0a"},
    {"UTF-16LE mark", "fffe61000d000a00e400", u"a|\u00E4", TTextEncoding::Utf16LE, "fffe61000d000a00e4000d000a00"},
    {"UTF-16BE mark", "feff0061000a20ac", u"a|\u20AC", TTextEncoding::Utf16BE, "feff0061000d000a20ac000d000a"},
    {"UTF-16LE odd byte dropped", "fffe610062", u"a", TTextEncoding::Utf16LE, "fffe61000d000a00"},
    {"UTF-16LE lone surrogate kept", "fffe00d8", u"\xD800", TTextEncoding::Utf16LE, "fffe00d80d000a00"},
    {"UTF-16LE NUL", "fffe6100000062000d000a00", u"a\0b"s, TTextEncoding::Utf16LE, "fffe6100000062000d000a00"},
    {"UTF-16BE mark alone", "feff", u"", TTextEncoding::Utf16BE, "feff"},
    {"half a mark", "ef", u"\u00EF", TTextEncoding::Ansi, "c3af0d0a"},
    {"U+2028, U+2029, U+FDD0 are text", "61e280a862e280a963efb79064", u"a\u2028b\u2029c\uFDD0d", TTextEncoding::Ansi,
     "61e280a862e280a963efb790640d0a"},
};

TEST_F(DataSetTest, LoadsAndSavesEveryByteLevelCase) {
    for (const LoadCase& c : LoadCases) {
        WriteFile(PathOf("Case"), Bytes(c.fileHex));
        TStringList list(QStringList{"stale"});
        ASSERT_TRUE(LoadDataSet(list, QStringLiteral("Case"))) << c.name;
        EXPECT_EQ(Joined(list), QStringView(c.lines.data(), qsizetype(c.lines.size())).toString().toStdString())
            << c.name;
        EXPECT_EQ(list.Encoding(), c.encoding) << c.name;

        ASSERT_TRUE(SaveDataSet(list, QStringLiteral("Case"))) << c.name;
        EXPECT_EQ(Hex(ReadFile(PathOf("Case"))), Hex(Bytes(c.savedHex))) << c.name;
    }
}

// A NUL byte in a store (a hand edit, a bad sync) is one character of its line: the keys after
// it still load, and a save writes the line back as it was, so nothing after it is lost.
TEST_F(DataSetTest, KeysAfterANulLoadAndSaveBack) {
    const QByteArray stored("HASHTYPE=3\r\nOTHERALGORITHM=SHA\0"
                            "512\r\nSALTTYPE=0\r\nTRIMINPUT=1\r\n",
                            61);
    WriteFile(PathOf("SystemConfig"), stored);
    TStringList config;
    ASSERT_TRUE(LoadDataSet(config, QStringLiteral("SystemConfig")));
    EXPECT_EQ(ListGetValue(config, QStringLiteral("OtherAlgorithm"), QString()), QStringView(u"SHA\0"
                                                                                             "512",
                                                                                             7));
    EXPECT_EQ(ListGetValue(config, QStringLiteral("SaltType"), QStringLiteral("none")), QStringLiteral("0"));
    EXPECT_EQ(ListGetValue(config, QStringLiteral("TrimInput"), QStringLiteral("none")), QStringLiteral("1"));
    ASSERT_TRUE(SaveDataSet(config, QStringLiteral("SystemConfig")));
    EXPECT_EQ(Hex(ReadFile(PathOf("SystemConfig"))), Hex(stored));

    const QByteArray salts("s1\r\ns2\0s3\r\ns4\r\n", 15);
    WriteFile(PathOf("SaltItems"), salts);
    TStringList history;
    ASSERT_TRUE(LoadDataSet(history, QStringLiteral("SaltItems")));
    EXPECT_EQ(history.Count(), 3);
    ASSERT_TRUE(SaveDataSet(history, QStringLiteral("SaltItems")));
    EXPECT_EQ(Hex(ReadFile(PathOf("SaltItems"))), Hex(salts));
}

TEST_F(DataSetTest, EncodingIsRememberedPerList) {
    // A list that never loaded a file is written without a mark; an empty one as zero bytes.
    TStringList fresh;
    ASSERT_TRUE(SaveDataSet(fresh, QStringLiteral("Fresh")));
    EXPECT_EQ(ReadFile(PathOf("Fresh")), QByteArray());

    WriteFile(PathOf("Marked"), Bytes("efbbbf78"));
    TStringList list;
    ASSERT_TRUE(LoadDataSet(list, QStringLiteral("Marked")));
    list.Clear();
    list.Add(QStringLiteral("y"));
    ASSERT_TRUE(SaveDataSet(list, QStringLiteral("Other")));
    EXPECT_EQ(Hex(ReadFile(PathOf("Other"))), Hex(Bytes("efbbbf790d0a")));

    WriteFile(PathOf("Plain"), "z");
    ASSERT_TRUE(LoadDataSet(list, QStringLiteral("Plain")));
    ASSERT_TRUE(SaveDataSet(list, QStringLiteral("Other")));
    EXPECT_EQ(ReadFile(PathOf("Other")), QByteArray("z\r\n"));
}

TEST_F(DataSetTest, LineHoldingABreakComesBackAsTwoLines) {
    TStringList list(QStringList{"a\rb", "c\nd", "e"});
    ASSERT_TRUE(SaveDataSet(list, QStringLiteral("Breaks")));
    ASSERT_TRUE(LoadDataSet(list, QStringLiteral("Breaks")));
    EXPECT_EQ(Joined(list), "a|b|c|d|e");
}

TEST_F(DataSetTest, MemoAdapterKeepsItsOwnTextForm) {
    TMemoLines memo;
    memo.m_text = QStringLiteral("first\r\nsecond");
    ASSERT_TRUE(SaveDataSet(memo, QStringLiteral("InputText")));
    EXPECT_EQ(ReadFile(PathOf("InputText")), QByteArray("first\r\nsecond"));

    WriteFile(PathOf("InputText"), QByteArray("x\ny\r\n\0tail", 10));
    ASSERT_TRUE(LoadDataSet(memo, QStringLiteral("InputText")));
    EXPECT_EQ(memo.m_text, QStringView(u"x\ny\r\n\0tail", 10).toString());
}

TEST_F(DataSetTest, ListThatRefusesTheTextLoadsAsEmpty) {
    WriteFile(PathOf("InputText"), QByteArray(2000, 'x'));
    TMemoLines memo;
    memo.m_text = QStringLiteral("before");
    EXPECT_FALSE(LoadDataSet(memo, QStringLiteral("InputText")));
    EXPECT_TRUE(memo.m_text.isEmpty());
}

TEST_F(DataSetTest, OnlyRegularFilesOfBoundedSizeAreLoaded) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("DataSet_FOLDER.dblst")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(PathOf("Fifo")).constData(), 0600), 0);
    {
        QFile huge(PathOf("Huge"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(DataSetMaxFileSize + 1)); // sparse: no disk space used
    }
    for (const char* name : {"Folder", "Fifo", "Huge"}) {
        TStringList list(QStringList{"keep"});
        EXPECT_FALSE(LoadDataSet(list, QString::fromLatin1(name))) << name;
        EXPECT_EQ(list.Count(), 0) << name;
    }
}

// What a save writes, a load accepts: a list whose file would pass the load limit is not
// saved (the previous file stays), one that reaches it exactly is saved and loads again.
TEST_F(DataSetTest, SaveWritesNothingThatALoadWouldRefuse) {
    TMemoLines memo;
    memo.m_capacity = DataSetMaxFileSize;
    memo.m_text = QString(DataSetMaxFileSize - 2, u'a') + QStringLiteral("\r\n");
    ASSERT_TRUE(SaveDataSet(memo, QStringLiteral("InputText")));
    EXPECT_EQ(QFileInfo(PathOf("InputText")).size(), DataSetMaxFileSize);
    memo.m_text.clear();
    ASSERT_TRUE(LoadDataSet(memo, QStringLiteral("InputText")));
    EXPECT_EQ(memo.m_text.size(), DataSetMaxFileSize);

    memo.m_text += u'b';
    EXPECT_FALSE(SaveDataSet(memo, QStringLiteral("InputText")));
    EXPECT_EQ(QFileInfo(PathOf("InputText")).size(), DataSetMaxFileSize) << "the previous file stays";
    // Two bytes a character in UTF-16: the limit is on the bytes written.
    memo.m_text = QString(DataSetMaxFileSize / 2, u'a');
    memo.SetEncoding(TTextEncoding::Utf16LE);
    EXPECT_FALSE(SaveDataSet(memo, QStringLiteral("InputText")));
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("DataSet_INPUTTEXT.dblst")});
}

// A file that is there but did not load is not written over in the same run; a later load
// that succeeds lifts that. A missing file is an empty start and is written.
TEST_F(DataSetTest, AFileThatDidNotLoadIsNotWrittenOver) {
    {
        QFile huge(PathOf("Salts"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(DataSetMaxFileSize + 1));
    }
    TStringList list;
    EXPECT_FALSE(LoadDataSet(list, QStringLiteral("Salts")));
    list.Add(QStringLiteral("new"));
    EXPECT_FALSE(SaveDataSet(list, QStringLiteral("Salts")));
    EXPECT_EQ(QFileInfo(PathOf("Salts")).size(), DataSetMaxFileSize + 1);

    WriteFile(PathOf("Salts"), "old\r\n");
    ASSERT_TRUE(LoadDataSet(list, QStringLiteral("Salts")));
    list.Add(QStringLiteral("new"));
    EXPECT_TRUE(SaveDataSet(list, QStringLiteral("Salts")));
    EXPECT_EQ(ReadFile(PathOf("Salts")), QByteArray("old\r\nnew\r\n"));

    EXPECT_FALSE(LoadDataSet(list, QStringLiteral("Missing")));
    list.Add(QStringLiteral("first"));
    EXPECT_TRUE(SaveDataSet(list, QStringLiteral("Missing")));
}

TEST_F(DataSetTest, FilesAreOwnerOnly) {
    const mode_t previous = ::umask(0);
    TStringList list(QStringList{"secret"});
    const bool saved = SaveDataSet(list, QStringLiteral("Salts"));
    ::umask(previous);
    ASSERT_TRUE(saved);

    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(PathOf("Salts")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // Replacing a file that others could read gives an owner-only file as well.
    ASSERT_TRUE(QFile::setPermissions(PathOf("Salts"),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
    ASSERT_TRUE(SaveDataSet(list, QStringLiteral("Salts")));
    ASSERT_EQ(::stat(QFile::encodeName(PathOf("Salts")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(DataSetTest, MissingFolderFailsAndCreatesNothing) {
    const QString folder = m_dir.path() + QStringLiteral("/gone/");
    SetDataFolder(folder);
    TStringList list(QStringList{"a"});
    EXPECT_FALSE(SaveDataSet(list, QStringLiteral("Name")));
    EXPECT_FALSE(QFileInfo::exists(folder));

    // A folder path running through a regular file cannot hold files, for root neither.
    WriteFile(m_dir.path() + QStringLiteral("/plain"), "x");
    SetDataFolder(m_dir.path() + QStringLiteral("/plain/"));
    EXPECT_FALSE(SaveDataSet(list, QStringLiteral("Name")));
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("plain")});
}

// A write that fails halfway (here: the file size limit, as a full disk would) leaves the
// previous file whole and no temporary file behind.
TEST_F(DataSetTest, FailedWriteKeepsThePreviousFile) {
    TStringList list(QStringList{"old settings"});
    ASSERT_TRUE(SaveDataSet(list, QStringLiteral("SystemConfig")));
    const QByteArray before = ReadFile(PathOf("SystemConfig"));

    list.Clear();
    for (int i = 0; i < 100; ++i)
        list.Add(QStringLiteral("new settings line %1").arg(i));

    struct rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    struct rlimit small = previous;
    small.rlim_cur = 64;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveDataSet(list, QStringLiteral("SystemConfig"));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(PathOf("SystemConfig")), before);
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("DataSet_SYSTEMCONFIG.dblst")});
}

TEST_F(DataSetTest, ReadOnlyFolderFailsAndKeepsThePreviousFile) {
    TStringList list(QStringList{"old"});
    ASSERT_TRUE(SaveDataSet(list, QStringLiteral("SystemConfig")));
    const QByteArray before = ReadFile(PathOf("SystemConfig"));

    // The folder and its parent may be entered and read by anyone, but nobody may write.
    const QByteArray folder = QFile::encodeName(m_dir.path());
    ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    list.Clear();
    list.Add(QStringLiteral("new"));
    // Root may write anywhere: the save runs as an unprivileged user.
    EXPECT_TRUE(RunUnprivileged([&] { EXPECT_FALSE(SaveDataSet(list, QStringLiteral("SystemConfig"))); }));
    ::chmod(folder.constData(), 0700);

    EXPECT_EQ(ReadFile(PathOf("SystemConfig")), before);
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("DataSet_SYSTEMCONFIG.dblst")});
}

TEST_F(DataSetTest, LinkAtThePathIsReplacedNotWrittenThrough) {
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString target = elsewhere.path() + QStringLiteral("/target");
    WriteFile(target, "outside\r\n");
    ASSERT_TRUE(QFile::link(target, PathOf("Linked")));
    const QString dangling = elsewhere.path() + QStringLiteral("/not-there");
    ASSERT_TRUE(QFile::link(dangling, PathOf("Dangling")));

    // Loading follows the link to a regular file.
    TStringList list;
    ASSERT_TRUE(LoadDataSet(list, QStringLiteral("Linked")));
    EXPECT_EQ(Joined(list), "outside");

    list.Clear();
    list.Add(QStringLiteral("inside"));
    ASSERT_TRUE(SaveDataSet(list, QStringLiteral("Linked")));
    ASSERT_TRUE(SaveDataSet(list, QStringLiteral("Dangling")));

    EXPECT_EQ(ReadFile(target), QByteArray("outside\r\n"));
    EXPECT_FALSE(QFileInfo::exists(dangling));
    for (const char* name : {"Linked", "Dangling"}) {
        const QFileInfo info(PathOf(name));
        EXPECT_FALSE(info.isSymLink()) << name;
        EXPECT_EQ(ReadFile(PathOf(name)), QByteArray("inside\r\n")) << name;
    }
}

} // namespace
