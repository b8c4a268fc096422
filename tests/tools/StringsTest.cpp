#include "tools/Strings.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct SplitCase {
    const char* name;
    QString text;
    QStringList lines;
    QString textForm; // what Text() gives after SetText(text)
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitLinesTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, SplitsAtEveryKindOfBreak) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitLines(c.text), c.lines);
}

TEST_P(SplitLinesTest, SetTextThenTextWritesCrLfAfterEveryLine) {
    const SplitCase& c = GetParam();
    TStringList list(QStringList{u"old"_qs});
    list.SetText(c.text);
    EXPECT_EQ(list.Lines(), c.lines);
    EXPECT_EQ(list.Text(), c.textForm);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitLinesTest,
    testing::Values(SplitCase{"empty", u""_qs, {}, u""_qs}, SplitCase{"one_line", u"a"_qs, {u"a"_qs}, u"a\r\n"_qs},
                    SplitCase{"crlf", u"a\r\nb"_qs, {u"a"_qs, u"b"_qs}, u"a\r\nb\r\n"_qs},
                    SplitCase{"lone_cr", u"a\rb"_qs, {u"a"_qs, u"b"_qs}, u"a\r\nb\r\n"_qs},
                    SplitCase{"lone_lf", u"a\nb"_qs, {u"a"_qs, u"b"_qs}, u"a\r\nb\r\n"_qs},
                    SplitCase{"final_crlf_adds_no_line", u"a\r\n"_qs, {u"a"_qs}, u"a\r\n"_qs},
                    SplitCase{"final_lone_cr", u"a\r"_qs, {u"a"_qs}, u"a\r\n"_qs},
                    SplitCase{"only_a_break", u"\r\n"_qs, {u""_qs}, u"\r\n"_qs},
                    SplitCase{"two_final_breaks", u"a\r\n\r\n"_qs, {u"a"_qs, u""_qs}, u"a\r\n\r\n"_qs},
                    // LF CR is two breaks, not one.
                    SplitCase{"lf_cr", u"a\n\rb"_qs, {u"a"_qs, u""_qs, u"b"_qs}, u"a\r\n\r\nb\r\n"_qs},
                    SplitCase{"cr_crlf", u"a\r\r\nb"_qs, {u"a"_qs, u""_qs, u"b"_qs}, u"a\r\n\r\nb\r\n"_qs},
                    SplitCase{"spaces_kept", u" a \r\n b "_qs, {u" a "_qs, u" b "_qs}, u" a \r\n b \r\n"_qs}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(StringListTest, IndexErrorsNameTheIndex) {
    TStringList list(QStringList{u"a"_qs, u"b"_qs});
    struct Case {
        const char* name;
        std::function<void()> call;
        const char* message;
    };
    const Case cases[] = {
        {"get_minus_one", [&] { list.Get(-1); }, "List index out of bounds (-1)"},
        {"get_count", [&] { list.Get(2); }, "List index out of bounds (2)"},
        {"put_count", [&] { list.Put(2, u"x"_qs); }, "List index out of bounds (2)"},
        {"insert_past_count", [&] { list.Insert(3, u"x"_qs); }, "List index out of bounds (3)"},
        {"delete_minus_one", [&] { list.Delete(-1); }, "List index out of bounds (-1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.call();
            ADD_FAILURE() << "no EListError";
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_EQ(list.Lines(), (QStringList{u"a"_qs, u"b"_qs}));
}

TEST(StringListTest, AddInsertPutDelete) {
    TStringList list;
    EXPECT_EQ(list.Add(u"b"_qs), 0);
    EXPECT_EQ(list.Add(u"d"_qs), 1);
    list.Insert(0, u"a"_qs);
    list.Insert(2, u"c"_qs);
    list.Insert(4, u"e"_qs); // Count() appends
    EXPECT_EQ(list.Lines(), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs}));
    list.Put(1, u"B"_qs);
    list.Delete(4);
    list.Delete(0);
    EXPECT_EQ(list.Lines(), (QStringList{u"B"_qs, u"c"_qs, u"d"_qs}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

// Counts update brackets so that SetText can be seen to repaint a control once, even when
// adding a line fails half-way.
class CountingList final : public TStrings {
public:
    int Count() const override { return static_cast<int>(lines.size()); }
    QString Get(int index) const override {
        CheckIndex(index, Count());
        return lines[index];
    }
    void Put(int index, const QString& text) override {
        CheckIndex(index, Count());
        lines[index] = text;
    }
    void Insert(int index, const QString& text) override {
        CheckIndex(index, Count() + 1);
        if (text == u"boom")
            throw std::runtime_error("insert failed");
        lines.insert(index, text);
    }
    void Delete(int index) override {
        CheckIndex(index, Count());
        lines.removeAt(index);
    }
    void Clear() override { lines.clear(); }
    void BeginUpdate() override { ++depth, ++begins; }
    void EndUpdate() override { --depth; }

    QStringList lines;
    int depth = 0;
    int begins = 0;
};

TEST(StringsTest, SetTextBracketsOneUpdateAlsoOnFailure) {
    CountingList list;
    list.SetText(u"a\r\nb"_qs);
    EXPECT_EQ(list.lines, (QStringList{u"a"_qs, u"b"_qs}));
    EXPECT_EQ(list.begins, 1);
    EXPECT_EQ(list.depth, 0);

    EXPECT_THROW(list.SetText(u"x\nboom\ny"_qs), std::runtime_error);
    EXPECT_EQ(list.begins, 2);
    EXPECT_EQ(list.depth, 0);
}

TEST(StringsTest, EncodingIsRememberedAndStartsAsAnsi) {
    TStringList list;
    EXPECT_EQ(list.Encoding(), TTextEncoding::Ansi);
    list.SetEncoding(TTextEncoding::Utf16BE);
    EXPECT_EQ(list.Encoding(), TTextEncoding::Utf16BE);
    list.SetText(u"a"_qs);
    EXPECT_EQ(list.Encoding(), TTextEncoding::Utf16BE);
}

} // namespace
