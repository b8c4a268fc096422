// quviro-cli's lines and list checks for every algorithm with a peer tool, compared with that
// tool on the same files: the lines it writes (GNU and BSD form) for several files, one file and
// a folder walked, and -C on the list the tool wrote, named as such lists are published, with
// one file changed after listing. The engines meet an independent implementation here too: the
// tools compute their own digests.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <random>
#include <string>

namespace {

struct TListCase {
    const char* Name;
    QStringList Algorithm;   // quviro-cli's -a and style options
    const char* Tool;        // the peer tool writing the list
    QStringList ToolOptions; // its options for the same lines
    const char* ListName;    // the name the list is saved under
    const char* Checker;     // the peer tool that checks it (-c), or nullptr when none does
    // The checker reports as coreutils does: its standard error matches quviro-cli's, program name
    // aside. xxhsum prints its summary on standard output instead, and only its file lines
    // ("NAME: OK") are compared.
    bool CompareErrors;
};

const TListCase Cases[] = {
    {"sha224", {u"-a"_qs, u"sha224"_qs}, "sha224sum", {}, "SHA224SUMS", "sha224sum", true},
    {"sha384_tag",
     {u"-a"_qs, u"SHA-384"_qs, u"--tag"_qs},
     "sha384sum",
     {u"--tag"_qs},
     "CHECKSUM.SHA384",
     "sha384sum",
     true},
    {"sha512", {u"-a"_qs, u"sha512"_qs}, "sha512sum", {}, "SHA512SUMS", "sha512sum", true},
    {"sha512_tag",
     {u"-a"_qs, u"sha512"_qs, u"--tag"_qs},
     "sha512sum",
     {u"--tag"_qs},
     "CHECKSUM.SHA512",
     "sha512sum",
     true},
    {"blake2b", {u"-a"_qs, u"b2"_qs}, "b2sum", {}, "b2sums.txt", "b2sum", true},
    {"blake2b_tag", {u"-a"_qs, u"blake2b"_qs, u"--tag"_qs}, "b2sum", {u"--tag"_qs}, "B2SUMS", "b2sum", true},
    {"xxh128", {u"-a"_qs, u"xxh128"_qs}, "xxhsum", {u"-H2"_qs}, "files.xxh128", "xxhsum", false},
    {"xxh128_tag",
     {u"-a"_qs, u"xxh128"_qs, u"--tag"_qs},
     "xxhsum",
     {u"-H2"_qs, u"--tag"_qs},
     "files.xxh128",
     "xxhsum",
     false},
    {"xxh3", {u"-a"_qs, u"xxh3"_qs}, "xxhsum", {u"-H3"_qs}, "files.xxh3", "xxhsum", false},
    // xxhsum's default (-H1) and -H0 lists: bare 16 and 8 digits, told by the list's name or tag.
    {"xxh64", {u"-a"_qs, u"xxh64"_qs}, "xxhsum", {}, "XXH64SUMS", "xxhsum", false},
    {"xxh64_sidecar", {u"-a"_qs, u"XXH64"_qs}, "xxhsum", {u"-H1"_qs}, "big.bin.xxh64", "xxhsum", false},
    {"xxh64_tag", {u"-a"_qs, u"xxh64"_qs, u"--tag"_qs}, "xxhsum", {u"--tag"_qs}, "LIST", "xxhsum", false},
    {"xxh32", {u"-a"_qs, u"xxh32"_qs}, "xxhsum", {u"-H0"_qs}, "XXH32SUMS", "xxhsum", false},
    {"xxh32_sidecar", {u"-a"_qs, u"xxh32"_qs}, "xxhsum", {u"-H0"_qs}, "files.xxh32", "xxhsum", false},
    {"xxh32_tag", {u"-a"_qs, u"xxh32"_qs, u"--tag"_qs}, "xxhsum", {u"-H0"_qs, u"--tag"_qs}, "LIST", "xxhsum", false},
    {"sha3_256",
     {u"-a"_qs, u"sha3-256"_qs},
     "rhash",
     {u"--sha3-256"_qs, u"--simple"_qs},
     "SHA3-256SUMS",
     nullptr,
     false},
    {"sha3_512_tag",
     {u"-a"_qs, u"sha3_512"_qs, u"--tag"_qs},
     "rhash",
     {u"--sha3-512"_qs, u"--bsd"_qs},
     "LIST",
     nullptr,
     false},
    {"blake2s_tag",
     {u"-a"_qs, u"blake2s"_qs, u"--tag"_qs},
     "rhash",
     {u"--blake2s"_qs, u"--bsd"_qs},
     "LIST",
     nullptr,
     false},
    {"crc32", {u"-a"_qs, u"crc32"_qs}, "rhash", {u"--crc32"_qs, u"--simple"_qs}, "LIST", nullptr, false},
    // b3sum -c writes no summary of the failures.
    {"blake3", {u"-a"_qs, u"b3"_qs}, "b3sum", {}, "b3sums.txt", "b3sum", false},
    {"blake3_sidecar", {u"-a"_qs, u"blake3"_qs}, "b3sum", {}, "big.bin.b3", "b3sum", false},
    {"crc32_sfv", {u"--sfv"_qs}, "rhash", {u"--sfv"_qs}, "files.sfv", nullptr, false},
};

struct TRun {
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

TRun RunTool(const QString& program, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray WithoutComments(const QByteArray& lines) {
    QByteArray kept;
    for (const QByteArray& line : lines.split('\n'))
        if (!line.isEmpty() && !line.startsWith(';'))
            kept += line + '\n';
    return kept;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class AlgorithmListsTest : public testing::TestWithParam<TListCase> {};

TEST_P(AlgorithmListsTest, LinesAndChecksAgreeWithThePeerTool) {
    const TListCase& c = GetParam();
    const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(c.Tool));
    ASSERT_FALSE(tool.isEmpty()) << c.Tool << " is not installed (scripts/debian-packages lists it)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Sizes across the engines' block and stripe lengths, and one over 9 MiB, so that reading is
    // overlapped and BLAKE3's tree is shared out among threads.
    std::mt19937 random(20261210);
    QByteArray big(9 * 1024 * 1024 + 4097, '\0');
    for (char& byte : big)
        byte = static_cast<char>(random());
    WriteFile(dir.filePath(u"big.bin"_qs), big);
    WriteFile(dir.filePath(u"empty"_qs), {});
    WriteFile(dir.filePath(u"a b"_qs), "abc");
    WriteFile(dir.filePath(u"changed"_qs), QByteArray(1000, 'x'));
    const QStringList files = {u"big.bin"_qs, u"empty"_qs, u"a b"_qs, u"changed"_qs};
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"tree/sub"_qs));
    WriteFile(dir.filePath(u"tree/a b"_qs), "abc");
    WriteFile(dir.filePath(u"tree/sub/big.bin"_qs), big);

    // Several files, one file, and a folder walked: the walk names its files in byte order.
    const struct {
        const char* Name;
        QStringList Ours;
        QStringList Tool;
    } runs[] = {
        {"several files", QStringList{u"-H"_qs} + files, files},
        {"one file", {u"-H"_qs, u"big.bin"_qs}, {u"big.bin"_qs}},
        {"recursive", {u"-r"_qs, u"tree"_qs}, {u"tree/a b"_qs, u"tree/sub/big.bin"_qs}},
    };
    TRun reference;
    for (const auto& run : runs) {
        const TRun theirs = RunTool(tool, c.ToolOptions + run.Tool, dir.path());
        ASSERT_EQ(theirs.ExitCode, 0) << run.Name << ": " << theirs.Err.toStdString();
        const TRun ours = RunTool(QStringLiteral(QUVIRO_CLI_PATH), c.Algorithm + run.Ours, dir.path());
        EXPECT_EQ(ours.ExitCode, 0) << run.Name << ": " << ours.Err.toStdString();
        // SFV lists open with comment lines of their writer's own (rhash dates its list).
        EXPECT_EQ(WithoutComments(ours.Out).toStdString(), WithoutComments(theirs.Out).toStdString()) << run.Name;
        if (reference.ExitCode == -1)
            reference = theirs;
    }

    // The list as the tool wrote it, checked after one file changed; without -a, so the tag or
    // the list's name must tell the algorithm.
    const QString listName = QString::fromLatin1(c.ListName);
    WriteFile(dir.filePath(listName), reference.Out);
    WriteFile(dir.filePath(u"changed"_qs), QByteArray(1000, 'y'));
    const TRun check = RunTool(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, listName}, dir.path());
    if (c.Checker != nullptr) {
        const QString checker = QStandardPaths::findExecutable(QString::fromLatin1(c.Checker));
        TRun expected = RunTool(checker, {u"-c"_qs, listName}, dir.path());
        EXPECT_EQ(check.ExitCode, expected.ExitCode);
        if (!c.CompareErrors) {
            QByteArray fileLines;
            for (const QByteArray& line : expected.Out.split('\n'))
                if (line.contains(": "))
                    fileLines += line + '\n';
            expected.Out = fileLines;
        }
        EXPECT_EQ(check.Out.toStdString(), expected.Out.toStdString());
        if (c.CompareErrors) {
            expected.Err.replace((checker + u": "_qs).toUtf8(), "quviro-cli: ");
            EXPECT_EQ(check.Err.toStdString(), expected.Err.toStdString());
        }
    } else {
        EXPECT_EQ(check.ExitCode, 1);
        EXPECT_EQ(check.Out.toStdString(), "big.bin: OK\nempty: OK\na b: OK\nchanged: FAILED\n");
        EXPECT_EQ(check.Err.toStdString(), "quviro-cli: WARNING: 1 computed checksum did NOT match\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, AlgorithmListsTest, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<TListCase>& info) { return std::string(info.param.Name); });

// A bare 64-digit digest is SHA-256 in a list whose name says nothing, SHA3-256 in SHA3-256SUMS,
// BLAKE3 in B3SUMS and NAME.b3, and what -a says above both.
TEST(AlgorithmListsBareDigest, ListNameThenAlgorithmOptionDecide) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(u"f"_qs), "abc");
    const QByteArray sha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  f\n";
    const QByteArray sha3 = "3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532  f\n";
    const QByteArray blake3 = "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85  f\n";
    // xxhsum -H2 and -H3, b2sum -l 256 of "abc".
    const QByteArray xxh128 = "06b05ab6733a618578af5f94892f3950  f\n";
    const QByteArray xxh3 = "78af5f94892f3950  f\n";
    const QByteArray blake2s = "508c5e8c327c14e2e1a72ba34eeb452f37458b209ed63a294d999b4c86675982  f\n";
    struct TBare {
        const char* List;
        QByteArray Line;
        QStringList Options;
        const char* Out;
    };
    const TBare cases[] = {
        {"LIST", sha256, {}, "f: OK\n"},
        {"LIST", sha3, {}, "f: OK\n"},
        {"SHA3-256SUMS", sha3, {}, "f: OK\n"},
        {"SHA3-256SUMS", sha256, {}, "f: FAILED\n"},
        {"f.sha3-256", sha3, {}, "f: OK\n"},
        {"SHA3-256SUMS", sha256, {u"-a"_qs, u"sha256"_qs}, "f: OK\n"},
        {"LIST", sha3, {u"-a"_qs, u"SHA3-256"_qs}, "f: OK\n"},
        {"LIST", blake3, {}, "f: OK\n"},
        {"B3SUMS", blake3, {}, "f: OK\n"},
        {"b3sums.txt", sha256, {}, "f: FAILED\n"},
        {"f.b3", blake3, {}, "f: OK\n"},
        {"LIST", blake3, {u"-a"_qs, u"b3"_qs}, "f: OK\n"},
        // The names users give lists of xxhsum's and b2sum's other digests.
        {"XXH128SUMS", xxh128, {}, "f: OK\n"},
        {"XXH3SUMS", xxh3, {}, "f: OK\n"},
        {"BLAKE2S256SUMS", blake2s, {}, "f: OK\n"},
    };
    for (const TBare& c : cases) {
        WriteFile(dir.filePath(QString::fromLatin1(c.List)), c.Line);
        const TRun run = RunTool(QStringLiteral(QUVIRO_CLI_PATH),
                                 c.Options + QStringList{u"-C"_qs, QString::fromLatin1(c.List)}, dir.path());
        EXPECT_EQ(run.Out.toStdString(), c.Out)
            << c.List << " " << c.Line.left(8).toStdString() << " " << c.Options.join(u' ').toStdString();
        QFile::remove(dir.filePath(QString::fromLatin1(c.List)));
    }
}

// A bare list whose name tells nothing: its first readable file, hashed with every algorithm of
// the digests' length, tells which algorithm the list is of, said once on standard error; the
// peer tool's own check passes on the same list. A length one algorithm has, or a list of the
// length's common meaning, says nothing.
TEST(AlgorithmListsBareDigest, FirstFileTellsTheAlgorithmOfASharedLength) {
    struct TGuessCase {
        const char* Name;
        const char* Tool; // writes the list; nullptr: quviro-cli
        QStringList ToolOptions;
        bool ToolChecks; // the tool checks the list with -c
        const char* Err; // quviro-cli -C's standard error after "quviro-cli: LIST: "
    };
    const TGuessCase cases[] = {
        {"quviro_blake3",
         nullptr,
         {u"-a"_qs, u"blake3"_qs, u"-H"_qs},
         false,
         "read as BLAKE3 digests; -a blake3 skips the others\n"},
        {"b2sum", "b2sum", {}, true, "read as BLAKE2b-512 digests; -a blake2b-512 skips the others\n"},
        {"b3sum", "b3sum", {}, true, "read as BLAKE3 digests; -a blake3 skips the others\n"},
        {"xxhsum_h2", "xxhsum", {u"-H2"_qs}, true, "read as XXH3-128 digests; -a xxh3-128 skips the others\n"},
        {"xxhsum", "xxhsum", {}, true, "read as XXH64 digests; -a xxh64 skips the others\n"},
        {"openssl_sha3_256",
         "openssl",
         {u"dgst"_qs, u"-sha3-256"_qs, u"-r"_qs},
         false,
         "read as SHA3-256 digests; -a sha3-256 skips the others\n"},
        {"openssl_blake2s",
         "openssl",
         {u"dgst"_qs, u"-blake2s256"_qs, u"-r"_qs},
         false,
         "read as BLAKE2s-256 digests; -a blake2s-256 skips the others\n"},
        {"sha256sum", "sha256sum", {}, true, nullptr},
        {"sha1sum", "sha1sum", {}, true, nullptr},
    };
    for (const TGuessCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString tool =
            c.Tool ? QStandardPaths::findExecutable(QString::fromLatin1(c.Tool)) : QStringLiteral(QUVIRO_CLI_PATH);
        ASSERT_FALSE(tool.isEmpty()) << c.Tool << " is not installed (scripts/debian-packages lists it)";
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        WriteFile(dir.filePath(u"f"_qs), "abc");
        WriteFile(dir.filePath(u"g"_qs), QByteArray(70000, 'g'));
        const TRun list = RunTool(tool, c.ToolOptions + QStringList{u"f"_qs, u"g"_qs}, dir.path());
        ASSERT_EQ(list.ExitCode, 0) << list.Err.toStdString();
        WriteFile(dir.filePath(u"LIST"_qs), list.Out);
        const TRun ours = RunTool(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, u"LIST"_qs}, dir.path());
        EXPECT_EQ(ours.ExitCode, 0);
        EXPECT_EQ(ours.Out.toStdString(), "f: OK\ng: OK\n");
        EXPECT_EQ(ours.Err.toStdString(), c.Err ? std::string("quviro-cli: LIST: ") + c.Err : std::string());
        if (c.ToolChecks) {
            const TRun theirs = RunTool(tool, {u"-c"_qs, u"LIST"_qs}, dir.path());
            EXPECT_EQ(theirs.ExitCode, 0) << theirs.Out.toStdString() << theirs.Err.toStdString();
        }
    }
}

// A bare list that no algorithm of its length gives: when no line matched, one line names the
// algorithms tried, -w or not, before sha256sum's summary; when a later line matches, the first
// file only changed and the report is sha256sum's alone. --status says nothing.
TEST(AlgorithmListsBareDigest, NothingMatchedNamesTheAlgorithmsTried) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(u"f"_qs), "abc");
    WriteFile(dir.filePath(u"g"_qs), "ggg");
    const TRun g = RunTool(QStandardPaths::findExecutable(u"sha256sum"_qs), {u"g"_qs}, dir.path());
    ASSERT_EQ(g.ExitCode, 0);
    const QByteArray none = QByteArray(64, '7') + "  f\n";
    const std::string tried =
        "quviro-cli: LIST: no algorithm of 64 digits matched: SHA256, SHA512/256, SHA3-256, BLAKE2s-256, BLAKE3\n";
    const std::string summary = "quviro-cli: WARNING: 1 computed checksum did NOT match\n";
    const struct {
        const char* Name;
        QByteArray List;
        QStringList Options;
        std::string Out;
        std::string Err;
    } cases[] = {
        {"none", none, {}, "f: FAILED\n", tried + summary},
        {"none_warn", none, {u"-w"_qs}, "f: FAILED\n", tried + summary},
        {"none_status", none, {u"--status"_qs}, "", ""},
        {"later_line_matches", none + g.Out, {}, "f: FAILED\ng: OK\n", summary},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFile(dir.filePath(u"LIST"_qs), c.List);
        const TRun ours =
            RunTool(QStringLiteral(QUVIRO_CLI_PATH), c.Options + QStringList{u"-C"_qs, u"LIST"_qs}, dir.path());
        EXPECT_EQ(ours.ExitCode, 1);
        EXPECT_EQ(ours.Out.toStdString(), c.Out);
        EXPECT_EQ(ours.Err.toStdString(), c.Err);
    }
}

// -c DIGEST with the digest a peer tool printed: without -a, a length several algorithms share
// is compared with each of them from one read, a file or a text alike, and the match is named
// when it is not the length's common meaning; -a compares with its algorithm alone. No match
// names the algorithms tried.
TEST(AlgorithmListsBareDigest, CheckedDigestOfASharedLength) {
    struct TCheckCase {
        const char* Name;
        const char* Tool; // prints the digest first on its line; nullptr: the digest is Digest
        QStringList ToolOptions;
        QStringList Options; // quviro-cli's, before -c
        const char* Digest;
        int Exit;
        const char* Out;
        const char* Err;
    };
    const TCheckCase cases[] = {
        {"b3sum", "b3sum", {}, {}, nullptr, 0, "OK\n", "digest read as BLAKE3; -a blake3 skips the others\n"},
        {"b3sum_text",
         "b3sum",
         {},
         {u"-t"_qs, u"text"_qs},
         nullptr,
         0,
         "OK\n",
         "digest read as BLAKE3; -a blake3 skips the others\n"},
        {"b2sum_upper",
         "b2sum",
         {},
         {u"-u"_qs},
         nullptr,
         0,
         "OK\n",
         "digest read as BLAKE2b-512; -a blake2b-512 skips the others\n"},
        {"xxhsum_h2_text",
         "xxhsum",
         {u"-H2"_qs},
         {u"-t"_qs, u"text"_qs},
         nullptr,
         0,
         "OK\n",
         "digest read as XXH3-128; -a xxh3-128 skips the others\n"},
        {"xxhsum", "xxhsum", {}, {}, nullptr, 0, "OK\n", "digest read as XXH64; -a xxh64 skips the others\n"},
        {"openssl_sha3_256",
         "openssl",
         {u"dgst"_qs, u"-sha3-256"_qs, u"-r"_qs},
         {},
         nullptr,
         0,
         "OK\n",
         "digest read as SHA3-256; -a sha3-256 skips the others\n"},
        {"sha256sum", "sha256sum", {}, {}, nullptr, 0, "OK\n", ""},
        {"b3sum_with_a", "b3sum", {}, {u"-a"_qs, u"blake3"_qs}, nullptr, 0, "OK\n", ""},
        {"b3sum_a_other", "b3sum", {}, {u"-a"_qs, u"sha256"_qs}, nullptr, 1, nullptr, ""},
        {"none",
         nullptr,
         {},
         {},
         "7777777777777777777777777777777777777777777777777777777777777777",
         1,
         nullptr,
         "no algorithm of 64 digits matched: SHA256, SHA512/256, SHA3-256, BLAKE2s-256, BLAKE3\n"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(u"abc"_qs), "abc");
    const TRun sha256 = RunTool(QStandardPaths::findExecutable(u"sha256sum"_qs), {u"abc"_qs}, dir.path());
    for (const TCheckCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QString digest = QString::fromLatin1(c.Digest);
        if (c.Tool) {
            const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(c.Tool));
            ASSERT_FALSE(tool.isEmpty()) << c.Tool << " is not installed (scripts/debian-packages lists it)";
            const TRun printed = RunTool(tool, c.ToolOptions + QStringList{u"abc"_qs}, dir.path());
            ASSERT_EQ(printed.ExitCode, 0) << printed.Err.toStdString();
            digest = QString::fromLatin1(printed.Out.left(printed.Out.indexOf(' ')));
        }
        // The text "abc" and the file of its bytes alike: the input named "abc".
        const TRun ours =
            RunTool(QStringLiteral(QUVIRO_CLI_PATH), c.Options + QStringList{u"-c"_qs, digest, u"abc"_qs}, dir.path());
        EXPECT_EQ(ours.ExitCode, c.Exit);
        const std::string mismatch =
            "MISMATCH\nexpected: " + digest.toStdString() + "\nactual:   " + sha256.Out.left(64).toStdString() + "\n";
        EXPECT_EQ(ours.Out.toStdString(), c.Out ? std::string(c.Out) : mismatch);
        EXPECT_EQ(ours.Err.toStdString(), *c.Err ? "quviro-cli: " + std::string(c.Err) : std::string());
    }
}

// b3sum writes no BSD lines: --tag writes "BLAKE3 (NAME) = DIGEST" with b3sum's digests, and
// -C reads them back by their tag.
TEST(AlgorithmListsBlake3Tag, TaggedLinesCarryB3sumsDigestsAndAreReadBack) {
    const QString tool = QStandardPaths::findExecutable(u"b3sum"_qs);
    ASSERT_FALSE(tool.isEmpty()) << "b3sum is not installed (scripts/debian-packages lists it)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(u"a b"_qs), "abc");
    WriteFile(dir.filePath(u"empty"_qs), {});
    const TRun reference = RunTool(tool, {u"a b"_qs, u"empty"_qs}, dir.path());
    ASSERT_EQ(reference.ExitCode, 0);
    QByteArray expected;
    for (const QByteArray& line : reference.Out.split('\n'))
        if (!line.isEmpty())
            expected += "BLAKE3 (" + line.mid(66) + ") = " + line.left(64) + '\n';
    const TRun ours =
        RunTool(QStringLiteral(QUVIRO_CLI_PATH), {u"-a"_qs, u"b3"_qs, u"--tag"_qs, u"a b"_qs, u"empty"_qs}, dir.path());
    EXPECT_EQ(ours.ExitCode, 0);
    EXPECT_EQ(ours.Out.toStdString(), expected.toStdString());
    WriteFile(dir.filePath(u"LIST"_qs), ours.Out);
    const TRun check = RunTool(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, u"LIST"_qs}, dir.path());
    EXPECT_EQ(check.ExitCode, 0);
    EXPECT_EQ(check.Out.toStdString(), "a b: OK\nempty: OK\n");
}

// Names with "\", CR and LF in the styles whose peer tools write names their own way: each
// name the tool can read back is written as the tool writes it, and read back by the tool's own
// check and by -C; a name it cannot read back is an error line naming the file, never a line.
TEST(AlgorithmListsAwkwardNames, EachStyleRoundTripsThroughItsOwnTool) {
    struct TNamesCase {
        const char* Name;
        QStringList Options; // quviro-cli's
        const char* Tool;    // writes and checks the same lines
        QStringList ToolOptions;
        const char* ListName;   // as saved for the checks
        QStringList Unwritable; // the names the tool cannot read back
    };
    const QString back = u"back\\slash"_qs;
    const QString cr = u"cr\rname"_qs;
    const QString lf = u"lf\nname"_qs;
    const TNamesCase cases[] = {
        {"xxhsum", {u"-a"_qs, u"xxh64"_qs}, "xxhsum", {}, "XXH64SUMS", {lf}},
        {"xxhsum_h0_tag", {u"-a"_qs, u"xxh32"_qs, u"--tag"_qs}, "xxhsum", {u"-H0"_qs, u"--tag"_qs}, "LIST", {lf}},
        {"xxhsum_xxh3", {u"-a"_qs, u"xxh3"_qs}, "xxhsum", {u"-H3"_qs}, "LIST", {lf}},
        {"xxhsum_xxh128", {u"-a"_qs, u"xxh128"_qs}, "xxhsum", {u"-H2"_qs}, "files.xxh128", {lf}},
        {"b3sum", {u"-a"_qs, u"b3"_qs}, "b3sum", {}, "B3SUMS", {}},
        {"sfv", {u"--sfv"_qs}, "rhash", {u"--sfv"_qs}, "files.sfv", {back, lf}},
    };
    for (const TNamesCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(c.Tool));
        if (tool.isEmpty())
            GTEST_SKIP() << c.Tool << " is not installed";
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QStringList names = {back, cr, lf, u"plain"_qs};
        QStringList writable;
        for (const QString& name : names) {
            WriteFile(dir.filePath(name), name.toUtf8());
            if (!c.Unwritable.contains(name))
                writable.append(name);
        }
        const TRun theirs = RunTool(tool, c.ToolOptions + writable, dir.path());
        ASSERT_EQ(theirs.ExitCode, 0) << theirs.Err.toStdString();
        const TRun ours = RunTool(QStringLiteral(QUVIRO_CLI_PATH), c.Options + names, dir.path());
        EXPECT_EQ(ours.ExitCode, c.Unwritable.isEmpty() ? 0 : 1);
        EXPECT_EQ(WithoutComments(ours.Out).toStdString(), WithoutComments(theirs.Out).toStdString());
        EXPECT_EQ(ours.Err.count("quviro-cli: "), c.Unwritable.size()) << ours.Err.toStdString();
        EXPECT_EQ(ours.Err.count(": Not listed: "), c.Unwritable.size()) << ours.Err.toStdString();

        WriteFile(dir.filePath(QString::fromLatin1(c.ListName)), ours.Out);
        const TRun toolCheck = RunTool(tool, {u"-c"_qs, QString::fromLatin1(c.ListName)}, dir.path());
        EXPECT_EQ(toolCheck.ExitCode, 0) << toolCheck.Out.toStdString() << toolCheck.Err.toStdString();
        const TRun ourCheck =
            RunTool(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, QString::fromLatin1(c.ListName)}, dir.path());
        EXPECT_EQ(ourCheck.ExitCode, 0) << ourCheck.Out.toStdString() << ourCheck.Err.toStdString();
        EXPECT_EQ(ourCheck.Out.count(": OK\n"), writable.size()) << ourCheck.Out.toStdString();
    }
}

// An SFV list made on Windows: "\" between folders, CR LF line ends, a leading "\" and blanks
// around names, checked as rhash -c checks it.
TEST(AlgorithmListsSfv, WindowsListChecksAsRhashChecksIt) {
    const QString rhash = QStandardPaths::findExecutable(u"rhash"_qs);
    if (rhash.isEmpty())
        GTEST_SKIP() << "rhash is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"CD1/sub"_qs));
    WriteFile(dir.filePath(u"CD1/part.r00"_qs), "abc");
    WriteFile(dir.filePath(u"CD1/sub/part.r01"_qs), "");
    WriteFile(dir.filePath(u"changed"_qs), "abd");
    const QByteArray list = "; made on Windows\r\n"
                            "CD1\\part.r00 352441C2\r\n"
                            "\\CD1\\sub\\part.r01 00000000\r\n"
                            "  changed \t352441c2\r\n";
    WriteFile(dir.filePath(u"files.sfv"_qs), list);
    const TRun theirs = RunTool(rhash, {u"-c"_qs, u"files.sfv"_qs}, dir.path());
    const TRun ours = RunTool(QStringLiteral(QUVIRO_CLI_PATH), {u"-C"_qs, u"files.sfv"_qs}, dir.path());
    EXPECT_EQ(ours.ExitCode, theirs.ExitCode);
    EXPECT_EQ(ours.ExitCode, 1);
    EXPECT_EQ(ours.Out.toStdString(), "CD1/part.r00: OK\nCD1/sub/part.r01: OK\nchanged: FAILED\n");
    // rhash's own report: the two listed parts are OK and the changed file is its one error.
    EXPECT_TRUE(theirs.Out.contains("Errors:1   Miss:0   Success:2")) << theirs.Out.toStdString();
}

// --sfv -z ends every line with NUL, its comment line too.
TEST(AlgorithmListsSfv, ZeroEndsEveryLineAlike) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(u"a b"_qs), "abc");
    WriteFile(dir.filePath(u"empty"_qs), {});
    const TRun ours =
        RunTool(QStringLiteral(QUVIRO_CLI_PATH), {u"--sfv"_qs, u"-z"_qs, u"a b"_qs, u"empty"_qs}, dir.path());
    EXPECT_EQ(ours.ExitCode, 0);
    EXPECT_FALSE(ours.Out.contains('\n')) << ours.Out.toStdString();
    const QList<QByteArray> lines = ours.Out.split('\0');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("; Generated by quviro-cli ")) << lines[0].toStdString();
    EXPECT_EQ(lines[1].toStdString(), "a b 352441C2");
    EXPECT_EQ(lines[2].toStdString(), "empty 00000000");
    EXPECT_EQ(lines[3].toStdString(), "");
}

} // namespace
