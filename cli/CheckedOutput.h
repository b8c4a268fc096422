// Output of the command-line front with every write and the final flush checked: text sent
// to a full disk or a closed pipe is an error, never a silent success.
#pragma once

#include <QString>

#include <cstdio>

class TCheckedOutput {
public:
    // Writes to stream, which stays the caller's until Finish.
    explicit TCheckedOutput(std::FILE* stream) : m_stream(stream) {}

    // Writes text as UTF-8. After a failed write nothing more is written; the first reason is
    // kept for Finish.
    void Write(const QString& text);

    // Flushes and closes the stream. Answers the empty text when every write, the flush and
    // the close succeeded, else "write error: <system reason>", e.g. "write error: No space
    // left on device". Later writes fail.
    QString Finish();

    // Someone writing to the same stream by other means has reported its failure already:
    // Finish still closes the stream but answers the empty text.
    void FailureReported() { m_reported = true; }

private:
    void Fail(int error);

    std::FILE* m_stream;
    int m_error = 0;
    bool m_reported = false;
};
