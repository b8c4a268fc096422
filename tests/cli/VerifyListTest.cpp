// quviro-cli --verify against coreutils' sha256sum -c on the same generated lists: standard
// output, standard error (program name aside) and exit status must agree. Both find names from
// the current folder; quviro-cli, run from elsewhere with the list's full path, finds a name
// absent there beside the list and names the path it checked.
#include "tests/support/StateWait.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <cstring>

#include <algorithm>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// SHA-256 of "abc" and of "hello\n", the contents of the fixture's files.
const QByteArray Abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const QByteArray Hello = "5891b5b522d5df086d0ff0b110fbd9d21bb4fc7163af34d08286a2e846f6be03";
const QByteArray Wrong = "0000000000000000000000000000000000000000000000000000000000000000";

struct VerifyCase {
    const char* name;
    QByteArray list;
    QStringList options;
    // No line matched: quviro-cli names the algorithms of the digests' length it tried, where
    // sha256sum says nothing more.
    bool nothingMatched = false;
};

void PrintTo(const VerifyCase& c, std::ostream* os) {
    *os << c.name;
}

const VerifyCase VerifyCases[] = {
    {"all_match", Abc + "  abc.txt\n" + Hello + " *hello.txt\n", {}},
    {"bsd_and_gnu", "SHA256 (abc.txt) = " + Abc + "\n" + Hello + "  hello.txt\n", {}},
    {"crlf_comments_blanks", "# made by hand\r\n\r\n" + Abc + "  abc.txt\r\n\n" + Hello + "  hello.txt", {}},
    {"upper_case_digest", Abc.toUpper() + "  abc.txt\n", {}},
    {"mismatch", Abc + "  abc.txt\n" + Wrong + "  hello.txt\n", {}},
    {"two_mismatches", Wrong + "  abc.txt\n" + Wrong + "  hello.txt\n", {}, true},
    {"mismatch_quiet", Abc + "  abc.txt\n" + Wrong + "  hello.txt\n", {u"--quiet"_qs}},
    {"mismatch_status", Abc + "  abc.txt\n" + Wrong + "  hello.txt\n", {u"--status"_qs}},
    {"all_match_quiet", Abc + "  abc.txt\n", {u"--quiet"_qs}},
    {"missing", Abc + "  abc.txt\n" + Abc + "  missing.txt\n", {}},
    {"missing_ignored", Abc + "  abc.txt\n" + Abc + "  missing.txt\n", {u"--ignore-missing"_qs}},
    {"only_missing_ignored", Abc + "  missing.txt\n", {u"--ignore-missing"_qs}},
    {"folder_entry", Abc + "  folder\n" + Abc + "  abc.txt\n", {}},
    {"malformed_lines", Abc + "  abc.txt\nnot a line\n" + Abc.left(60) + "  abc.txt\n", {}},
    {"malformed_warn", Abc + "  abc.txt\nnot a line\nSHA256 (abc.txt) = 12\n", {u"-w"_qs}},
    {"malformed_strict", Abc + "  abc.txt\nnot a line\n", {u"--strict"_qs}},
    {"malformed_status", Abc + "  abc.txt\nnot a line\n", {u"--status"_qs}},
    {"reversed_then_gnu", Abc + " abc.txt\n" + Abc + "  abc.txt\n", {u"--warn"_qs}},
    {"escaped_backslash_name", "\\" + Abc + "  back\\\\slash.txt\n", {}},
    {"escaped_line_feed_name", "\\" + Abc + "  line\\nfeed.txt\n", {}},
    {"spaces_and_quote_in_names", Abc + "  two words.txt\n" + Abc + "  it's.txt\n" + Abc + "  gone it's\n", {}},
    {"empty_list", "", {}},
    {"only_comments", "# nothing\n\n", {}},
    {"binary_one_byte_name", Abc + " *x\n", {}},
    {"tab_after_digest", Abc + "\tabc.txt\n" + Abc + "  abc.txt\n", {u"-w"_qs}},
    {"bare_digest_matches_nothing", Abc + "\n" + Abc + "\n", {u"-w"_qs}},
    {"ignore_missing_keeps_folder",
     Abc + "  folder\n" + Abc + "  missing.txt\n" + Abc + "  abc.txt\n",
     {u"--ignore-missing"_qs}},
    {"missing_name_escaped", "\\" + Abc + "  gone\\nname\n" + Abc + "  gone 'quoted'\n", {}},
    {"quiet_then_warn", Abc + "  abc.txt\nnot a line\n" + Wrong + "  hello.txt\n", {u"--quiet"_qs, u"-w"_qs}},
    {"warn_then_status", Abc + "  abc.txt\nnot a line\n" + Wrong + "  hello.txt\n", {u"-w"_qs, u"--status"_qs}},
    {"status_then_quiet", Abc + "  abc.txt\nnot a line\n" + Wrong + "  hello.txt\n", {u"--status"_qs, u"--quiet"_qs}},
};

class VerifyListTest : public testing::TestWithParam<VerifyCase> {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        const auto write = [](const QString& name, const QByteArray& bytes) {
            QFile file(s_dir->filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(bytes), bytes.size());
        };
        write(u"abc.txt"_qs, "abc");
        write(u"hello.txt"_qs, "hello\n");
        write(u"two words.txt"_qs, "abc");
        write(u"it's.txt"_qs, "abc");
        write(u"back\\slash.txt"_qs, "abc");
        write(u"line\nfeed.txt"_qs, "abc");
        write(u"x"_qs, "abc");
        ASSERT_TRUE(QDir(s_dir->path()).mkdir(u"folder"_qs));
        s_elsewhere = new QTemporaryDir;
    }
    static void TearDownTestSuite() {
        delete s_dir;
        delete s_elsewhere;
    }

    static QTemporaryDir* s_dir;
    static QTemporaryDir* s_elsewhere;
};

QTemporaryDir* VerifyListTest::s_dir = nullptr;
QTemporaryDir* VerifyListTest::s_elsewhere = nullptr;

struct TRunResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs program in folder; merged puts standard error into out, in the order written, as a log
// taken with "2>&1" holds them.
TRunResult RunProgram(const QString& program, const QStringList& arguments, const QString& folder,
                      const QByteArray& input = {}, bool merged = false) {
    QProcess process;
    process.setWorkingDirectory(folder);
    if (merged)
        process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// Writes bytes to path, replacing what it held.
void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString Coreutils() {
    return QStandardPaths::findExecutable(u"sha256sum"_qs);
}

// The report lines of a check run inside dir as a check from elsewhere gives them: a listed
// name that exists in dir is named by its path there (after the "\" of an escaped name).
QByteArray BesideTheList(const QByteArray& report, const QTemporaryDir& dir) {
    QByteArray lines;
    for (const QByteArray& line : report.split('\n')) {
        if (line.isEmpty())
            continue;
        const bool escaped = line.startsWith('\\');
        const QByteArray name = line.mid(escaped ? 1 : 0, line.lastIndexOf(": ") - (escaped ? 1 : 0));
        const QByteArray unescaped = QByteArray(name).replace("\\n", "\n").replace("\\\\", "\\");
        const QByteArray folder = QFile::encodeName(dir.path()) + '/';
        const bool there = QFileInfo::exists(dir.filePath(QFile::decodeName(unescaped)));
        lines += there ? (escaped ? "\\" + folder + line.mid(1) : folder + line) : line;
        lines += '\n';
    }
    return lines;
}

// The reference as quviro-cli reports a list of which no line matched: the line naming the
// algorithms tried stands before the count of mismatches (in out for a merged run).
TRunResult NamingTheAlgorithmsTried(TRunResult reference, const QByteArray& list) {
    QByteArray& report = reference.err.isEmpty() ? reference.out : reference.err;
    const qsizetype count = report.indexOf(" computed checksum");
    if (count < 0) {
        ADD_FAILURE() << "no count of mismatches in " << report.toStdString();
        return reference;
    }
    report.insert(report.lastIndexOf('\n', count) + 1,
                  "quviro-cli: " + list +
                      ": no algorithm of 64 digits matched: SHA256, SHA512/256, SHA3-256, BLAKE2s-256, BLAKE3\n");
    return reference;
}

void ExpectSame(const TRunResult& ours, TRunResult reference) {
    // The reference names itself by the path it was started with.
    reference.out.replace((Coreutils() + u": "_qs).toUtf8(), "quviro-cli: ");
    reference.err.replace((Coreutils() + u": "_qs).toUtf8(), "quviro-cli: ");
    EXPECT_EQ(ours.exitCode, reference.exitCode);
    EXPECT_EQ(ours.out.toStdString(), reference.out.toStdString());
    EXPECT_EQ(ours.err.toStdString(), reference.err.toStdString());
}

TEST_P(VerifyListTest, AgreesWithSha256sum) {
    if (Coreutils().isEmpty())
        GTEST_SKIP() << "sha256sum is not installed";
    const VerifyCase& c = GetParam();
    QFile list(s_dir->filePath(u"LIST"_qs));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(list.write(c.list), c.list.size());
    list.close();

    const auto expected = [&](const TRunResult& reference, const QByteArray& list) {
        return c.nothingMatched ? NamingTheAlgorithmsTried(reference, list) : reference;
    };
    const TRunResult reference =
        RunProgram(Coreutils(), QStringList{u"-c"_qs} + c.options + QStringList{u"LIST"_qs}, s_dir->path());
    ASSERT_NE(reference.exitCode, -1);
    const TRunResult ours =
        RunProgram(QStringLiteral(QUVIRO_CLI_PATH), c.options + QStringList{u"-C"_qs, u"LIST"_qs}, s_dir->path());
    ExpectSame(ours, expected(reference, "LIST"));

    // Both streams in one: the lines in the same order.
    ExpectSame(RunProgram(QStringLiteral(QUVIRO_CLI_PATH), c.options + QStringList{u"-C"_qs, u"LIST"_qs}, s_dir->path(),
                          {}, true),
               expected(RunProgram(Coreutils(), QStringList{u"-c"_qs} + c.options + QStringList{u"LIST"_qs},
                                   s_dir->path(), {}, true),
                        "LIST"));

    // From another folder, with the list's path: the names are still found beside the list, and
    // the lines name the path checked. Messages name the list as given, so only the file lines
    // and the status are compared.
    const TRunResult elsewhere = RunProgram(
        QStringLiteral(QUVIRO_CLI_PATH), c.options + QStringList{u"--verify"_qs, list.fileName()}, s_elsewhere->path());
    EXPECT_EQ(elsewhere.exitCode, reference.exitCode);
    EXPECT_EQ(elsewhere.out.toStdString(), BesideTheList(reference.out, *s_dir).toStdString());

    // The list on standard input, run inside its folder.
    const TRunResult piped =
        RunProgram(QStringLiteral(QUVIRO_CLI_PATH), c.options + QStringList{u"-C"_qs, u"-"_qs}, s_dir->path(), c.list);
    const TRunResult pipedReference =
        RunProgram(Coreutils(), QStringList{u"-c"_qs} + c.options + QStringList{u"-"_qs}, s_dir->path(), c.list);
    ExpectSame(piped, expected(pipedReference, "'standard input'"));
}

INSTANTIATE_TEST_SUITE_P(Cases, VerifyListTest, testing::ValuesIn(VerifyCases),
                         [](const testing::TestParamInfo<VerifyCase>& info) { return std::string(info.param.name); });

// Several lists: each is checked in turn, its report whole, and the exit status is the worst;
// the same as sha256sum -c A B, whether each list has its own -C or one -C takes them all.
TEST(VerifyListSeveral, EveryListInTurnWithTheWorstStatus) {
    if (Coreutils().isEmpty())
        GTEST_SKIP() << "sha256sum is not installed";
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    };
    write(u"abc.txt"_qs, "abc");
    write(u"FAILS"_qs, Wrong + "  abc.txt\n");
    write(u"PASSES"_qs, Abc + "  abc.txt\n");
    write(u"MISSING"_qs, Abc + "  missing.txt\n" + Abc + "  abc.txt\n");
    // The list of which no line matched, named where quviro-cli names the algorithms it tried.
    const struct {
        QStringList lists;
        QByteArray nothingMatched;
    } orders[] = {
        {{u"FAILS"_qs, u"PASSES"_qs}, "FAILS"}, {{u"PASSES"_qs, u"FAILS"_qs}, "FAILS"},
        {{u"PASSES"_qs, u"PASSES"_qs}, {}},     {{u"MISSING"_qs, u"PASSES"_qs, u"FAILS"_qs}, "FAILS"},
        {{u"PASSES"_qs, u"absent"_qs}, {}},     {{u"PASSES"_qs, u"-"_qs}, "'standard input'"},
    };
    for (const auto& [lists, nothingMatched] : orders) {
        SCOPED_TRACE(lists.join(u' ').toStdString());
        TRunResult reference =
            RunProgram(Coreutils(), QStringList{u"-c"_qs} + lists, dir.path(), Wrong + "  abc.txt\n", true);
        if (!nothingMatched.isEmpty())
            reference = NamingTheAlgorithmsTried(reference, nothingMatched);
        QStringList eachOwn;
        for (const QString& list : lists)
            eachOwn << u"-C"_qs << list;
        ExpectSame(RunProgram(QStringLiteral(QUVIRO_CLI_PATH), eachOwn, dir.path(), Wrong + "  abc.txt\n", true),
                   reference);
        ExpectSame(RunProgram(QStringLiteral(QUVIRO_CLI_PATH), QStringList{u"-C"_qs} + lists, dir.path(),
                              Wrong + "  abc.txt\n", true),
                   reference);
    }
}

TEST(VerifyListBadInput, ListIsAFolderOrMissing) {
    if (Coreutils().isEmpty())
        GTEST_SKIP() << "sha256sum is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"SUMS"_qs));
    for (const QString& list : {u"SUMS"_qs, u"absent"_qs}) {
        SCOPED_TRACE(list.toStdString());
        ExpectSame(RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, list}, dir.path()),
                   RunProgram(Coreutils(), {u"-c"_qs, list}, dir.path()));
    }
}

// sha256sum would wait for a writer on a FIFO; quviro-cli reports it at once.
TEST(VerifyListBadInput, FifoIsNeverWaitedOn) {
    QTemporaryDir dir;
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(u"pipe"_qs)).constData(), 0600), 0);
    QFile list(dir.filePath(u"SUMS"_qs));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(Abc + "  pipe\n");
    list.close();
    QTemporaryDir elsewhere;
    const TRunResult run = RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, list.fileName()}, elsewhere.path());
    EXPECT_EQ(run.exitCode, 1);
    // The line and the message name the path tried, beside the list.
    const std::string pipe = QFile::encodeName(dir.filePath(u"pipe"_qs)).toStdString();
    EXPECT_EQ(run.out.toStdString(), pipe + ": FAILED open or read\n");
    EXPECT_EQ(run.err.toStdString(), "quviro-cli: " + pipe +
                                         ": Not a regular file\n"
                                         "quviro-cli: WARNING: 1 listed file could not be read\n");
}

// The ways a coreutils user checks lists and writes lines give what sha256sum gives typed alike:
// -c with a list, long options shortened, -c bundled with switches, the list on standard input
// when none is named, -b for one file.
TEST(VerifyListSpellings, CoreutilsSpellingsAgreeWithSha256sum) {
    if (Coreutils().isEmpty())
        GTEST_SKIP() << "sha256sum is not installed";
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"abc.txt"_qs), "abc");
    const QByteArray list = "junk\n" + Abc + "  abc.txt\n" + Wrong + "  abc.txt\n";
    WriteBytes(dir.filePath(u"SUMS"_qs), list);
    const QStringList spellings[] = {
        {u"-c"_qs, u"SUMS"_qs},
        {u"--check"_qs, u"SUMS"_qs},
        {u"--chec"_qs, u"SUMS"_qs},
        {u"-cw"_qs, u"SUMS"_qs},
        {u"-c"_qs, u"-w"_qs, u"SUMS"_qs},
        {u"--check"_qs, u"--warn"_qs, u"SUMS"_qs},
        {u"-c"_qs, u"--qui"_qs, u"SUMS"_qs},
        {u"--stat"_qs, u"-c"_qs, u"SUMS"_qs},
        {u"-c"_qs},
        {u"-cw"_qs},
        {u"-c"_qs, u"-"_qs},
        {u"-b"_qs, u"abc.txt"_qs},
        {u"--bin"_qs, u"abc.txt"_qs},
    };
    for (const QStringList& arguments : spellings) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        ExpectSame(RunProgram(QStringLiteral(QUVIRO_CLI_PATH), arguments, dir.path(), list, true),
                   RunProgram(Coreutils(), arguments, dir.path(), list, true));
    }
}

// A list made with -r of a folder and written into it names its files from the current folder,
// as sha256sum -c reads it there; a name found only beside the list is named by the path
// checked, and a name found nowhere as listed.
TEST(VerifyListNames, CurrentFolderFirstThenBesideTheList) {
    if (Coreutils().isEmpty())
        GTEST_SKIP() << "sha256sum is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"d1/sub"_qs));
    WriteBytes(dir.filePath(u"d1/a.bin"_qs), "abc");
    WriteBytes(dir.filePath(u"d1/sub/b.bin"_qs), "hello\n");
    const TRunResult made = RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-r"_qs, u"d1"_qs}, dir.path());
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    WriteBytes(dir.filePath(u"d1/SHA256SUMS"_qs), made.out);
    ExpectSame(RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, u"d1/SHA256SUMS"_qs}, dir.path(), {}, true),
               RunProgram(Coreutils(), {u"-c"_qs, u"d1/SHA256SUMS"_qs}, dir.path(), {}, true));

    WriteBytes(dir.filePath(u"d1/SUMS"_qs), Abc + "  a.bin\n" + Abc + "  gone.bin\n");
    const TRunResult beside = RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, u"d1/SUMS"_qs}, dir.path());
    EXPECT_EQ(beside.exitCode, 1);
    EXPECT_EQ(beside.out.toStdString(), "d1/a.bin: OK\ngone.bin: FAILED open or read\n");
    EXPECT_EQ(beside.err.toStdString(), "quviro-cli: gone.bin: No such file or directory\n"
                                        "quviro-cli: WARNING: 1 listed file could not be read\n");
}

// Standard output on a full device, then a missing file: the messages as sha256sum gives them,
// then the write error with the reason of the failed write, not that of the missing file.
TEST(VerifyListBadInput, FullStandardOutputNamesItsOwnReason) {
    if (Coreutils().isEmpty())
        GTEST_SKIP() << "sha256sum is not installed";
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"abc.txt"_qs), "abc");
    // More OK lines than a stdio buffer holds, so that output fails before the missing file.
    WriteBytes(dir.filePath(u"SUMS"_qs), QByteArray(Abc + "  abc.txt\n").repeated(500) + Abc + "  missing.txt\n");
    const auto run = [&](const QString& program, const QString& option) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setStandardOutputFile(u"/dev/full"_qs);
        process.start(program, {option, u"SUMS"_qs});
        EXPECT_TRUE(process.waitForStarted() && process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 1);
        return process.readAllStandardError();
    };
    QByteArray expected = run(Coreutils(), u"-c"_qs);
    expected.replace((Coreutils() + u": "_qs).toUtf8(), "quviro-cli: ");
    // sha256sum's own last line gives no reason.
    expected.replace("quviro-cli: write error\n", "quviro-cli: write error: No space left on device\n");
    EXPECT_EQ(run(QStringLiteral(QUVIRO_CLI_PATH), u"-C"_qs).toStdString(), expected.toStdString());
}

// -w names the list's own algorithm, also for lines before its first checksum line, as md5sum
// does; a tag line of an algorithm not computed here says so.
TEST(VerifyListWarn, NamesTheListsAlgorithm) {
    const QString md5sum = QStandardPaths::findExecutable(u"md5sum"_qs);
    if (md5sum.isEmpty())
        GTEST_SKIP() << "md5sum is not installed";
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"abc.txt"_qs), "abc");
    const QByteArray md5 = "900150983cd24fb0d6963f7d28e17f72";
    WriteBytes(dir.filePath(u"MD5SUMS"_qs), "junk\n" + md5 + "  abc.txt\njunk again\n");
    TRunResult reference = RunProgram(md5sum, {u"-w"_qs, u"-c"_qs, u"MD5SUMS"_qs}, dir.path(), {}, true);
    reference.out.replace((md5sum + u": "_qs).toUtf8(), "quviro-cli: ");
    const TRunResult ours =
        RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-w"_qs, u"-C"_qs, u"MD5SUMS"_qs}, dir.path(), {}, true);
    EXPECT_EQ(ours.exitCode, reference.exitCode);
    EXPECT_EQ(ours.out.toStdString(), reference.out.toStdString());

    WriteBytes(dir.filePath(u"MD5SUMS"_qs),
               "WHIRLPOOL (abc.txt) = " + QByteArray(128, '0') + "\nsha-1 (abc.txt) = 00\n" + md5 + "  abc.txt\n");
    const TRunResult unsupported =
        RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-w"_qs, u"-C"_qs, u"MD5SUMS"_qs}, dir.path());
    EXPECT_EQ(unsupported.exitCode, 0);
    EXPECT_EQ(unsupported.out.toStdString(), "abc.txt: OK\n");
    EXPECT_EQ(unsupported.err.toStdString(), "quviro-cli: MD5SUMS: 1: unsupported algorithm WHIRLPOOL\n"
                                             "quviro-cli: MD5SUMS: 2: improperly formatted MD5 checksum line\n"
                                             "quviro-cli: WARNING: 2 lines are improperly formatted\n");
}

// A list read by line feeds that holds a NUL byte (one made with -z, or a damaged one) fails,
// reported once, where sha256sum -c passes on the entry before the first NUL.
TEST(VerifyListBadInput, NulByteInAListReadByLineFeedsFails) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"abc.txt"_qs), "abc");
    const QByteArray nulMessage = ": the line holds a NUL byte; a list made with -z is checked with -C -z\n";
    const struct {
        const char* name;
        QByteArray list;
        QByteArray out;
        QByteArray err;
    } cases[] = {
        {"made_with_z", Abc + "  abc.txt" + QByteArray(1, '\0') + Abc + "  abc.txt" + QByteArray(1, '\0'), "",
         "quviro-cli: SUMS: 1" + nulMessage + "quviro-cli: SUMS: no properly formatted checksum lines found\n"},
        {"nul_inside_digest_line", Abc + "  abc.txt" + QByteArray(1, '\0') + "junk\n", "",
         "quviro-cli: SUMS: 1" + nulMessage + "quviro-cli: SUMS: no properly formatted checksum lines found\n"},
        {"binary_garbage", QByteArray("\x00\x01\xff\xfe\n\x89PNG\r\n\x1a\n\x00\x00", 15), "",
         "quviro-cli: SUMS: 1" + nulMessage + "quviro-cli: SUMS: no properly formatted checksum lines found\n"},
        {"after_a_good_line",
         Abc + "  abc.txt\n" + Abc + "  abc.txt" + QByteArray(1, '\0') + "x\n" + QByteArray(1, '\0') + "\n",
         "abc.txt: OK\n",
         "quviro-cli: SUMS: 2" + nulMessage + "quviro-cli: WARNING: 2 lines are improperly formatted\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir.filePath(u"SUMS"_qs), c.list);
        const TRunResult run = RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, u"SUMS"_qs}, dir.path());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out.toStdString(), c.out.toStdString());
        EXPECT_EQ(run.err.toStdString(), c.err.toStdString());
    }
}

// A list read through a name that stands for a descriptor ("/dev/stdin", "/proc/self/fd/0",
// what a shell passes for a here-document) has its names in the current folder, as sha256sum
// finds them, even when the descriptor is a regular file elsewhere.
TEST(VerifyListPipe, DescriptorNamesAreInTheCurrentFolder) {
    if (Coreutils().isEmpty())
        GTEST_SKIP() << "sha256sum is not installed";
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"abc.txt"_qs), "abc");
    QTemporaryDir elsewhere;
    const QString list = elsewhere.filePath(u"SUMS"_qs);
    WriteBytes(list, Abc + "  abc.txt\n" + Abc + "  missing.txt\n");
    const auto run = [&](const QString& program, const QStringList& arguments) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setStandardInputFile(list);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForStarted() && process.waitForFinished(30000));
        TRunResult result{process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
        return result;
    };
    for (const QString& name : {u"/dev/stdin"_qs, u"/proc/self/fd/0"_qs}) {
        SCOPED_TRACE(name.toStdString());
        ExpectSame(run(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, name}), run(Coreutils(), {u"-c"_qs, name}));
    }
}

// One line of 100 MB without a line break: malformed, reported, no crash.
TEST(VerifyListBadInput, HugeSingleLine) {
    QTemporaryDir dir;
    QFile list(dir.filePath(u"SUMS"_qs));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    const QByteArray block(1 << 20, 'a');
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(list.write(block), block.size());
    list.close();
    const TRunResult run =
        RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, list.fileName(), u"-w"_qs}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.endsWith("SUMS: no properly formatted checksum lines found\n")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("SUMS: 1: improperly formatted SHA256 checksum line\n"));
}

// A line longer than a list's lines may be, even one that reads as a checksum line, is an
// improperly formatted line; the lines after it are checked as usual.
TEST(VerifyListBadInput, OverlongLineIsImproperlyFormatted) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"abc.txt"_qs), "abc");
    const QByteArray longName(96 * 1024, 'n');
    WriteBytes(dir.filePath(u"SUMS"_qs), Abc + "  " + longName + "\n" + Abc + "  abc.txt\n");
    const TRunResult run = RunProgram(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, u"SUMS"_qs, u"-w"_qs}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.toStdString(), "abc.txt: OK\n");
    EXPECT_EQ(run.err.toStdString(), "quviro-cli: SUMS: 1: improperly formatted SHA256 checksum line\n"
                                     "quviro-cli: WARNING: 1 line is improperly formatted\n");
}

// A list that comes through a pipe ("-C <(...)" in a shell) has no folder of its own: its
// names are taken from the current folder, as for standard input.
TEST(VerifyListPipe, NamesOfAPipedListAreInTheCurrentFolder) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"abc.txt"_qs), "abc");
    QTemporaryDir elsewhere;
    const QString fifo = elsewhere.filePath(u"sums.pipe"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, fifo});
    ASSERT_TRUE(process.waitForStarted());
    QFile writer(fifo);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly)); // waits for the program to open its end
    writer.write(Abc + "  abc.txt\n");
    writer.close();
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), "abc.txt: OK\n");
    EXPECT_TRUE(process.readAllStandardError().isEmpty());
}

// A file that the user may not read, checked as an unprivileged user (root reads every file).
TEST(VerifyListBadInput, UnreadableFileAsUnprivilegedUser) {
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    QFile secret(dir.filePath(u"secret"_qs));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("abc");
    secret.close();
    ASSERT_EQ(::chmod(QFile::encodeName(secret.fileName()).constData(), 0), 0);
    QFile list(dir.filePath(u"SUMS"_qs));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(Abc + "  secret\n");
    list.close();
    ASSERT_EQ(::chmod(QFile::encodeName(list.fileName()).constData(), 0644), 0);
    // The program may live in an owner-only clone: run a copy from the shared folder.
    const QString program = dir.filePath(u"quviro-cli"_qs);
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUVIRO_CLI_PATH), program));
    ASSERT_EQ(::chmod(QFile::encodeName(program).constData(), 0755), 0);

    QStringList command{program, u"-C"_qs, list.fileName()};
    QString launcher;
    if (::geteuid() == 0) {
        launcher = QStandardPaths::findExecutable(u"setpriv"_qs);
        if (launcher.isEmpty())
            GTEST_SKIP() << "setpriv is needed to run as an unprivileged user";
        command = QStringList{u"--reuid=65534"_qs, u"--regid=65534"_qs, u"--clear-groups"_qs} + command;
    } else {
        launcher = command.takeFirst();
    }
    const TRunResult run = RunProgram(launcher, command, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.toStdString(), "secret: FAILED open or read\n");
    EXPECT_EQ(run.err.toStdString(), "quviro-cli: secret: Permission denied\n"
                                     "quviro-cli: WARNING: 1 listed file could not be read\n");
}

// What quviro-cli -r writes for a folder verifies back with -C, in both line forms and with
// every algorithm, for names that need escaping too; with SHA-256 sha256sum -c agrees.
TEST(VerifyListRoundTrip, RecursiveListsVerifyBack) {
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString names[] = {u"top/a.txt"_qs, u"top/sub dir/b c.txt"_qs, u"top/back\\slash"_qs, u"top/line\nfeed"_qs,
                             u"top/sub dir/cr\rname"_qs};
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"top/sub dir"_qs));
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name.toUtf8());
    }
    const QStringList forms[] = {
        {},         {u"--tag"_qs},          {u"-a"_qs, u"md5"_qs}, {u"-a"_qs, u"sha1"_qs, u"--tag"_qs},
        {u"-z"_qs}, {u"-z"_qs, u"--tag"_qs}};
    for (const QStringList& form : forms) {
        SCOPED_TRACE(form.join(u' ').toStdString());
        // Names relative to the folder the list is written in, and absolute names.
        for (const bool absolute : {false, true}) {
            SCOPED_TRACE(absolute ? "absolute" : "relative");
            const QString top = absolute ? dir.filePath(u"top"_qs) : u"top"_qs;
            const TRunResult made =
                RunProgram(QStringLiteral(QUVIRO_CLI_PATH), form + QStringList{u"-r"_qs, top}, dir.path());
            ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
            const QString listPath = (absolute ? elsewhere : dir).filePath(u"LIST"_qs);
            QFile list(listPath);
            ASSERT_TRUE(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
            list.write(made.out);
            list.close();

            // A list made with -z is checked with -C -z.
            const bool zero = form.contains(u"-z"_qs);
            const TRunResult checked = RunProgram(
                QStringLiteral(QUVIRO_CLI_PATH),
                QStringList{u"-C"_qs} + (zero ? QStringList{u"-z"_qs} : QStringList{}) + QStringList{listPath},
                elsewhere.path());
            EXPECT_EQ(checked.exitCode, 0) << checked.err.toStdString();
            EXPECT_EQ(checked.out.count(": OK\n"), qsizetype(std::size(names))) << checked.out.toStdString();
            EXPECT_TRUE(checked.err.isEmpty()) << checked.err.toStdString();
            if (!form.contains(u"-a"_qs) && !zero && !Coreutils().isEmpty()) {
                const TRunResult reference =
                    RunProgram(Coreutils(), {u"-c"_qs, listPath}, absolute ? elsewhere.path() : dir.path());
                EXPECT_EQ(reference.exitCode, 0);
                // Relative names were found beside the list, and their lines name the path checked.
                EXPECT_EQ(checked.out.toStdString(),
                          (absolute ? reference.out : BesideTheList(reference.out, dir)).toStdString());
            }
        }
    }
}

} // namespace

// -C writes its lines as it goes: while the list's last file (standard input, held open) is
// still read, the lines of the files before it are in the output file, and an ending signal
// then leaves them there, whole.
TEST(VerifyListStream, FinishedLinesReachTheFileBeforeTheEnd) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"abc.txt"_qs), "abc");
    WriteBytes(dir.filePath(u"hello.txt"_qs), "hello\n");
    WriteBytes(dir.filePath(u"SUMS"_qs), Abc + "  abc.txt\n" + Hello + "  hello.txt\n" + Abc + "  -\n");
    const QByteArray finished = "abc.txt: OK\nhello.txt: OK\n";
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(::strsignal(signal));
        const QString output = dir.filePath(u"out.txt"_qs);
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setStandardOutputFile(output, QIODevice::Truncate);
        process.start(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, u"SUMS"_qs});
        ASSERT_TRUE(process.waitForStarted());
        QFile file(output);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(StateWaitMs);
        QByteArray written;
        while (written != finished && std::chrono::steady_clock::now() < deadline &&
               process.state() == QProcess::Running) {
            process.waitForFinished(20);
            file.seek(0);
            written = file.readAll();
        }
        EXPECT_EQ(written.toStdString(), finished.toStdString()) << "before the end of standard input";
        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(StateWaitMs));
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
        file.seek(0);
        EXPECT_EQ(file.readAll().toStdString(), finished.toStdString());
    }
}

// Under the address-space limit of the report (120000 KiB, as "ulimit -v 120000" or "prlimit
// --as" sets it), a line far longer than memory allows is an improperly formatted line: the
// lines on either side are checked, nothing is taken for the list's end, nothing runs out.
TEST(VerifyListMemory, OverlongLinesUnderAnAddressSpaceLimit) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#endif
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"abc.txt"_qs), "abc");
    const QByteArray line = Abc + "  abc.txt\n";
    const struct {
        const char* name;
        qint64 length;
        char fill; // 0: a sparse run of NUL bytes
    } cases[] = {{"40 MB of text", 40'000'000, 'x'}, {"1 GiB, sparse", qint64(1) << 30, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile list(dir.filePath(u"SUMS"_qs));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(list.write(line), line.size());
        if (c.fill == 0) {
            ASSERT_TRUE(list.seek(list.pos() + c.length));
        } else {
            const QByteArray block(1 << 20, c.fill);
            for (qint64 left = c.length; left > 0; left -= block.size())
                ASSERT_EQ(list.write(block.left(int(std::min<qint64>(left, block.size())))),
                          std::min<qint64>(left, block.size()));
        }
        ASSERT_EQ(list.write("\n" + line), line.size() + 1);
        list.close();
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setChildProcessModifier([] {
            const rlimit limit{120000 * 1024, 120000 * 1024};
            if (::setrlimit(RLIMIT_AS, &limit) != 0)
                ::_exit(99);
        });
        process.start(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, u"SUMS"_qs});
        ASSERT_TRUE(process.waitForStarted());
        ASSERT_TRUE(process.waitForFinished(StateWaitMs));
        ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_EQ(process.readAllStandardOutput().toStdString(), "abc.txt: OK\nabc.txt: OK\n");
        EXPECT_EQ(process.readAllStandardError().toStdString(),
                  "quviro-cli: WARNING: 1 line is improperly formatted\n");
    }
}
