#include "tools/KeyedList.h"

#include "tests/tools/ListText.h"
#include "tools/ConfigStore.h"
#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <stdexcept>

namespace {

// ScratchList belongs to the settings store, so every test sets the store up.
class KeyedListTest : public ::testing::Test {
protected:
    void SetUp() override { CreateStoreLists(); }
    void TearDown() override { DestroyStoreLists(); }

    TStringList m_list;
};

TEST_F(KeyedListTest, KeysAreNormalisedToOneLine) {
    ListSetValue(m_list, QStringLiteral("Main Form"), QStringLiteral("1"));
    ListSetValue(m_list, QStringLiteral("mainform"), QStringLiteral("2"));
    ListSetValue(m_list, QStringLiteral(" MAIN-FORM "), QStringLiteral("3"));
    EXPECT_EQ(Joined(m_list), "MAINFORM=3");
}

TEST_F(KeyedListTest, KeyWithoutLettersOrDigitsIsIgnored) {
    ListSetValue(m_list, QStringLiteral("a"), QStringLiteral("1"));
    for (const char16_t* key : {u"", u"  ", u"-_-", u"\u00C4\u00D6"}) {
        const QString k = QString::fromUtf16(key);
        ListSetValue(m_list, k, QStringLiteral("x"));
        ListSetBool(m_list, k, true);
        EXPECT_EQ(ListGetValue(m_list, k, QStringLiteral("def")), QStringLiteral("def")) << k.toStdString();
        EXPECT_EQ(ListGetInt(m_list, k, 42, 0, 0), 42) << k.toStdString();
    }
    EXPECT_EQ(Joined(m_list), "A=1");
}

TEST_F(KeyedListTest, LinesStayInKeyOrder) {
    for (const char* key : {"UpperHash", "SaltType", "HashType", "TrimInput", "MainForm", "SaltText", "InputType"})
        ListSetValue(m_list, QString::fromLatin1(key), QStringLiteral("v"));
    EXPECT_EQ(Joined(m_list), "HASHTYPE=v|INPUTTYPE=v|MAINFORM=v|SALTTEXT=v|SALTTYPE=v|TRIMINPUT=v|UPPERHASH=v");

    // "=" lies between the digits and the letters: A= after A1= and before AB=.
    TStringList order;
    for (const char* key : {"AB", "A", "A1"})
        ListSetValue(order, QString::fromLatin1(key), QStringLiteral("x"));
    EXPECT_EQ(Joined(order), "A1=x|A=x|AB=x");
}

TEST_F(KeyedListTest, SettingTwiceKeepsOneLineWithTheSecondValue) {
    ListSetValue(m_list, QStringLiteral("SaltType"), QStringLiteral("1"));
    ListSetValue(m_list, QStringLiteral("HashType"), QStringLiteral("2"));
    ListSetValue(m_list, QStringLiteral("SaltType"), QStringLiteral("3"));
    EXPECT_EQ(Joined(m_list), "HASHTYPE=2|SALTTYPE=3");
}

TEST_F(KeyedListTest, ValuesAreStoredAsGivenAndReadTrimmed) {
    ListSetValue(m_list, QStringLiteral("SaltText"), QStringLiteral("  pepper \t"));
    ListSetValue(m_list, QStringLiteral("Eq"), QStringLiteral("a=b"));
    ListSetValue(m_list, QStringLiteral("Break"), QStringLiteral("x\r\ny"));
    EXPECT_EQ(m_list.Get(2), QStringLiteral("SALTTEXT=  pepper \t"));
    EXPECT_EQ(ListGetValue(m_list, QStringLiteral("SaltText"), QString()), QStringLiteral("pepper"));
    EXPECT_EQ(ListGetValue(m_list, QStringLiteral("eq"), QString()), QStringLiteral("a=b"));
    EXPECT_EQ(ListGetValue(m_list, QStringLiteral("break"), QString()), QStringLiteral("x\r\ny"));
}

TEST_F(KeyedListTest, MissingKeyAndEmptyValue) {
    m_list.Add(QStringLiteral("TRIMINPUT="));
    EXPECT_EQ(ListGetValue(m_list, QStringLiteral("Missing"), QStringLiteral(" def ")), QStringLiteral(" def "));
    EXPECT_EQ(ListGetValue(m_list, QStringLiteral("TrimInput"), QStringLiteral("def")), QString());
    EXPECT_EQ(ListGetFloat(m_list, QStringLiteral("TrimInput"), 2.5, 0, 1), 2.5);
    EXPECT_EQ(ListGetInt(m_list, QStringLiteral("TrimInput"), 7, 0, 1), 7);
    EXPECT_TRUE(ListGetBool(m_list, QStringLiteral("TrimInput"), true));
    EXPECT_FALSE(ListGetBool(m_list, QStringLiteral("TrimInput"), false));
}

TEST_F(KeyedListTest, LowerCaseKeyInFileIsFoundAndOverwritten) {
    m_list.Add(QStringLiteral("hashtype=2"));
    EXPECT_EQ(ListGetInt(m_list, QStringLiteral("HashType"), 0, 0, 0), 2);
    ListSetValue(m_list, QStringLiteral("HashType"), QStringLiteral("1"));
    EXPECT_EQ(Joined(m_list), "HASHTYPE=1");
}

// Hand-edited files whose lines are not in key order: every key is found, and setting a key
// overwrites its line in place.
struct OutOfOrderCase {
    const char* name;
    QStringList lines;
};

const OutOfOrderCase OutOfOrderCases[] = {
    {"reversed", {"C=3", "B=2", "A=1"}},
    {"one key moved to the end", {"HASHTYPE=2", "SALTTYPE=1", "TRIMINPUT=0", "INPUTTYPE=1"}},
    {"lower case, shuffled", {"upperhash=1", "hashtype=0", "TRIMINPUT=1", "inputtype=3", "MAINFORM=TOP=1; LEFT=2"}},
    {"empty lines among them", {"Z=1", "", "M=2", "", "A=3"}},
};

TEST_F(KeyedListTest, OutOfOrderFileKeepsOneLinePerKey) {
    for (const OutOfOrderCase& c : OutOfOrderCases) {
        SCOPED_TRACE(c.name);
        TStringList list(c.lines);
        QStringList expected = c.lines;
        for (int i = 0; i < expected.size(); ++i) {
            const QString line = expected[i];
            const qsizetype equals = line.indexOf(u'=');
            if (equals < 0)
                continue;
            const QString key = line.left(equals);
            EXPECT_EQ(ListGetValue(list, key, QStringLiteral("none")), line.mid(equals + 1)) << key.toStdString();
            ListSetValue(list, key, QStringLiteral("new"));
            expected[i] = NormalizeName(key) + QStringLiteral("=new");
            EXPECT_EQ(list.Lines(), expected) << key.toStdString();
        }
        // A key the file lacks still gains exactly one line.
        ListSetValue(list, QStringLiteral("Missing"), QStringLiteral("m"));
        EXPECT_EQ(list.Count(), expected.size() + 1);
        EXPECT_EQ(ListGetValue(list, QStringLiteral("Missing"), QString()), QStringLiteral("m"));
    }
}

// A key written twice by hand: the getter reads one of its lines, and a setter leaves that
// line alone with the new value, so the key is one line once it is set (and saved).
struct DuplicateCase {
    const char* name;
    QStringList lines;
    const char* read;     // the value the getter reads
    QStringList afterSet; // after SALTTYPE is set to 9: the line read holds it, the others are gone
};

const DuplicateCase DuplicateCases[] = {
    {"in key order",
     {"HASHTYPE=1", "SALTTYPE=0", "SALTTYPE=2", "TRIMINPUT=1"},
     "0",
     {"HASHTYPE=1", "SALTTYPE=9", "TRIMINPUT=1"}},
    {"apart, out of order", {"SALTTYPE=2", "HASHTYPE=1", "saltType=0"}, "0", {"HASHTYPE=1", "SALTTYPE=9"}},
    {"three times", {"SALTTYPE=1", "SALTTYPE=2", "SALTTYPE=3"}, "1", {"SALTTYPE=9"}},
};

TEST_F(KeyedListTest, AKeyWrittenTwiceByHandIsOneLineOnceSet) {
    for (const DuplicateCase& c : DuplicateCases) {
        SCOPED_TRACE(c.name);
        TStringList list(c.lines);
        EXPECT_EQ(ListGetValue(list, QStringLiteral("SaltType"), QString()), QString::fromLatin1(c.read));
        ListSetValue(list, QStringLiteral("SaltType"), QStringLiteral("9"));
        EXPECT_EQ(Joined(list), Joined(c.afterSet));
        EXPECT_EQ(ListGetValue(list, QStringLiteral("SaltType"), QString()), QStringLiteral("9"));
    }
}

struct RangeCase {
    const char* value;
    double min, max;
    double expected;
};

TEST_F(KeyedListTest, FloatRanges) {
    const RangeCase cases[] = {
        {"7", 0, 10, 7},          {"12", 0, 10, 10},      {"-1", 0, 10, 0},      {"3", 5, 0, 5},
        {"99", 5, 0, 99},         {"3", 0, -5, -5},       {"-9", 0, -5, -9},     {"-9", -5, 0, -5},
        {"3", -5, 0, 0},          {"123", 0, 0, 123},     {"-123", 0, 0, -123},  {"7", 10, 5, 5},
        {"1", 10, 5, 5},          {"7", 3, 3, 7},         {"abc", 1, 2, 1},      {"abc", 0, 0, 0},
        {"1E400", 0, 0, DBL_MAX}, {"1E400", 0, 100, 100}, {"-1E400", -3, 3, -3}, {"1e-400", 0, 0, 0},
        {" 2.5 ", 0, 0, 2.5},     {"12,5", 0, 0, 125},
    };
    for (const RangeCase& c : cases) {
        ListSetValue(m_list, QStringLiteral("K"), QString::fromLatin1(c.value));
        EXPECT_EQ(ListGetFloat(m_list, QStringLiteral("K"), -77, c.min, c.max), c.expected)
            << "value " << c.value << " min " << c.min << " max " << c.max;
    }
    // The default is returned as it is, outside the range too.
    EXPECT_EQ(ListGetFloat(m_list, QStringLiteral("Missing"), -77, 0, 10), -77);
}

struct IntCase {
    const char* value;
    int min, max;
    int expected;
};

TEST_F(KeyedListTest, IntegersRoundHalfToEvenAndSaturate) {
    const IntCase cases[] = {
        {"7", 0, 2, 2},
        {"-1", 0, 2, 0},
        {"abc", 0, 2, 0},
        {"1.5", 0, 2, 2},
        {"0.5", 0, 2, 0},
        {"2.5", 0, 0, 2},
        {"3.5", 0, 0, 4},
        {"-2.5", 0, 0, -2},
        {"-3.5", 0, 0, -4},
        {"2.4999", 0, 0, 2},
        {"2.5001", 0, 0, 3},
        {"1072", 0, 0, 1072},
        {"-8", 0, 0, -8},
        {"5000000000", 0, 0, INT_MAX},
        {"-5000000000", 0, 0, INT_MIN},
        {"1E400", 0, 0, INT_MAX},
        {"-1E400", 0, 0, INT_MIN},
        {"2147483647", 0, 0, INT_MAX},
        {"-2147483648", 0, 0, INT_MIN},
    };
    for (const IntCase& c : cases) {
        ListSetValue(m_list, QStringLiteral("K"), QString::fromLatin1(c.value));
        EXPECT_EQ(ListGetInt(m_list, QStringLiteral("K"), -77, c.min, c.max), c.expected)
            << "value " << c.value << " min " << c.min << " max " << c.max;
    }
    EXPECT_EQ(ListGetInt(m_list, QStringLiteral("Missing"), 9, 0, 2), 9);
}

TEST_F(KeyedListTest, Booleans) {
    const struct {
        const char* value;
        bool expected;
    } cases[] = {
        {"1", true},   {"7", true},   {"0.51", true}, {"1E400", true}, {"0", false},  {"0.5", false},
        {"-3", false}, {"no", false}, {"yes", false}, {"true", false}, {"1.5", true},
    };
    for (const auto& c : cases) {
        for (const bool defaultValue : {false, true}) {
            ListSetValue(m_list, QStringLiteral("B"), QString::fromLatin1(c.value));
            EXPECT_EQ(ListGetBool(m_list, QStringLiteral("B"), defaultValue), c.expected)
                << "value " << c.value << " default " << defaultValue;
        }
    }
    ListSetBool(m_list, QStringLiteral("T"), true);
    ListSetBool(m_list, QStringLiteral("F"), false);
    EXPECT_EQ(Joined(m_list), "B=1.5|F=0|T=1");
    EXPECT_TRUE(ListGetBool(m_list, QStringLiteral("Missing"), true));
}

TEST_F(KeyedListTest, FloatTextForm) {
    const struct {
        double value;
        const char* line;
    } cases[] = {
        {-8, "V=-8"},   {0, "V=0"},           {1072, "V=1072"}, {0.0001, "V=0.0001"},
        {2.5, "V=2.5"}, {1.5e-5, "V=1.5E-5"}, {1e20, "V=1E20"},
    };
    for (const auto& c : cases) {
        ListSetFloat(m_list, QStringLiteral("V"), c.value);
        EXPECT_EQ(m_list.Get(0).toStdString(), c.line);
        EXPECT_EQ(ListGetFloat(m_list, QStringLiteral("V"), -1, 0, 0), c.value) << c.line;
    }
}

TEST_F(KeyedListTest, ItemListsRoundTrip) {
    const TStringList items(QStringList{"first", "", "  second  ", "semi; colon", "a;b"});
    ListSetItems(m_list, QStringLiteral("Items"), items);
    EXPECT_EQ(Joined(m_list), "ITEMS=first; second; semi;.colon; a;b");

    TStringList target(QStringList{"old"});
    ListGetItems(m_list, QStringLiteral("items"), target, false);
    EXPECT_EQ(Joined(target), "old|first|second|semi; colon|a;b");
    ListGetItems(m_list, QStringLiteral("items"), target, true);
    EXPECT_EQ(Joined(target), "first|second|semi; colon|a;b");
    EXPECT_EQ(Joined(ScratchList()), "first|second|semi; colon|a;b");
}

TEST_F(KeyedListTest, ItemsIntoScratchListStayThere) {
    ListSetValue(m_list, QStringLiteral("Items"), QStringLiteral("x; y"));
    ScratchList().Add(QStringLiteral("stale"));
    ListGetItems(m_list, QStringLiteral("Items"), ScratchList(), false);
    EXPECT_EQ(Joined(ScratchList()), "x|y");
}

TEST_F(KeyedListTest, MissingItemsLeaveTargetAlone) {
    m_list.Add(QStringLiteral("EMPTY="));
    TStringList target(QStringList{"keep"});
    ScratchList().Add(QStringLiteral("stale"));
    ListGetItems(m_list, QStringLiteral("Missing"), target, true);
    ListGetItems(m_list, QStringLiteral("Empty"), target, true);
    EXPECT_EQ(Joined(target), "keep");
    EXPECT_EQ(ScratchList().Count(), 0);
}

TEST(ScratchList, RefusesUseOutsideTheStoreLifetime) {
    DestroyStoreLists();
    EXPECT_THROW(ScratchList(), std::logic_error);
    TStringList list(QStringList{"A=1"}), target;
    EXPECT_THROW(ListGetItems(list, QStringLiteral("A"), target, false), std::logic_error);
}

} // namespace
