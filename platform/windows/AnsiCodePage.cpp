#include "platform/AnsiCodePage.h"

#include "platform/windows/SystemNames.h"

#include <climits>

namespace {

// The conversions take int lengths; longer texts are not data set files (those stay far below).
bool FitsInt(std::size_t length) {
    return length <= static_cast<std::size_t>(INT_MAX) / 4;
}

bool Decode(UINT codePage, std::string_view bytes, std::u16string& text) {
    text.clear();
    if (bytes.empty())
        return true;
    if (!FitsInt(bytes.size()))
        return false;
    const int length = static_cast<int>(bytes.size());
    const int units = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0)
        return false;
    text.resize(static_cast<std::size_t>(units));
    return ::MultiByteToWideChar(codePage, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()), units) ==
           units;
}

} // namespace

unsigned AnsiCodePage() {
    return ::GetACP();
}

bool DecodeAnsi(std::string_view bytes, std::u16string& text) {
    return Decode(CP_ACP, bytes, text);
}

bool EncodeAnsi(std::u16string_view text, std::string& bytes) {
    bytes.clear();
    if (!FitsInt(text.size()))
        return false;
    const UINT codePage = ::GetACP();
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    if (length > 0) {
        const int size = ::WideCharToMultiByte(codePage, 0, units, length, nullptr, 0, nullptr, nullptr);
        if (size <= 0)
            return false;
        bytes.resize(static_cast<std::size_t>(size));
        if (::WideCharToMultiByte(codePage, 0, units, length, bytes.data(), size, nullptr, nullptr) != size)
            return false;
    }
    // A best-fit or default character does not read back as the character it stands for.
    std::u16string back;
    if (!Decode(codePage, bytes, back) || back != text)
        return false;
    if (codePage == CP_UTF8)
        bytes.insert(0, "\xEF\xBB\xBF");
    return true;
}
