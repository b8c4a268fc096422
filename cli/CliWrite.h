// quviro-cli's writes to standard output and standard error, every one checked.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string_view>
#include <thread>

// Writes all of bytes; false when the stream refused them (errno tells why).
bool WriteChecked(std::FILE* stream, std::string_view bytes);

// Flushes stream; false when the buffered bytes could not be written.
bool FlushChecked(std::FILE* stream);

// Lines for an output stream from several threads. Written bytes go to the stream's buffer at
// once and reach the system within `delay` (a thread flushes what waits), so a line never
// waits for later work and many short lines do not cost a system call each. Once a write or
// flush has failed every call answers false; Error() is the errno of that failure.
class TTimedOutput {
public:
    TTimedOutput(std::FILE* stream, std::chrono::milliseconds delay);
    // Stops the flushing thread; bytes not yet flushed stay in the stream's buffer.
    ~TTimedOutput();
    TTimedOutput(const TTimedOutput&) = delete;
    TTimedOutput& operator=(const TTimedOutput&) = delete;

    bool Write(std::string_view bytes);
    // Flushes this output first, so that both streams show the lines in the order written.
    bool WriteOther(std::FILE* other, std::string_view bytes);
    bool Flush();
    int Error() const;

private:
    bool Failed(int error);
    // Flush with m_mutex held; false once any write or flush has failed.
    bool FlushLocked();
    void FlushWhileRunning();

    std::FILE* const m_stream;
    const std::chrono::milliseconds m_delay;
    mutable std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    bool m_dirty = false;
    int m_error = 0;
    bool m_failed = false;
    std::thread m_flusher; // last: starts once everything it uses exists
};
