#include "text/PlainText.h"

#include "text/TextEncoding.h"

namespace {

constexpr char16_t AsciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

constexpr bool IsNameChar(char16_t c) {
    return c == u' ' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

} // namespace

std::u16string Trim(std::u16string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] <= 0x20)
        ++first;
    while (last > first && text[last - 1] <= 0x20)
        --last;
    return std::u16string(text.substr(first, last - first));
}

std::u16string Upper(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result)
        c = AsciiUpper(c);
    return result;
}

std::u16string RemoveSpaces(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (const char16_t c : text)
        if (c != u' ')
            result += c;
    return result;
}

std::u16string KeepNameChars(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (const char16_t c : text)
        if (IsNameChar(c))
            result += c;
    return result;
}

std::u16string NormalizeName(std::u16string_view text) {
    return Upper(KeepNameChars(RemoveSpaces(Trim(text))));
}

bool SameTextAscii(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

std::u16string Latin1(std::string_view text) {
    std::u16string result(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        result[i] = static_cast<unsigned char>(text[i]);
    return result;
}

std::vector<std::u16string> SplitLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    const std::size_t length = text.size();
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == u'\r' && i + 1 < length && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < length)
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string SystemName(std::u16string_view name) {
    return EncodeUtf8(name, u'?');
}

std::u16string NameFromSystem(std::string_view name) {
    return DecodeUtf8(name);
}
