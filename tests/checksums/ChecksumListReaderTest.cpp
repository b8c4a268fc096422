#include "checksums/ChecksumListReader.h"

#include "crypt/Stream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// What a reader answers for each line, an overlong one as "<overlong>".
constexpr char OverlongMark[] = "<overlong>";

std::vector<std::string> ReadAll(TStream& stream, char terminator = '\n',
                                 std::int64_t limit = std::numeric_limits<std::int64_t>::max()) {
    TChecksumListReader reader(stream, terminator, limit);
    std::vector<std::string> lines;
    std::string_view line;
    for (TChecksumListReader::TLine kind; (kind = reader.Next(line)) != TChecksumListReader::TLine::End;) {
        lines.push_back(kind == TChecksumListReader::TLine::Overlong ? std::string(OverlongMark) : std::string(line));
        EXPECT_EQ(reader.LineNumber(), lines.size());
    }
    return lines;
}

std::vector<std::string> ReadAll(const std::string& bytes, char terminator = '\n',
                                 std::int64_t limit = std::numeric_limits<std::int64_t>::max()) {
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.Seek(0);
    return ReadAll(stream, terminator, limit);
}

struct ReaderCase {
    const char* name;
    std::string bytes;
    char terminator;
    std::vector<std::string> lines;
};

void PrintTo(const ReaderCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string Longest(MaxListLineLength, 'a');
const std::string TooLong(MaxListLineLength + 1, 'b');
// Longer than the reader's chunks, so the line is met across several reads.
const std::string FarTooLong(5 * MaxListLineLength, 'c');

const ReaderCase ReaderCases[] = {
    {"empty", "", '\n', {}},
    {"line_feeds", "one\ntwo\n", '\n', {"one", "two"}},
    {"cr_lf", "one\r\ntwo\r\n", '\n', {"one", "two"}},
    {"only_the_last_cr_goes", "a\r\rb\r\r\n", '\n', {"a\r\rb\r"}},
    {"last_line_without_terminator", "one\ntwo", '\n', {"one", "two"}},
    {"last_line_cr_without_terminator", "one\ntwo\r", '\n', {"one", "two"}},
    {"blank_lines", "\n\r\n\n", '\n', {"", "", ""}},
    {"nul_inside_a_line", "a\0b\nc\n"s, '\n', {"a\0b"s, "c"}},
    {"nul_terminated", "one\0two\nthree\0"s, '\0', {"one", "two\nthree"}},
    {"longest_line", Longest + "\nnext\n", '\n', {Longest, "next"}},
    {"longest_line_with_cr", Longest + "\r\nnext\n", '\n', {Longest, "next"}},
    {"overlong_line_skipped", TooLong + "\nnext\n", '\n', {OverlongMark, "next"}},
    {"overlong_across_chunks", "first\n" + FarTooLong + "\nnext", '\n', {"first", OverlongMark, "next"}},
    {"overlong_last_line", "first\n" + FarTooLong, '\n', {"first", OverlongMark}},
};

class ChecksumListReaderTest : public testing::TestWithParam<ReaderCase> {};

TEST_P(ChecksumListReaderTest, ReadsTheLines) {
    const ReaderCase& c = GetParam();
    EXPECT_EQ(ReadAll(c.bytes, c.terminator), c.lines);
}

INSTANTIATE_TEST_SUITE_P(Lines, ChecksumListReaderTest, testing::ValuesIn(ReaderCases),
                         [](const testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

// A limit ends the list where it falls: the line it cuts is not seen, not even in part.
TEST(ChecksumListReaderLimitTest, ALineTheLimitCutsIsNotSeen) {
    EXPECT_EQ(ReadAll("one\ntwo\nthree\n", '\n', 10), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(ReadAll("one\ntwo\n", '\n', 8), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(ReadAll("one\ntwo", '\n', 7), (std::vector<std::string>{"one"}));
    EXPECT_EQ(ReadAll("one\ntwo", '\n', 8), (std::vector<std::string>{"one", "two"}));
}

// Gives its bytes, then fails the way a disk or the allocator does instead of reporting the end.
class TFailingStream final : public TStream {
public:
    TFailingStream(std::string bytes, bool outOfMemory) : m_bytes(std::move(bytes)), m_outOfMemory(outOfMemory) {}

    std::int64_t Size() const override { return 0; }
    std::int64_t Position() const override { return m_position; }
    void Seek(std::int64_t) override {}
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const auto left = static_cast<std::int64_t>(m_bytes.size()) - m_position;
        if (left == 0) {
            if (m_outOfMemory)
                throw std::bad_alloc();
            throw EReadError("Stream read error: Input/output error");
        }
        const std::int64_t n = std::min(count, left);
        m_bytes.copy(static_cast<char*>(buffer), static_cast<std::size_t>(n), static_cast<std::size_t>(m_position));
        m_position += n;
        return n;
    }
    std::int64_t Write(const void*, std::int64_t) override { throw EWriteError("read-only"); }

private:
    std::string m_bytes;
    bool m_outOfMemory;
    std::int64_t m_position = 0;
};

// The lines before a failure are read; the failure itself is never the end of the list, and
// the line it cut short is never answered.
TEST(ChecksumListReaderFailureTest, AReadFailureIsNoEnd) {
    for (const bool outOfMemory : {false, true}) {
        SCOPED_TRACE(outOfMemory ? "out of memory" : "read error");
        TFailingStream stream("one\ntw", outOfMemory);
        TChecksumListReader reader(stream);
        std::string_view line;
        ASSERT_EQ(reader.Next(line), TChecksumListReader::TLine::Line);
        EXPECT_EQ(line, "one");
        if (outOfMemory)
            EXPECT_THROW(reader.Next(line), std::bad_alloc);
        else
            EXPECT_THROW(reader.Next(line), EReadError);
    }
}

} // namespace
