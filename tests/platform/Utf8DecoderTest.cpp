// The console's text from the program's UTF-8 bytes: the same text however the bytes are cut
// into writes, and every byte that is not UTF-8 shown as U+FFFD instead of lost.
#include "platform/Utf8Decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TDecodeCase {
    const char* Name;
    std::string Bytes;
    std::u16string Text;
};

const TDecodeCase DecodeCases[] = {
    {"ASCII line", "abc  a.txt\n", u"abc  a.txt\n"},
    {"NUL among the bytes", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    {"letters outside ASCII",
     "\xC3\x9Cn\xC3\xAF"
     "c\xC3\xB8"
     "d\xC3\xA9 \xE2\x9C\x93.txt",
     u"\u00DCn\u00EFc\u00F8d\u00E9 \u2713.txt"},
    {"a character outside the basic plane", "\xF0\x9F\x98\x80!", u"\U0001F600!"},
    {"the highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    {"a Windows-1252 name as raw bytes", "caf\xE9.txt\n", u"caf\uFFFD.txt\n"},
    {"a sequence cut short by ASCII",
     "\xE2\x9C"
     "x",
     u"\uFFFDx"},
    {"a sequence cut short by a new lead byte", "\xF0\x9F\xC3\xA9", u"\uFFFD\u00E9"},
    {"a four-byte sequence cut before the line end", "\xF0\x9F\x98\n", u"\uFFFD\n"},
    {"a lone continuation byte",
     "a\x80"
     "b",
     u"a\uFFFDb"},
    {"an overlong two-byte form", "\xC0\xAF", u"\uFFFD\uFFFD"},
    {"an overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
    {"an overlong four-byte form", "\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"a surrogate's bytes", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"bytes UTF-8 never uses", "\xF5\xFE\xFF", u"\uFFFD\uFFFD\uFFFD"},
    {"an unfinished character before NUL", std::string("ab\xE2\x9C\0", 5), std::u16string(u"ab\uFFFD\0", 4)},
};

// Decodes pieces one after the other with an output of room units.
std::u16string DecodeInPieces(const std::vector<std::string>& pieces, std::size_t room) {
    TUtf8Decoder decoder;
    std::u16string text;
    std::vector<char16_t> out(room);
    for (std::string_view piece : pieces) {
        while (!piece.empty()) {
            const TDecodedPiece made = decoder.Decode(piece, out);
            EXPECT_GT(made.BytesTaken, 0u) << "no progress with room " << room;
            if (made.BytesTaken == 0)
                return text;
            text.append(out.data(), made.UnitsMade);
            piece.remove_prefix(made.BytesTaken);
        }
    }
    return text;
}

} // namespace

TEST(Utf8DecoderTest, DecodesWholeBytes) {
    for (const TDecodeCase& c : DecodeCases)
        EXPECT_EQ(DecodeInPieces({c.Bytes}, 64), c.Text) << c.Name;
}

TEST(Utf8DecoderTest, GivesTheSameTextWhereverTheBytesAreCut) {
    for (const TDecodeCase& c : DecodeCases) {
        for (std::size_t cut = 0; cut <= c.Bytes.size(); ++cut)
            EXPECT_EQ(DecodeInPieces({c.Bytes.substr(0, cut), c.Bytes.substr(cut)}, 64), c.Text)
                << c.Name << ", cut after byte " << cut;
        std::vector<std::string> bytes;
        for (char byte : c.Bytes)
            bytes.emplace_back(1, byte);
        EXPECT_EQ(DecodeInPieces(bytes, 64), c.Text) << c.Name << ", one byte at a time";
    }
}

TEST(Utf8DecoderTest, WorksInTheLeastRoom) {
    for (const TDecodeCase& c : DecodeCases)
        EXPECT_EQ(DecodeInPieces({c.Bytes}, TUtf8Decoder::MinimumRoom), c.Text) << c.Name;
}

TEST(Utf8DecoderTest, KeepsACharacterSplitBetweenWritesForTheNext) {
    TUtf8Decoder decoder;
    char16_t out[8];
    const TDecodedPiece head = decoder.Decode("ok \xE2\x9C", out);
    EXPECT_EQ(head.BytesTaken, 5u);
    EXPECT_EQ(std::u16string(out, head.UnitsMade), u"ok ");
    const TDecodedPiece tail = decoder.Decode("\x93\n", out);
    EXPECT_EQ(tail.BytesTaken, 2u);
    EXPECT_EQ(std::u16string(out, tail.UnitsMade), u"\u2713\n");
}

TEST(Utf8DecoderTest, ResetForgetsAnUnfinishedCharacter) {
    TUtf8Decoder decoder;
    char16_t out[8];
    decoder.Decode("\xF0\x9F", out);
    decoder.Reset();
    const TDecodedPiece next = decoder.Decode("a", out);
    EXPECT_EQ(std::u16string(out, next.UnitsMade), u"a");
}
