#include "text/TextEncoding.h"

#include "platform/AnsiCodePage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct Utf8Case {
    const char* name;
    std::u16string text;
    const char* hex;
};

const Utf8Case Utf8Cases[] = {
    {"empty", u"", ""},
    {"ascii and control characters", u"a\r\n\t", "610d0a09"},
    {"two-byte form", u"\u00e9", "c3a9"},
    {"three-byte form", u"\u20ac", "e282ac"},
    {"surrogate pair", u"\xD83D\xDE00", "f09f9880"},
    {"lone high surrogate", u"a\xD800z", "61efbfbd7a"},
    {"lone low surrogate", u"\xDC00", "efbfbd"},
    {"pair in the wrong order", u"\xDE00\xD83D", "efbfbdefbfbd"},
    {"high surrogate at the end", u"x\xD83D", "78efbfbd"},
};

std::string Hex(std::string_view bytes) {
    std::string hex;
    for (const char byte : bytes) {
        char buffer[3];
        std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(byte));
        hex += buffer;
    }
    return hex;
}

std::string Hex(std::u16string_view text) {
    std::string hex;
    for (const char16_t unit : text) {
        char buffer[6];
        std::snprintf(buffer, sizeof buffer, "%04x ", static_cast<unsigned>(unit));
        hex += buffer;
    }
    return hex;
}

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(TextEncodingTest, EncodeUtf8WritesLoneSurrogatesAsReplacementCharacter) {
    for (const Utf8Case& c : Utf8Cases)
        EXPECT_EQ(Hex(EncodeUtf8(c.text)), c.hex) << c.name;
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::u16string text;
};

// Every byte that begins no valid sequence is one U+FFFD, and the next byte is read afresh.
const DecodeCase DecodeCases[] = {
    {"ascii and NUL", Bytes({'a', 0x00, 'b'}), {u'a', 0x0000, u'b'}},
    {"two, three and four bytes",
     Bytes({0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80}),
     {0x00E9, 0x20AC, 0xD83D, 0xDE00}},
    {"byte-order mark kept", Bytes({0xEF, 0xBB, 0xBF, 'x'}), {0xFEFF, u'x'}},
    {"stray continuation byte", Bytes({0x80, 'a'}), {0xFFFD, u'a'}},
    {"overlong two-byte form", Bytes({0xC0, 0xAF}), {0xFFFD, 0xFFFD}},
    {"overlong three-byte form", Bytes({0xE0, 0x80, 0xAF}), {0xFFFD, 0xFFFD, 0xFFFD}},
    {"surrogate", Bytes({0xED, 0xA0, 0x80}), {0xFFFD, 0xFFFD, 0xFFFD}},
    {"above U+10FFFF", Bytes({0xF4, 0x90, 0x80, 0x80}), {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},
    {"cut short at the end", Bytes({'a', 0xE2, 0x82}), {u'a', 0xFFFD, 0xFFFD}},
    {"cut short by ASCII", Bytes({0xE2, 'x', 0xC3, 0xA9}), {0xFFFD, u'x', 0x00E9}},
    {"lead bytes F5 to FF", Bytes({0xF5, 0xFF}), {0xFFFD, 0xFFFD}},
};

TEST(TextEncodingTest, DecodeUtf8ReplacesEachByteOfAnInvalidSequence) {
    for (const DecodeCase& c : DecodeCases)
        EXPECT_EQ(Hex(DecodeUtf8(c.bytes)), Hex(c.text)) << c.name;
}

TEST(TextEncodingTest, Windows1252CoversEveryByte) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const std::u16string text = DecodeWindows1252(all);
    ASSERT_EQ(text.size(), 255u);
    EXPECT_EQ(text[0x41 - 1], u'A');
    EXPECT_EQ(text[0x80 - 1], u'\u20AC');
    EXPECT_EQ(text[0x8A - 1], u'\u0160');
    EXPECT_EQ(text[0x99 - 1], u'\u2122');
    EXPECT_EQ(text[0xA0 - 1], u'\u00A0');
    EXPECT_EQ(text[0xFF - 1], u'\u00FF');
    for (const int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(text[undefined - 1], undefined) << "byte " << undefined;

    // No mark, not valid UTF-8: the whole file is read as Windows-1252.
    TTextEncoding encoding = TTextEncoding::Utf8;
    EXPECT_EQ(DecodeText(all, encoding), text);
    EXPECT_EQ(encoding, TTextEncoding::Ansi);
}

TEST(TextEncodingTest, LoneSurrogateIsKeptOnlyInUtf16) {
    const std::u16string text{0xD800, u'a'};
    // Where ANSI is a code page (Windows), U+FFFD is outside it, so the text is kept as UTF-8
    // behind its mark; elsewhere ANSI text is UTF-8.
    const std::string utf8 = "efbfbd61";
    EXPECT_EQ(Hex(EncodeText(text, TTextEncoding::Ansi)), AnsiCodePage() == 0 ? utf8 : "efbbbf" + utf8);
    EXPECT_EQ(Hex(EncodeText(text, TTextEncoding::Utf16BE)), "feffd8000061");
}

} // namespace
