#include "cli/CheckedOutput.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>

void TCheckedOutput::Fail(int error) {
    // A stream function may fail without setting errno; the reason is then the generic one.
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
}

void TCheckedOutput::Write(const QString& text) {
    if (m_error != 0 || m_stream == nullptr) {
        Fail(EBADF);
        return;
    }
    const QByteArray bytes = text.toUtf8();
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), m_stream) !=
        static_cast<std::size_t>(bytes.size()))
        Fail(errno);
}

QString TCheckedOutput::Finish() {
    if (m_stream != nullptr) {
        // Buffered bytes reach the file only here: a full disk shows at the flush or the close.
        errno = 0;
        if (std::fflush(m_stream) != 0 || std::ferror(m_stream))
            Fail(errno);
        errno = 0;
        if (std::fclose(m_stream) != 0)
            Fail(errno);
        m_stream = nullptr;
    }
    if (m_error == 0 || m_reported)
        return {};
    return QStringLiteral("write error: ") + QString::fromLocal8Bit(std::strerror(m_error));
}
