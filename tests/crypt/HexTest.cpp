#include "crypt/Hex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

TEST(HexTest, EveryByteValueBecomesTwoLowerCaseDigits) {
    for (int value = 0; value < 256; ++value) {
        SCOPED_TRACE(value);
        char expected[3];
        std::snprintf(expected, sizeof expected, "%02x", value);
        TMD5Digest digest{};
        digest[0] = static_cast<std::uint8_t>(value);
        digest[15] = static_cast<std::uint8_t>(255 - value);
        char last[3];
        std::snprintf(last, sizeof last, "%02x", 255 - value);
        const std::string text = MD5ToHex(digest);
        ASSERT_EQ(text.size(), 32u);
        EXPECT_EQ(text.substr(0, 2), expected);
        EXPECT_EQ(text.substr(30, 2), last);
        EXPECT_EQ(text.substr(2, 28), std::string(28, '0'));
    }
}

TEST(HexTest, LengthsAndOrderFollowTheDigest) {
    TSHA1Digest sha1{};
    TSHA256Digest sha256{};
    for (std::size_t i = 0; i < sha256.size(); ++i) {
        sha256[i] = static_cast<std::uint8_t>(0xa0 + i);
        if (i < sha1.size())
            sha1[i] = static_cast<std::uint8_t>(i * 13);
    }
    EXPECT_EQ(SHA1ToHex(sha1), "000d1a2734414e5b6875828f9ca9b6c3d0ddeaf7");
    EXPECT_EQ(SHA256ToHex(sha256), "a0a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebf");
}

} // namespace

TEST(HexTest, CaseHelpersMapOnlyTheHexLetters) {
    EXPECT_EQ(UpperHex("09afAFgz-"), "09AFAFgz-");
    EXPECT_EQ(LowerHex("09afAFGZ-"), "09afafGZ-");
    EXPECT_EQ(BytesToHex(reinterpret_cast<const std::uint8_t*>("\x00\x7f\xff"), 3), "007fff");
}

TEST(HexTest, SameDigestsDifferOnlyInTheCaseOfTheirLetters) {
    struct TCase {
        const char* A;
        const char* B;
        bool Same;
    };
    const TCase cases[] = {
        {"09afAF", "09AFaf", true}, {"", "", true},       {"ab", "abc", false}, {"ab", "ac", false},
        {"g", "G", false},          {"0a", "0A ", false}, {"zz", "zz", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.A << "\" and \"" << c.B << '"');
        EXPECT_EQ(SameHexDigits(c.A, c.B), c.Same);
        const std::string_view a = c.A;
        const std::string_view b = c.B;
        EXPECT_EQ(SameHexDigits(std::u16string(a.begin(), a.end()), std::u16string(b.begin(), b.end())), c.Same);
    }
}

TEST(HexTest, FirstDifferenceIgnoresOnlyTheCaseOfTheHexLetters) {
    constexpr std::size_t Same = std::u16string_view::npos;
    struct TCase {
        std::u16string_view A;
        std::u16string_view B;
        std::size_t At;
    };
    const TCase cases[] = {
        {u"abcd", u"ABCD", Same},  {u"abcd", u"abXd", 2}, {u"abcd", u"abc", 3}, {u"abc", u"abcd", 3},
        {u"abcd", u"0bcd", 0},     {u"", u"", Same},      {u"", u"a", 0},       {u"0fG", u"0Fg", 2},
        {u"\u0141", u"\u0161", 0}, // A and a plus 256: only A-F themselves fold
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FirstHexDifference(c.A, c.B), c.At) << "case " << (&c - cases);
}
