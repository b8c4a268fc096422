// The TStrings views of the window's controls: memo lines, combo box items, radio items.
#include "gui/ControlStrings.h"
#include "gui/RadioGroup.h"
#include "platform/AnsiCodePage.h"
#include "tools/DataSet.h"
#include "tools/DelimitedList.h"
#include "tools/ProcessValues.h"
#include "tools/SortedList.h"

#include "tests/gui/QtPrinters.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <functional>

namespace {

QStringList Lines(const TStrings& list) {
    QStringList lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.append(list.Get(i));
    return lines;
}

struct MemoTextCase {
    const char* name;
    QString set;       // given to SetText
    QString text;      // Text() afterwards
    QStringList lines; // the lines
};

const MemoTextCase MemoTextCases[] = {
    {"empty", "", "", {}},
    {"one line", "abc", "abc", {"abc"}},
    {"no final break", "a\r\nb", "a\r\nb", {"a", "b"}},
    {"final break adds no line", "a\r\nb\r\n", "a\r\nb\r\n", {"a", "b"}},
    {"lone CR and lone LF become CR LF", "a\rb\nc", "a\r\nb\r\nc", {"a", "b", "c"}},
    {"LF CR is two breaks", "a\n\rb", "a\r\n\r\nb", {"a", "", "b"}},
    {"only a break is one empty line", "\r\n", "\r\n", {""}},
    {"empty line before the end", "x\r\n\r\n", "x\r\n\r\n", {"x", ""}},
    {"spaces are kept", "  a \r\n\tb ", "  a \r\n\tb ", {"  a ", "\tb "}},
};

TEST(ControlStringsTest, MemoTextIsTheWholeTextWithCrLf) {
    for (const MemoTextCase& c : MemoTextCases) {
        SCOPED_TRACE(c.name);
        QPlainTextEdit memo;
        TMemoLines lines(&memo);
        lines.SetText(c.set);
        EXPECT_EQ(lines.Text(), c.text);
        EXPECT_EQ(Lines(lines), c.lines);
        QString held = c.text;
        EXPECT_EQ(memo.toPlainText(), held.replace(u"\r\n"_qs, u"\n"_qs));
    }
}

TEST(ControlStringsTest, MemoTextReadsWhatTheUserTyped) {
    QPlainTextEdit memo;
    memo.setPlainText(u"first\nsecond\n"_qs);
    TMemoLines lines(&memo);
    EXPECT_EQ(lines.Text(), u"first\r\nsecond\r\n"_qs);
    EXPECT_EQ(lines.Count(), 2);
    // A non-breaking space stays what it is.
    memo.setPlainText(QString(QChar(0x00A0)) + u"x"_qs);
    EXPECT_EQ(lines.Text(), QString(QChar(0x00A0)) + u"x"_qs);
}

// Characters that the box shows as line breaks but that are no line break of the stored text.
struct MemoStoredCase {
    const char* name;
    QByteArray file; // the InputText file's bytes
    QString lines;   // what the lines read, joined with "|"
};

const MemoStoredCase MemoStoredCases[] = {
    {"line separator U+2028",
     "a\xE2\x80\xA8"
     "b",
     "a\u2028b"},
    {"paragraph separator U+2029",
     "a\xE2\x80\xA9"
     "b\r\nc",
     "a\u2029b|c"},
    {"non-character U+FDD0",
     "\xEF\xB7\x90"
     "a\xEF\xB7\x90",
     "\uFDD0a\uFDD0"},
    {"non-character U+FDD1, final break",
     "a\xEF\xB7\x91"
     "b\r\n",
     "a\uFDD1b"},
    {"all four in one line", "\xE2\x80\xA8\xE2\x80\xA9\xEF\xB7\x90\xEF\xB7\x91", "\u2028\u2029\uFDD0\uFDD1"},
};

// The file as this system's save writes these characters: UTF-8 without a mark where that is
// how files without a mark are read; with its mark where files without one are in an ANSI code
// page (Windows), which lacks them.
QByteArray StoredFile(const QByteArray& utf8) {
    return AnsiCodePage() == 0 ? utf8 : QByteArray("\xEF\xBB\xBF") + utf8;
}

TEST(ControlStringsTest, MemoGivesBackAStoredTextAsWritten) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SetDataFolder(folder.path() + u'/');
    const QString path = DataSetPath(u"InputText"_qs);
    for (const MemoStoredCase& c : MemoStoredCases) {
        SCOPED_TRACE(c.name);
        const QByteArray stored = StoredFile(c.file);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(stored), stored.size());
        file.close();

        QPlainTextEdit memo;
        TMemoLines lines(&memo);
        ASSERT_TRUE(LoadDataSet(lines, u"InputText"_qs));
        EXPECT_EQ(Lines(lines).join(u'|'), c.lines);
        EXPECT_EQ(lines.Text(), QString::fromUtf8(c.file));
        ASSERT_TRUE(SaveDataSet(lines, u"InputText"_qs));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().toHex(' '), stored.toHex(' '));
        file.close();

        // The same text given to a memo of its own saves as the file above.
        ASSERT_TRUE(QFile::remove(path));
        QPlainTextEdit given;
        TMemoLines givenLines(&given);
        givenLines.SetText(QString::fromUtf8(c.file));
        ASSERT_TRUE(SaveDataSet(givenLines, u"InputText"_qs));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().toHex(' '), stored.toHex(' '));
    }
    SetDataFolder(QString());
}

TEST(ControlStringsTest, MemoEditedAfterLoadingReadsAsTheBoxShowsIt) {
    QPlainTextEdit memo;
    TMemoLines lines(&memo);
    lines.SetText(u"a\u2029b"_qs);
    EXPECT_EQ(lines.Text(), u"a\u2029b"_qs);
    // A line put through the list keeps the separator of the other line too.
    lines.Add(u"c\u2028"_qs);
    EXPECT_EQ(lines.Text(), u"a\u2029b\r\nc\u2028"_qs);

    // Typed into the box: the box's text, every break it shows a line break.
    memo.moveCursor(QTextCursor::End);
    memo.insertPlainText(u"d"_qs);
    EXPECT_EQ(lines.Text(), u"a\r\nb\r\nc\r\nd"_qs);
    EXPECT_EQ(lines.Count(), 4);
}

struct MemoEditCase {
    const char* name;
    QString start;
    std::function<void(TStrings&)> edit;
    QString text;
};

const MemoEditCase MemoEditCases[] = {
    {"add to empty", "", [](TStrings& l) { l.Add(u"a"_qs); }, "a\r\n"},
    {"add after final break", "a\r\n", [](TStrings& l) { l.Add(u"b"_qs); }, "a\r\nb\r\n"},
    {"add without final break", "a", [](TStrings& l) { l.Add(u"b"_qs); }, "a\r\nb"},
    {"insert first", "a\r\nb", [](TStrings& l) { l.Insert(0, u"x"_qs); }, "x\r\na\r\nb"},
    {"insert inside", "a\r\nb", [](TStrings& l) { l.Insert(1, u"x"_qs); }, "a\r\nx\r\nb"},
    {"delete first", "a\r\nb\r\n", [](TStrings& l) { l.Delete(0); }, "b\r\n"},
    {"delete last with break", "a\r\nb\r\n", [](TStrings& l) { l.Delete(1); }, "a\r\n"},
    {"delete last without break", "a\r\nb", [](TStrings& l) { l.Delete(1); }, "a\r\n"},
    {"delete only line", "a", [](TStrings& l) { l.Delete(0); }, ""},
    {"put", "a\r\nb", [](TStrings& l) { l.Put(1, u"c"_qs); }, "a\r\nc"},
    {"clear", "a\r\nb", [](TStrings& l) { l.Clear(); }, ""},
    {"clear and add in one update", "old\r\n",
     [](TStrings& l) {
         TStringsUpdate update(l);
         l.Clear();
         l.Add(u"n1"_qs);
         l.Add(u"n2"_qs);
     },
     "n1\r\nn2\r\n"},
};

TEST(ControlStringsTest, MemoLineEdits) {
    for (const MemoEditCase& c : MemoEditCases) {
        SCOPED_TRACE(c.name);
        QPlainTextEdit memo;
        TMemoLines lines(&memo);
        lines.SetText(c.start);
        c.edit(lines);
        EXPECT_EQ(lines.Text(), c.text);
    }
}

TEST(ControlStringsTest, MemoUpdateReachesTheBoxOnceAtTheEnd) {
    QPlainTextEdit memo;
    memo.setPlainText(u"keep"_qs);
    TMemoLines lines(&memo);
    int changes = 0;
    QObject::connect(&memo, &QPlainTextEdit::textChanged, [&changes] { ++changes; });
    lines.BeginUpdate();
    lines.BeginUpdate();
    lines.Clear();
    for (int i = 0; i < 100; ++i)
        lines.Add(QString::number(i));
    lines.EndUpdate();
    EXPECT_EQ(memo.toPlainText(), u"keep"_qs);
    EXPECT_EQ(lines.Count(), 100);
    EXPECT_EQ(lines.Get(99), u"99"_qs);
    lines.EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(lines.Count(), 100);
    EXPECT_EQ(memo.toPlainText().left(4), u"0\n1\n"_qs);
}

TEST(ControlStringsTest, IndexErrorsNameTheIndex) {
    QPlainTextEdit memo;
    QComboBox combo;
    TRadioGroup group(u"g"_qs);
    TMemoLines memoLines(&memo);
    TComboItemsStrings comboItems(&combo);
    TRadioGroupItems groupItems(&group);
    memoLines.SetText(u"a"_qs);
    comboItems.Add(u"a"_qs);
    groupItems.Add(u"a"_qs);
    for (TStrings* list : {static_cast<TStrings*>(&memoLines), static_cast<TStrings*>(&comboItems),
                           static_cast<TStrings*>(&groupItems)}) {
        try {
            list->Get(1);
            ADD_FAILURE() << "Get(1) did not throw";
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), "List index out of bounds (1)");
        }
        EXPECT_THROW(list->Delete(-1), EListError);
        EXPECT_THROW(list->Put(1, u"x"_qs), EListError);
        EXPECT_THROW(list->Insert(2, u"x"_qs), EListError);
        EXPECT_EQ(list->Count(), 1);
    }
}

TEST(ControlStringsTest, ComboItemChangesKeepTheEditText) {
    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText(u"typed"_qs);
    TComboItemsStrings items(&combo);

    const std::function<void()> edits[] = {
        [&] { items.Add(u"first"_qs); },
        [&] { items.Insert(0, u"zero"_qs); },
        [&] { items.Put(0, u"typed"_qs); },
        [&] { items.Delete(0); },
        [&] { items.Delete(0); },
        [&] { items.SetText(u"x\r\ny"_qs); },
        [&] { items.Clear(); },
    };
    for (size_t i = 0; i < std::size(edits); ++i) {
        SCOPED_TRACE(i);
        edits[i]();
        EXPECT_EQ(combo.currentText(), u"typed"_qs);
    }
    EXPECT_EQ(combo.count(), 0);
}

TEST(ControlStringsTest, SortedAddWorksOnTheComboItems) {
    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText(u"edit"_qs);
    TComboItemsStrings items(&combo);
    for (const char* salt : {"pepper", "Basil", "anise", "BASIL", "zest"})
        SortedAdd(QString::fromLatin1(salt), items, false);
    EXPECT_EQ(Lines(items), QStringList({"anise", "Basil", "pepper", "zest"}));
    EXPECT_EQ(SortedFind(u"PEPPER", &items, false, false), 2);
    EXPECT_EQ(combo.currentText(), u"edit"_qs);
}

TEST(ControlStringsTest, RadioItemsFromDelimitedTextAndSelection) {
    TRadioGroup group(u"Select"_qs);
    TRadioGroupItems items(&group);
    EXPECT_EQ(SplitTextToList(u"None,Prefix,Suffix"_qs, items, u','), 3);
    ASSERT_EQ(group.Buttons().size(), 3);
    EXPECT_EQ(group.Buttons()[2]->text(), u"Suffix"_qs);
    EXPECT_EQ(group.ItemIndex(), -1);

    group.SetItemIndex(2);
    EXPECT_EQ(group.ItemIndex(), 2);
    items.Delete(0);
    EXPECT_EQ(group.ItemIndex(), 1) << "a selection beyond the last item moves to the last one";
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    for (QRadioButton* button : group.Buttons())
        EXPECT_FALSE(button->isChecked());
    group.SetItemIndex(0);
    group.SetItemIndex(5);
    EXPECT_EQ(group.ItemIndex(), -1);
}

} // namespace
