#include "tools/DelimitedList.h"

#include "tests/tools/ListText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A list that records its update brackets and counts the writes, as a control would.
class TRecordingList final : public TStrings {
public:
    int Count() const override { return m_list.Count(); }
    QString Get(int index) const override { return m_list.Get(index); }
    void Put(int index, const QString& text) override {
        ExpectInUpdate();
        ++m_puts;
        m_list.Put(index, text);
    }
    void Insert(int index, const QString& text) override {
        ExpectInUpdate();
        m_list.Insert(index, text);
    }
    void Delete(int index) override {
        ExpectInUpdate();
        m_list.Delete(index);
    }
    void Clear() override { m_list.Clear(); }
    void BeginUpdate() override {
        ++m_depth;
        ++m_brackets;
    }
    void EndUpdate() override { --m_depth; }

    int m_depth = 0;
    int m_brackets = 0;
    int m_puts = 0;

private:
    void ExpectInUpdate() const { EXPECT_GT(m_depth, 0) << "list changed outside BeginUpdate/EndUpdate"; }
    TStringList m_list;
};

struct JoinCase {
    const char* name;
    QStringList lines;
    char16_t delimiter;
    int limit;
    const char* expected;
};

TEST(JoinList, JoinsTrimmedNonEmptyItems) {
    const std::vector<JoinCase> cases = {
        {"escapes and skips", {"alpha", "", "b; c", "  d  "}, u';', 0, "alpha; b;.c; d"},
        {"all blank", {"", "   ", "\t"}, u';', 0, ""},
        {"single", {"x"}, u';', 0, "x"},
        {"delimiter without blank stays", {"a;b", ";c;"}, u';', 0, "a;b; ;c;"},
        {"item ending in delimiter", {"a;", "b"}, u';', 0, "a;; b"},
        {"other delimiter", {"a, b", "c"}, u',', 0, "a,.b, c"},
        {"repeated escape", {"a; ; b"}, u';', 0, "a;.;.b"},
        {"delimiter is full stop", {"a.  b"}, u'.', 0, "a...b"},
        {"limit cuts inside item", {"abc", "defgh"}, u';', 7, "abc; de"},
        {"limit cuts inside separator", {"abc", "def"}, u';', 4, "abc;"},
        {"limit stops taking lines", {"abcdef", "x"}, u';', 3, "abc"},
        {"limit reached exactly", {"abc", "d"}, u';', 3, "abc"},
        {"negative limit", {"abc"}, u';', -1, ""},
    };
    for (const JoinCase& c : cases) {
        const TStringList list(c.lines);
        EXPECT_EQ(JoinList(&list, QChar(c.delimiter), c.limit).toStdString(), c.expected) << c.name;
    }
}

TEST(JoinList, AbsentOrEmptyListGivesEmptyText) {
    const TStringList empty;
    EXPECT_TRUE(JoinList(nullptr, u';', 0).isEmpty());
    EXPECT_TRUE(JoinList(&empty, u';', 0).isEmpty());
}

struct SplitCase {
    const char* name;
    const char16_t* text;
    const char* expected;
};

TEST(SplitList, SplitsAtDelimiterAndBlank) {
    const SplitCase cases[] = {
        {"unescapes", u"alpha; b;.c; d", "alpha|b; c|d"},
        {"empty text", u"", ""},
        {"delimiter without blank", u"a;b; c", "a;b|c"},
        {"separator at the end", u"x; ", "x"},
        {"delimiter at the end", u"x;", "x;"},
        {"two separators", u"x; ; y", "x||y"},
        {"items not trimmed", u" a ; b ", " a |b "},
        {"escape repeated", u"a;.;.b", "a; ; b"},
        {"lone blank", u" ", " "},
    };
    for (const SplitCase& c : cases) {
        TStringList list;
        SplitList(QString::fromUtf16(c.text), &list, u';', false);
        EXPECT_EQ(Joined(list), c.expected) << c.name;
    }
}

TEST(SplitList, AppendsOrClearsFirst) {
    TStringList list(QStringList{"old"});
    SplitList(QStringLiteral("a; b"), &list, u';', false);
    EXPECT_EQ(Joined(list), "old|a|b");
    SplitList(QStringLiteral("c"), &list, u';', true);
    EXPECT_EQ(Joined(list), "c");
    SplitList(QStringLiteral("c"), nullptr, u';', true);
}

TEST(SplitList, ReadsBackWhatJoinListWrote) {
    const QStringList items = {"plain", "semi; colon", "x;y", "  padded  ", "a;.b", ";", "; "};
    const TStringList list(items);
    TStringList back;
    SplitList(JoinList(&list, u';', 0), &back, u';', false);
    // Items come back trimmed, and a ";." that was in an item comes back as "; ".
    EXPECT_EQ(Joined(back), "plain|semi; colon|x;y|padded|a; b|;|;");
}

struct FieldCase {
    const char* name;
    const char16_t* text;
    const char* expected;
    int count;
};

TEST(SplitTextToList, SplitsFieldsIntoEmptyList) {
    const FieldCase cases[] = {
        {"plain", u"None,Prefix,Suffix", "None|Prefix|Suffix", 3},
        {"blank before field skipped", u"a, b", "a|b", 2},
        {"trailing blank kept", u"a ,b", "a |b", 2},
        {"empty field", u"a,,b", "a||b", 3},
        {"final delimiter", u"a,", "a|", 2},
        {"lone delimiter", u",", "|", 2},
        {"empty text", u"", "", 0},
        {"blanks only", u"   ", "", 1},
        {"blank field between", u"a, ,b", "a||b", 3},
        {"quoted delimiter", u"\"a,b\"", "a,b", 1},
        {"quoted doubled quote", u"\"a\"\"b\",c", "a\"b|c", 2},
        {"after closing quote dropped", u"\"a\"xyz,b", "a|b", 2},
        {"unclosed quote runs to end", u"\"abc,d", "abc,d", 1},
        {"quote as last character", u"a,\"", "a|", 2},
        {"quoted then final delimiter", u"\"a\",", "a|", 2},
        {"quoted empty", u"\"\",x", "|x", 2},
        {"unquoted doubled quote", u"a\"\"b", "a\"b", 1},
        {"unquoted single quote", u"a\"b", "a\"b", 1},
        {"tab is not skipped", u"a,\tb", "a|\tb", 2},
        {"blank before quote", u"  \"q\" ,r", "q|r", 2},
    };
    for (const FieldCase& c : cases) {
        TStringList list;
        EXPECT_EQ(SplitTextToList(QString::fromUtf16(c.text), list, u','), c.count) << c.name;
        EXPECT_EQ(Joined(list), c.expected) << c.name;
    }
}

TEST(SplitTextToList, ReusesLinesInsideOneUpdate) {
    TRecordingList list;
    {
        TStringsUpdate update(list);
        for (const char* line : {"1", "2", "3", "4", "5"})
            list.Add(QString::fromLatin1(line));
    }
    list.m_brackets = 0;

    EXPECT_EQ(SplitTextToList(QStringLiteral("None,Prefix,Suffix"), list, u','), 3);
    EXPECT_EQ(Joined(list), "None|Prefix|Suffix");
    EXPECT_EQ(list.m_puts, 3);
    EXPECT_EQ(list.m_brackets, 1);
    EXPECT_EQ(list.m_depth, 0);

    EXPECT_EQ(SplitTextToList(QStringLiteral("a,b,c,d"), list, u','), 4);
    EXPECT_EQ(Joined(list), "a|b|c|d");
    EXPECT_EQ(SplitTextToList(QString(), list, u','), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.m_depth, 0);
}

TEST(SplitTextToList, DetectsTheDelimiterWhenGivenNone) {
    TStringList list;
    EXPECT_EQ(SplitTextToList(QStringLiteral("a;b;c,d"), list, QChar(0)), 3);
    EXPECT_EQ(Joined(list), "a|b|c,d");
}

TEST(DetectDelimiter, PicksTheMostFrequentCandidate) {
    const struct {
        const char16_t* text;
        char16_t expected;
    } cases[] = {
        {u"a|b|c;d", u'|'},    {u"a;b,c", u','},       {u"abc", u','},   {u"", u','},
        {u"a\tb\tc,d", u'\t'}, {u"a;b", u';'},         {u"a\tb", u'\t'}, {u"a:b", u':'},
        {u"a|b", u'|'},        {u"a&b", u'&'},         {u"a\\b", u'\\'}, {u"a/b", u'/'},
        {u"a/b\\c", u'\\'},    {u"\"a;b;c\",d", u';'}, {u"&&//", u'&'},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(DetectDelimiter(text), QChar(c.expected)) << "text \"" << text.toStdString() << "\"";
    }
}

TEST(ReplaceAllText, ReplacesLeftToRightWithoutRescanning) {
    const struct {
        const char* name;
        const char16_t* text;
        const char16_t* find;
        const char16_t* replacement;
        bool ignoreCase;
        const char16_t* expected;
    } cases[] = {
        {"non-overlapping", u"aaa", u"aa", u"b", false, u"ba"},
        {"replacement not searched", u"aaa", u"a", u"aa", false, u"aaaaaa"},
        {"doubled quotes", u"a\"\"\"\"b", u"\"\"", u"\"", false, u"a\"\"b"},
        {"case significant", u"aAa", u"A", u"x", false, u"axa"},
        {"ignore case", u"aAa", u"A", u"x", true, u"xxx"},
        {"ignore case ascii only", u"\u00E9\u00C9", u"\u00C9", u"x", true, u"\u00E9x"},
        {"empty find", u"abc", u"", u"x", false, u"abc"},
        {"empty text", u"", u"a", u"x", false, u""},
        {"no match", u"abc", u"d", u"x", false, u"abc"},
        {"delete", u"a-b-c", u"-", u"", false, u"abc"},
    };
    for (const auto& c : cases) {
        QString text = QString::fromUtf16(c.text);
        ReplaceAllText(text, QString::fromUtf16(c.find), QString::fromUtf16(c.replacement), c.ignoreCase);
        EXPECT_EQ(text, QString::fromUtf16(c.expected)) << c.name;
    }
}

} // namespace
