// quviro-cli's progress line on standard error, drawn through TCliOutput: redrawn in place a
// few times a second while a file, several files or a list's files are hashed, and wiped when
// the work ends.
#pragma once

#include "cli/CliOutput.h"
#include "hashing/HashObserver.h"
#include "hashing/HashProgress.h"
#include "platform/ThreadStart.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// Whether to draw the progress of one input: when asked (--progress), else when standard error
// is a terminal and the input is a file larger than 64 MiB (fileSize -1 when it is no file).
bool WantsProgress(bool asked, bool stderrIsTerminal, std::int64_t fileSize);

// One input's progress: drawn at the first chunk, then at most every interval, on the thread
// that reads.
class TLineProgress final : public THashObserver {
public:
    using TClock = std::chrono::steady_clock;

    explicit TLineProgress(TCliOutput& out, std::chrono::milliseconds interval = std::chrono::milliseconds(250));

    void BytesHashed(std::int64_t bytesDone, std::int64_t bytesTotal) override;
    bool CancelRequested() const override { return false; }

    // Wipes the line; call once hashing is over.
    void Clear();

private:
    TCliOutput& m_out;
    std::chrono::milliseconds m_interval;
    TClock::time_point m_start;
    TClock::time_point m_lastDraw;
};

// Many files' progress: files and bytes done, the speed, and with known totals the time left,
// drawn every interval by a thread of its own from the counts in progress, until destroyed,
// which wipes the line; work that ends within the first interval draws nothing. Before its
// first drawing the thread runs countTotals, when given, to set the totals while the work
// already goes on; it should return soon once its argument turns true. The thread is started
// through start; a thread that cannot start costs the display only.
class TListProgressLine {
public:
    using TCountTotals = std::function<void(const std::atomic<bool>& stopping)>;

    TListProgressLine(TCliOutput& out, TListProgress& progress, TCountTotals countTotals = {},
                      std::chrono::milliseconds interval = std::chrono::milliseconds(250),
                      const TStartThread& start = StartThread);
    ~TListProgressLine();
    TListProgressLine(const TListProgressLine&) = delete;
    TListProgressLine& operator=(const TListProgressLine&) = delete;

private:
    void DrawWhileRunning(const TCountTotals& countTotals);

    TCliOutput& m_out;
    TListProgress& m_progress;
    std::chrono::milliseconds m_interval;
    std::chrono::steady_clock::time_point m_start;
    std::atomic<bool> m_stopping{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
};
