#include "text/PlainText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace std::string_literals;

std::u16string Units(std::initializer_list<char16_t> units) {
    return std::u16string(units);
}

// Shows a text as code units so that a failing case names exactly what differs.
std::string Dump(const std::u16string& text) {
    std::string out;
    for (const char16_t c : text) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%04X ", static_cast<unsigned>(c));
        out += buffer;
    }
    return out;
}

struct TextCase {
    const char* name;
    std::u16string input;
    std::u16string expected;
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
    testing::Values(TextCase{"empty", u""s, u""s}, TextCase{"only_spaces", u"   "s, u""s},
                    TextCase{"spaces_around", u"  a b  "s, u"a b"s},
                    TextCase{"crlf_and_tabs", u"\r\n\ta\tb\r\n"s, u"a\tb"s},
                    TextCase{"nul_and_controls", Units({0x0000, 0x0001, u'x', 0x001F, 0x0000}), u"x"s},
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
    testing::Values(TextCase{"empty", u""s, u""s}, TextCase{"ascii", u"abc xyz ABC 09"s, u"ABC XYZ ABC 09"s},
                    TextCase{"neighbours_of_a_z", u"`a{z@"s, u"`A{Z@"s},
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
                         testing::Values(TextCase{"empty", u""s, u""s}, TextCase{"only_spaces", u"    "s, u""s},
                                         TextCase{"tab_stays", u" a b\tc "s, u"ab\tc"s},
                                         TextCase{"line_breaks_stay", u"a \r\n b"s, u"a\r\nb"s},
                                         TextCase{"nbsp_stays", Units({u'a', 0x00A0, u' ', u'b'}),
                                                  Units({u'a', 0x00A0, u'b'})}),
                         [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

class KeepNameCharsTest : public testing::TestWithParam<TextCase> {};

TEST_P(KeepNameCharsTest, KeepsSpaceDigitsAndAsciiLetters) {
    const TextCase& c = GetParam();
    EXPECT_EQ(Dump(KeepNameChars(c.input)), Dump(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, KeepNameCharsTest,
                         testing::Values(TextCase{"empty", u""s, u""s},
                                         TextCase{"file_name", u"my-file.txt"s, u"myfiletxt"s},
                                         TextCase{"underscore_hyphen", u"System_Config-2"s, u"SystemConfig2"s},
                                         TextCase{"space_stays", u"a b"s, u"a b"s},
                                         TextCase{"tab_and_breaks_removed", u"a\tb\r\nc"s, u"abc"s},
                                         TextCase{"diacritics_removed", Units({u'c', 0x00E9, u'z'}), u"cz"s},
                                         TextCase{"all_above_ff", Units({0x0100, 0x4E2D, 0xFF21}), u""s},
                                         TextCase{"boundaries", u"/09:@AZ[`az{"s, u"09AZaz"s}),
                         [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(NormalizeNameTest, LeavesUpperCaseLettersAndDigits) {
    EXPECT_EQ(NormalizeName(u"  sha-256 \r\n"), u"SHA256"s);
    EXPECT_EQ(NormalizeName(u"Sha 1"), u"SHA1"s);
    EXPECT_EQ(NormalizeName(Units({u'm', 0x00E9, u'd', u'5'})), u"MD5"s);
    EXPECT_EQ(NormalizeName(u"\t\t"), u""s);
}

TEST(SameTextAsciiTest, IgnoresAsciiCaseOnly) {
    EXPECT_TRUE(SameTextAscii(u"Pepper", u"pEPPER"));
    EXPECT_TRUE(SameTextAscii(u"", u""));
    EXPECT_FALSE(SameTextAscii(u"pepper", u"pepper "));
    EXPECT_FALSE(SameTextAscii(Units({0x00E9}), Units({0x00C9})));
    EXPECT_FALSE(SameTextAscii(u"a", u"b"));
}

TEST(Latin1Test, GivesEachByteItsCodeUnit) {
    EXPECT_EQ(Latin1("SHA256"), u"SHA256"s);
    EXPECT_EQ(Dump(Latin1("\xE9\xFF\x00"s)), Dump(Units({0x00E9, 0x00FF, 0x0000})));
}

// File names go to platform/ as UTF-8 and come back from it as text; a lone surrogate, which no
// file name holds, is written as '?', and bytes that are not UTF-8 read as U+FFFD.
TEST(SystemNameTest, ConvertsBetweenTextAndUtf8Names) {
    EXPECT_EQ(SystemName(u"caf\u00e9/\U0001F600"), "caf\xC3\xA9/\xF0\x9F\x98\x80");
    EXPECT_EQ(SystemName(Units({u'a', 0xD800, u'b', 0xDC00})), "a?b?");
    EXPECT_EQ(NameFromSystem("caf\xC3\xA9"), u"caf\u00e9"s);
    EXPECT_EQ(Dump(NameFromSystem("a\xFF\xC3")), Dump(Units({u'a', 0xFFFD, 0xFFFD})));
}

} // namespace
