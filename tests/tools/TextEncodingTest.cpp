#include "tools/TextEncoding.h"

#include <gtest/gtest.h>

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

TEST(TextEncodingTest, EncodeUtf8WritesLoneSurrogatesAsReplacementCharacter) {
    for (const Utf8Case& c : Utf8Cases) {
        const QStringView text(c.text.data(), qsizetype(c.text.size()));
        EXPECT_EQ(EncodeUtf8(text).toHex().toStdString(), c.hex) << c.name;
    }
}

} // namespace
