#include "cli/CliProgress.h"

#include "pipeline/ProgressText.h"

#include <QString>

bool WantsProgress(bool asked, bool stderrIsTerminal, std::int64_t fileSize) {
    constexpr std::int64_t AutomaticFrom = 64 * 1024 * 1024;
    return asked || (stderrIsTerminal && fileSize > AutomaticFrom);
}

TLineProgress::TLineProgress(std::FILE* out, std::chrono::milliseconds interval)
    : m_out(out), m_interval(interval), m_start(TClock::now()), m_lastDraw(m_start - interval) {}

void TLineProgress::BytesHashed(std::int64_t bytesDone, std::int64_t bytesTotal) {
    const TClock::time_point now = TClock::now();
    if (now - m_lastDraw < m_interval)
        return;
    m_lastDraw = now;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_start).count();
    Draw(ProgressText(bytesDone, bytesTotal, elapsed));
}

void TLineProgress::Clear() {
    if (!m_drawn)
        return;
    Draw(QString());
    std::fputc('\r', m_out);
    std::fflush(m_out);
    m_drawn = false;
    m_width = 0;
}

void TLineProgress::Draw(const QString& text) {
    QString line = text;
    if (line.size() < m_width)
        line += QString(m_width - line.size(), u' ');
    m_width = line.size();
    const QByteArray bytes = (u'\r' + line).toUtf8();
    // A failed write to the terminal costs only the display, never the digest.
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), m_out);
    std::fflush(m_out);
    m_drawn = true;
}
