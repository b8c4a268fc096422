#include "tools/Strings.h"

#include "text/PlainText.h"
#include "tools/TextUtils.h"

void TStrings::CheckIndex(int index, int limit) const {
    CheckListIndex(index, limit);
}

int TStrings::Add(const QString& text) {
    const int index = Count();
    Insert(index, text);
    return index;
}

QString TStrings::Text() const {
    QString result;
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        result += Get(i);
        result += u"\r\n";
    }
    return result;
}

void TStrings::SetText(const QString& text) {
    TStringsUpdate update(*this);
    Clear();
    for (const QString& line : SplitLines(text))
        Add(line);
}

QStringList SplitLines(QStringView text) {
    QStringList lines;
    for (const std::u16string& line : SplitLines(Utf16(text)))
        lines.append(ToQString(line));
    return lines;
}

QString TStringList::Get(int index) const {
    CheckIndex(index, Count());
    return m_lines[index];
}

void TStringList::Put(int index, const QString& text) {
    CheckIndex(index, Count());
    m_lines[index] = text;
}

void TStringList::Insert(int index, const QString& text) {
    CheckIndex(index, Count() + 1);
    m_lines.insert(index, text);
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count());
    m_lines.removeAt(index);
}
