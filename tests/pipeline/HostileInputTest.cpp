// Hostile inputs for both fronts of the request pipeline: each case runs through
// RunHashRequest in this process and through the built quviro-cli, and must end in the
// expected digest or the expected message, never in a hang, a crash or a digest of partial data.
// Expected digests come from OpenSSL. The window refuses whatever is not a regular file; the
// command reads what the user names as md5sum does: a FIFO once its writer comes, a device to
// its end, /dev/zero until it is interrupted.
#include "pipeline/HashPipeline.h"

#include "tests/crypt/OpenSslDigest.h"
#include "tests/support/UnprivilegedRun.h"
#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

namespace {

constexpr qint64 MiB = 1024 * 1024;

QString ReferenceMd5(const QByteArray& bytes) {
    return QString::fromStdString(OpenSslHex(
        THashAlgorithm::MD5, reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
}

// A folder readable by the unprivileged user, so that only the file's own mode refuses it.
class HostileFolder {
public:
    HostileFolder() { ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray Native(const QString& name) const { return QFile::encodeName(Path(name)); }
    QString Write(const QString& name, const QByteArray& content, mode_t mode = 0644) const {
        QFile file(Path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            ADD_FAILURE() << "cannot write " << name.toStdString();
        file.close();
        ::chmod(Native(name).constData(), mode);
        return Path(name);
    }

private:
    QTemporaryDir m_dir;
};

enum class Front { Pipeline, Cli };

// What a front must answer: a digest, or a failure message (with the command's exit code).
struct Expected {
    QString digest;
    QString error;
    int cliExit = 0;
    // The signal that ends the command instead of an exit (a read that never ends).
    int cliSignal = 0;
};

struct HostileCase {
    const char* name;
    int inputType;
    // Prepares the input; answers the text given to the pipeline (the file name for files).
    std::function<QString(const HostileFolder&)> prepare;
    std::function<Expected(const QString& input, Front front)> expected;
    // Run the front as the unprivileged user (see UnprivilegedRun.h).
    bool unprivileged = false;
    // The file shrinks to a few bytes once hashing has begun.
    bool shrinks = false;
    // When set, the command reads these bytes from standard input instead of taking the input
    // as an argument (too large, or not valid as an argument).
    std::function<QByteArray(const QString& input)> cliStandardInput = nullptr;
    // Done while the command runs: a FIFO's writer, an interruption.
    std::function<void(QProcess& cli, const QString& input)> cliWhileRunning = nullptr;
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

Expected NoFile(const QString&, Front) {
    return {{}, u"File does not exist"_qs, 1};
}

// The window's "File does not exist"; the command's line names the input and the system's
// reason, as md5sum's does.
std::function<Expected(const QString&, Front)> NoFileOrReason(const char* reason) {
    return [reason](const QString& input, Front front) {
        if (front == Front::Pipeline)
            return NoFile(input, front);
        return Expected{{}, u"quviro-cli: "_qs + input + u": "_qs + QString::fromLatin1(reason), 1};
    };
}

// The digest of what a plain read of the file to its end yields.
Expected ContentDigest(const QString& input, Front) {
    std::ifstream file(QFile::encodeName(input).toStdString(), std::ios::binary);
    const std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (content.empty())
        ADD_FAILURE() << input.toStdString() << " has no content here";
    return {ReferenceMd5(QByteArray::fromStdString(content)), {}, 0};
}

QByteArray Text64MiB() {
    QByteArray text;
    text.reserve(64 * MiB);
    for (int line = 0; text.size() < 64 * MiB; ++line)
        text += "line " + QByteArray::number(line) + " of sixty-four mebibytes of text\r\n";
    text.truncate(64 * MiB);
    return text;
}

QByteArray Bytes48MiB() {
    QByteArray bytes(48 * MiB, Qt::Uninitialized);
    std::uint32_t x = 0x12345678;
    for (char& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = char(x >> 24);
    }
    return bytes;
}

// Bytes the process has read so far, by any read call (pread included).
qint64 BytesRead(qint64 pid) {
    QFile io(u"/proc/"_qs + QString::number(pid) + u"/io"_qs);
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line; !(line = io.readLine()).isEmpty();)
        if (line.startsWith("rchar: "))
            return line.mid(7).trimmed().toLongLong();
    return -1;
}

bool HasOpen(qint64 pid, const QByteArray& target) {
    const QByteArray fds = "/proc/" + QByteArray::number(pid) + "/fd/";
    for (int fd = 3; fd < 64; ++fd) {
        char link[4096];
        const ssize_t length = ::readlink((fds + QByteArray::number(fd)).constData(), link, sizeof link);
        if (length > 0 && QByteArray(link, length) == target)
            return true;
    }
    return false;
}

// Does act once the process has path open and has read another mebibyte since: the reading has
// begun and is far from its end.
void WhenReadingBegan(qint64 pid, const QString& path, const std::function<void()>& act) {
    const QByteArray target = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    qint64 baseline = -1;
    while (std::chrono::steady_clock::now() < deadline) {
        if (baseline < 0 && HasOpen(pid, target))
            baseline = BytesRead(pid);
        if (baseline >= 0 && BytesRead(pid) > baseline + MiB) {
            act();
            return;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ADD_FAILURE() << "the process never began reading " << path.toStdString();
}

// Truncates path to a few bytes once the process is reading it.
void ShrinkOnceReadingBegan(qint64 pid, const QString& path) {
    WhenReadingBegan(pid, path, [&] { ::truncate(QFile::encodeName(path).constData(), 16); });
}

constexpr char FifoBytes[] = "bytes through a FIFO";

// The FIFO's writer, opened read-write so that neither it nor the command's open can wait:
// it writes its bytes (far less than a pipe holds) and closes once the command has the FIFO
// open, so the command reads them and then the end. A command that ends without opening it
// ends the wait too.
void FeedFifo(QProcess& cli, const QString& fifo) {
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_RDWR);
    ASSERT_GE(writer, 0) << "cannot open " << fifo.toStdString();
    const ssize_t size = sizeof FifoBytes - 1;
    EXPECT_EQ(::write(writer, FifoBytes, size), size);
    const QByteArray target = QFile::encodeName(QFileInfo(fifo).canonicalFilePath());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!HasOpen(cli.processId(), target) && !cli.waitForFinished(1) && std::chrono::steady_clock::now() < deadline)
        ;
    ::close(writer);
}

// Interrupts the command once it reads: SIGTERM while it runs ends a read that never would.
void InterruptOnceReadingBegan(QProcess& cli, const QString& input) {
    const qint64 pid = cli.processId();
    WhenReadingBegan(pid, input, [pid] { ::kill(pid_t(pid), SIGTERM); });
}

const HostileCase HostileCases[] = {
    {"fifo", InputTypeFile,
     [](const HostileFolder& f) {
         ::mkfifo(f.Native(u"fifo"_qs).constData(), 0666);
         return f.Path(u"fifo"_qs);
     },
     [](const QString& input, Front front) {
         return front == Front::Pipeline ? NoFile(input, front) : Expected{ReferenceMd5(FifoBytes), {}, 0};
     },
     false, false, nullptr, FeedFifo},
    {"socket", InputTypeFile,
     [](const HostileFolder& f) {
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         const QByteArray path = f.Native(u"socket"_qs);
         std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
         ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
         ::listen(fd, 1);
         // The socket stays bound for the rest of the run; a connecting opener would wait.
         return f.Path(u"socket"_qs);
     },
     NoFileOrReason("No such device or address")},
    {"dev_zero", InputTypeFile, [](const HostileFolder&) { return u"/dev/zero"_qs; },
     [](const QString& input, Front front) {
         return front == Front::Pipeline ? NoFile(input, front) : Expected{{}, {}, 0, SIGTERM};
     },
     false, false, nullptr, InterruptOnceReadingBegan},
    {"dev_null", InputTypeFile, [](const HostileFolder&) { return u"/dev/null"_qs; },
     [](const QString& input, Front front) {
         return front == Front::Pipeline ? NoFile(input, front) : Expected{ReferenceMd5({}), {}, 0};
     }},
    {"folder", InputTypeFile,
     [](const HostileFolder& f) {
         ::mkdir(f.Native(u"folder"_qs).constData(), 0755);
         return f.Path(u"folder"_qs);
     },
     NoFileOrReason("Is a directory")},
    {"dangling_link", InputTypeFile,
     [](const HostileFolder& f) {
         ::symlink(f.Native(u"nowhere"_qs).constData(), f.Native(u"dangling"_qs).constData());
         return f.Path(u"dangling"_qs);
     },
     NoFileOrReason("No such file or directory")},
    {"link_loop", InputTypeFile,
     [](const HostileFolder& f) {
         ::symlink(f.Native(u"loop-b"_qs).constData(), f.Native(u"loop-a"_qs).constData());
         ::symlink(f.Native(u"loop-a"_qs).constData(), f.Native(u"loop-b"_qs).constData());
         return f.Path(u"loop-a"_qs);
     },
     NoFileOrReason("Too many levels of symbolic links")},
    {"unreadable_file", InputTypeFile, [](const HostileFolder& f) { return f.Write(u"secret"_qs, "secret", 0); },
     [](const QString& input, Front front) {
         if (front == Front::Cli)
             return Expected{{}, u"quviro-cli: "_qs + input + u": Permission denied"_qs, 1};
         return Expected{{}, u"Error Opening File: Cannot open file \""_qs + input + u"\". Permission denied"_qs, 1};
     },
     true},
    {"file_shrinks_while_hashed", InputTypeFile,
     [](const HostileFolder& f) {
         const QString path = f.Path(u"shrinking"_qs);
         QFile file(path);
         if (!file.open(QIODevice::WriteOnly) || !file.resize(2048 * MiB))
             ADD_FAILURE() << "cannot create the sparse file";
         return path;
     },
     [](const QString& input, Front front) {
         if (front == Front::Cli)
             return Expected{{}, u"quviro-cli: "_qs + input + u": the file changed size while it was read"_qs, 1};
         return Expected{{}, u"Error Hashing data: Stream read error: the file changed size while it was read"_qs, 1};
     },
     false, true},
    // Pseudo-files report a size that is not their content's (procfs 0, sysfs a page); the
    // digest is of what reading to the end yields.
    {"procfs_file", InputTypeFile, [](const HostileFolder&) { return u"/proc/version"_qs; }, ContentDigest},
    {"sysfs_file", InputTypeFile, [](const HostileFolder&) { return u"/sys/devices/system/cpu/possible"_qs; },
     ContentDigest},
    {"name_with_newlines", InputTypeFile,
     [](const HostileFolder& f) { return f.Write(u"first\nsecond\r\nthird"_qs, "abc"); },
     [](const QString&, Front) {
         return Expected{ReferenceMd5("abc"), {}, 0};
     }},
    // The window trims the name typed in its field; the command hashes the file it is given,
    // as md5sum does.
    {"name_ending_in_newline", InputTypeFile,
     [](const HostileFolder& f) {
         f.Write(u"name\n"_qs, "with newline");
         f.Write(u"name"_qs, "without");
         return f.Path(u"name\n"_qs);
     },
     [](const QString&, Front front) {
         return Expected{ReferenceMd5(front == Front::Pipeline ? "without" : "with newline"), {}, 0};
     }},
    {"text_64_mib", InputTypeText, [](const HostileFolder&) { return QString::fromLatin1(Text64MiB()); },
     [](const QString&, Front) {
         return Expected{ReferenceMd5(Text64MiB()), {}, 0};
     },
     false, false, [](const QString& input) { return input.toUtf8(); }},
    // Lone surrogates (a high one without its partner, a low one alone) are hashed as U+FFFD,
    // EF BF BD, as the platform's UTF-8 converter writes them. Bytes cannot carry them: the
    // command gets their three-byte forms ED A0 80 and ED B0 80, which are not UTF-8, and
    // refuses them rather than hash other bytes than the ones given.
    {"invalid_utf16_lone_surrogates", InputTypeText,
     [](const HostileFolder&) { return u"a"_qs + QChar(0xD800) + u"b"_qs + QChar(0xDC00); },
     [](const QString&, Front front) {
         if (front == Front::Cli)
             return Expected{{}, u"Standard input is not valid UTF-8 text"_qs, 1};
         return Expected{ReferenceMd5("a\xEF\xBF\xBD"
                                      "b\xEF\xBF\xBD"),
                         {},
                         0};
     },
     false, false,
     [](const QString&) {
         return QByteArray("a\xED\xA0\x80"
                           "b\xED\xB0\x80");
     }},
    {"base64_64_mib", InputTypeBase64,
     [](const HostileFolder&) { return QString::fromLatin1(Bytes48MiB().toBase64()); },
     [](const QString&, Front) {
         return Expected{ReferenceMd5(Bytes48MiB()), {}, 0};
     },
     false, false, [](const QString& input) { return input.toLatin1(); }},
};

// Runs the request in a child process switched to the unprivileged user; answers the outcome's
// digest and error text.
std::pair<QString, QString> RunRequestUnprivileged(const HashRequest& request) {
    int channel[2];
    if (::pipe(channel) != 0)
        return {{}, u"<pipe failed>"_qs};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (!DropRootPrivileges())
            ::_exit(3);
        const HashOutcome outcome = RunHashRequest(request);
        const QByteArray reply = (ToQString(outcome.Digest) + u'\n' + ToQString(outcome.ErrorText)).toUtf8();
        const bool written = ::write(channel[1], reply.constData(), std::size_t(reply.size())) == reply.size();
        ::_exit(written ? 0 : 4);
    }
    ::close(channel[1]);
    QByteArray reply;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        reply.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {{}, u"<child failed>"_qs};
    const qsizetype split = reply.indexOf('\n');
    return {QString::fromUtf8(reply.left(split)), QString::fromUtf8(reply.mid(split + 1))};
}

HashRequest MakeRequest(const HostileCase& c, const QString& input) {
    HashRequest request;
    request.InputType = c.inputType;
    request.InputText = Utf16(input);
    request.HashItems = {u"MD5"};
    request.HashType = 0;
    return request;
}

// A copy of quviro-cli that the unprivileged user can run: the build folder may lie inside an
// owner-only folder (a clone in a 0700 home). The copy's folder goes with the object.
class ReachableCommand {
public:
    ReachableCommand() {
        const QString copy = m_dir.filePath(u"quviro-cli"_qs);
        if (!QFile::copy(QStringLiteral(QUVIRO_CLI_PATH), copy))
            ADD_FAILURE() << "cannot copy quviro-cli to " << copy.toStdString();
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
        ::chmod(QFile::encodeName(copy).constData(), 0755);
    }
    QString Path() const { return m_dir.filePath(u"quviro-cli"_qs); }

private:
    QTemporaryDir m_dir;
};

class HostileInputTest : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileInputTest, Pipeline) {
    const HostileCase& c = GetParam();
    HostileFolder folder;
    const QString input = c.prepare(folder);
    const HashRequest request = MakeRequest(c, input);
    const Expected expected = c.expected(input, Front::Pipeline);

    QString digest;
    QString error;
    if (c.unprivileged) {
        std::tie(digest, error) = RunRequestUnprivileged(request);
    } else if (c.shrinks) {
        // Hashing 2 GiB takes far longer than the watcher needs to see the reading begin.
        std::thread watcher(ShrinkOnceReadingBegan, qint64(::getpid()), input);
        const HashOutcome outcome = RunHashRequest(request);
        watcher.join();
        std::tie(digest, error) = std::pair{ToQString(outcome.Digest), ToQString(outcome.ErrorText)};
    } else {
        const HashOutcome outcome = RunHashRequest(request);
        std::tie(digest, error) = std::pair{ToQString(outcome.Digest), ToQString(outcome.ErrorText)};
    }
    EXPECT_EQ(digest.toStdString(), expected.digest.toStdString());
    EXPECT_EQ(error.toStdString(), expected.error.toStdString());
}

TEST_P(HostileInputTest, CommandLine) {
    const HostileCase& c = GetParam();
    HostileFolder folder;
    const QString input = c.prepare(folder);
    const Expected expected = c.expected(input, Front::Cli);

    // The option values of -t, by input type.
    static const char* const Types[InputTypeCount] = {"file", "text", "hex", "base64"};
    QStringList arguments{u"-a"_qs, u"md5"_qs, u"-t"_qs, QString::fromLatin1(Types[c.inputType]), u"--"_qs};
    arguments << (c.cliStandardInput ? u"-"_qs : input);
    const QByteArray standardInput = c.cliStandardInput ? c.cliStandardInput(input) : QByteArray();
    QProcess cli;
    std::optional<ReachableCommand> command;
    if (c.unprivileged) {
        command.emplace();
        cli.setChildProcessModifier([] {
            if (!DropRootPrivileges())
                ::_exit(3);
        });
    }
    cli.start(command ? command->Path() : QStringLiteral(QUVIRO_CLI_PATH), arguments);
    ASSERT_TRUE(cli.waitForStarted());
    if (c.shrinks)
        ShrinkOnceReadingBegan(cli.processId(), input);
    if (c.cliWhileRunning)
        c.cliWhileRunning(cli, input);
    cli.write(standardInput);
    cli.closeWriteChannel();
    // A FIFO's writer may have seen the command end already.
    if (cli.state() != QProcess::NotRunning && !cli.waitForFinished(60000)) {
        cli.kill();
        cli.waitForFinished();
        FAIL() << "quviro-cli did not finish";
    }
    // Qt gives the signal that ended a process as its exit code.
    EXPECT_EQ(cli.exitStatus(), expected.cliSignal ? QProcess::CrashExit : QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), expected.cliSignal ? expected.cliSignal : expected.cliExit);
    const QString output = QString::fromUtf8(cli.readAllStandardOutput());
    const QString errors = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_EQ(output.toStdString(),
              expected.digest.isEmpty() ? std::string() : (expected.digest + u'\n').toStdString());
    // A usage error adds the synopsis after its first line.
    if (expected.error.isEmpty())
        EXPECT_EQ(errors.toStdString(), "");
    else
        EXPECT_TRUE(errors.startsWith(expected.error + u'\n')) << errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileInputTest, testing::ValuesIn(HostileCases),
                         [](const testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

// A pipe the command reaches by a name, as a shell hands it over: "/dev/stdin" on a pipe, the
// "/dev/fd/63" of "<(...)", the same descriptor through /proc/self/fd. The command hashes the
// pipe's bytes and md5sum, given the same, prints the same digest.
TEST(HostileNamedPipe, IsReadAsMd5sumReadsIt) {
    const struct {
        const char* name;
        int descriptor;
        QString argument;
    } cases[] = {
        {"dev_stdin", 0, u"/dev/stdin"_qs},
        {"process_substitution", 63, u"/dev/fd/63"_qs},
        {"proc_self_fd", 63, u"/proc/self/fd/63"_qs},
    };
    const QByteArray bytes = "bytes through a pipe\n";
    const QString md5sum = QStandardPaths::findExecutable(u"md5sum"_qs);
    ASSERT_FALSE(md5sum.isEmpty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList lines;
        for (const auto& [program, arguments] :
             {std::pair{QStringLiteral(QUVIRO_CLI_PATH), QStringList{u"-a"_qs, u"md5"_qs, u"-H"_qs}},
              std::pair{md5sum, QStringList{}}}) {
            // Filled and closed before the command starts, so its read ends at the pipe's end.
            int pipe[2];
            ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
            EXPECT_EQ(::write(pipe[1], bytes.constData(), std::size_t(bytes.size())), bytes.size());
            ::close(pipe[1]);
            QProcess run;
            run.setChildProcessModifier([from = pipe[0], to = c.descriptor] {
                if (::dup2(from, to) != to)
                    ::_exit(3);
            });
            run.start(program, arguments + QStringList{c.argument});
            const bool finished = run.waitForFinished(60000);
            ::close(pipe[0]);
            ASSERT_TRUE(finished) << program.toStdString() << " did not finish";
            EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
            lines << QString::fromUtf8(run.readAllStandardOutput());
        }
        EXPECT_EQ(lines[0].toStdString(), (ReferenceMd5(bytes) + u"  "_qs + c.argument + u'\n').toStdString());
        EXPECT_EQ(lines[0].toStdString(), lines[1].toStdString());
    }
}

} // namespace
