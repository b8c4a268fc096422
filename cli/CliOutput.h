// quviro-cli's one output path: every byte for standard output and standard error goes
// through here, and every write is checked.
//
// Standard error may also carry one progress line. On a terminal it is drawn in place ("\r" and
// the text, padded with blanks over a longer earlier one) below the other output: each write of
// other lines wipes it first and draws it again after, and an ending signal wipes it too. Plain
// characters only, no terminal control sequences. Elsewhere (a file, a pipe, a log that holds
// both streams) nothing is drawn in place: the progress is a whole line "quviro-cli: TEXT" at
// most every StatusLineInterval, written like any message, so it never lands inside a line of
// standard output.
//
// Standard output is buffered here rather than by stdio, so that each write(2) carries whole
// lines only: a run ended by a signal leaves a file that ends on a whole line. Before anything
// goes to standard error the buffered output is written, so that a log taken with "2>&1" shows
// the lines in the order they were made. A failed write keeps its own errno for the message.
#pragma once

#include "platform/ThreadStart.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

// From now on SIGINT, SIGTERM, SIGHUP and SIGPIPE that arrive while a TCliOutput writes end the
// program once that write is done, so that a cut output still ends on a whole line, and wipe
// the progress line on their way. They end it as before, with the same status; signals the
// parent ignores stay ignored.
void KeepWritesWholeOnSignals();

// How the progress line is shown: drawn in place, or as whole lines from time to time.
enum class TStatusForm { InPlace, Lines };

class TCliOutput {
public:
    static constexpr std::chrono::seconds StatusLineInterval{5};

    // Writes to the descriptors given; they stay open until Finish. Without a form, the progress
    // is drawn in place when err is a terminal, else written as lines.
    explicit TCliOutput(int out = 1, int err = 2, std::optional<TStatusForm> form = std::nullopt);
    // Stops the flushing thread; what is still buffered is left to Finish.
    ~TCliOutput();
    TCliOutput(const TCliOutput&) = delete;
    TCliOutput& operator=(const TCliOutput&) = delete;

    // Whole lines for standard output. False once a write to standard output has failed; the
    // bytes are then dropped. When memory runs out they are written at once instead of waiting.
    bool Out(std::string_view lines);
    // Whole lines for standard error, after what standard output holds. False when standard
    // output failed first; a failing standard error only shows in Finish's answer.
    bool Err(std::string_view lines);
    // "quviro-cli: TEXT\n" on standard error; a text that ends in a line feed gets no second one.
    // Up to 4 KiB it needs no memory of its own.
    bool Message(std::string_view text);
    // Writes what standard output holds; false once a write has failed.
    bool Flush();
    // Draws text as the progress line in place of the one drawn before; empty text wipes it.
    // As lines: text is written when the last one is StatusLineInterval old (the first at once);
    // empty text writes nothing. Its own failures cost only the display.
    void Status(std::string_view text);

    // From now on buffered lines reach the system within delay, written by a thread (started
    // through start) that sleeps while nothing waits. When no thread can be started, every line
    // is written at once instead: slower, never lost.
    void FlushWithin(std::chrono::milliseconds delay, const TStartThread& start = StartThread);

    // Writes what is left and closes standard output. True when every write succeeded; after a
    // failed write to standard output "quviro-cli: write error: REASON" goes to standard error.
    bool Finish();

private:
    bool FlushLocked();
    bool WriteAll(int fd, std::string_view bytes, int& error);
    void DrawStatusLocked();
    void WipeStatusLocked();
    void FlushWhileRunning();

    const int m_out;
    const int m_err;
    const TStatusForm m_statusForm;
    std::optional<std::chrono::steady_clock::time_point> m_lastStatusLine;
    std::string m_buffer;
    std::string m_status;
    std::size_t m_statusWidth = 0;
    int m_outError = 0;
    bool m_written = false;
    bool m_errFailed = false;
    bool m_writeThrough = false;
    std::chrono::milliseconds m_delay{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_flusher;
};
