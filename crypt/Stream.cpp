#include "crypt/Stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

void CheckCount(std::int64_t count) {
    if (count < 0)
        throw EStreamError("Invalid stream operation: negative count");
}

} // namespace

std::int64_t TMemoryStream::Size() const {
    return static_cast<std::int64_t>(m_bytes.size());
}

std::int64_t TMemoryStream::Position() const {
    return m_position;
}

void TMemoryStream::Seek(std::int64_t offset) {
    if (offset < 0)
        throw EStreamError("Invalid stream position");
    m_position = offset;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    CheckCount(count);
    const std::int64_t available = std::max<std::int64_t>(0, Size() - m_position);
    const std::int64_t n = std::min(count, available);
    if (n > 0)
        std::memcpy(buffer, m_bytes.data() + m_position, static_cast<std::size_t>(n));
    m_position += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    CheckCount(count);
    if (count == 0)
        return 0;
    if (count > std::numeric_limits<std::int64_t>::max() - m_position)
        throw EWriteError("Stream write error: the stream would grow past its largest size");
    const auto end = static_cast<std::size_t>(m_position + count);
    if (end > m_bytes.size())
        m_bytes.resize(end);
    std::memcpy(m_bytes.data() + m_position, buffer, static_cast<std::size_t>(count));
    m_position += count;
    return count;
}

void TMemoryStream::Clear() {
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_position = 0;
}
