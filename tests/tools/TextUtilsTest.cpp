#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdio>

namespace {

QString Units(std::initializer_list<char16_t> units) {
    QString text;
    for (char16_t u : units)
        text.append(QChar(u));
    return text;
}

// Shows a text as code units so that a failing case names exactly what differs.
std::string Dump(const QString& text) {
    std::string out;
    for (QChar c : text) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%04X ", c.unicode());
        out += buffer;
    }
    return out;
}

struct TextCase {
    const char* name;
    QString input;
    QString expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class TrimTest : public testing::TestWithParam<TextCase> {};

TEST_P(TrimTest, RemovesOnlyOuterCodeUnitsUpToSpace) {
    const TextCase& c = GetParam();
    EXPECT_EQ(Dump(Trim(c.input)), Dump(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimTest,
    testing::Values(TextCase{"empty", u""_qs, u""_qs}, TextCase{"only_spaces", u"   "_qs, u""_qs},
                    TextCase{"spaces_around", u"  a b  "_qs, u"a b"_qs},
                    TextCase{"crlf_and_tabs", u"\r\n\ta\tb\r\n"_qs, u"a\tb"_qs},
                    TextCase{"nul_and_controls", Units({0x0000, 0x0001, u'x', 0x001F, 0x0000}), u"x"_qs},
                    TextCase{"inner_nul_kept", Units({u' ', u'a', 0x0000, u'b', u' '}), Units({u'a', 0x0000, u'b'})},
                    // U+0085 and U+00A0 are whitespace to Unicode but above U+0020: they stay.
                    TextCase{"nbsp_and_nel_stay", Units({0x00A0, u'a', 0x0085}), Units({0x00A0, u'a', 0x0085})},
                    TextCase{"del_stays", Units({0x007F, u'a', 0x007F}), Units({0x007F, u'a', 0x007F})},
                    TextCase{"ideographic_space_stays", Units({0x3000, u'a'}), Units({0x3000, u'a'})}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

class UpperTest : public testing::TestWithParam<TextCase> {};

TEST_P(UpperTest, MapsAsciiLettersOnly) {
    const TextCase& c = GetParam();
    EXPECT_EQ(Dump(Upper(c.input)), Dump(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpperTest,
    testing::Values(TextCase{"empty", u""_qs, u""_qs}, TextCase{"ascii", u"abc xyz ABC 09"_qs, u"ABC XYZ ABC 09"_qs},
                    TextCase{"neighbours_of_a_z", u"`a{z@"_qs, u"`A{Z@"_qs},
                    TextCase{"e_acute_unchanged", Units({0x00E9, u'e'}), Units({0x00E9, u'E'})},
                    TextCase{"sharp_s_unchanged", Units({0x00DF}), Units({0x00DF})},
                    TextCase{"dotless_i_unchanged", Units({0x0131, u'i'}), Units({0x0131, u'I'})},
                    TextCase{"fullwidth_a_unchanged", Units({0xFF41}), Units({0xFF41})},
                    TextCase{"nul_and_controls_kept", Units({0x0000, u'q', 0x0007}), Units({0x0000, u'Q', 0x0007})},
                    TextCase{"lone_surrogate_kept", Units({0xD800, u'a'}), Units({0xD800, u'A'})}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

class RemoveSpacesTest : public testing::TestWithParam<TextCase> {};

TEST_P(RemoveSpacesTest, RemovesU0020Only) {
    const TextCase& c = GetParam();
    EXPECT_EQ(Dump(RemoveSpaces(c.input)), Dump(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, RemoveSpacesTest,
                         testing::Values(TextCase{"empty", u""_qs, u""_qs}, TextCase{"only_spaces", u"    "_qs, u""_qs},
                                         TextCase{"tab_stays", u" a b\tc "_qs, u"ab\tc"_qs},
                                         TextCase{"line_breaks_stay", u"a \r\n b"_qs, u"a\r\nb"_qs},
                                         TextCase{"nbsp_stays", Units({u'a', 0x00A0, u' ', u'b'}),
                                                  Units({u'a', 0x00A0, u'b'})}),
                         [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

class KeepNameCharsTest : public testing::TestWithParam<TextCase> {};

TEST_P(KeepNameCharsTest, KeepsSpaceDigitsAndAsciiLetters) {
    const TextCase& c = GetParam();
    EXPECT_EQ(Dump(KeepNameChars(c.input)), Dump(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, KeepNameCharsTest,
                         testing::Values(TextCase{"empty", u""_qs, u""_qs},
                                         TextCase{"file_name", u"my-file.txt"_qs, u"myfiletxt"_qs},
                                         TextCase{"underscore_hyphen", u"System_Config-2"_qs, u"SystemConfig2"_qs},
                                         TextCase{"space_stays", u"a b"_qs, u"a b"_qs},
                                         TextCase{"tab_and_breaks_removed", u"a\tb\r\nc"_qs, u"abc"_qs},
                                         TextCase{"diacritics_removed", Units({u'c', 0x00E9, u'z'}), u"cz"_qs},
                                         TextCase{"all_above_ff", Units({0x0100, 0x4E2D, 0xFF21}), u""_qs},
                                         TextCase{"boundaries", u"/09:@AZ[`az{"_qs, u"09AZaz"_qs}),
                         [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(NormalizeNameTest, LeavesUpperCaseLettersAndDigits) {
    EXPECT_EQ(NormalizeName(u"  sha-256 \r\n"), u"SHA256"_qs);
    EXPECT_EQ(NormalizeName(u"Sha 1"), u"SHA1"_qs);
    EXPECT_EQ(NormalizeName(Units({u'm', 0x00E9, u'd', u'5'})), u"MD5"_qs);
    EXPECT_EQ(NormalizeName(u"\t\t"), u""_qs);
}

TEST(SameTextAsciiTest, IgnoresAsciiCaseOnly) {
    EXPECT_TRUE(SameTextAscii(u"Pepper", u"pEPPER"));
    EXPECT_TRUE(SameTextAscii(u"", u""));
    EXPECT_FALSE(SameTextAscii(u"pepper", u"pepper "));
    EXPECT_FALSE(SameTextAscii(Units({0x00E9}), Units({0x00C9})));
    EXPECT_FALSE(SameTextAscii(u"a", u"b"));
}

} // namespace
