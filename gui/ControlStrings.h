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
// CR LF. Inserting at Count() appends a line: after the final break if there is one, else
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
    // The text with "\n" between lines, as the box holds it.
    QString Held() const;
    void SetHeld(const QString& text);
    QStringList HeldLines() const;

    QPlainTextEdit* m_memo;
    int m_updateDepth = 0;
    std::optional<QString> m_pending;
};
