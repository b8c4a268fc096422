#include "tools/TextUtils.h"

namespace {

constexpr char16_t AsciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

constexpr bool IsNameChar(char16_t c) {
    return c == u' ' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

} // namespace

QString Trim(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return text.mid(first, last - first).toString();
}

QString Upper(QStringView text) {
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = QChar(AsciiUpper(text[i].unicode()));
    return result;
}

QString RemoveSpaces(QStringView text) {
    QString result;
    result.reserve(text.size());
    for (QChar c : text)
        if (c != u' ')
            result.append(c);
    return result;
}

QString KeepNameChars(QStringView text) {
    QString result;
    result.reserve(text.size());
    for (QChar c : text)
        if (IsNameChar(c.unicode()))
            result.append(c);
    return result;
}

QString NormalizeName(QStringView text) {
    return Upper(KeepNameChars(RemoveSpaces(Trim(text))));
}

bool SameTextAscii(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i].unicode()) != AsciiUpper(b[i].unicode()))
            return false;
    return true;
}

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string_view Utf16(QStringView text) {
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}

std::string SystemName(QStringView name) {
    return name.toUtf8().toStdString();
}

QString NameFromSystem(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}
