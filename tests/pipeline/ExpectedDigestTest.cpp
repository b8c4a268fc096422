#include "pipeline/ExpectedDigest.h"

#include "text/TextEncoding.h"
#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <string>

namespace {

const QString QSha256 = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_qs;
const QString QSha1 = u"a9993e364706816aba3e25717850c26c9cd0d89d"_qs;
const QString QMd5 = u"900150983cd24fb0d6963f7d28e17f72"_qs;

// The names as one line, split by spaces.
std::string Joined(const std::vector<std::u16string>& names) {
    std::string line;
    for (const std::u16string& name : names) {
        if (!line.empty())
            line += ' ';
        line += EncodeUtf8(name);
    }
    return line;
}

// digest in groups of size, split by separator.
QString Grouped(const QString& digest, qsizetype size, const QString& separator) {
    QStringList groups;
    for (qsizetype i = 0; i < digest.size(); i += size)
        groups.append(digest.mid(i, size));
    return groups.join(separator);
}

struct ExpectedCase {
    const char* name;
    QString text;
    TExpectedDigest::TKind kind;
    QString digest;
    QString algorithm;
    QString fileName;
};

void PrintTo(const ExpectedCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr auto IsDigest = TExpectedDigest::TKind::Digest;
constexpr auto NotDigest = TExpectedDigest::TKind::NotADigest;
constexpr auto Empty = TExpectedDigest::TKind::Empty;

const ExpectedCase ExpectedCases[] = {
    {"bare", QSha256, IsDigest, QSha256, u"SHA256"_qs, {}},
    {"upper_with_spaces", u"  "_qs + QSha1.toUpper() + u" \r\n"_qs, IsDigest, QSha1, u"SHA1"_qs, {}},
    {"md5_by_length", QMd5, IsDigest, QMd5, u"MD5"_qs, {}},
    {"gnu_line", QSha256 + u"  file.iso\n"_qs, IsDigest, QSha256, u"SHA256"_qs, u"file.iso"_qs},
    {"gnu_binary_line", QMd5 + u" *file.iso"_qs, IsDigest, QMd5, u"MD5"_qs, u"file.iso"_qs},
    {"bsd_line", u"SHA256 (file.iso) = "_qs + QSha256.toUpper(), IsDigest, QSha256, u"SHA256"_qs, u"file.iso"_qs},
    {"bsd_lower_tag", u"sha1 (f) = "_qs + QSha1, IsDigest, QSha1, u"SHA1"_qs, u"f"_qs},
    {"bsd_escaped_mixed_case_tag", u"\\Sha256(a\\nb(1)) = "_qs + QSha256, IsDigest, QSha256, u"SHA256"_qs,
     u"a\nb(1)"_qs},
    {"gnu_name_keeps_its_case", QMd5 + u"  File(1).ISO"_qs, IsDigest, QMd5, u"MD5"_qs, u"File(1).ISO"_qs},
    {"openssl_form", u"SHA256(f.iso)= "_qs + QSha256, IsDigest, QSha256, u"SHA256"_qs, u"f.iso"_qs},
    {"bsd_tag_disagrees", u"SHA1 (f) = "_qs + QSha256, NotDigest, {}, {}, {}},
    // A tagged line names its algorithm even where the length commonly means another.
    {"bsd_sha3_line", u"sha3-256 (f) = "_qs + QSha256, IsDigest, QSha256, u"SHA3-256"_qs, u"f"_qs},
    {"bsd_blake2b_line", u"blake2b (f) = "_qs + QSha256 + QSha256, IsDigest, QSha256 + QSha256, u"BLAKE2b-512"_qs,
     u"f"_qs},
    {"sha512_by_length", QSha256 + QSha256, IsDigest, QSha256 + QSha256, u"SHA512"_qs, {}},
    {"crc32_by_length", u"352441C2"_qs, IsDigest, u"352441c2"_qs, u"CRC32"_qs, {}},
    {"empty", u" \t\r\n"_qs, Empty, {}, {}, {}},
    {"short_hex", u"00ff"_qs, NotDigest, {}, {}, {}},
    {"one_digit_too_many", QSha256 + u"0"_qs, NotDigest, {}, {}, {}},
    {"not_hex", QSha256.left(63) + u"g"_qs, NotDigest, {}, {}, {}},
    {"two_lines", QSha256 + u"  a\n"_qs + QSha256 + u"  b"_qs, NotDigest, {}, {}, {}},
    {"words", u"hello world"_qs, NotDigest, {}, {}, {}},
    {"inner_space", QSha256.left(10) + u" "_qs + QSha256.mid(10), NotDigest, {}, {}, {}},
    {"openssl3_form", u"SHA2-256(a.bin)= "_qs + QSha256, IsDigest, QSha256, u"SHA256"_qs, u"a.bin"_qs},
    {"openssl3_form_sha1", u"SHA1(a.bin)= "_qs + QSha1, IsDigest, QSha1, u"SHA1"_qs, u"a.bin"_qs},
    {"openssl3_tag_disagrees", u"SHA2-256(a.bin)= "_qs + QSha1, NotDigest, {}, {}, {}},
    {"groups_of_8", Grouped(QSha256, 8, u" "_qs), IsDigest, QSha256, u"SHA256"_qs, {}},
    {"groups_of_4_by_tabs_upper", Grouped(QSha1.toUpper(), 4, u"\t"_qs), IsDigest, QSha1, u"SHA1"_qs, {}},
    {"groups_last_shorter", Grouped(QMd5, 5, u"  "_qs), IsDigest, QMd5, u"MD5"_qs, {}},
    {"groups_unequal", QSha1.left(8) + u" "_qs + QSha1.mid(8, 4) + u" "_qs + QSha1.mid(12), NotDigest, {}, {}, {}},
    {"groups_one_digit_short", Grouped(QSha256.left(63), 8, u" "_qs), NotDigest, {}, {}, {}},
    {"digest_and_hex_name", QMd5 + u" deadbeef"_qs, IsDigest, QMd5, u"MD5"_qs, u"deadbeef"_qs},
};

class ExpectedDigestTest : public testing::TestWithParam<ExpectedCase> {};

TEST_P(ExpectedDigestTest, Reads) {
    const ExpectedCase& c = GetParam();
    const TExpectedDigest parsed = ParseExpectedDigest(Utf16(c.text));
    ASSERT_EQ(parsed.Kind, c.kind);
    EXPECT_EQ(EncodeUtf8(parsed.Digest), c.digest.toStdString());
    EXPECT_EQ(EncodeUtf8(parsed.Algorithm), c.algorithm.toStdString());
    EXPECT_EQ(EncodeUtf8(parsed.Name), c.fileName.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Cases, ExpectedDigestTest, testing::ValuesIn(ExpectedCases),
                         [](const testing::TestParamInfo<ExpectedCase>& info) { return std::string(info.param.name); });

struct LinesCase {
    const char* name;
    QString text;
    QString fileName;
    QString digest; // empty: NotADigest
    QString seen;
};

const QString List = u"# SHA256 sums\n"_qs + QSha256 + u"  a.iso\n"_qs + QSha256.left(63) + u"0  dir/b.iso\r\n"_qs +
                     QSha256.left(63) + u"1  c.iso\n"_qs;

const LinesCase LinesCases[] = {
    {"line_naming_the_file", List, u"a.iso"_qs, QSha256, {}},
    {"line_naming_it_with_a_folder", List, u"b.iso"_qs, QSha256.left(63) + u"0"_qs, {}},
    {"no_line_for_the_file", List, u"d.iso"_qs, {}, u"4 lines (a.iso, dir/b.iso, ...), none for d.iso"_qs},
    {"no_file_on_screen", List, {}, {}, u"4 lines (a.iso, dir/b.iso, ...): hash a file to pick its line"_qs},
    {"no_list_lines", u"hello\nworld"_qs, u"a.iso"_qs, {}, u"2 lines, no list line, none for a.iso"_qs},
    {"one_line_and_blanks", u"\n\n"_qs + QSha1 + u"\n\n"_qs, u"a.iso"_qs, QSha1, {}},
};

TEST(ExpectedDigestLinesTest, TakesTheLineNamingTheFile) {
    for (const LinesCase& c : LinesCases) {
        SCOPED_TRACE(c.name);
        const TExpectedDigest parsed = ParseExpectedDigest(Utf16(c.text), Utf16(c.fileName));
        EXPECT_EQ(parsed.IsDigest(), !c.digest.isEmpty());
        EXPECT_EQ(EncodeUtf8(parsed.Digest), c.digest.toStdString());
        EXPECT_EQ(EncodeUtf8(parsed.Seen), c.seen.toStdString());
    }
}

struct AlgorithmsCase {
    const char* name;
    QString text;
    QStringList algorithms;
    bool byLength = true;
};

const QString QSha512 = QSha256 + QSha256; // any 128 digits
const QStringList Of32 = {u"MD5"_qs, u"XXH3-128"_qs};
const QStringList Of128 = {u"SHA512"_qs, u"SHA3-512"_qs, u"BLAKE2b-512"_qs};

// A digest that no tag names may be of every algorithm of its length; a tag names one.
const AlgorithmsCase AlgorithmsCases[] = {
    {"bare_32", QMd5, Of32},
    {"bare_128", QSha512.toUpper(), Of128},
    {"groups_128", Grouped(QSha512, 8, u" "_qs), Of128},
    {"gnu_line", QMd5 + u"  f.iso"_qs, Of32},
    {"gnu_escaped_line", u"\\"_qs + QMd5 + u"  a\\nb"_qs, Of32},
    {"line_of_a_list_naming_the_file", QMd5 + u"  a\n"_qs + QMd5 + u"  f.iso\n"_qs, Of32},
    {"a_length_of_its_own", QSha1, {u"SHA1"_qs}},
    {"bsd_line", u"MD5 (f.iso) = "_qs + QMd5, {u"MD5"_qs}, false},
    {"bsd_line_of_another_algorithm", u"SHA3-512 (f.iso) = "_qs + QSha512, {u"SHA3-512"_qs}, false},
    {"openssl3_line", u"SHA2-512(f.iso)= "_qs + QSha512, {u"SHA512"_qs}, false},
    {"not_a_digest", u"hello"_qs, {}, false},
    {"empty", u" "_qs, {}, false},
};

TEST(AlgorithmsOfDigestTest, EveryAlgorithmOfTheLengthUnlessATagNamesOne) {
    for (const AlgorithmsCase& c : AlgorithmsCases) {
        SCOPED_TRACE(c.name);
        const TExpectedDigest parsed = ParseExpectedDigest(Utf16(c.text), u"f.iso");
        EXPECT_EQ(Joined(AlgorithmsOfDigest(parsed)), c.algorithms.join(u' ').toStdString());
        EXPECT_EQ(parsed.ByLength, c.byLength);
    }
    // Whatever the table adds, a 64-digit digest may be of each of these.
    const std::vector<std::u16string> of64 = AlgorithmsOfDigest(ParseExpectedDigest(Utf16(QSha256)));
    for (const std::u16string_view name : {u"SHA256", u"SHA512/256", u"SHA3-256", u"BLAKE2s-256"})
        EXPECT_NE(std::find(of64.begin(), of64.end(), name), of64.end()) << EncodeUtf8(name);
    ASSERT_FALSE(of64.empty());
    EXPECT_EQ(of64.front(), u"SHA256") << "the length's common meaning first";
}

TEST(FirstDifferenceTest, PositionIgnoringCase) {
    EXPECT_EQ(FirstDifference(u"abcd", u"ABCD"), -1);
    EXPECT_EQ(FirstDifference(u"abcd", u"abXd"), 2);
    EXPECT_EQ(FirstDifference(u"abcd", u"abc"), 3);
    EXPECT_EQ(FirstDifference(u"abcd", u"0bcd"), 0);
}

} // namespace
