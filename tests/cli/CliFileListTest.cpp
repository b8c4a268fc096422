// quviro-cli on many files, compared byte for byte with coreutils' md5sum, sha1sum, sha256sum,
// sha224sum, sha384sum, sha512sum and b2sum given the same names in the same order.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uid_t UnprivilegedId = 65534;

struct Result {
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

// Runs program in folder with input on standard input (a pipe); merged puts standard error into
// the output, in the order written.
Result RunIn(const QString& folder, const QString& program, const std::vector<std::string>& arguments,
             bool merged = false, bool unprivileged = false, const QByteArray& input = {}) {
    QStringList args;
    for (const std::string& argument : arguments)
        args << QFile::decodeName(QByteArray::fromStdString(argument));
    QProcess process;
    process.setWorkingDirectory(folder);
    if (merged)
        process.setProcessChannelMode(QProcess::MergedChannels);
    if (unprivileged)
        process.setChildProcessModifier([] {
            if (::setgid(UnprivilegedId) != 0 || ::setuid(UnprivilegedId) != 0)
                ::_exit(3);
        });
    process.start(program, args);
    Result run;
    if (process.waitForStarted()) {
        process.write(input);
        process.closeWriteChannel();
    }
    if (!process.waitForStarted() || !process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << program.toStdString() << " did not run to its end";
        return run;
    }
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    if (!merged)
        run.errors = process.readAllStandardError();
    return run;
}

void WriteFile(const std::string& path, const std::string& content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size())) << path;
    ::close(fd);
}

std::string Big() {
    std::string content(5 * 1024 * 1024 + 3, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 + i / 4099);
    return content;
}

class CliFileListTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        ASSERT_TRUE(s_dir->isValid());
        ::chmod(QFile::encodeName(s_dir->path()).constData(), 0755);
        ASSERT_EQ(::chdir(QFile::encodeName(s_dir->path()).constData()), 0);
        ASSERT_EQ(::mkdir("tree", 0755), 0);
        ASSERT_EQ(::mkdir("tree/sub", 0755), 0);
        ASSERT_EQ(::mkdir("tree/sub/deeper", 0755), 0);
        WriteFile("tree/a b", "spaces");
        WriteFile("tree/caf\xC3\xA9", "UTF-8");
        WriteFile("tree/back\\slash", "backslash");
        WriteFile("tree/bad\xFF", "not UTF-8");
        WriteFile("tree/line\nfeed", "line feed");
        WriteFile("tree/cr\rname", "carriage return");
        WriteFile("tree/-lead", "dash");
        WriteFile("tree/Z", "upper");
        WriteFile("tree/empty", "");
        WriteFile("tree/big.bin", Big());
        WriteFile("tree/sub/x", "x");
        WriteFile("tree/sub/deeper/y", "y");
        WriteFile("tree/sub-x", "after the folder sub");
        ASSERT_EQ(::symlink("sub/x", "tree/link-to-file"), 0);
        ASSERT_EQ(::symlink("sub", "tree/link-to-folder"), 0);
        ASSERT_EQ(::mkfifo("tree/fifo", 0644), 0);
        // Inputs that cannot be hashed, outside the tree that the walks compare.
        ASSERT_EQ(::mkdir("odd", 0755), 0);
        ASSERT_EQ(::symlink("loop", "odd/loop"), 0);
        ASSERT_EQ(::mkfifo("odd/fifo", 0644), 0);
        const int unix = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(unix, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, "odd/socket");
        ASSERT_EQ(::bind(unix, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(unix);
        // A copy of the program that the unprivileged user can run, wherever the build is.
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUVIRO_CLI_PATH), s_dir->filePath(u"quviro-cli"_qs)));
        ASSERT_EQ(::chdir("/"), 0);
    }
    static void TearDownTestSuite() {
        // Qt cannot name a file that is not UTF-8, so it cannot remove it either.
        ::unlink((QFile::encodeName(s_dir->path()).toStdString() + "/tree/bad\xFF").c_str());
        delete s_dir;
        s_dir = nullptr;
    }

    static Result Quviro(const std::vector<std::string>& arguments, bool merged = false, bool unprivileged = false) {
        return RunIn(s_dir->path(), s_dir->filePath(u"quviro-cli"_qs), arguments, merged, unprivileged);
    }
    // The names reach the tool through xargs -0 on standard input: arguments given to QProcess
    // must be UTF-8, and one name is not.
    static Result Coreutils(const std::string& tool, const std::vector<std::string>& options,
                            const std::vector<std::string>& names) {
        QStringList args{u"-0"_qs, QString::fromStdString(tool)};
        for (const std::string& option : options)
            args << QString::fromStdString(option);
        args << u"--"_qs;
        QByteArray input;
        for (const std::string& name : names)
            input.append(name.data(), static_cast<qsizetype>(name.size())).append('\0');
        QProcess process;
        process.setWorkingDirectory(s_dir->path());
        process.start(u"xargs"_qs, args);
        Result run;
        if (!process.waitForStarted())
            return run;
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(60000))
            return run;
        run.exitCode = process.exitCode();
        run.output = process.readAllStandardOutput();
        run.errors = process.readAllStandardError();
        return run;
    }

    static QTemporaryDir* s_dir;
};

QTemporaryDir* CliFileListTest::s_dir = nullptr;

// The files of tree in the walk's order: each folder's entries in byte order, depth first; the
// FIFO is skipped and the link to a folder is not followed.
const std::vector<std::string> TreeFiles = {
    "tree/-lead",       "tree/Z",        "tree/a b",   "tree/back\\slash", "tree/bad\xFF",      "tree/big.bin",
    "tree/caf\xC3\xA9", "tree/cr\rname", "tree/empty", "tree/line\nfeed",  "tree/link-to-file", "tree/sub/deeper/y",
    "tree/sub/x",       "tree/sub-x",
};

struct Tool {
    const char* algorithm;
    const char* coreutils;
};
const Tool Tools[] = {{"md5", "md5sum"},       {"sha1", "sha1sum"},     {"sha256", "sha256sum"},
                      {"sha224", "sha224sum"}, {"sha384", "sha384sum"}, {"sha512", "sha512sum"},
                      {"b2", "b2sum"}};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// One case per tool, so that each stays well within a test's time under the sanitizers.
class CliFileListToolTest : public CliFileListTest, public testing::WithParamInterface<Tool> {};

TEST_P(CliFileListToolTest, RecursiveWalkEqualsCoreutilsInEveryStyleAndJobCount) {
    // "-bz" bundles two switches; of --binary and --text the last wins.
    const std::vector<std::vector<std::string>> styles = {
        {}, {"--tag"}, {"-z"}, {"--tag", "-z"}, {"-b"}, {"-bz"}, {"--binary", "--text"}, {"--text", "-b"}};
    const Tool& tool = GetParam();
    for (const std::vector<std::string>& style : styles) {
        const Result expected = Coreutils(tool.coreutils, style, TreeFiles);
        ASSERT_EQ(expected.exitCode, 0) << expected.errors.toStdString();
        for (const char* jobs : {"1", "2", "3", "8"}) {
            const std::string trace = std::string(tool.coreutils) + " -j " + jobs +
                                      (style.empty() ? "" : " " + style.front()) +
                                      (style.size() > 1 ? " " + style.back() : "");
            SCOPED_TRACE(trace);
            const Result run = Quviro(Concat({"-a", tool.algorithm, "-r", "-j", jobs}, Concat(style, {"tree"})));
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(run.output.toStdString(), expected.output.toStdString());
            EXPECT_EQ(run.errors.toStdString(), "quviro-cli: tree/fifo: Skipped: not a regular file\n");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, CliFileListToolTest, testing::ValuesIn(Tools),
                         [](const testing::TestParamInfo<Tool>& info) { return std::string(info.param.coreutils); });

// The lines of each tool's output, split after each terminator, taken in turn: file by file,
// each file's line of every tool in the order given.
std::string Interleaved(const std::vector<QByteArray>& outputs, char terminator) {
    std::vector<QList<QByteArray>> lines;
    for (const QByteArray& output : outputs)
        lines.push_back(output.split(terminator));
    std::string merged;
    for (qsizetype i = 0; i + 1 < lines.front().size(); ++i)
        for (const QList<QByteArray>& tool : lines)
            merged += (tool.value(i) + terminator).toStdString();
    return merged;
}

// -a with several names: per file, one BSD line per algorithm in the order of -a, as the
// coreutils tools write them with --tag; a name given twice counts once.
TEST_F(CliFileListTest, SeveralAlgorithmsEqualTaggedCoreutilsLinesFileByFile) {
    struct Case {
        const char* algorithms;
        std::vector<const char*> tools;
    };
    const Case cases[] = {
        {"md5,sha256", {"md5sum", "sha256sum"}},
        {"sha512,b2,sha1,sha-512", {"sha512sum", "b2sum", "sha1sum"}},
    };
    for (const Case& c : cases) {
        for (const std::vector<std::string>& style : std::vector<std::vector<std::string>>{{}, {"--tag"}, {"-z"}}) {
            std::vector<QByteArray> outputs;
            for (const char* tool : c.tools)
                outputs.push_back(Coreutils(tool, Concat({"--tag"}, style), TreeFiles).output);
            const std::string expected = Interleaved(outputs, style == std::vector<std::string>{"-z"} ? '\0' : '\n');
            for (const char* jobs : {"1", "3"}) {
                SCOPED_TRACE(std::string(c.algorithms) + " -j " + jobs + (style.empty() ? "" : " " + style.front()));
                const Result run = Quviro(Concat({"-a", c.algorithms, "-r", "-j", jobs}, Concat(style, {"tree"})));
                EXPECT_EQ(run.exitCode, 0);
                EXPECT_EQ(run.output.toStdString(), expected);
                EXPECT_EQ(run.errors.toStdString(), "quviro-cli: tree/fifo: Skipped: not a regular file\n");
            }
        }
    }
    // One file gets its lines too: a bare digest would not say which algorithm it is.
    const std::string one = Interleaved(
        {Coreutils("md5sum", {"--tag"}, {"tree/a b"}).output, Coreutils("sha256sum", {"--tag"}, {"tree/a b"}).output},
        '\n');
    const Result run = Quviro({"-a", "md5,sha256", "tree/a b"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output.toStdString(), one);
}

// A file that cannot be hashed gives one error line, not one per algorithm, and the others
// their lines.
TEST_F(CliFileListTest, MissingFileWithSeveralAlgorithmsIsOneErrorLine) {
    const std::vector<std::string> names = {"tree/a b", "tree/missing", "tree/Z", "tree/gone"};
    const std::string expected = Interleaved({Coreutils("md5sum", {"--tag"}, {"tree/a b", "tree/Z"}).output,
                                              Coreutils("sha1sum", {"--tag"}, {"tree/a b", "tree/Z"}).output},
                                             '\n');
    const Result run = Quviro(Concat({"-a", "md5,sha1"}, names));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output.toStdString(), expected);
    EXPECT_EQ(run.errors.toStdString(), "quviro-cli: tree/missing: No such file or directory\n"
                                        "quviro-cli: tree/gone: No such file or directory\n");
}

// "-" among files is standard input's bytes, named "-"; given again it is read on from where
// the first read ended, as sha256sum does.
TEST_F(CliFileListTest, StandardInputAmongFilesEqualsCoreutils) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"after a file", {}, {"a b", "-"}},
        {"twice around a file", {}, {"-", "a b", "-"}},
        {"alone", {}, {"-"}},
        {"tagged", {"--tag"}, {"-", "big.bin"}},
        {"binary", {"-b"}, {"Z", "-"}},
    };
    const QString folder = s_dir->filePath(u"tree"_qs);
    QByteArray input = QByteArray::fromStdString(Big());
    for (const Case& c : cases) {
        for (const char* jobs : {"1", "4"}) {
            SCOPED_TRACE(std::string(c.name) + " -j " + jobs);
            // -H makes a lone "-" a checksum line, as sha256sum always writes one.
            const std::vector<std::string> options = Concat({"-H", "-j", jobs}, c.options);
            const Result expected =
                RunIn(folder, u"sha256sum"_qs, Concat(Concat(c.options, {"--"}), c.names), false, false, input);
            const Result run = RunIn(folder, s_dir->filePath(u"quviro-cli"_qs),
                                     Concat(Concat(options, {"--"}), c.names), false, false, input);
            EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
            EXPECT_EQ(run.output.toStdString(), expected.output.toStdString());
        }
    }
    const std::string twoAlgorithms =
        Interleaved({RunIn(folder, u"md5sum"_qs, {"--tag", "-", "Z"}, false, false, input).output,
                     RunIn(folder, u"sha256sum"_qs, {"--tag", "-", "Z"}, false, false, input).output},
                    '\n');
    const Result run =
        RunIn(folder, s_dir->filePath(u"quviro-cli"_qs), {"-a", "md5,sha256", "-", "Z"}, false, false, input);
    EXPECT_EQ(run.output.toStdString(), twoAlgorithms);
}

// -u writes the lines' digests in upper case and changes nothing else.
TEST_F(CliFileListTest, UpperCaseDigestsInLines) {
    for (const std::vector<std::string>& style : std::vector<std::vector<std::string>>{{}, {"--tag"}, {"-b"}}) {
        SCOPED_TRACE(style.empty() ? "" : style.front());
        const Result expected = Coreutils("sha256sum", style, TreeFiles);
        QByteArray upper;
        for (const QByteArray& line : expected.output.split('\n')) {
            if (line.isEmpty())
                continue;
            const qsizetype digestAt =
                line.lastIndexOf(" = ") >= 0 ? line.lastIndexOf(" = ") + 3 : line.startsWith('\\');
            upper += line.left(digestAt) + line.mid(digestAt, 64).toUpper() + line.mid(digestAt + 64) + '\n';
        }
        const Result run = Quviro(Concat({"-u", "-r"}, Concat(style, {"tree"})));
        EXPECT_EQ(run.output.toStdString(), upper.toStdString());
    }
}

TEST_F(CliFileListTest, GivenNamesEqualCoreutilsAndOneNameWithH) {
    const std::vector<std::vector<std::string>> inputs = {
        {"line\nfeed", "a b", "big.bin", "a b", "-lead", "sub/x"},
        {"-lead"},
    };
    for (const std::vector<std::string>& names : inputs) {
        for (const char* jobs : {"1", "2", "4"}) {
            SCOPED_TRACE(std::to_string(names.size()) + " names, -j " + jobs);
            // Named from inside tree, so that "-lead" comes as it is, after "--".
            const QString folder = s_dir->filePath(u"tree"_qs);
            const Result expected = RunIn(folder, u"sha256sum"_qs, Concat({"--"}, names));
            const std::vector<std::string> options = {"-H", "-j", jobs, "--"};
            const Result run = RunIn(folder, s_dir->filePath(u"quviro-cli"_qs), Concat(options, names));
            EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
            EXPECT_EQ(run.output.toStdString(), expected.output.toStdString());
        }
    }
}

// Names that are not UTF-8 are taken byte for byte; QProcess cannot pass them, a shell can.
TEST_F(CliFileListTest, NameThatIsNotUtf8) {
    const Result expected = Coreutils("sha256sum", {}, {"tree/bad\xFF"});
    QProcess process;
    process.setWorkingDirectory(s_dir->path());
    process.start(u"sh"_qs,
                  {u"-c"_qs, u"exec \"$0\" -H -- \"$(printf 'tree/bad\\377')\""_qs, s_dir->filePath(u"quviro-cli"_qs)});
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), expected.output.toStdString());
}

// Standard output that refuses the lines: a message and exit status 1, not success.
TEST_F(CliFileListTest, FullStandardOutputIsAFailure) {
    QProcess process;
    process.setWorkingDirectory(s_dir->path());
    process.setStandardOutputFile(u"/dev/full"_qs);
    process.start(s_dir->filePath(u"quviro-cli"_qs), {u"-r"_qs, u"tree"_qs});
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1);
    // The skipped FIFO's message waits for the lines before it, which never got out.
    EXPECT_EQ(process.readAllStandardError().toStdString(), "quviro-cli: write error: No space left on device\n");
}

// A run ended by a signal while it writes leaves whole lines: the output stops after a line
// feed or holds nothing, never in the middle of a name.
TEST_F(CliFileListTest, SignalMidOutputLeavesWholeLines) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    // Long names make a line of about 300 bytes, so a block boundary falls inside a line.
    for (int i = 0; i < 3000; ++i)
        WriteFile(folder + "/" + std::to_string(i) + std::string(220, 'n'), "x");
    for (const int signal : {SIGTERM, SIGINT, SIGTERM, SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const QString listPath = s_dir->filePath(u"SUMS"_qs);
        QFile::remove(listPath);
        QProcess process;
        process.setStandardOutputFile(listPath);
        process.start(s_dir->filePath(u"quviro-cli"_qs), {u"-j"_qs, u"1"_qs, u"-r"_qs, dir.path()});
        ASSERT_TRUE(process.waitForStarted());
        while (process.state() == QProcess::Running && QFileInfo(listPath).size() == 0)
            ::usleep(200);
        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(30000));
        QFile list(listPath);
        ASSERT_TRUE(list.open(QIODevice::ReadOnly));
        const QByteArray written = list.readAll();
        EXPECT_TRUE(written.isEmpty() || written.endsWith('\n'))
            << written.size() << " bytes end in " << written.right(40).toStdString();
    }
}

// "-r . > SHA256SUMS" leaves its own output out of the walk, so the list checks back, with
// sha256sum -c and with -C.
TEST_F(CliFileListTest, RecursiveListLeavesItsOwnOutputOut) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    ASSERT_EQ(::mkdir((folder + "/sub").c_str(), 0755), 0);
    WriteFile(folder + "/a", "a");
    WriteFile(folder + "/sub/b", "b");
    WriteFile(folder + "/Z", "an older list of the same name is replaced, not listed");
    for (const char* list : {"SHA256SUMS", "sub/SUMS", "Z"}) {
        SCOPED_TRACE(list);
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setStandardOutputFile(dir.filePath(QString::fromUtf8(list)));
        process.start(s_dir->filePath(u"quviro-cli"_qs), {u"-r"_qs, u"."_qs});
        ASSERT_TRUE(process.waitForStarted() && process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        QFile written(dir.filePath(QString::fromUtf8(list)));
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray lines = written.readAll();
        EXPECT_FALSE(lines.contains(QByteArray("  ./") + list + "\n")) << lines.toStdString();
        const Result reference = RunIn(dir.path(), u"sha256sum"_qs, {"-c", list});
        EXPECT_EQ(reference.exitCode, 0) << reference.output.toStdString();
        // -C takes the names from the list's folder: the same folder only for a list at the top.
        if (std::strchr(list, '/') == nullptr) {
            const Result checked = RunIn(dir.path(), s_dir->filePath(u"quviro-cli"_qs), {"-C", list});
            EXPECT_EQ(checked.exitCode, 0) << checked.errors.toStdString();
        }
        QFile::remove(dir.filePath(QString::fromUtf8(list)));
    }
}

// Under a process limit that lets no thread start, quviro-cli runs on the calling thread alone:
// every thread it would start (jobs, the read-ahead, BLAKE3's workers, the output's flusher)
// costs speed only. The limit counts the user's processes, so root (whom it does not bind) runs
// the program as the unprivileged user.
TEST_F(CliFileListTest, ThreadsThatCannotStartLeaveTheWorkToTheCallingThread) {
    for (const char* jobs : {"1", "2", "8"}) {
        SCOPED_TRACE(jobs);
        QProcess process;
        process.setWorkingDirectory(s_dir->path());
        // LeakSanitizer's exit check needs a thread of its own, which the limit refuses.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"ASAN_OPTIONS"_qs, environment.value(u"ASAN_OPTIONS"_qs) + u":detect_leaks=0"_qs);
        process.setProcessEnvironment(environment);
        process.setChildProcessModifier([] {
            if (::geteuid() == 0 && (::setgid(UnprivilegedId) != 0 || ::setuid(UnprivilegedId) != 0))
                ::_exit(3);
            const rlimit limit{1, 1};
            if (::setrlimit(RLIMIT_NPROC, &limit) != 0)
                ::_exit(4);
        });
        process.start(s_dir->filePath(u"quviro-cli"_qs), {u"-j"_qs, QString::fromUtf8(jobs), u"-H"_qs, u"tree/Z"_qs});
        ASSERT_TRUE(process.waitForStarted() && process.waitForFinished(30000));
        ASSERT_EQ(process.exitStatus(), QProcess::NormalExit) << "ended by a signal";
        const std::string errors = process.readAllStandardError().toStdString();
        const std::string output = process.readAllStandardOutput().toStdString();
        EXPECT_EQ(process.exitCode(), 0) << errors;
        EXPECT_EQ(errors, "");
        EXPECT_EQ(output, Coreutils("sha256sum", {}, {"tree/Z"}).output.toStdString());
    }
}

// A failing input in the middle: its reason comes in its turn, the others are hashed, the
// exit status is 1.
TEST_F(CliFileListTest, FailingInputsInTheMiddleAreReportedInTurn) {
    const Result a = Coreutils("sha256sum", {}, {"tree/a b"});
    const Result z = Coreutils("sha256sum", {}, {"tree/Z"});
    for (const char* jobs : {"1", "2", "8"}) {
        SCOPED_TRACE(jobs);
        const Result run = Quviro({"-j", jobs, "tree/a b", "tree/missing", "tree/sub", "odd/socket", "tree/Z"}, true);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output.toStdString(),
                  a.output.toStdString() + "quviro-cli: tree/missing: No such file or directory\n" +
                      "quviro-cli: tree/sub: Is a directory (use -r to hash the files in it)\n" +
                      "quviro-cli: odd/socket: No such device or address\n" + z.output.toStdString());
    }
}

// Among several inputs each one that cannot be hashed gets coreutils' line for it, the
// program's name first, with coreutils' own line as the reference; a folder adds the hint to
// use -r. FIFOs and devices the user names are read (NamedStreamsAreReadAsCoreutilsReadsThem).
struct TReasonCase {
    const char* name;
    const char* reason;
    bool coreutilsAgrees;
    const char* hint;
};
const TReasonCase ReasonCases[] = {
    {"tree/missing", "No such file or directory", true, ""},
    {"tree/sub", "Is a directory", true, " (use -r to hash the files in it)"},
    {"odd/loop", "Too many levels of symbolic links", true, ""},
    {"odd/socket", "No such device or address", true, ""},
};

TEST_F(CliFileListTest, ReasonsForInputsThatAreNoRegularFile) {
    const Result a = Coreutils("sha256sum", {}, {"tree/a b"});
    for (const TReasonCase& c : ReasonCases) {
        SCOPED_TRACE(c.name);
        const std::string expected = std::string("quviro-cli: ") + c.name + ": " + c.reason + c.hint + "\n";
        if (c.coreutilsAgrees) {
            std::string reference = Coreutils("sha256sum", {}, {c.name}).errors.toStdString();
            ASSERT_FALSE(reference.empty());
            reference.replace(0, std::string("sha256sum").size(), "quviro-cli");
            EXPECT_EQ(reference.substr(0, reference.size() - 1) + c.hint + "\n", expected);
        }
        const Result run = Quviro({"tree/a b", c.name}, true);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output.toStdString(), a.output.toStdString() + expected);
    }
    // Inside a walk a symbolic link loop is named like a given one; a FIFO is passed over.
    const Result walk = Quviro({"-r", "odd"});
    EXPECT_EQ(walk.exitCode, 1);
    EXPECT_EQ(walk.errors.toStdString(), "quviro-cli: odd/fifo: Skipped: not a regular file\n"
                                         "quviro-cli: odd/loop: Too many levels of symbolic links\n"
                                         "quviro-cli: odd/socket: Skipped: not a regular file\n");
}

// A FIFO or device named on the command line is read to its end as sha256sum reads it, alone,
// among files and with -H; inside a walk a FIFO is still passed over (ReasonsForInputs...).
TEST_F(CliFileListTest, NamedStreamsAreReadAsCoreutilsReadsThem) {
    const std::vector<std::vector<std::string>> inputs = {
        {"/dev/null"}, {"tree/a b", "/dev/null"}, {"odd/fifo"}, {"odd/fifo", "tree/a b"}};
    for (const std::vector<std::string>& names : inputs) {
        for (const bool withName : {false, true}) {
            SCOPED_TRACE(names.front() + (withName ? " -H" : ""));
            // The FIFO's writer: its open waits for the reader, so it ends once the FIFO was read.
            const auto writer = [&] {
                auto process = std::make_unique<QProcess>();
                process->setWorkingDirectory(s_dir->path());
                if (std::find(names.begin(), names.end(), "odd/fifo") != names.end())
                    process->start(u"sh"_qs, {u"-c"_qs, u"printf abc > odd/fifo"_qs});
                return process;
            };
            std::unique_ptr<QProcess> feeding = writer();
            Result reference = Coreutils("sha256sum", {}, names);
            feeding->waitForFinished(30000);
            feeding = writer();
            std::vector<std::string> arguments = names;
            if (withName)
                arguments.insert(arguments.begin(), "-H");
            const Result run = Quviro(arguments);
            // A reader that never opened the FIFO leaves its writer waiting: end it.
            if (!feeding->waitForFinished(30000))
                feeding->kill();
            EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
            EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
            if (names.size() == 1 && !withName)
                reference.output = reference.output.left(64) + '\n';
            EXPECT_EQ(run.output.toStdString(), reference.output.toStdString());
        }
    }
}

TEST_F(CliFileListTest, UnreadableFileAndFolderAsAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to switch to the unprivileged user " << UnprivilegedId;
    const std::string root = QFile::encodeName(s_dir->path()).toStdString();
    ASSERT_EQ(::mkdir((root + "/closed").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((root + "/closed/folder").c_str(), 0700), 0);
    WriteFile(root + "/closed/folder/inside", "x");
    WriteFile(root + "/closed/secret", "x");
    ASSERT_EQ(::chmod((root + "/closed/secret").c_str(), 0600), 0);
    WriteFile(root + "/closed/zz", "readable");
    const Result zz = Coreutils("sha256sum", {}, {"closed/zz"});
    const Result run = Quviro({"-r", "closed"}, true, true);
    EXPECT_EQ(run.exitCode, 1);
    // sha256sum's own line for the unreadable file, as the same user, under our name.
    std::string secret = RunIn(s_dir->path(), u"sha256sum"_qs, {"closed/secret"}, false, true).errors.toStdString();
    EXPECT_EQ(secret.substr(secret.find(": ")), ": closed/secret: Permission denied\n");
    secret.replace(0, secret.find(": "), "quviro-cli");
    EXPECT_EQ(run.output.toStdString(),
              "quviro-cli: closed/folder: Cannot read folder: Permission denied\n" + secret + zz.output.toStdString());
    QDir(QFile::decodeName((root + "/closed").c_str())).removeRecursively();
}

// 100 000 empty files with 64 descriptors allowed: nothing is held open longer than needed.
TEST_F(CliFileListTest, HundredThousandEmptyFilesUnderSixtyFourDescriptors) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string root = QFile::encodeName(dir.path()).toStdString();
    const std::string empty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855  ";
    std::string expected;
    // Links to one empty file per folder: creating 100 000 inodes is far slower on some file
    // systems, and every name is opened all the same.
    ASSERT_EQ(::mkdir((root + "/many").c_str(), 0700), 0);
    char name[64];
    for (int folder = 0; folder < 10; ++folder) {
        const std::string base = root + "/empty" + std::to_string(folder);
        WriteFile(base, "");
        std::snprintf(name, sizeof name, "/many/d%d", folder);
        ASSERT_EQ(::mkdir((root + name).c_str(), 0700), 0);
        for (int file = 0; file < 10000; ++file) {
            std::snprintf(name, sizeof name, "/many/d%d/f%05d", folder, file);
            ASSERT_EQ(::link(base.c_str(), (root + name).c_str()), 0) << name;
            expected.append(empty).append(name + 1).append("\n");
        }
    }
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(u"sh"_qs,
                  {u"-c"_qs, u"ulimit -n 64 && exec \"$0\" -r -j 4 many"_qs, QStringLiteral(QUVIRO_CLI_PATH)});
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardError().toStdString(), "");
    const QByteArray output = process.readAllStandardOutput();
    EXPECT_EQ(output.count('\n'), 100000);
    EXPECT_TRUE(output.toStdString() == expected) << "the lines differ from the expected names or order";
}

// -r over 10 000 files under the address-space limits and job counts of the report (as
// "ulimit -v" or "prlimit --as" sets them): never a signal, and every file ends in one line in
// its turn (its checksum, its error, its folder's error), or the last line tells how many were
// not reached and names the first.
TEST(CliFileListMemory, EveryWalkedFileIsAccountedForUnderAnAddressSpaceLimit) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#endif
    QTemporaryDir dir;
    std::vector<std::string> files;
    for (int d = 0; d < 100; ++d) {
        const QString folder = QStringLiteral("tree/d%1").arg(d, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(QDir(dir.path()).mkpath(folder));
        for (int f = 0; f < 100; ++f) {
            const QString name = folder + QStringLiteral("/f%1").arg(f, 3, 10, QLatin1Char('0'));
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(name.toUtf8()) > 0);
            files.push_back(name.toStdString());
        }
    }
    const struct {
        rlim_t kib;
        const char* jobs;
    } cases[] = {{400000, "64"}, {130000, "8"}, {100000, "256"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.kib) + " KiB, -j " + c.jobs);
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setChildProcessModifier([kib = c.kib] {
            const rlimit limit{kib * 1024, kib * 1024};
            if (::setrlimit(RLIMIT_AS, &limit) != 0)
                ::_exit(99);
        });
        process.start(QStringLiteral(QUVIRO_CLI_PATH), {u"-r"_qs, u"-j"_qs, QString::fromLatin1(c.jobs), u"tree"_qs});
        ASSERT_TRUE(process.waitForStarted() && process.waitForFinished(120000));
        ASSERT_EQ(process.exitStatus(), QProcess::NormalExit) << "ended by a signal";
        const std::string log = process.readAll().toStdString();
        EXPECT_TRUE(process.exitCode() == 0 || process.exitCode() == 1) << log;
        std::size_t next = 0;
        std::string lastName;
        for (std::size_t start = 0; start < log.size(); start = log.find('\n', start) + 1) {
            const std::string line = log.substr(start, log.find('\n', start) - start);
            const std::string notReached = "quviro-cli: Out of memory: ";
            if (line.starts_with(notReached)) {
                ASSERT_LT(next, files.size()) << line;
                const std::size_t count = files.size() - next;
                // Counted, or, when the walk itself ran out, told from the last name reached.
                const std::string counted = notReached + std::to_string(count) + (count == 1 ? " input" : " inputs") +
                                            " not reached, the first: " + files[next];
                const std::string walkStopped =
                    notReached + "the inputs after " + (next > 0 ? lastName : "") + " were not reached";
                EXPECT_TRUE(line == counted || (next > 0 && line == walkStopped)) << line;
                next = files.size();
                EXPECT_EQ(start + line.size() + 1, log.size()) << "the last line";
                break;
            }
            ASSERT_LT(next, files.size()) << line;
            const std::size_t blanks = line.find("  ");
            const std::string name =
                blanks != std::string::npos ? line.substr(blanks + 2) : line.substr(12, line.find(": ", 12) - 12);
            lastName = name;
            if (line.find(": Cannot read folder: ") != std::string::npos) {
                // A folder's error stands for every file in it.
                EXPECT_TRUE(files[next].starts_with(name + "/")) << line;
                while (next < files.size() && files[next].starts_with(name + "/"))
                    ++next;
                continue;
            }
            EXPECT_EQ(name, files[next]) << line;
            ++next;
        }
        EXPECT_EQ(next, files.size()) << log.substr(log.size() > 2000 ? log.size() - 2000 : 0);
    }
}

} // namespace
