// Files without a byte-order mark in the system's ANSI code page: Windows-1252's bytes read and
// write as that code page's characters, NUL included; a character the code page lacks refuses
// to encode rather than turn into a best-fit character.
#include "platform/AnsiCodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TAnsiCase {
    const char* Name;
    std::string Bytes;
    std::u16string Text;
};

const TAnsiCase Windows1252Cases[] = {
    {"ASCII", "HASHTYPE=2\r\n", u"HASHTYPE=2\r\n"},
    {"Latin-1 letters",
     "Gr\xFC\xDF"
     "e",
     u"Gr\u00FC\u00DFe"},
    {"the bytes 80-9F", "\x80\x85\x8A\x99\x9F", u"\u20AC\u2026\u0160\u2122\u0178"},
    {"NUL among the text", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    {"empty", "", u""},
};

// Why a case of codePage cannot run on this system; empty when the ANSI code page is codePage.
std::string CodePageMissing(unsigned codePage) {
    if (AnsiCodePage() == 0)
        return "this system has no ANSI code page; the program's stand-in is tested with text/TextEncoding";
    if (AnsiCodePage() != codePage)
        return "the ANSI code page is " + std::to_string(AnsiCodePage()) + ", not " + std::to_string(codePage);
    return {};
}

} // namespace

TEST(AnsiCodePageTest, Windows1252ReadsAndWritesItsOwnCharacters) {
    if (const std::string missing = CodePageMissing(1252); !missing.empty())
        GTEST_SKIP() << missing;
    for (const TAnsiCase& c : Windows1252Cases) {
        std::u16string text;
        ASSERT_TRUE(DecodeAnsi(c.Bytes, text)) << c.Name;
        EXPECT_EQ(text, c.Text) << c.Name;
        std::string bytes;
        ASSERT_TRUE(EncodeAnsi(c.Text, bytes)) << c.Name;
        EXPECT_EQ(bytes, c.Bytes) << c.Name;
    }
}

TEST(AnsiCodePageTest, CharactersTheCodePageLacksDoNotEncode) {
    if (const std::string missing = CodePageMissing(1252); !missing.empty())
        GTEST_SKIP() << missing;
    const std::u16string lacking[] = {u"\u65E5\u672C", u"salt \u0101", u"\U0001F600"};
    for (const std::u16string& text : lacking) {
        std::string bytes;
        EXPECT_FALSE(EncodeAnsi(text, bytes));
    }
}

TEST(AnsiCodePageTest, ConversionsAnswerWhetherTheSystemHasACodePage) {
    std::u16string text;
    std::string bytes;
    const bool has = AnsiCodePage() != 0;
    EXPECT_EQ(DecodeAnsi("abc", text), has);
    EXPECT_EQ(EncodeAnsi(u"abc", bytes), has);
}
