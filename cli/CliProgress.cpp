#include "cli/CliProgress.h"

#include "pipeline/ProgressText.h"

#include <QString>

namespace {

std::int64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

bool WantsProgress(bool asked, bool stderrIsTerminal, std::int64_t fileSize) {
    constexpr std::int64_t AutomaticFrom = 64 * 1024 * 1024;
    return asked || (stderrIsTerminal && fileSize > AutomaticFrom);
}

TLineProgress::TLineProgress(TCliOutput& out, std::chrono::milliseconds interval)
    : m_out(out), m_interval(interval), m_start(TClock::now()), m_lastDraw(m_start - interval) {}

void TLineProgress::BytesHashed(std::int64_t bytesDone, std::int64_t bytesTotal) {
    const TClock::time_point now = TClock::now();
    if (now - m_lastDraw < m_interval)
        return;
    m_lastDraw = now;
    m_out.Status(ProgressText(bytesDone, bytesTotal, MillisecondsSince(m_start)));
}

void TLineProgress::Clear() {
    m_out.Status({});
}

TListProgressLine::TListProgressLine(TCliOutput& out, TListProgress& progress, TCountTotals countTotals,
                                     std::chrono::milliseconds interval, const TStartThread& start)
    : m_out(out), m_progress(progress), m_interval(interval), m_start(std::chrono::steady_clock::now()) {
    // A thread that cannot start costs the progress line only; the work goes on.
    m_thread = start([this, countTotals = std::move(countTotals)] { DrawWhileRunning(countTotals); }).Thread;
}

TListProgressLine::~TListProgressLine() {
    {
        // Under the lock, so that the wake-up cannot fall between the thread's check and its wait.
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_out.Status({});
}

void TListProgressLine::DrawWhileRunning(const TCountTotals& countTotals) {
    if (countTotals)
        countTotals(m_stopping);
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, m_interval, [&] { return m_stopping.load(); })) {
        m_out.Status(ListProgressText(m_progress.FilesDone(), m_progress.FilesTotal(), m_progress.BytesDone(),
                                      m_progress.BytesTotal(), MillisecondsSince(m_start)));
    }
}
