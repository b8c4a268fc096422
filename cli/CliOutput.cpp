#include "cli/CliOutput.h"

#include "platform/Descriptors.h"
#include "platform/Files.h"
#include "platform/Signals.h"
#include "platform/Terminal.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <new>

namespace {

// Lines wait in the buffer until it holds this much, unless a flush comes first.
constexpr std::size_t BufferLimit = 64 * 1024;

// A fatal signal cuts a write(2) to a file short at a page boundary, mid-line. With the guard
// in place an ending signal that arrives during a write waits for the write to finish; at any
// other moment it ends the program at once, as without the guard.
enum TWriteState : int { Idle, Writing, Ending };
std::atomic<int> WriteState{Idle};
std::atomic<int> PendingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

// The progress line on show, for an ending signal to wipe: where it is and how wide (0: none).
std::atomic<int> StatusDescriptor{StandardErrorFd};
std::atomic<std::size_t> StatusWidth{0};
static_assert(std::atomic<std::size_t>::is_always_lock_free, "the signal handler needs lock-free atomics");

// Safe in a signal handler: WriteDescriptor only.
void WipeStatusForSignal() {
    static constexpr char Blanks[] = "                                                                ";
    const int fd = StatusDescriptor.load();
    std::size_t left = StatusWidth.exchange(0);
    int error = 0;
    if (left == 0 || WriteDescriptor(fd, "\r", 1, error) != 1)
        return;
    while (left > 0) {
        const std::int64_t n = WriteDescriptor(fd, Blanks, std::min(left, sizeof Blanks - 1), error);
        if (n <= 0)
            return;
        left -= static_cast<std::size_t>(n);
    }
    // Back to the line's start, where the shell's prompt goes.
    WriteDescriptor(fd, "\r", 1, error);
}

void EndBySignal(int signal) {
    WipeStatusForSignal();
    EndProcessBySignal(signal);
}

void OnEndingSignal(int signal) {
    int idle = Idle;
    if (WriteState.compare_exchange_strong(idle, Ending))
        EndBySignal(signal);
    else
        PendingSignal.store(signal);
}

// Brackets one write(2) with the guard; answers false when the program is ending already.
class TWholeWrite {
public:
    TWholeWrite() {
        int idle = Idle;
        m_started = WriteState.compare_exchange_strong(idle, Writing);
    }
    ~TWholeWrite() {
        if (!m_started)
            return;
        WriteState.store(Idle);
        if (const int signal = PendingSignal.exchange(0); signal != 0) {
            WriteState.store(Ending);
            EndBySignal(signal);
        }
    }
    TWholeWrite(const TWholeWrite&) = delete;
    TWholeWrite& operator=(const TWholeWrite&) = delete;
    bool Started() const { return m_started; }

private:
    bool m_started = false;
};

} // namespace

void KeepWritesWholeOnSignals() {
    HandleEndingSignals(OnEndingSignal);
}

TCliOutput::TCliOutput(int out, int err, std::optional<TStatusForm> form)
    : m_out(out), m_err(err), m_statusForm(form.value_or(IsTerminal(err) ? TStatusForm::InPlace : TStatusForm::Lines)) {
}

TCliOutput::~TCliOutput() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_flusher.joinable())
        m_flusher.join();
}

bool TCliOutput::WriteAll(int fd, std::string_view bytes, int& error) {
    while (!bytes.empty()) {
        const TWholeWrite guard;
        if (!guard.Started()) {
            // A signal is ending the program; nothing more goes out.
            error = EINTR;
            return false;
        }
        int failure = 0;
        const std::int64_t n = WriteDescriptor(fd, bytes.data(), bytes.size(), failure);
        if (n < 0 && failure == EINTR)
            continue;
        if (n <= 0) {
            // A write that takes nothing without an errno would loop forever; call it an I/O error.
            error = n < 0 && failure != 0 ? failure : EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool TCliOutput::FlushLocked() {
    if (m_outError != 0)
        return false;
    if (m_buffer.empty())
        return true;
    m_written = true;
    // Standard output may be the same terminal: its lines go where the progress line was.
    WipeStatusLocked();
    const bool written = WriteAll(m_out, m_buffer, m_outError);
    m_buffer.clear();
    DrawStatusLocked();
    return written;
}

void TCliOutput::DrawStatusLocked() {
    if (m_status.empty())
        return;
    std::string line(1, '\r');
    line.append(m_status);
    if (m_status.size() < m_statusWidth)
        line.append(m_statusWidth - m_status.size(), ' ');
    m_statusWidth = line.size() - 1;
    // Known before the write, so that a signal during it wipes all of the line.
    StatusDescriptor.store(m_err);
    StatusWidth.store(m_statusWidth);
    int error = 0;
    WriteAll(m_err, line, error);
}

void TCliOutput::WipeStatusLocked() {
    if (m_statusWidth == 0)
        return;
    std::string wipe(m_statusWidth + 2, ' ');
    wipe.front() = '\r';
    wipe.back() = '\r';
    int error = 0;
    WriteAll(m_err, wipe, error);
    m_statusWidth = 0;
    StatusWidth.store(0);
}

void TCliOutput::Status(std::string_view text) {
    if (m_statusForm == TStatusForm::Lines) {
        const auto now = std::chrono::steady_clock::now();
        const std::lock_guard lock(m_mutex);
        if (text.empty() || (m_lastStatusLine && now - *m_lastStatusLine < StatusLineInterval))
            return;
        m_lastStatusLine = now;
        // After what standard output holds, as any message; a failure costs the line only.
        FlushLocked();
        const std::string line = std::string("quviro-cli: ").append(text).append("\n");
        int error = 0;
        WriteAll(m_err, line, error);
        return;
    }
    const std::lock_guard lock(m_mutex);
    m_status = text;
    if (m_status.empty())
        WipeStatusLocked();
    else
        DrawStatusLocked();
}

bool TCliOutput::Out(std::string_view lines) {
    bool wake = false;
    {
        const std::lock_guard lock(m_mutex);
        if (m_outError != 0)
            return false;
        wake = m_buffer.empty();
        try {
            m_buffer.append(lines);
        } catch (const std::bad_alloc&) {
            // No room to wait in: what waits goes first, then these lines, straight through.
            if (!FlushLocked())
                return false;
            WipeStatusLocked();
            const bool written = WriteAll(m_out, lines, m_outError);
            DrawStatusLocked();
            return written;
        }
        if (m_writeThrough || m_buffer.size() >= BufferLimit)
            return FlushLocked();
    }
    if (wake)
        m_wake.notify_all();
    return true;
}

bool TCliOutput::Err(std::string_view lines) {
    const std::lock_guard lock(m_mutex);
    const bool outWritten = FlushLocked();
    WipeStatusLocked();
    int error = 0;
    if (!WriteAll(m_err, lines, error))
        m_errFailed = true;
    DrawStatusLocked();
    return outWritten;
}

bool TCliOutput::Message(std::string_view text) {
    constexpr std::string_view Prefix = "quviro-cli: ";
    const bool ended = text.ends_with('\n');
    // Made without allocating where it fits, so that memory running out can still be told.
    std::array<char, 4096> shortLine;
    const std::size_t size = Prefix.size() + text.size() + (ended ? 0 : 1);
    if (size <= shortLine.size()) {
        char* end = std::copy(Prefix.begin(), Prefix.end(), shortLine.data());
        end = std::copy(text.begin(), text.end(), end);
        if (!ended)
            *end = '\n';
        return Err(std::string_view(shortLine.data(), size));
    }
    std::string line(Prefix);
    line.append(text);
    if (!ended)
        line.push_back('\n');
    return Err(line);
}

bool TCliOutput::Flush() {
    const std::lock_guard lock(m_mutex);
    return FlushLocked();
}

void TCliOutput::FlushWithin(std::chrono::milliseconds delay, const TStartThread& start) {
    const std::lock_guard lock(m_mutex);
    if (m_flusher.joinable() || m_writeThrough)
        return;
    m_delay = delay;
    TStartedThread started = start([this] { FlushWhileRunning(); });
    m_writeThrough = !started.Started();
    m_flusher = std::move(started.Thread);
}

void TCliOutput::FlushWhileRunning() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        // Asleep until a line waits: an idle run costs no wake-ups.
        m_wake.wait(lock, [&] { return m_stopping || !m_buffer.empty(); });
        if (m_stopping)
            return;
        if (m_wake.wait_for(lock, m_delay, [&] { return m_stopping; }))
            return;
        if (!m_buffer.empty())
            FlushLocked();
    }
}

bool TCliOutput::Finish() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_flusher.joinable())
        m_flusher.join();

    const std::lock_guard lock(m_mutex);
    m_status.clear();
    FlushLocked();
    WipeStatusLocked();
    // A file system may report a failed write only when the file is closed. A standard output
    // that was never open is no failure when nothing was written to it.
    int closeError = 0;
    if (!CloseDescriptor(m_out, closeError) && m_outError == 0 && closeError != EINTR &&
        (closeError != EBADF || m_written))
        m_outError = closeError;
    if (m_outError != 0) {
        const std::string message = "quviro-cli: write error: " + SystemErrorText(m_outError) + "\n";
        int error = 0;
        WriteAll(m_err, message, error);
    }
    return m_outError == 0 && !m_errFailed;
}
