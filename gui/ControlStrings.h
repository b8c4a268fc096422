// TStrings views of the window's controls, so that the list operations (sorted search and
// insertion, splitting, data set load and save) work on the controls themselves.
#pragma once

#include "tools/Strings.h"

#include <optional>

class QComboBox;
class QPlainTextEdit;
class TRadioGroup;

// The items of a combo box. Changing the items never changes the edit text.
class TComboItemsStrings final : public TStrings {
public:
    explicit TComboItemsStrings(QComboBox* combo) : m_combo(combo) {}

    int Count() const override;
    QString Get(int index) const override;
    void Put(int index, const QString& text) override;
    void Insert(int index, const QString& text) override;
    void Delete(int index) override;
    void Clear() override;

private:
    QComboBox* m_combo;
};

// The items of a radio group. The selection follows the rules of TRadioGroup::SetItems.
class TRadioGroupItems final : public TStrings {
public:
    explicit TRadioGroupItems(TRadioGroup* group) : m_group(group) {}

    int Count() const override;
    QString Get(int index) const override;
    void Put(int index, const QString& text) override;
    void Insert(int index, const QString& text) override;
    void Delete(int index) override;
    void Clear() override;

private:
    TRadioGroup* m_group;
};

// The lines of a multi-line text box.
//
// Lines are separated by line breaks; a break after the last line ends that line and adds
// no empty one. Text() is the box's whole text exactly as held, with CR LF between lines and
// a final break only where the text has one. SetText() turns every lone CR and lone LF into
// CR LF. The box shows U+2028, U+2029, U+FDD0 and U+FDD1 as line breaks (it cannot hold the
// last three as characters); a text given to the list keeps them until the box is edited, so
// the list reads back what it was given, while a text typed or pasted into the box reads as
// the box shows it. Inserting at Count() appends a line: after the final break if there is one, else
// after a new break. Between BeginUpdate and EndUpdate the changes collect in a copy of the
// text that reaches the box once, at the outermost EndUpdate.
class TMemoLines final : public TStrings {
public:
    explicit TMemoLines(QPlainTextEdit* memo) : m_memo(memo) {}

    int Count() const override;
    QString Get(int index) const override;
    void Put(int index, const QString& text) override;
    void Insert(int index, const QString& text) override;
    void Delete(int index) override;
    void Clear() override;
    void BeginUpdate() override;
    void EndUpdate() override;
    QString Text() const override;
    void SetText(const QString& text) override;

private:
    // The text with "\n" between lines: the text last given while the box still shows it,
    // else the box's own.
    QString Held() const;
    void SetHeld(const QString& text);
    // The box's text with "\n" for every line break it shows.
    QString Shown() const;
    // Puts text into the box and remembers it where the box shows it otherwise.
    void Show(const QString& text);
    QStringList HeldLines() const;

    QPlainTextEdit* m_memo;
    int m_updateDepth = 0;
    std::optional<QString> m_pending;
    struct TGivenText {
        QString text;
        QString shown;
    };
    std::optional<TGivenText> m_given;
};
