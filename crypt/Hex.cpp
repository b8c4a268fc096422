#include "crypt/Hex.h"

#include <algorithm>

namespace {

// text with the six letters from first on mapped to those from to on.
std::string MapHexLetters(std::string_view text, char first, char to) {
    std::string result(text);
    for (char& c : result)
        if (c >= first && c < first + 6)
            c = static_cast<char>(c - first + to);
    return result;
}

// c with A-F as a-f, so that digest texts compare whatever their case.
template <typename TChar> TChar FoldHexCase(TChar c) {
    return c >= 'A' && c <= 'F' ? static_cast<TChar>(c - 'A' + 'a') : c;
}

template <typename TChar>
std::size_t FirstDifferenceOf(std::basic_string_view<TChar> a, std::basic_string_view<TChar> b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i)
        if (FoldHexCase(a[i]) != FoldHexCase(b[i]))
            return i;
    return a.size() == b.size() ? std::basic_string_view<TChar>::npos : common;
}

} // namespace

std::string BytesToHex(const std::uint8_t* bytes, std::size_t size) {
    std::string text(2 * size, '0');
    for (std::size_t i = 0; i < size; ++i) {
        text[2 * i] = HexDigits[bytes[i] / 16];
        text[2 * i + 1] = HexDigits[bytes[i] % 16];
    }
    return text;
}

std::string MD5ToHex(const TMD5Digest& digest) {
    return BytesToHex(digest.data(), digest.size());
}

std::string SHA1ToHex(const TSHA1Digest& digest) {
    return BytesToHex(digest.data(), digest.size());
}

std::string SHA256ToHex(const TSHA256Digest& digest) {
    return BytesToHex(digest.data(), digest.size());
}

std::string BLAKE3ToHex(const TBLAKE3Digest& digest) {
    return BytesToHex(digest.data(), digest.size());
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string UpperHex(std::string_view text) {
    return MapHexLetters(text, 'a', 'A');
}

std::string LowerHex(std::string_view text) {
    return MapHexLetters(text, 'A', 'a');
}

std::size_t FirstHexDifference(std::u16string_view a, std::u16string_view b) {
    return FirstDifferenceOf(a, b);
}

bool SameHexDigits(std::string_view a, std::string_view b) {
    return FirstDifferenceOf(a, b) == std::string_view::npos;
}

bool SameHexDigits(std::u16string_view a, std::u16string_view b) {
    return FirstDifferenceOf(a, b) == std::u16string_view::npos;
}
