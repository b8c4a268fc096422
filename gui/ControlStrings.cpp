#include "gui/ControlStrings.h"

#include "gui/RadioGroup.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace {

// Keeps a combo box's edit text (and cursor) across changes of its item list, which would
// otherwise show whichever item becomes current.
class TKeepEditText {
public:
    explicit TKeepEditText(QComboBox* combo) : m_combo(combo), m_text(combo->currentText()) {
        if (QLineEdit* edit = combo->lineEdit())
            m_cursor = edit->cursorPosition();
    }
    ~TKeepEditText() {
        if (m_combo->currentText() != m_text)
            m_combo->setEditText(m_text);
        if (QLineEdit* edit = m_combo->lineEdit())
            edit->setCursorPosition(m_cursor);
    }
    TKeepEditText(const TKeepEditText&) = delete;
    TKeepEditText& operator=(const TKeepEditText&) = delete;

private:
    QComboBox* m_combo;
    QString m_text;
    int m_cursor = 0;
};

// Every CR LF, lone CR and lone LF becomes the one separator given.
QString NormalizeBreaks(QStringView text, QStringView separator) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            result += separator;
        } else if (c == u'\n') {
            result += separator;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace

int TComboItemsStrings::Count() const {
    return m_combo->count();
}

QString TComboItemsStrings::Get(int index) const {
    CheckIndex(index, Count());
    return m_combo->itemText(index);
}

void TComboItemsStrings::Put(int index, const QString& text) {
    CheckIndex(index, Count());
    TKeepEditText keep(m_combo);
    m_combo->setItemText(index, text);
}

void TComboItemsStrings::Insert(int index, const QString& text) {
    CheckIndex(index, Count() + 1);
    TKeepEditText keep(m_combo);
    m_combo->insertItem(index, text);
}

void TComboItemsStrings::Delete(int index) {
    CheckIndex(index, Count());
    TKeepEditText keep(m_combo);
    m_combo->removeItem(index);
}

void TComboItemsStrings::Clear() {
    TKeepEditText keep(m_combo);
    m_combo->clear();
}

int TRadioGroupItems::Count() const {
    return static_cast<int>(m_group->Items().size());
}

QString TRadioGroupItems::Get(int index) const {
    CheckIndex(index, Count());
    return m_group->Items()[index];
}

void TRadioGroupItems::Put(int index, const QString& text) {
    CheckIndex(index, Count());
    QStringList items = m_group->Items();
    items[index] = text;
    m_group->SetItems(items);
}

void TRadioGroupItems::Insert(int index, const QString& text) {
    CheckIndex(index, Count() + 1);
    QStringList items = m_group->Items();
    items.insert(index, text);
    m_group->SetItems(items);
}

void TRadioGroupItems::Delete(int index) {
    CheckIndex(index, Count());
    QStringList items = m_group->Items();
    items.removeAt(index);
    m_group->SetItems(items);
}

void TRadioGroupItems::Clear() {
    m_group->SetItems({});
}

QString TMemoLines::Shown() const {
    // The document keeps its blocks apart with paragraph separators; a line separator
    // (Shift+Enter) is a line break too.
    QString text = m_memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

QString TMemoLines::Held() const {
    if (m_pending)
        return *m_pending;
    QString shown = Shown();
    if (m_given && shown == m_given->shown)
        return m_given->text;
    return shown;
}

void TMemoLines::Show(const QString& text) {
    m_memo->setPlainText(text);
    // The document turns U+2028, U+2029, U+FDD0 and U+FDD1 into line breaks; the text given
    // stays what the list holds until the box is edited, so a stored text comes back as written.
    m_given.reset();
    QString shown = Shown();
    if (shown != text)
        m_given = TGivenText{text, std::move(shown)};
}

void TMemoLines::SetHeld(const QString& text) {
    if (m_updateDepth > 0)
        m_pending = text;
    else
        Show(text);
}

QStringList TMemoLines::HeldLines() const {
    const QString text = Held();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

int TMemoLines::Count() const {
    return static_cast<int>(HeldLines().size());
}

QString TMemoLines::Get(int index) const {
    const QStringList lines = HeldLines();
    CheckIndex(index, static_cast<int>(lines.size()));
    return lines[index];
}

void TMemoLines::Put(int index, const QString& text) {
    const QString held = Held();
    QStringList parts = held.split(u'\n');
    CheckIndex(index, static_cast<int>(HeldLines().size()));
    parts[index] = NormalizeBreaks(text, u"\n");
    SetHeld(parts.join(u'\n'));
}

void TMemoLines::Insert(int index, const QString& text) {
    const QString held = Held();
    const int count = static_cast<int>(HeldLines().size());
    CheckIndex(index, count + 1);
    const QString line = NormalizeBreaks(text, u"\n");
    QStringList parts = held.isEmpty() ? QStringList() : held.split(u'\n');
    if (index < parts.size()) {
        // Before an existing line, or into the empty line after a final break.
        parts.insert(index, line);
        SetHeld(parts.join(u'\n'));
    } else if (held.isEmpty()) {
        SetHeld(line + u'\n');
    } else {
        SetHeld(held + u'\n' + line);
    }
}

void TMemoLines::Delete(int index) {
    const QString held = Held();
    CheckIndex(index, static_cast<int>(HeldLines().size()));
    QStringList parts = held.split(u'\n');
    if (index + 1 < parts.size()) {
        parts.removeAt(index);
        SetHeld(parts.join(u'\n'));
    } else {
        // The last line has no break of its own: the break before it stays.
        parts[index].clear();
        SetHeld(parts.join(u'\n'));
    }
}

void TMemoLines::Clear() {
    SetHeld(QString());
}

void TMemoLines::BeginUpdate() {
    if (m_updateDepth++ == 0)
        m_pending = Held();
}

void TMemoLines::EndUpdate() {
    if (m_updateDepth == 0 || --m_updateDepth > 0)
        return;
    const QString text = *m_pending;
    m_pending.reset();
    if (text != Held())
        Show(text);
}

QString TMemoLines::Text() const {
    return NormalizeBreaks(Held(), u"\r\n");
}

void TMemoLines::SetText(const QString& text) {
    SetHeld(NormalizeBreaks(text, u"\n"));
}
