// quviro-cli's one-line progress display on standard error: redrawn in place a few times a
// second while a file is hashed, and wiped when the hash ends.
#pragma once

#include "hashing/HashObserver.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <cstdio>

// Whether to draw the progress: when asked (--progress), else when standard error is a
// terminal and the input is a file larger than 64 MiB (fileSize -1 when it is no file).
bool WantsProgress(bool asked, bool stderrIsTerminal, std::int64_t fileSize);

// Draws "\r<progress text>" to out, padded with spaces over a longer earlier line: at the
// first chunk, then at most every interval. Plain characters only, no terminal control
// sequences, so the output stays readable when it goes to a file.
class TLineProgress final : public THashObserver {
public:
    using TClock = std::chrono::steady_clock;

    explicit TLineProgress(std::FILE* out, std::chrono::milliseconds interval = std::chrono::milliseconds(250));

    void BytesHashed(std::int64_t bytesDone, std::int64_t bytesTotal) override;
    bool CancelRequested() const override { return false; }

    // Wipes the line if anything was drawn; call once hashing is over.
    void Clear();

private:
    void Draw(const QString& text);

    std::FILE* m_out;
    std::chrono::milliseconds m_interval;
    TClock::time_point m_start;
    TClock::time_point m_lastDraw;
    bool m_drawn = false;
    qsizetype m_width = 0;
};
