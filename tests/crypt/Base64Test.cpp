#include "crypt/Base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A memory stream that records the size of every write and can be told to fail one.
class TRecordingStream final : public TStream {
public:
    std::int64_t Size() const override { return m_memory.Size(); }
    std::int64_t Position() const override { return m_memory.Position(); }
    void Seek(std::int64_t offset) override { m_memory.Seek(offset); }
    std::int64_t Read(void* buffer, std::int64_t count) override { return m_memory.Read(buffer, count); }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        m_writes.push_back(count);
        if (m_writes.size() == m_failingWrite)
            throw EWriteError("Stream write error: disk full");
        return m_memory.Write(buffer, count);
    }

    const Bytes& Written() const { return m_memory.Bytes(); }

    std::vector<std::int64_t> m_writes;
    std::size_t m_failingWrite = 0; // 1-based; 0 for none

private:
    TMemoryStream m_memory;
};

// The decoder as a plain reading of its description: a linear search of the alphabet for every
// character and one write per group. Kept deliberately naive as the reference for the real one.
bool ReferenceDecode(std::u16string_view text, TStream& stream) {
    const std::u16string_view alphabet = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t extent = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'=') {
            extent = i + 1;
            break;
        }
    }
    std::size_t p = 0;
    while (p < extent) {
        const std::size_t n = std::min<std::size_t>(4, extent - p);
        int values[4];
        int pad = 0;
        for (std::size_t slot = 0; slot < 4; ++slot, ++p) {
            if (slot < n) {
                if (text[p] == u'=') {
                    values[slot] = 0;
                    ++pad;
                } else {
                    int found = -1;
                    for (std::size_t k = 0; k < alphabet.size(); ++k)
                        if (alphabet[k] == text[p])
                            found = static_cast<int>(k);
                    if (found < 0)
                        return false;
                    values[slot] = found;
                }
            } else {
                values[slot] = 0;
                ++pad;
            }
        }
        const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(values[0] * 4 + values[1] / 16),
                                       static_cast<std::uint8_t>((values[1] % 16) * 16 + values[2] / 4),
                                       static_cast<std::uint8_t>((values[2] % 4) * 64 + values[3])};
        if (pad < 3)
            stream.Write(bytes, 3 - pad);
    }
    return true;
}

struct TDecodeCase {
    const char* Name;
    std::u16string Text;
    bool Result;
    Bytes Written;
    std::vector<std::int64_t> Writes;
};

TEST(Base64Test, DecodesAsDescribedIncludingTheLenientEnd) {
    const TDecodeCase cases[] = {
        {"empty", u"", true, {}, {}},
        {"one_group", u"TWFu", true, {'M', 'a', 'n'}, {3}},
        {"two_groups", u"TWFuTWFu", true, {'M', 'a', 'n', 'M', 'a', 'n'}, {3, 3}},
        {"two_chars_two_pads", u"TQ==", true, {'M'}, {1}},
        {"three_chars_one_pad", u"TWE=", true, {'M', 'a'}, {2}},
        {"three_chars_no_pad", u"TWE", true, {'M', 'a'}, {2}},
        {"two_chars_no_pad", u"TQ", true, {'M'}, {1}},
        {"one_char_no_pad", u"T", true, {}, {}},
        {"group_then_one_char", u"TWFuT", true, {'M', 'a', 'n'}, {3}},
        {"starts_with_pad", u"=TWFu", true, {}, {}},
        {"after_pad_ignored_valid", u"TQ==TWFu", true, {'M'}, {1}},
        {"after_pad_ignored_invalid", u"TWE= !\n-", true, {'M', 'a'}, {2}},
        {"one_char_then_pad", u"T=garbage", true, {}, {}},
        {"pad_in_first_slot_of_group", u"TWFu=", true, {'M', 'a', 'n'}, {3}},
        {"all_values", u"+/+/", true, {0xfb, 0xff, 0xbf}, {3}},
        {"zero_bits", u"AAAA", true, {0, 0, 0}, {3}},
        {"line_break_between_groups", u"TWFu\r\nTWFu", false, {'M', 'a', 'n'}, {3}},
        {"space_inside_group", u"TWFuT Fu", false, {'M', 'a', 'n'}, {3}},
        {"url_safe_minus", u"TW-u", false, {}, {}},
        {"url_safe_underscore", u"TWFu__", false, {'M', 'a', 'n'}, {3}},
        {"latin1_letter", u"TWF\u00e9", false, {}, {}},
        {"code_unit_above_255_with_valid_low_byte", u"TWF\u0141", false, {}, {}},
        {"fullwidth_letter", u"\uff34WFu", false, {}, {}},
        {"nul", std::u16string(u"TW\0u", 4), false, {}, {}},
    };
    for (const TDecodeCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingStream stream;
        EXPECT_EQ(Base64DecodeToStream(c.Text, stream), c.Result);
        EXPECT_EQ(stream.Written(), c.Written);
        EXPECT_EQ(stream.m_writes, c.Writes);
        EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(c.Written.size()));
    }
}

TEST(Base64Test, WritesAtTheStreamPositionWithoutSeeking) {
    TMemoryStream stream;
    stream.Write("0123456789", 10);
    stream.Seek(4);
    EXPECT_TRUE(Base64DecodeToStream(u"TWFu", stream));
    EXPECT_EQ(stream.Position(), 7);
    const Bytes expected = {'0', '1', '2', '3', 'M', 'a', 'n', '7', '8', '9'};
    EXPECT_EQ(stream.Bytes(), expected);
}

TEST(Base64Test, WriteFailurePassesOnWithEarlierGroupsWritten) {
    TRecordingStream stream;
    stream.m_failingWrite = 2;
    try {
        Base64DecodeToStream(u"TWFuTWFuTWFu", stream);
        ADD_FAILURE() << "no exception";
    } catch (const EWriteError& error) {
        EXPECT_STREQ(error.what(), "Stream write error: disk full");
    }
    EXPECT_EQ(stream.Written(), (Bytes{'M', 'a', 'n'}));
}

// Random texts mixing valid characters, "=", invalid characters and odd lengths, decoded by
// the real decoder and by the reference: same result, same bytes, same writes.
TEST(Base64Test, AgreesWithTheReferenceOnRandomTexts) {
    const std::u16string valid = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::u16string invalid = u" \t\r\n-_.*\u00e9\u00ff\u0100\u0141\u2013\uff21";
    invalid += static_cast<char16_t>(0xd83d); // a lone surrogate, which a literal cannot spell
    std::mt19937 random(0xba5e64);
    std::uniform_int_distribution<int> length(0, 41);
    std::uniform_int_distribution<int> kind(0, 99);
    int falseResults = 0;
    int trueResults = 0;
    for (int round = 0; round < 20000; ++round) {
        const int invalidPercent = round % 3 == 0 ? 0 : 2;
        const int padPercent = round % 2 == 0 ? 0 : 4;
        std::u16string text;
        for (int n = length(random); n > 0; --n) {
            const int k = kind(random);
            if (k < invalidPercent)
                text += invalid[random() % invalid.size()];
            else if (k < invalidPercent + padPercent)
                text += u'=';
            else
                text += valid[random() % valid.size()];
        }
        SCOPED_TRACE(testing::Message() << "round " << round << " length " << text.size());
        TRecordingStream actual;
        TRecordingStream reference;
        const bool result = Base64DecodeToStream(text, actual);
        ASSERT_EQ(result, ReferenceDecode(text, reference));
        ASSERT_EQ(actual.Written(), reference.Written());
        ASSERT_EQ(actual.m_writes, reference.m_writes);
        (result ? trueResults : falseResults)++;
    }
    // The mix must exercise both outcomes for the comparison to mean anything.
    EXPECT_GT(trueResults, 1000);
    EXPECT_GT(falseResults, 1000);
}

} // namespace
