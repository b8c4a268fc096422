#include "tools/Strings.h"

EListError::EListError(int index) : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}

void TStrings::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit)
        throw EListError(index);
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
    qsizetype start = 0;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < length && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < length)
        lines.append(text.mid(start).toString());
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
