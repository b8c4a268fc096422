// quviro-cli's progress line: when it is drawn, how it is redrawn and wiped, how the other
// output goes past it, and the built program's line for several inputs and for -C.
#include "cli/CliProgress.h"
#include "cli/CliOutput.h"
#include "tests/support/RefusedThreadStart.h"
#include "tests/support/StateWait.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A file that stands in for a standard stream.
class TCapture {
public:
    TCapture() : m_file(std::tmpfile()) {}
    ~TCapture() {
        if (m_file)
            std::fclose(m_file);
    }
    TCapture(const TCapture&) = delete;
    TCapture& operator=(const TCapture&) = delete;

    int Descriptor() const { return m_file ? ::fileno(m_file) : -1; }
    // All that was written so far.
    std::string Text() const {
        std::string text;
        char buffer[4096];
        for (ssize_t n = 0; (n = ::pread(Descriptor(), buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0;)
            text.append(buffer, static_cast<std::size_t>(n));
        return text;
    }

private:
    std::FILE* m_file;
};

std::string Wipe(std::size_t width) {
    return "\r" + std::string(width, ' ') + "\r";
}

struct WantsCase {
    const char* name;
    bool asked;
    bool terminal;
    std::int64_t fileSize;
    bool wants;
};

const WantsCase WantsCases[] = {
    {"asked, not a terminal", true, false, 3, true},
    {"asked, text input", true, false, -1, true},
    {"terminal, large file", false, true, 64 * 1024 * 1024 + 1, true},
    {"terminal, exactly 64 MiB", false, true, 64 * 1024 * 1024, false},
    {"terminal, no file", false, true, -1, false},
    {"not a terminal, large file", false, false, std::int64_t{1} << 40, false},
};

TEST(CliProgressTest, WhenOneInputsProgressIsDrawn) {
    for (const WantsCase& c : WantsCases)
        EXPECT_EQ(WantsProgress(c.asked, c.terminal, c.fileSize), c.wants) << c.name;
}

// Each redraw covers the longer line before it, and the end wipes what was drawn.
TEST(CliProgressTest, RedrawsInPlaceAndWipesAtTheEnd) {
    TCapture out;
    TCapture err;
    TCliOutput output(out.Descriptor(), err.Descriptor(), TStatusForm::InPlace);
    TLineProgress progress(output, 0ms);
    progress.BytesHashed(1'000'000, 10'000'000);
    const std::string first = err.Text();
    ASSERT_EQ(first.rfind("\r1.0 MB of 10.0 MB (10 %)", 0), 0u) << first;
    progress.BytesHashed(10'000'000, 10'000'000);
    progress.Clear();
    const std::string all = err.Text();

    const std::string last = all.substr(all.rfind('\r', all.size() - 2));
    EXPECT_EQ(all.back(), '\r');
    EXPECT_EQ(last.find_first_not_of(" \r"), std::string::npos) << "the last line wipes: " << last;
    EXPECT_GE(last.size() - 2, first.size() - 1) << "the wipe covers the longest line";
    EXPECT_EQ(out.Text(), "");
}

TEST(CliProgressTest, NothingDrawnNothingWiped) {
    TCapture err;
    TCliOutput output(-1, err.Descriptor(), TStatusForm::InPlace);
    TLineProgress progress(output);
    progress.Clear();
    EXPECT_EQ(err.Text(), "");
}

// Lines on standard output and messages on standard error, here one file as on a terminal,
// go where the progress line was, and the line comes back below them.
TEST(CliProgressTest, OtherOutputGoesPastTheLine) {
    TCapture terminal;
    TCliOutput output(terminal.Descriptor(), terminal.Descriptor(), TStatusForm::InPlace);
    const std::string line = "\r12 files, 4.0 MB";
    output.Status("12 files, 4.0 MB");
    output.Out("digest  a\n");
    output.Flush();
    output.Message("b: No such file or directory");
    output.Status({});
    EXPECT_EQ(terminal.Text(), line + Wipe(16) + "digest  a\n" + line + Wipe(16) +
                                   "quviro-cli: b: No such file or directory\n" + line + Wipe(16));
}

// The list's line shows the counts the jobs report and the totals counted on its own thread,
// and is wiped when it goes.
TEST(CliProgressTest, ListLineShowsTheCountsUntilItGoes) {
    TCapture err;
    TCliOutput output(-1, err.Descriptor(), TStatusForm::InPlace);
    TListProgress progress;
    {
        TListProgressLine line(
            output, progress, [&](const std::atomic<bool>&) { progress.SetTotals(2, 3000); }, 1ms);
        TListProgress::TFileObserver file(progress);
        file.BytesHashed(0, 1000);
        file.BytesHashed(1000, 1000);
        progress.FileDone();
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (err.Text().find("\r1 of 2 files, 1.0 KB of 3.0 KB (33 %)") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        EXPECT_NE(err.Text().find("\r1 of 2 files, 1.0 KB of 3.0 KB (33 %)"), std::string::npos) << err.Text();
    }
    const std::string all = err.Text();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back(), '\r');
    EXPECT_EQ(all.substr(all.rfind('\r', all.size() - 2)).find_first_not_of(" \r"), std::string::npos) << all;
}

// Without a thread of its own the list's line is left out: nothing is drawn, the totals are not
// counted, and the work's own output goes on.
TEST(CliProgressTest, AListLineWhoseThreadCannotStartDrawsNothing) {
    TCapture out;
    TCapture err;
    // Finish closes standard output: a copy of the capture's descriptor.
    TCliOutput output(::dup(out.Descriptor()), err.Descriptor(), TStatusForm::InPlace);
    TListProgress progress;
    bool counted = false;
    {
        TListProgressLine line(
            output, progress, [&](const std::atomic<bool>&) { counted = true; }, 1ms,
            [](std::function<void()>) { return RefusedThreadStart(); });
        progress.FileDone();
        EXPECT_TRUE(output.Out("digest  a\n"));
    }
    EXPECT_TRUE(output.Finish());
    EXPECT_FALSE(counted);
    EXPECT_EQ(err.Text(), "");
    EXPECT_EQ(out.Text(), "digest  a\n");
}

// Lines wait for the flushing thread; without one they go out at once, none lost.
TEST(CliProgressTest, OutputWithoutAFlushingThreadWritesEachLineAtOnce) {
    struct TCase {
        const char* name;
        bool threadStarts;
        const char* shownBeforeFinish;
    };
    const TCase cases[] = {
        {"flushed within the delay", true, ""},
        {"no thread to flush", false, "digest  a\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TCapture out;
        TCliOutput output(::dup(out.Descriptor()), -1);
        output.FlushWithin(1h, [&](std::function<void()> body) {
            return c.threadStarts ? StartThread(std::move(body)) : RefusedThreadStart();
        });
        EXPECT_TRUE(output.Out("digest  a\n"));
        EXPECT_EQ(out.Text(), c.shownBeforeFinish);
        EXPECT_TRUE(output.Finish());
        EXPECT_EQ(out.Text(), "digest  a\n");
    }
}

// SHA-256 of "abc" and of "hello\n".
const std::string Abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string Hello = "5891b5b522d5df086d0ff0b110fbd9d21bb4fc7163af34d08286a2e846f6be03";

struct TProgressRun {
    bool drawn = false;
    bool killed = false;
    int exitCode = -1;
    std::string output;
    std::string errors;
};

// Runs quviro-cli in folder. Its standard input, among its inputs, stays open until drawn
// appears on standard error; then it gets "abc" and its end, or SIGTERM comes instead.
TProgressRun RunUntilDrawn(const QString& folder, const QStringList& arguments, const std::string& drawn,
                           bool terminate) {
    TProgressRun run;
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setReadChannel(QProcess::StandardError);
    process.start(QStringLiteral(QUVIRO_CLI_PATH), arguments);
    if (!process.waitForStarted())
        return run;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (run.errors.find(drawn) == std::string::npos && std::chrono::steady_clock::now() < deadline &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
        run.errors += process.readAllStandardError().toStdString();
    }
    run.drawn = run.errors.find(drawn) != std::string::npos;
    if (terminate) {
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    } else {
        process.write("abc");
        process.closeWriteChannel();
    }
    if (!process.waitForFinished(30000))
        return run;
    run.killed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput().toStdString();
    run.errors += process.readAllStandardError().toStdString();
    return run;
}

// Standard error, not a terminal here, holds whole progress lines only: nothing drawn in place.
void ExpectOnlyProgressLines(const std::string& errors) {
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.find('\r'), std::string::npos) << errors;
    EXPECT_EQ(errors.back(), '\n') << errors;
    for (std::size_t start = 0; start < errors.size(); start = errors.find('\n', start) + 1)
        EXPECT_EQ(errors.compare(start, 12, "quviro-cli: "), 0) << errors.substr(start);
}

class CliProgressRunTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        for (const auto& [name, bytes] : {std::pair{"abc.txt", "abc"}, {"hello.txt", "hello\n"}}) {
            QFile file(m_dir.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == qint64(std::strlen(bytes)));
        }
    }

    QTemporaryDir m_dir;
};

// ThreadSanitizer holds a caught signal back while the thread it lands on waits in read(2), as
// quviro-cli does here on its held-open standard input, so under it a signal waits for the input.
#if defined(__SANITIZE_THREAD__)
const std::vector<bool> Endings = {false};
#else
const std::vector<bool> Endings = {false, true};
#endif

// Files and bytes come with their totals; the lines on standard output are untouched by the
// progress lines; a SIGTERM mid-run leaves the finished lines.
TEST_F(CliProgressRunTest, SeveralInputsShowFilesAndBytesOfTheirTotals) {
    for (const bool terminate : Endings) {
        SCOPED_TRACE(terminate ? "SIGTERM" : "input ends");
        const TProgressRun run =
            RunUntilDrawn(m_dir.path(), {u"--progress"_qs, u"abc.txt"_qs, u"hello.txt"_qs, u"-"_qs},
                          "quviro-cli: 2 of 3 files, 9 B of 9 B (100 %)", terminate);
        EXPECT_TRUE(run.drawn) << run.errors;
        EXPECT_EQ(run.killed, terminate);
        const std::string firstTwo = Abc + "  abc.txt\n" + Hello + "  hello.txt\n";
        EXPECT_EQ(run.output, terminate ? firstTwo : firstTwo + Abc + "  -\n");
        if (!terminate) {
            EXPECT_EQ(run.exitCode, 0);
        }
        ExpectOnlyProgressLines(run.errors);
    }
}

// -C counts the list's files and their bytes before it is far into them.
TEST_F(CliProgressRunTest, AListsFilesAreCountedForItsLine) {
    QFile list(m_dir.filePath(u"SUMS"_qs));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(QByteArray::fromStdString(Abc + "  abc.txt\n" + Hello + "  hello.txt\n" + Abc + "  -\n"));
    list.close();
    const TProgressRun run = RunUntilDrawn(m_dir.path(), {u"--progress"_qs, u"-C"_qs, u"SUMS"_qs},
                                           "quviro-cli: 2 of 3 files, 9 B of 9 B (100 %)", false);
    EXPECT_TRUE(run.drawn) << run.errors;
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "abc.txt: OK\nhello.txt: OK\n-: OK\n");
    ExpectOnlyProgressLines(run.errors);
}

// Both streams into one file, as "> L 2>&1" gives: the progress is whole lines of its own
// between the checksum lines, never text inside them, for several inputs and for -C.
TEST_F(CliProgressRunTest, ProgressIntoAFileHoldingBothStreamsIsWholeLines) {
    QFile list(m_dir.filePath(u"SUMS"_qs));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(QByteArray::fromStdString(Abc + "  abc.txt\n" + Hello + "  hello.txt\n" + Abc + "  -\n"));
    list.close();
    const struct {
        const char* name;
        QStringList arguments;
        std::string finished;
    } cases[] = {
        {"several inputs", {u"--progress"_qs, u"abc.txt"_qs, u"hello.txt"_qs, u"-"_qs}, Abc + "  -\n"},
        {"-C", {u"--progress"_qs, u"-C"_qs, u"SUMS"_qs}, "-: OK\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(QUVIRO_CLI_PATH), c.arguments);
        ASSERT_TRUE(process.waitForStarted());
        std::string log;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(StateWaitMs);
        while (log.find("files") == std::string::npos && std::chrono::steady_clock::now() < deadline &&
               process.state() == QProcess::Running) {
            process.waitForReadyRead(100);
            log += process.readAll().toStdString();
        }
        EXPECT_NE(log.find("files"), std::string::npos) << "no progress shown: " << log;
        process.write("abc");
        process.closeWriteChannel();
        ASSERT_TRUE(process.waitForFinished(StateWaitMs));
        log += process.readAll().toStdString();
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_EQ(log.find('\r'), std::string::npos) << log;
        ASSERT_TRUE(log.ends_with(c.finished)) << log;
        for (std::size_t start = 0; start < log.size(); start = log.find('\n', start) + 1) {
            const std::string line = log.substr(start, log.find('\n', start) - start);
            EXPECT_TRUE(line.starts_with("quviro-cli: ") || line.ends_with(": OK") || line.starts_with(Abc + "  ") ||
                        line.starts_with(Hello + "  "))
                << line;
        }
    }
}

} // namespace
