#include "checksums/ChecksumLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_literals;

const std::string Sha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string Sha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
const std::string Md5 = "900150983cd24fb0d6963f7d28e17f72";
const std::string Sha512 = "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3f"
                           "eebbd454d4423643ce80e2a9ac94fa54ca49f";

struct LineCase {
    const char* name;
    std::vector<std::string> lines; // all but the last prime the parser's state
    TChecksumLineKind kind;
    THashAlgorithm algorithm;
    std::string digest;
    std::string fileName;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr auto Entry = TChecksumLineKind::Entry;
constexpr auto Malformed = TChecksumLineKind::Malformed;
constexpr auto Ignored = TChecksumLineKind::Ignored;
constexpr auto SHA256 = THashAlgorithm::SHA256;

const LineCase LineCases[] = {
    {"gnu_text", {Sha256 + "  a.txt"}, Entry, SHA256, Sha256, "a.txt"},
    {"gnu_binary", {Sha256 + " *a.txt"}, Entry, SHA256, Sha256, "a.txt"},
    {"gnu_upper_digest",
     {"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD  a"},
     Entry,
     SHA256,
     "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
     "a"},
    {"gnu_md5_by_length", {Md5 + "  a"}, Entry, THashAlgorithm::MD5, Md5, "a"},
    {"gnu_sha1_by_length", {Sha1 + "  a"}, Entry, THashAlgorithm::SHA1, Sha1, "a"},
    {"gnu_name_keeps_spaces", {Sha256 + "   two  words "}, Entry, SHA256, Sha256, " two  words "},
    {"gnu_leading_blanks", {" \t" + Sha256 + "  a"}, Entry, SHA256, Sha256, "a"},
    {"crlf", {Sha256 + "  a\r"}, Entry, SHA256, Sha256, "a"},
    {"escaped_name", {"\\" + Sha256 + "  a\\\\b\\nc\\rd"}, Entry, SHA256, Sha256, "a\\b\nc\rd"},
    {"unescaped_backslash_is_literal", {Sha256 + "  a\\nb"}, Entry, SHA256, Sha256, "a\\nb"},
    {"bad_escape", {"\\" + Sha256 + "  a\\tb"}, Malformed, SHA256, {}, {}},
    {"lone_final_backslash", {"\\" + Sha256 + "  a\\"}, Malformed, SHA256, {}, {}},
    {"nul_ends_name", {Sha256 + "  ab\0cd"s}, Entry, SHA256, Sha256, "ab"},
    {"nul_in_escaped_name", {"\\" + Sha256 + "  ab\0cd"s}, Malformed, SHA256, {}, {}},
    {"bsd", {"SHA256 (a.txt) = " + Sha256}, Entry, SHA256, Sha256, "a.txt"},
    {"bsd_without_space", {"SHA256(a) = " + Sha256}, Entry, SHA256, Sha256, "a"},
    {"bsd_name_with_parens", {"MD5 (x) (y)) = " + Md5}, Entry, THashAlgorithm::MD5, Md5, "x) (y)"},
    {"bsd_escaped", {"\\SHA1 (a\\nb) = " + Sha1}, Entry, THashAlgorithm::SHA1, Sha1, "a\nb"},
    {"bsd_two_spaces", {"SHA256  (a) = " + Sha256}, Malformed, SHA256, {}, {}},
    {"bsd_trailing_space", {"SHA256 (a) = " + Sha256 + " "}, Malformed, SHA256, {}, {}},
    {"bsd_tag_length_disagree", {"MD5 (a) = " + Sha256}, Malformed, SHA256, {}, {}},
    {"bsd_lower_tag", {"sha256 (a) = " + Sha256}, Malformed, SHA256, {}, {}},
    {"comment", {"# " + Sha256 + "  a"}, Ignored, SHA256, {}, {}},
    {"indented_hash_is_no_comment", {" #x"}, Malformed, SHA256, {}, {}},
    {"blank", {""}, Ignored, SHA256, {}, {}},
    {"lone_cr", {"\r"}, Ignored, SHA256, {}, {}},
    {"wrong_length", {Sha256.substr(1) + "  a"}, Malformed, SHA256, {}, {}},
    {"no_name", {Sha256 + " "}, Malformed, SHA256, {}, {}},
    {"digest_then_letter", {Sha256 + "x  a"}, Malformed, SHA256, {}, {}},
    {"garbage", {"\x01\xff\xfe binary"s}, Malformed, SHA256, {}, {}},
    {"reversed_form", {Sha256 + " a"}, Entry, SHA256, Sha256, "a"},
    {"reversed_after_gnu", {Sha256 + "  a", Sha256 + " a"}, Malformed, SHA256, {}, {}},
    {"gnu_after_reversed_keeps_blank", {Sha256 + " a", Sha256 + "  a"}, Entry, SHA256, Sha256, " a"},
    {"bsd_sha512", {"SHA512 (a) = " + Sha512}, Entry, THashAlgorithm::SHA512, Sha512, "a"},
    // "SHA512" begins "SHA512t256": the tag followed by "(" is the line's.
    {"bsd_tag_beginning_another", {"SHA512t256 (a) = " + Sha256}, Entry, THashAlgorithm::SHA512_256, Sha256, "a"},
    {"bsd_blake2b", {"BLAKE2b (a) = " + Sha512}, Entry, THashAlgorithm::BLAKE2b512, Sha512, "a"},
    {"bsd_xxh3", {"XXH3 (a) = 78af5f94892f3950"}, Entry, THashAlgorithm::XXH3_64, "78af5f94892f3950", "a"},
    {"bsd_xxh3_wrong_length", {"XXH3 (a) = " + Md5}, Malformed, SHA256, {}, {}},
    // xxhsum --tag's lines for its default XXH64 and -H0's XXH32; "XXH3" begins both tags.
    {"bsd_xxh64", {"XXH64 (a) = 44bc2cf5ad770999"}, Entry, THashAlgorithm::XXH64, "44bc2cf5ad770999", "a"},
    {"bsd_xxh32", {"XXH32 (a) = 32d153ff"}, Entry, THashAlgorithm::XXH32, "32d153ff", "a"},
    {"bsd_xxh32_wrong_length", {"XXH32 (a) = 44bc2cf5ad770999"}, Malformed, SHA256, {}, {}},
    {"gnu_128_digits_are_sha512", {Sha512 + "  a"}, Entry, THashAlgorithm::SHA512, Sha512, "a"},
    {"gnu_8_digits_are_crc32", {"352441c2  a"}, Entry, THashAlgorithm::CRC32, "352441c2", "a"},
    {"sfv_line_outside_a_crc32_list", {"a b 352441C2"}, Malformed, SHA256, {}, {}},
    {"sfv_comment_outside_a_crc32_list", {"; comment"}, Malformed, SHA256, {}, {}},
};

class ChecksumLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(ChecksumLineTest, Parses) {
    const LineCase& c = GetParam();
    TChecksumListParser parser;
    TChecksumEntry entry;
    TChecksumLineKind kind = Ignored;
    for (const std::string& line : c.lines)
        kind = parser.Parse(line, entry);
    ASSERT_EQ(kind, c.kind);
    if (kind != Entry)
        return;
    EXPECT_EQ(entry.Algorithm, c.algorithm);
    EXPECT_EQ(entry.Digest, c.digest);
    EXPECT_EQ(entry.Name, c.fileName);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChecksumLineTest, testing::ValuesIn(LineCases),
                         [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(ChecksumLineFixedAlgorithm, OtherLengthsAndTagsAreMalformed) {
    TChecksumListParser parser(THashAlgorithm::SHA256);
    TChecksumEntry entry;
    EXPECT_EQ(parser.Parse(Md5 + "  a", entry), Malformed);
    EXPECT_EQ(parser.Parse("MD5 (a) = " + Md5, entry), Malformed);
    EXPECT_EQ(parser.Parse(Sha256 + "  a", entry), Entry);
}

// A list of CRC32 values (a list named *.sfv, or -a crc32) also reads SFV lines.
TEST(ChecksumLineSfv, NameSpaceValueLinesAndSemicolonComments) {
    struct TSfvCase {
        std::string_view Line;
        TChecksumLineKind Kind;
        const char* Name;
        const char* Digest;
    };
    const TSfvCase cases[] = {
        {"; Generated by a tool", Ignored, "", ""},
        {"a b 352441C2", Entry, "a b", "352441C2"},
        {"dir/file.iso 0a0b0c0d", Entry, "dir/file.iso", "0a0b0c0d"},
        // No escapes: "\\" separates folders as on Windows, and a leading one is dropped (rhash -c).
        {"CD1\\part.r00 80A657FE", Entry, "CD1/part.r00", "80A657FE"},
        {"\\CD1\\part.r00 80A657FE", Entry, "CD1/part.r00", "80A657FE"},
        {"\\line\\nfeed 352441c2", Entry, "line/nfeed", "352441c2"},
        {"sub\\\\f 352441c2", Entry, "sub//f", "352441c2"},
        // Blanks around the name and before the value are dropped.
        {"  two  words \t 352441c2", Entry, "two  words", "352441c2"},
        {"a\t352441c2", Entry, "a", "352441c2"},
        {"a 352441C", Malformed, "", ""},
        {"a 352441C2x", Malformed, "", ""},
        {" 352441C2", Malformed, "", ""},
        {"352441c2  gnu", Entry, "gnu", "352441c2"},
        // A NUL would end the name for the C checkers; the line is refused, escaped or not.
        {std::string_view("a\0b 352441C2", 12), Malformed, "", ""},
        {std::string_view("\\a\0b 352441C2", 13), Malformed, "", ""},
        {"\\ 352441C2", Malformed, "", ""},
    };
    for (const std::optional<THashAlgorithm> fixed :
         {std::optional(THashAlgorithm::CRC32), std::optional<THashAlgorithm>()}) {
        for (const TSfvCase& c : cases) {
            TChecksumListParser parser(fixed, THashAlgorithm::CRC32);
            TChecksumEntry entry;
            ASSERT_EQ(parser.Parse(c.Line, entry), c.Kind) << c.Line;
            if (c.Kind != Entry)
                continue;
            EXPECT_EQ(entry.Algorithm, THashAlgorithm::CRC32) << c.Line;
            EXPECT_EQ(entry.Name, c.Name) << c.Line;
            EXPECT_EQ(entry.Digest, c.Digest) << c.Line;
        }
    }
}

// The list's own name decides a bare digest whose length several algorithms share.
TEST(ChecksumLineBareAlgorithm, TheListsAlgorithmReadsItsLength) {
    TChecksumEntry entry;
    ASSERT_EQ(TChecksumListParser(std::nullopt, THashAlgorithm::SHA3_256).Parse(Sha256 + "  a", entry), Entry);
    EXPECT_EQ(entry.Algorithm, THashAlgorithm::SHA3_256);
    ASSERT_EQ(TChecksumListParser(std::nullopt, THashAlgorithm::SHA3_256).Parse(Md5 + "  a", entry), Entry);
    EXPECT_EQ(entry.Algorithm, THashAlgorithm::MD5);
    ASSERT_EQ(TChecksumListParser(THashAlgorithm::SHA256, THashAlgorithm::SHA3_256).Parse(Sha256 + "  a", entry),
              Entry);
    EXPECT_EQ(entry.Algorithm, THashAlgorithm::SHA256);
}

TEST(ChecksumLineStandardInput, DashIsMalformedWhenTheListIsStandardInput) {
    TChecksumEntry entry;
    EXPECT_EQ(TChecksumListParser().Parse(Sha256 + "  -", entry, true), Malformed);
    EXPECT_EQ(TChecksumListParser().Parse(Sha256 + "  -", entry, false), Entry);
}

TEST(ReportNameEscape, OnlyALineFeedAsksForIt) {
    EXPECT_TRUE(ReportNameNeedsEscape("a\nb"));
    EXPECT_FALSE(ReportNameNeedsEscape("a\\b\r"));
}

} // namespace
