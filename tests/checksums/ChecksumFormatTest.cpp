#include "checksums/ChecksumFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

const std::string Digest = "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb";

struct LineCase {
    const char* name;
    TChecksumStyle style;
    std::string fileName;
    char terminator;
    std::string expected; // as sha256sum (--tag, -z) writes it
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

const LineCase LineCases[] = {
    {"gnu_plain", TChecksumStyle::Gnu, "dir/plain name", '\n', Digest + "  dir/plain name\n"},
    {"gnu_binary", TChecksumStyle::GnuBinary, "dir/plain name", '\n', Digest + " *dir/plain name\n"},
    {"gnu_binary_escaped", TChecksumStyle::GnuBinary, "l\nf", '\n', "\\" + Digest + " *l\\nf\n"},
    {"gnu_leading_dash", TChecksumStyle::Gnu, "-x", '\n', Digest + "  -x\n"},
    {"gnu_utf8", TChecksumStyle::Gnu, "caf\xC3\xA9", '\n', Digest + "  caf\xC3\xA9\n"},
    {"gnu_invalid_utf8_as_is", TChecksumStyle::Gnu, "a\xFF", '\n', Digest + "  a\xFF\n"},
    {"gnu_backslash", TChecksumStyle::Gnu, "a\\b", '\n', "\\" + Digest + "  a\\\\b\n"},
    {"gnu_line_feed", TChecksumStyle::Gnu, "l\nf", '\n', "\\" + Digest + "  l\\nf\n"},
    {"gnu_carriage_return", TChecksumStyle::Gnu, "c\rr", '\n', "\\" + Digest + "  c\\rr\n"},
    {"gnu_all_three", TChecksumStyle::Gnu, "\\\n\r", '\n', "\\" + Digest + "  \\\\\\n\\r\n"},
    {"gnu_tab_not_escaped", TChecksumStyle::Gnu, "t\tb", '\n', Digest + "  t\tb\n"},
    {"gnu_zero_unescaped", TChecksumStyle::Gnu, "a\\b\nc", '\0', Digest + "  a\\b\nc\0"s},
    {"bsd_plain", TChecksumStyle::Bsd, "plain", '\n', "SHA256 (plain) = " + Digest + "\n"},
    {"bsd_parenthesis", TChecksumStyle::Bsd, "a) = b", '\n', "SHA256 (a) = b) = " + Digest + "\n"},
    {"bsd_backslash", TChecksumStyle::Bsd, "a\\b", '\n', "\\SHA256 (a\\\\b) = " + Digest + "\n"},
    {"bsd_line_feed", TChecksumStyle::Bsd, "l\nf", '\n', "\\SHA256 (l\\nf) = " + Digest + "\n"},
    {"bsd_zero_unescaped", TChecksumStyle::Bsd, "a\\b", '\0', "SHA256 (a\\b) = " + Digest + "\0"s},
};

class ChecksumLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(ChecksumLineTest, MatchesCoreutils) {
    const LineCase& c = GetParam();
    EXPECT_EQ(FormatChecksumLine(c.style, "SHA256", Digest, c.fileName, c.terminator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChecksumLineTest, testing::ValuesIn(LineCases),
                         [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(ChecksumNameTest, UnescapeReversesEscapeForEveryByte) {
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += static_cast<char>(c);
    const std::string escaped = EscapeChecksumName(every);
    EXPECT_EQ(escaped.find('\n'), std::string::npos);
    EXPECT_EQ(escaped.find('\r'), std::string::npos);
    EXPECT_EQ(UnescapeChecksumName(escaped), every);
}

TEST(ChecksumNameTest, UnescapeRefusesUnknownAndDanglingEscapes) {
    const char* invalid[] = {"a\\", "\\t", "a\\0b", "\\\\\\"};
    for (const char* text : invalid)
        EXPECT_FALSE(UnescapeChecksumName(text).has_value()) << text;
    EXPECT_EQ(UnescapeChecksumName("a\\\\n\\rb"), "a\\n\rb");
}

} // namespace
