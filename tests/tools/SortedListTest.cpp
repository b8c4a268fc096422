#include "tools/SortedList.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const QString EAcute = QString(QChar(0x00E9));

struct FindCase {
    const char* name;
    QStringList lines;
    QString key;
    bool prefixMode;
    bool insertionPoint;
    int expected;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.name;
}

class SortedFindTest : public testing::TestWithParam<FindCase> {};

TEST_P(SortedFindTest, FindsIndexOrInsertionPoint) {
    const FindCase& c = GetParam();
    const TStringList list(c.lines);
    EXPECT_EQ(SortedFind(c.key, &list, c.prefixMode, c.insertionPoint), c.expected);
}

const QStringList Fruits{u"APPLE"_qs, u"CHERRY"_qs};
const QStringList Keyed{u"ALPHA=1"_qs, u"BETA=2"_qs, u"BETA=3"_qs, u"GAMMA=4"_qs};

INSTANTIATE_TEST_SUITE_P(
    Cases, SortedFindTest,
    testing::Values(FindCase{"empty_list_miss", {}, u"x"_qs, false, false, -1},
                    FindCase{"empty_list_insertion_point", {}, u"x"_qs, false, true, 0},
                    FindCase{"whole_miss", Fruits, u"banana"_qs, false, false, -1},
                    FindCase{"whole_miss_insertion_point", Fruits, u"banana"_qs, false, true, 1},
                    FindCase{"whole_hit_other_case", Fruits, u"cherry"_qs, false, false, 1},
                    FindCase{"whole_hit_with_insertion_point", Fruits, u"apple"_qs, false, true, 0},
                    FindCase{"after_last_insertion_point", Fruits, u"zebra"_qs, false, true, 2},
                    FindCase{"before_first_insertion_point", Fruits, u"aardvark"_qs, false, true, 0},
                    FindCase{"whole_mode_is_not_prefix", Fruits, u"CHER"_qs, false, false, -1},
                    FindCase{"prefix_first_of_two", Keyed, u"beta="_qs, true, false, 1},
                    FindCase{"prefix_shorter_key", Keyed, u"BET"_qs, true, false, 1},
                    FindCase{"prefix_last_line", Keyed, u"gamma="_qs, true, false, 3},
                    FindCase{"prefix_miss", Keyed, u"DELTA="_qs, true, false, -1},
                    FindCase{"prefix_miss_insertion_point", Keyed, u"DELTA="_qs, true, true, 3},
                    FindCase{"prefix_first_of_many",
                             {u"K=0"_qs, u"K=1"_qs, u"K=2"_qs, u"K=3"_qs, u"K=4"_qs, u"K=5"_qs, u"L"_qs},
                             u"K="_qs,
                             true,
                             false,
                             0},
                    FindCase{"key_longer_than_lines", {u"A"_qs, u"B"_qs}, u"A=long"_qs, true, true, 1},
                    FindCase{"equals_before_letters", {u"A=1"_qs, u"AB=2"_qs}, u"A="_qs, true, false, 0},
                    FindCase{"letters_after_equals", {u"A=1"_qs, u"AB=2"_qs}, u"AB="_qs, true, false, 1},
                    FindCase{"empty_key_last_line_not_empty", {u""_qs, u"A"_qs}, u""_qs, false, false, -1},
                    FindCase{"empty_key_last_line_not_empty_insertion", {u"A"_qs}, u""_qs, false, true, -1},
                    FindCase{"empty_key_last_line_empty", {u"A"_qs, u""_qs}, u""_qs, false, false, 0},
                    FindCase{"empty_key_last_line_empty_insertion", {u"A"_qs, u""_qs}, u""_qs, true, true, 0},
                    FindCase{"empty_key_empty_list", {}, u""_qs, false, true, -1}),
    [](const testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

TEST(SortedFindTest, AbsentListGivesMinusOneInEveryMode) {
    for (bool prefixMode : {false, true})
        for (bool insertionPoint : {false, true})
            EXPECT_EQ(SortedFind(u"x", nullptr, prefixMode, insertionPoint), -1)
                << "prefix " << prefixMode << " insertion " << insertionPoint;
}

// A list whose reads fail: either asking for its count or reading any line throws.
class FailingList final : public TStrings {
public:
    explicit FailingList(bool failCount) : m_failCount(failCount) {}
    int Count() const override {
        if (m_failCount)
            throw std::runtime_error("count failed");
        return 3;
    }
    QString Get(int) const override { throw std::runtime_error("read failed"); }
    void Put(int, const QString&) override {}
    void Insert(int, const QString&) override {}
    void Delete(int) override {}
    void Clear() override {}

private:
    bool m_failCount;
};

TEST(SortedFindTest, ListThatThrowsWhileReadGivesMinusOne) {
    for (bool failCount : {false, true}) {
        const FailingList list(failCount);
        for (const QString& key : {u"x"_qs, u""_qs})
            for (bool prefixMode : {false, true})
                for (bool insertionPoint : {false, true})
                    EXPECT_EQ(SortedFind(key, &list, prefixMode, insertionPoint), -1)
                        << "failCount " << failCount << " key '" << key.toStdString() << "' prefix " << prefixMode
                        << " insertion " << insertionPoint;
    }
}

// Key order: a-z compare as A-Z, everything else by code unit, a proper beginning first.
TEST(SortedFindTest, KeyOrder) {
    const std::pair<QString, QString> ordered[] = {
        {u"A"_qs, u"A="_qs}, {u"A="_qs, u"AB"_qs}, {u"Z"_qs, u"_"_qs},     {u"a"_qs, u"_"_qs},
        {u"_"_qs, EAcute},   {u"a"_qs, u"B"_qs},   {u"B"_qs, u"c"_qs},     {u"Z"_qs, u"["_qs},
        {u"9"_qs, u"A"_qs},  {u" "_qs, u"0"_qs},   {EAcute, u"\u0100"_qs},
    };
    for (const auto& [before, after] : ordered) {
        SCOPED_TRACE(before.toStdString() + " < " + after.toStdString());
        const TStringList holdsBefore(QStringList{before});
        const TStringList holdsAfter(QStringList{after});
        EXPECT_EQ(SortedFind(after, &holdsBefore, false, true), 1);
        EXPECT_EQ(SortedFind(before, &holdsAfter, false, true), 0);
    }
}

struct AddCase {
    const char* name;
    QStringList lines;
    QString text;
    bool prefixMode;
    int expectedIndex;
    bool expectedFound;
    QStringList expectedLines;
};

void PrintTo(const AddCase& c, std::ostream* os) {
    *os << c.name;
}

class SortedInsertTest : public testing::TestWithParam<AddCase> {};

TEST_P(SortedInsertTest, InsertsAtSortedPlaceUnlessPresent) {
    const AddCase& c = GetParam();
    TStringList list(c.lines);
    bool found = !c.expectedFound;
    EXPECT_EQ(SortedInsert(c.text, list, found, c.prefixMode), c.expectedIndex);
    EXPECT_EQ(found, c.expectedFound);
    EXPECT_EQ(list.Lines(), c.expectedLines);

    TStringList again(c.lines);
    EXPECT_EQ(SortedAdd(c.text, again, c.prefixMode), c.expectedIndex);
    EXPECT_EQ(again.Lines(), c.expectedLines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SortedInsertTest,
    testing::Values(
        AddCase{"present_with_spaces_and_case", {u"pepper"_qs}, u" Pepper "_qs, false, 0, true, {u"pepper"_qs}},
        AddCase{"absent_stored_untrimmed_at_sorted_place",
                {u"apple"_qs, u"salt"_qs},
                u" Pepper "_qs,
                false,
                1,
                false,
                {u"apple"_qs, u" Pepper "_qs, u"salt"_qs}},
        AddCase{"absent_appended", {u"apple"_qs}, u"zest"_qs, false, 1, false, {u"apple"_qs, u"zest"_qs}},
        AddCase{"into_empty_list", {}, u"a"_qs, false, 0, false, {u"a"_qs}},
        AddCase{"before_first", {u"b"_qs}, u"A"_qs, false, 0, false, {u"A"_qs, u"b"_qs}},
        AddCase{"empty_text", {u"a"_qs}, u""_qs, false, -1, false, {u"a"_qs}},
        AddCase{"three_spaces", {u"a"_qs}, u"   "_qs, false, -1, false, {u"a"_qs}},
        AddCase{"control_chars_only", {}, u"\r\n\t"_qs, true, -1, false, {}},
        AddCase{"whole_mode_prefix_is_new", {u"pepper"_qs}, u"pep"_qs, false, 0, false, {u"pep"_qs, u"pepper"_qs}},
        AddCase{"prefix_present", {u"A=1"_qs, u"NAME=old"_qs}, u"NAME="_qs, true, 1, true, {u"A=1"_qs, u"NAME=old"_qs}},
        AddCase{
            "prefix_absent", {u"A=1"_qs, u"Z=2"_qs}, u"NAME="_qs, true, 1, false, {u"A=1"_qs, u"NAME="_qs, u"Z=2"_qs}},
        AddCase{
            "prefix_equals_sorts_before_longer_key", {u"AB=2"_qs}, u"A="_qs, true, 0, false, {u"A="_qs, u"AB=2"_qs}}),
    [](const testing::TestParamInfo<AddCase>& info) { return std::string(info.param.name); });

// Filling a list through SortedAdd in any order gives the same ascending list.
TEST(SortedAddTest, BuildsAscendingListWhateverTheOrder) {
    QStringList items{u"delta"_qs, u"Alpha"_qs, u"_x"_qs, u"charlie"_qs, u"A="_qs, u"bravo"_qs, EAcute, u"AB"_qs};
    const QStringList expected{u"A="_qs,      u"AB"_qs,    u"Alpha"_qs, u"bravo"_qs,
                               u"charlie"_qs, u"delta"_qs, u"_x"_qs,    EAcute};
    std::sort(items.begin(), items.end());
    do {
        TStringList list;
        for (const QString& item : items)
            SortedAdd(item, list, false);
        ASSERT_EQ(list.Lines(), expected) << "insertion order: " << items.join(u',').toStdString();
    } while (std::next_permutation(items.begin(), items.end()));
}

// Insertion failures of the list pass on to the caller.
TEST(SortedAddTest, ListFailurePassesOn) {
    class RefusingList final : public TStrings {
    public:
        int Count() const override { return 1; }
        QString Get(int) const override { return u"m"_qs; }
        void Put(int, const QString&) override {}
        void Insert(int, const QString&) override { throw std::runtime_error("insert refused"); }
        void Delete(int) override {}
        void Clear() override {}
    };
    RefusingList list;
    EXPECT_THROW(SortedAdd(u"a"_qs, list, false), std::runtime_error);
    EXPECT_THROW(SortedAdd(u"z"_qs, list, false), std::runtime_error);
    EXPECT_EQ(SortedAdd(u"M"_qs, list, false), 0);
}

} // namespace
