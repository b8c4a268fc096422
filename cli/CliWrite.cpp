#include "cli/CliWrite.h"

#include <cerrno>

bool WriteChecked(std::FILE* stream, std::string_view bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

bool FlushChecked(std::FILE* stream) {
    return std::fflush(stream) == 0;
}

TTimedOutput::TTimedOutput(std::FILE* stream, std::chrono::milliseconds delay)
    : m_stream(stream), m_delay(delay), m_flusher([this] { FlushWhileRunning(); }) {}

TTimedOutput::~TTimedOutput() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stop.notify_all();
    m_flusher.join();
}

bool TTimedOutput::Failed(int error) {
    m_failed = true;
    m_error = error;
    return false;
}

bool TTimedOutput::Write(std::string_view bytes) {
    const std::lock_guard lock(m_mutex);
    if (m_failed)
        return false;
    errno = 0;
    if (!WriteChecked(m_stream, bytes))
        return Failed(errno);
    m_dirty = true;
    return true;
}

bool TTimedOutput::WriteOther(std::FILE* other, std::string_view bytes) {
    const std::lock_guard lock(m_mutex);
    if (!FlushLocked())
        return false;
    // A failing standard error is not worth stopping for: the failure still shows in the exit
    // status, and standard output is what the caller collects.
    WriteChecked(other, bytes);
    return true;
}

bool TTimedOutput::Flush() {
    const std::lock_guard lock(m_mutex);
    return FlushLocked();
}

bool TTimedOutput::FlushLocked() {
    if (m_failed)
        return false;
    errno = 0;
    if (!FlushChecked(m_stream))
        return Failed(errno);
    m_dirty = false;
    return true;
}

int TTimedOutput::Error() const {
    const std::lock_guard lock(m_mutex);
    return m_error;
}

void TTimedOutput::FlushWhileRunning() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        m_stop.wait_for(lock, m_delay, [&] { return m_stopping; });
        if (m_dirty && !m_failed) {
            errno = 0;
            if (FlushChecked(m_stream))
                m_dirty = false;
            else
                Failed(errno);
        }
    }
}
