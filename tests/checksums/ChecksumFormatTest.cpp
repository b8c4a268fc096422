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

struct RowLineCase {
    const char* name;
    THashAlgorithm algorithm;
    TChecksumStyle style;
    std::string fileName;
    char terminator;
    std::string expected; // the line as the row's peer tool writes it, or empty when it cannot
};

void PrintTo(const RowLineCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string Xxh64 = "44bc2cf5ad770999";
const std::string Blake3 = "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85";

// Lines as xxhsum 0.8.1, b3sum 1.2 and rhash --sfv 1.4.3 write them for names with "\", CR and LF:
// xxhsum writes every name as it is, b3sum escapes "\" and LF only, SFV has no escapes at all.
const RowLineCase RowLineCases[] = {
    {"coreutils_row_escapes_all_three", THashAlgorithm::SHA256, TChecksumStyle::Gnu, "a\\b\rc", '\n',
     "\\" + Digest + "  a\\\\b\\rc\n"},
    {"xxhsum_backslash_as_is", THashAlgorithm::XXH64, TChecksumStyle::Gnu, "a\\b", '\n', Xxh64 + "  a\\b\n"},
    {"xxhsum_carriage_return_as_is", THashAlgorithm::XXH64, TChecksumStyle::Gnu, "c\rr", '\n', Xxh64 + "  c\rr\n"},
    {"xxhsum_tag_backslash_as_is", THashAlgorithm::XXH64, TChecksumStyle::Bsd, "a\\b", '\n',
     "XXH64 (a\\b) = " + Xxh64 + "\n"},
    {"xxhsum_line_feed_unwritable", THashAlgorithm::XXH64, TChecksumStyle::Gnu, "l\nf", '\n', ""},
    {"xxhsum_tag_line_feed_unwritable", THashAlgorithm::XXH64, TChecksumStyle::Bsd, "l\nf", '\n', ""},
    {"xxhsum_line_feed_with_nul_ends", THashAlgorithm::XXH64, TChecksumStyle::Gnu, "l\nf", '\0', Xxh64 + "  l\nf\0"s},
    {"xxh3_tagged_as_is", THashAlgorithm::XXH3_64, TChecksumStyle::Gnu, "a\\b", '\n', "XXH3 (a\\b) = " + Xxh64 + "\n"},
    {"b3sum_backslash", THashAlgorithm::BLAKE3, TChecksumStyle::Gnu, "a\\b", '\n', "\\" + Blake3 + "  a\\\\b\n"},
    {"b3sum_line_feed", THashAlgorithm::BLAKE3, TChecksumStyle::Gnu, "l\nf", '\n', "\\" + Blake3 + "  l\\nf\n"},
    {"b3sum_carriage_return_as_is", THashAlgorithm::BLAKE3, TChecksumStyle::Gnu, "c\rr", '\n', Blake3 + "  c\rr\n"},
    {"b3sum_all_three", THashAlgorithm::BLAKE3, TChecksumStyle::Gnu, "\\\n\r", '\n', "\\" + Blake3 + "  \\\\\\n\r\n"},
    {"blake3_tag_as_coreutils", THashAlgorithm::BLAKE3, TChecksumStyle::Bsd, "c\rr", '\n',
     "\\BLAKE3 (c\\rr) = " + Blake3 + "\n"},
    {"sfv_plain", THashAlgorithm::CRC32, TChecksumStyle::Sfv, "a b", '\n', "a b 352441C2\n"},
    {"sfv_inner_carriage_return_as_is", THashAlgorithm::CRC32, TChecksumStyle::Sfv, "c\rr", '\n', "c\rr 352441C2\n"},
    {"sfv_backslash_unwritable", THashAlgorithm::CRC32, TChecksumStyle::Sfv, "a\\b", '\n', ""},
    {"sfv_backslash_unwritable_with_nul_ends", THashAlgorithm::CRC32, TChecksumStyle::Sfv, "a\\b", '\0', ""},
    {"sfv_line_feed_unwritable", THashAlgorithm::CRC32, TChecksumStyle::Sfv, "l\nf", '\n', ""},
    {"sfv_line_feed_with_nul_ends", THashAlgorithm::CRC32, TChecksumStyle::Sfv, "l\nf", '\0', "l\nf 352441C2\0"s},
    {"sfv_final_carriage_return_unwritable", THashAlgorithm::CRC32, TChecksumStyle::Sfv, "c\r", '\n', ""},
    {"sfv_leading_space_unwritable", THashAlgorithm::CRC32, TChecksumStyle::Sfv, " a", '\n', ""},
    {"sfv_trailing_tab_unwritable", THashAlgorithm::CRC32, TChecksumStyle::Sfv, "a\t", '\n', ""},
    {"sfv_leading_semicolon_unwritable", THashAlgorithm::CRC32, TChecksumStyle::Sfv, ";a", '\n', ""},
    {"sfv_inner_semicolon", THashAlgorithm::CRC32, TChecksumStyle::Sfv, "a;b", '\n', "a;b 352441C2\n"},
};

class RowLineTest : public testing::TestWithParam<RowLineCase> {};

TEST_P(RowLineTest, WritesAsThePeerToolOrRefuses) {
    const RowLineCase& c = GetParam();
    const TAlgorithmInfo& row = AlgorithmInfo(c.algorithm);
    const std::string digest = c.algorithm == THashAlgorithm::CRC32    ? "352441C2"
                               : c.algorithm == THashAlgorithm::BLAKE3 ? Blake3
                               : c.algorithm == THashAlgorithm::SHA256 ? Digest
                                                                       : Xxh64;
    const std::string_view unwritable = UnwritableName(row, c.style, c.fileName, c.terminator);
    if (c.expected.empty()) {
        EXPECT_TRUE(unwritable.starts_with("Not listed: ")) << unwritable;
        return;
    }
    EXPECT_EQ(unwritable, "");
    EXPECT_EQ(FormatRowLine(row, c.style, digest, c.fileName, c.terminator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RowLineTest, testing::ValuesIn(RowLineCases),
                         [](const testing::TestParamInfo<RowLineCase>& info) { return std::string(info.param.name); });

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
