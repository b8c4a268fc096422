#include "checksums/ChecksumListReader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;

} // namespace

TChecksumListReader::TChecksumListReader(TStream& stream, char terminator, std::int64_t byteLimit)
    : m_stream(stream), m_terminator(terminator), m_bytesLeft(std::max<std::int64_t>(byteLimit, 0)),
      m_chunk(ChunkSize) {
    // A carriage return before the terminator may come on top of the longest line.
    m_line.reserve(MaxListLineLength + 1);
}

bool TChecksumListReader::Fill() {
    m_begin = 0;
    m_end = 0;
    // Not asked again: a terminal would wait for more after its end.
    if (m_atEnd)
        return false;
    if (m_bytesLeft == 0) {
        m_cutByLimit = true;
        m_atEnd = true;
        return false;
    }
    const std::int64_t want = std::min<std::int64_t>(static_cast<std::int64_t>(m_chunk.size()), m_bytesLeft);
    const std::int64_t got = m_stream.Read(m_chunk.data(), want);
    m_bytesLeft -= got;
    m_end = static_cast<std::size_t>(got);
    m_atEnd = got == 0;
    return !m_atEnd;
}

TChecksumListReader::TLine TChecksumListReader::Next(std::string_view& line) {
    m_line.clear();
    bool overlong = false;
    bool started = false;
    for (;;) {
        if (m_begin == m_end && !Fill()) {
            // A last line without a terminator counts when the data ended there, not the limit.
            if (!started || m_cutByLimit)
                return TLine::End;
            break;
        }
        started = true;
        const char* from = m_chunk.data() + m_begin;
        const auto* found = static_cast<const char*>(std::memchr(from, m_terminator, m_end - m_begin));
        const std::size_t length = found != nullptr ? static_cast<std::size_t>(found - from) : m_end - m_begin;
        if (!overlong && m_line.size() + length <= MaxListLineLength + 1)
            m_line.append(from, length);
        else
            overlong = true;
        m_begin += length;
        if (found != nullptr) {
            ++m_begin;
            break;
        }
    }
    ++m_lineNumber;
    if (!overlong && !m_line.empty() && m_line.back() == '\r')
        m_line.pop_back();
    if (overlong || m_line.size() > MaxListLineLength)
        return TLine::Overlong;
    line = m_line;
    return TLine::Line;
}
