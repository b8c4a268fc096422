#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Well-known digests of "abc" and of empty input.
const QString Sha256Abc = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_qs;
const QString Sha1Abc = u"a9993e364706816aba3e25717850c26c9cd0d89d"_qs;
const QString Md5Abc = u"900150983cd24fb0d6963f7d28e17f72"_qs;
const QString Sha256Empty = u"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"_qs;
// SHA-256 of "abc\n": standard input is hashed exactly as given.
const QString Sha256AbcLf = u"edeaaff3f1774ad2888673770c6d64097e391bc362d7d6fb34982ddf0efd18cb"_qs;

struct CliCase {
    const char* name;
    QStringList arguments; // "{dir}" stands for a folder holding abc.txt and empty.bin
    QByteArray standardInput;
    int exitCode;
    QString standardOutput; // exact; a beginning when it ends in "...", an end when it starts with it
    QString standardError;  // the same
};

void PrintTo(const CliCase& c, std::ostream* os) {
    *os << c.name;
}

const CliCase CliCases[] = {
    {"file_default_sha256", {u"{dir}/abc.txt"_qs}, {}, 0, Sha256Abc + u"\n"_qs, {}},
    {"file_md5_upper", {u"-a"_qs, u"md5"_qs, u"-u"_qs, u"{dir}/abc.txt"_qs}, {}, 0, Md5Abc.toUpper() + u"\n"_qs, {}},
    {"file_empty", {u"{dir}/empty.bin"_qs}, {}, 0, Sha256Empty + u"\n"_qs, {}},
    {"text_sha1", {u"-t"_qs, u"text"_qs, u"-a"_qs, u"SHA-1"_qs, u"abc"_qs}, {}, 0, Sha1Abc + u"\n"_qs, {}},
    {"text_prefix", {u"-t"_qs, u"text"_qs, u"--prefix"_qs, u" a "_qs, u"bc"_qs}, {}, 0, Sha256Abc + u"\n"_qs, {}},
    {"text_suffix", {u"-t"_qs, u"text"_qs, u"--suffix"_qs, u"c"_qs, u"ab"_qs}, {}, 0, Sha256Abc + u"\n"_qs, {}},
    {"base64", {u"-t"_qs, u"base64"_qs, u"YWJj"_qs}, {}, 0, Sha256Abc + u"\n"_qs, {}},
    {"stdin_text_exact_bytes", {u"-t"_qs, u"text"_qs, u"-"_qs}, "abc\n", 0, Sha256AbcLf + u"\n"_qs, {}},
    {"stdin_text_trimmed", {u"-t"_qs, u"text"_qs, u"--trim"_qs, u"-"_qs}, " abc\r\n", 0, Sha256Abc + u"\n"_qs, {}},
    {"stdin_base64", {u"-t"_qs, u"base64"_qs, u"-"_qs}, "YWJj\n", 0, Sha256Abc + u"\n"_qs, {}},
    {"stdin_not_utf8",
     {u"-t"_qs, u"text"_qs, u"-"_qs},
     "ab\xFF",
     1,
     {},
     u"Standard input is not valid UTF-8 text\n"_qs},
    {"stdin_truncated_utf8",
     {u"-t"_qs, u"text"_qs, u"-"_qs},
     "ab\xC3",
     1,
     {},
     u"Standard input is not valid UTF-8 text\n"_qs},
    {"check_ok", {u"-c"_qs, u" "_qs + Sha256Abc.toUpper() + u"\n"_qs, u"{dir}/abc.txt"_qs}, {}, 0, u"OK\n"_qs, {}},
    // A bare 64-digit digest may be of five algorithms: all were compared from one read.
    {"check_mismatch",
     {u"--check"_qs, Sha256Empty, u"{dir}/abc.txt"_qs},
     {},
     1,
     u"MISMATCH\nexpected: "_qs + Sha256Empty + u"\nactual:   "_qs + Sha256Abc + u"\n"_qs,
     u"quviro-cli: no algorithm of 64 digits matched: SHA256, SHA512/256, SHA3-256, BLAKE2s-256, BLAKE3\n"_qs},
    {"check_gnu_line", {u"-c"_qs, Sha256Abc + u"  abc.txt\n"_qs, u"{dir}/abc.txt"_qs}, {}, 0, u"OK\n"_qs, {}},
    {"check_bsd_line", {u"-c"_qs, u"SHA256 (abc.txt) = "_qs + Sha256Abc, u"{dir}/abc.txt"_qs}, {}, 0, u"OK\n"_qs, {}},
    {"check_sha1_by_length", {u"-c"_qs, Sha1Abc.toUpper(), u"{dir}/abc.txt"_qs}, {}, 0, u"OK\n"_qs, {}},
    {"check_md5_line_with_a",
     {u"-a"_qs, u"md5"_qs, u"-c"_qs, Md5Abc + u" *abc.txt"_qs, u"{dir}/abc.txt"_qs},
     {},
     0,
     u"OK\n"_qs,
     {}},
    {"check_algorithm_disagrees",
     {u"-a"_qs, u"sha1"_qs, u"-c"_qs, Md5Abc, u"{dir}/abc.txt"_qs},
     {},
     2,
     {},
     u"quviro-cli: the digest given to --check is MD5, but -a asks for SHA1\n..."_qs},
    // As sha256sum -c reads it, a value that is no digest names a list, and so does each operand.
    {"check_not_a_digest",
     {u"-c"_qs, u"00ff"_qs, u"{dir}/abc.txt"_qs},
     {},
     1,
     {},
     u"quviro-cli: 00ff: No such file or directory\nquviro-cli: {dir}/abc.txt: no properly formatted checksum lines found\n"_qs},
    {"check_given_a_list", {u"--check"_qs, u"{dir}/SUMS"_qs}, {}, 0, u"{dir}/abc.txt: OK\n"_qs, {}},
    {"check_alone_reads_a_list_from_standard_input",
     {u"-c"_qs},
     (Sha256Abc + u"  {dir}/abc.txt\n"_qs).toUtf8(),
     0,
     u"{dir}/abc.txt: OK\n"_qs,
     {}},
    {"verify_alone_reads_a_list_from_standard_input",
     {u"-Cw"_qs},
     (u"x\n"_qs + Sha256Abc + u"  {dir}/abc.txt\n"_qs).toUtf8(),
     0,
     u"{dir}/abc.txt: OK\n"_qs,
     u"quviro-cli: 'standard input': 1: improperly formatted SHA256 checksum line\nquviro-cli: WARNING: 1 line is improperly formatted\n"_qs},
    {"binary_one_file", {u"-b"_qs, u"{dir}/abc.txt"_qs}, {}, 0, Sha256Abc + u" *{dir}/abc.txt\n"_qs, {}},
    {"check_twice",
     {u"-c"_qs, Sha256Abc, u"-c"_qs, Sha256Empty, u"{dir}/abc.txt"_qs},
     {},
     2,
     {},
     u"quviro-cli: --check takes one digest; to check a checksum list, use -C\n..."_qs},
    {"verify_switch_without_verify",
     {u"--quiet"_qs, u"{dir}/abc.txt"_qs},
     {},
     2,
     {},
     u"quviro-cli: --quiet, --status, --ignore-missing, --strict and --warn need --verify\n..."_qs},
    // One input that fails says why, as sha256sum and several inputs do.
    {"missing_file", {u"{dir}/missing"_qs}, {}, 1, {}, u"quviro-cli: {dir}/missing: No such file or directory\n"_qs},
    {"folder", {u"{dir}"_qs}, {}, 1, {}, u"quviro-cli: {dir}: Is a directory\n"_qs},
    {"no_valid_text", {u"-t"_qs, u"text"_qs, u"--trim"_qs, u"  "_qs}, {}, 1, {}, u"No valid text\n"_qs},
    {"hex", {u"-t"_qs, u"hex"_qs, u"0a"_qs}, {}, 1, {}, u"(Hexadecimal not supported in this version)\n"_qs},
    {"invalid_base64", {u"-t"_qs, u"base64"_qs, u"YW Jj"_qs}, {}, 1, {}, u"Invalid Base-64 text\n"_qs},
    {"unknown_algorithm",
     {u"-a"_qs, u"nosuch"_qs, u"{dir}/abc.txt"_qs},
     {},
     2,
     {},
     u"quviro-cli: unknown algorithm nosuch; known: MD5, SHA1, SHA256, ..."_qs},
    {"unknown_algorithm_for_lists",
     {u"-a"_qs, u"nosuch"_qs, u"-C"_qs, u"{dir}/abc.txt"_qs},
     {},
     2,
     {},
     u"quviro-cli: unknown algorithm nosuch; known: MD5, SHA1, SHA256, ..."_qs},
    {"unknown_algorithm_for_checksum_lines",
     {u"-a"_qs, u"nosuch"_qs, u"-H"_qs, u"{dir}/abc.txt"_qs},
     {},
     2,
     {},
     u"quviro-cli: unknown algorithm nosuch; known: MD5, SHA1, SHA256, ..."_qs},
    {"list_algorithms", {u"-a"_qs, u"help"_qs}, {}, 0, u"MD5\nSHA1\nSHA256, SHA2-256\n..."_qs, {}},
    {"sha512_of_a_file",
     {u"-a"_qs, u"SHA-512"_qs, u"{dir}/abc.txt"_qs},
     {},
     0,
     u"ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f\n"_qs,
     {}},
    {"check_on_failure",
     {u"-c"_qs, Sha256Abc, u"{dir}/missing"_qs},
     {},
     1,
     {},
     u"quviro-cli: {dir}/missing: No such file or directory\n"_qs},
    {"usage_prefix_and_suffix",
     {u"--prefix"_qs, u"a"_qs, u"--suffix"_qs, u"b"_qs, u"-t"_qs, u"text"_qs, u"x"_qs},
     {},
     2,
     {},
     u"quviro-cli: --prefix and --suffix cannot be used together\nUsage: quviro-cli ..."_qs},
    {"stdin_bytes", {u"-"_qs}, "\xFF", 0, u"a8100ae6aa1940d0b663bb31cd466142ebbdbd5187131b92d93818987832eb89\n"_qs, {}},
    {"stdin_bytes_by_dev_stdin", {u"/dev/stdin"_qs}, "abc", 0, Sha256Abc + u"\n"_qs, {}},
    // Any readable input but a folder is read as a stream: a pipe by a name, a device.
    {"stdin_pipe_by_dev_stdin_with_name", {u"-H"_qs, u"/dev/stdin"_qs}, "abc", 0, Sha256Abc + u"  /dev/stdin\n"_qs, {}},
    {"stdin_pipe_by_descriptor_name", {u"/proc/self/fd/0"_qs}, "abc", 0, Sha256Abc + u"\n"_qs, {}},
    {"device", {u"/dev/null"_qs}, {}, 0, Sha256Empty + u"\n"_qs, {}},
    {"device_with_name", {u"-H"_qs, u"/dev/null"_qs}, {}, 0, Sha256Empty + u"  /dev/null\n"_qs, {}},
    {"stdin_bytes_md5_upper", {u"-a"_qs, u"md5"_qs, u"-u"_qs, u"-"_qs}, "abc", 0, Md5Abc.toUpper() + u"\n"_qs, {}},
    {"stdin_bytes_checked", {u"-c"_qs, Sha256Abc, u"-"_qs}, "abc", 0, u"OK\n"_qs, {}},
    {"stdin_among_files", {u"{dir}/abc.txt"_qs, u"-"_qs}, "abc", 0, u"..."_qs + Sha256Abc + u"  -\n"_qs, {}},
    {"two_algorithms_of_stdin",
     {u"-a"_qs, u"md5,sha256"_qs, u"-"_qs},
     "abc",
     0,
     u"MD5 (-) = "_qs + Md5Abc + u"\nSHA256 (-) = "_qs + Sha256Abc + u"\n"_qs,
     {}},
    {"usage_two_algorithms_with_check",
     {u"-a"_qs, u"md5,sha256"_qs, u"-c"_qs, Md5Abc, u"{dir}/abc.txt"_qs},
     {},
     2,
     {},
     u"quviro-cli: --check compares one digest; -a names several algorithms\nUsage: quviro-cli ..."_qs},
    {"no_arguments_hash_standard_input", {}, "abc", 0, Sha256Abc + u"\n"_qs, {}},
    {"no_input_with_h_is_standard_input", {u"-H"_qs}, "abc", 0, Sha256Abc + u"  -\n"_qs, {}},
    {"usage_error_points_to_help", {u"--bogus"_qs}, {}, 2, {}, u"...Try 'quviro-cli --help' for more.\n"_qs},
    {"help_starts_with_usage", {u"-h"_qs, u"x"_qs}, {}, 0, u"Usage: quviro-cli ..."_qs, {}},
    {"help_ends_with_exit_status",
     {u"--help"_qs},
     {},
     0,
     u"...Exit status: 0 digest printed or OK, 1 failure or MISMATCH, 2 wrong usage.\n"
     "With -C: 0 every listed file matched, 1 otherwise, 2 wrong usage.\n"_qs,
     {}},
    {"version", {u"--version"_qs}, {}, 0, u"quviro-cli " QUVIRO_PROJECT_VERSION "\n"_qs, {}},
};

class CliTest : public testing::TestWithParam<CliCase> {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        QFile abc(s_dir->filePath(u"abc.txt"_qs));
        QFile empty(s_dir->filePath(u"empty.bin"_qs));
        ASSERT_TRUE(abc.open(QIODevice::WriteOnly) && abc.write("abc") == 3);
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
        QFile sums(s_dir->filePath(u"SUMS"_qs));
        const QByteArray line = (Sha256Abc + u"  abc.txt\n"_qs).toUtf8();
        ASSERT_TRUE(sums.open(QIODevice::WriteOnly) && sums.write(line) == line.size());
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }

    static QTemporaryDir* s_dir;
};

QTemporaryDir* CliTest::s_dir = nullptr;

void ExpectText(const char* what, const QByteArray& actual, const QString& expected) {
    const QString text = QString::fromUtf8(actual);
    if (expected.endsWith(u"..."))
        EXPECT_TRUE(text.startsWith(expected.chopped(3))) << what << ": " << text.toStdString();
    else if (expected.startsWith(u"..."))
        EXPECT_TRUE(text.endsWith(expected.mid(3))) << what << ": " << text.toStdString();
    else
        EXPECT_EQ(text.toStdString(), expected.toStdString()) << what;
}

TEST_P(CliTest, ExitCodeAndOutput) {
    const CliCase& c = GetParam();
    QStringList arguments = c.arguments;
    for (QString& argument : arguments)
        argument.replace(u"{dir}"_qs, s_dir->path());

    QProcess process;
    process.start(QStringLiteral(QUVIRO_CLI_PATH), arguments);
    ASSERT_TRUE(process.waitForStarted()) << process.errorString().toStdString();
    process.write(QByteArray(c.standardInput).replace("{dir}", QFile::encodeName(s_dir->path())));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);

    EXPECT_EQ(process.exitCode(), c.exitCode);
    ExpectText("stdout", process.readAllStandardOutput(),
               QString(c.standardOutput).replace(u"{dir}"_qs, s_dir->path()));
    ExpectText("stderr", process.readAllStandardError(), QString(c.standardError).replace(u"{dir}"_qs, s_dir->path()));
}

// Output that cannot be written is a failure with the system's reason, never a silent success:
// every case that prints on stdout is run again with stdout on a full device.
TEST_P(CliTest, OutputToAFullDeviceFails) {
    const CliCase& c = GetParam();
    if (c.standardOutput.isEmpty())
        return;
    QStringList arguments = c.arguments;
    for (QString& argument : arguments)
        argument.replace(u"{dir}"_qs, s_dir->path());

    QProcess process;
    process.setStandardOutputFile(u"/dev/full"_qs);
    process.start(QStringLiteral(QUVIRO_CLI_PATH), arguments);
    ASSERT_TRUE(process.waitForStarted()) << process.errorString().toStdString();
    process.write(QByteArray(c.standardInput).replace("{dir}", QFile::encodeName(s_dir->path())));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);

    EXPECT_EQ(process.exitCode(), 1);
    ExpectText("stderr", process.readAllStandardError(),
               QString(c.standardError).replace(u"{dir}"_qs, s_dir->path()) +
                   u"quviro-cli: write error: No space left on device\n"_qs);
}

// More standard input than memory allows: a message and exit code 1, not an abort. The limit
// is on the address space; under AddressSanitizer, which reserves a huge one, the allocator is
// told to refuse large blocks instead.
TEST(CliMemoryTest, StandardInputLargerThanMemoryFailsWithAMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile input(dir.filePath(u"huge-input"_qs));
    ASSERT_TRUE(input.open(QIODevice::WriteOnly) && input.resize(qint64(1) << 30)) << "cannot create a sparse file";
    input.close();

    QProcess process;
    process.setStandardInputFile(input.fileName());
#if defined(__SANITIZE_ADDRESS__)
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString options = environment.value(u"ASAN_OPTIONS"_qs);
    environment.insert(u"ASAN_OPTIONS"_qs, options + (options.isEmpty() ? u""_qs : u":"_qs) +
                                               u"allocator_may_return_null=1:max_allocation_size_mb=256"_qs);
    process.setProcessEnvironment(environment);
#else
    process.setChildProcessModifier([] {
        const rlimit limit{512 << 20, 512 << 20};
        if (::setrlimit(RLIMIT_AS, &limit) != 0)
            ::_exit(99);
    });
#endif
    process.start(QStringLiteral(QUVIRO_CLI_PATH), {u"-t"_qs, u"text"_qs, u"-"_qs});
    ASSERT_TRUE(process.waitForStarted()) << process.errorString().toStdString();
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit) << "the command was killed by a signal";
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), "");
    const std::string errors = process.readAllStandardError().toStdString();
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's allocator reports the refused block itself first.
    EXPECT_TRUE(errors.ends_with("\nquviro-cli: Out of memory\n")) << errors;
#else
    EXPECT_EQ(errors, "quviro-cli: Out of memory\n");
#endif
}

struct TRun {
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;
};

TRun RunCli(const QStringList& arguments) {
    TRun run;
    QProcess process;
    process.start(QStringLiteral(QUVIRO_CLI_PATH), arguments);
    if (!process.waitForStarted() || !process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.standardOutput = process.readAllStandardOutput();
    run.standardError = process.readAllStandardError();
    return run;
}

// Asked for while standard error is no terminal (here a pipe), the progress is whole lines of
// its own, the first at once: nothing drawn in place, nothing to wipe.
TEST_F(CliTest, ProgressWhenAskedWithoutATerminalIsWholeLines) {
    const TRun run = RunCli({u"--progress"_qs, s_dir->filePath(u"abc.txt"_qs)});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(run.standardOutput), Sha256Abc + u"\n"_qs);
    const QByteArray error = run.standardError;
    EXPECT_TRUE(error.startsWith("quviro-cli: 0 B of 3 B (0 %)")) << error.toStdString();
    EXPECT_TRUE(error.endsWith('\n')) << error.toStdString();
    EXPECT_FALSE(error.contains('\r')) << error.toStdString();
}

// A large file draws nothing by itself when standard error is no terminal (here a pipe).
TEST_F(CliTest, NoProgressUnaskedWhenStandardErrorIsNoTerminal) {
    const QString large = s_dir->filePath(u"large.img"_qs);
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(65 * 1024 * 1024));
    file.close();
    const TRun run = RunCli({u"-a"_qs, u"md5"_qs, large});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.standardOutput.size(), 33);
    EXPECT_EQ(run.standardError, QByteArray());
}

INSTANTIATE_TEST_SUITE_P(Cases, CliTest, testing::ValuesIn(CliCases),
                         [](const testing::TestParamInfo<CliCase>& info) { return std::string(info.param.name); });

} // namespace
