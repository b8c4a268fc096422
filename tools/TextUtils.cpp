#include "tools/TextUtils.h"

#include "text/PlainText.h"

std::u16string_view Utf16(QStringView text) {
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}

std::vector<std::u16string> Utf16List(const QStringList& texts) {
    std::vector<std::u16string> list;
    list.reserve(static_cast<std::size_t>(texts.size()));
    for (const QString& text : texts)
        list.emplace_back(Utf16(text));
    return list;
}

QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

QString Trim(QStringView text) {
    return ToQString(Trim(Utf16(text)));
}

QString Upper(QStringView text) {
    return ToQString(Upper(Utf16(text)));
}

QString RemoveSpaces(QStringView text) {
    return ToQString(RemoveSpaces(Utf16(text)));
}

QString KeepNameChars(QStringView text) {
    return ToQString(KeepNameChars(Utf16(text)));
}

QString NormalizeName(QStringView text) {
    return ToQString(NormalizeName(Utf16(text)));
}

bool SameTextAscii(QStringView a, QStringView b) {
    return SameTextAscii(Utf16(a), Utf16(b));
}

std::string SystemName(QStringView name) {
    return SystemName(Utf16(name));
}
