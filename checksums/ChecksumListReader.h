// The one reader of checksum lists: quviro-cli's -C, its progress totals and the sidecar lookup
// read every list through it.
//
// A line is the bytes before its terminator (a line feed, or NUL for lists made with -z); a
// final carriage return is removed, so CR LF lists read as LF ones, and a last line without a
// terminator counts. Lines may hold NUL bytes. A line longer than MaxListLineLength bytes is
// answered as Overlong and skipped without being kept, so memory stays at one chunk and one
// line whatever the list holds. A read that fails passes on as the stream's exception (EReadError),
// and running out of memory as std::bad_alloc: neither is ever taken for the end of the list.
#pragma once

#include "crypt/Stream.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// The longest line a list is read with, without its terminator.
inline constexpr std::size_t MaxListLineLength = 64 * 1024;

class TChecksumListReader {
public:
    enum class TLine {
        Line,     // line holds the next line
        Overlong, // the next line was longer than MaxListLineLength and is skipped
        End,      // no line is left
    };

    // Reads stream from its position; the stream stays the caller's and must outlive the reader.
    // At most byteLimit bytes are read: a line the limit cuts is not seen.
    explicit TChecksumListReader(TStream& stream, char terminator = '\n',
                                 std::int64_t byteLimit = std::numeric_limits<std::int64_t>::max());

    // The next line; line stays valid until the next call. Throws what the stream throws.
    TLine Next(std::string_view& line);

    // The number of the line Next last answered, counting from 1, overlong ones included.
    std::uint64_t LineNumber() const { return m_lineNumber; }

private:
    // Reads the next chunk; false at the end of the data or of the limit.
    bool Fill();

    TStream& m_stream;
    char m_terminator;
    std::int64_t m_bytesLeft;
    std::vector<char> m_chunk;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_atEnd = false;
    bool m_cutByLimit = false;
    std::string m_line;
    std::uint64_t m_lineNumber = 0;
};
