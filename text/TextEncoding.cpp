#include "text/TextEncoding.h"

#include "platform/AnsiCodePage.h"

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LEMark = "\xFF\xFE";
constexpr std::string_view Utf16BEMark = "\xFE\xFF";
constexpr char16_t ReplacementCharacter = 0xFFFD;

// Windows-1252 for the bytes 80-9F (the Unicode consortium's mapping table
// MAPPINGS/VENDORS/MICSFT/WINDOWS/CP1252.TXT). The five bytes the code page leaves undefined
// map to the code point of the same number, as the Windows conversion functions do.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The strict form of one UTF-8 sequence (RFC 3629) by its lead byte: its length and the range
// of its second byte, which rules out overlong forms, surrogates and code points above
// U+10FFFF. Length 0 for a byte that leads no sequence.
struct TUtf8Lead {
    int Length = 0;
    unsigned char Low = 0x80;
    unsigned char High = 0xBF;
};

TUtf8Lead Utf8Lead(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF)
        return {2};
    if (lead >= 0xE0 && lead <= 0xEF)
        return {3, static_cast<unsigned char>(lead == 0xE0 ? 0xA0 : 0x80),
                static_cast<unsigned char>(lead == 0xED ? 0x9F : 0xBF)};
    if (lead >= 0xF0 && lead <= 0xF4)
        return {4, static_cast<unsigned char>(lead == 0xF0 ? 0x90 : 0x80),
                static_cast<unsigned char>(lead == 0xF4 ? 0x8F : 0xBF)};
    return {};
}

// The number of bytes of the valid sequence at bytes[i], else 0.
int Utf8SequenceAt(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80)
        return 1;
    const TUtf8Lead form = Utf8Lead(lead);
    if (form.Length == 0 || bytes.size() - i < static_cast<std::size_t>(form.Length))
        return 0;
    for (int k = 1; k < form.Length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        const unsigned char low = k == 1 ? form.Low : 0x80;
        const unsigned char high = k == 1 ? form.High : 0xBF;
        if (next < low || next > high)
            return 0;
    }
    return form.Length;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const int length = Utf8SequenceAt(bytes, i);
        if (length == 0)
            return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    const std::size_t units = bytes.size() / 2;
    std::u16string text(units, u'\0');
    for (std::size_t i = 0; i < units; ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    }
    return text;
}

std::string EncodeUtf16(std::u16string_view text, bool bigEndian) {
    std::string bytes(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char high = static_cast<char>(text[i] >> 8);
        const char low = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i] = bigEndian ? high : low;
        bytes[2 * i + 1] = bigEndian ? low : high;
    }
    return bytes;
}

// The system's ANSI code page where it has one. A text that code page cannot hold is written as
// UTF-8 with its mark instead, so that a save never loses what the user typed (the system's
// best-fit characters would not read back). Without a system code page: UTF-8 without a mark.
std::string EncodeAnsiText(std::u16string_view text) {
    std::string bytes;
    if (EncodeAnsi(text, bytes))
        return bytes;
    if (AnsiCodePage() != 0)
        return std::string(Utf8Mark) + EncodeUtf8(text);
    return EncodeUtf8(text);
}

} // namespace

std::u16string DecodeWindows1252(std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = byte >= 0x80 && byte <= 0x9F ? Windows1252High[byte - 0x80] : char16_t(byte);
    }
    return text;
}

std::u16string DecodeText(std::string_view bytes, TTextEncoding& encoding) {
    if (bytes.starts_with(Utf8Mark)) {
        encoding = TTextEncoding::Utf8;
        // A U+FEFF after the mark is text and stays.
        return DecodeUtf8(bytes.substr(Utf8Mark.size()));
    }
    if (bytes.starts_with(Utf16LEMark)) {
        encoding = TTextEncoding::Utf16LE;
        return DecodeUtf16(bytes.substr(Utf16LEMark.size()), false);
    }
    if (bytes.starts_with(Utf16BEMark)) {
        encoding = TTextEncoding::Utf16BE;
        return DecodeUtf16(bytes.substr(Utf16BEMark.size()), true);
    }
    encoding = TTextEncoding::Ansi;
    std::u16string system;
    if (DecodeAnsi(bytes, system))
        return system;
    return IsValidUtf8(bytes) ? DecodeUtf8(bytes) : DecodeWindows1252(bytes);
}

std::string EncodeText(std::u16string_view text, TTextEncoding encoding) {
    switch (encoding) {
    case TTextEncoding::Utf8:
        return std::string(Utf8Mark) + EncodeUtf8(text);
    case TTextEncoding::Utf16LE:
        return std::string(Utf16LEMark) + EncodeUtf16(text, false);
    case TTextEncoding::Utf16BE:
        return std::string(Utf16BEMark) + EncodeUtf16(text, true);
    case TTextEncoding::Ansi:
        break;
    }
    return EncodeAnsiText(text);
}

std::string EncodeUtf8(std::u16string_view text, char16_t replacement) {
    // Three bytes per code unit is the most any UTF-16 text needs; the bytes are written through
    // a pointer into that room, as data set files can run to many megabytes.
    std::string bytes(text.size() * 3, '\0');
    char* out = bytes.data();
    const auto put = [&out](char32_t byte) { *out++ = static_cast<char>(byte); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (IsHighSurrogate(code) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(code) || IsLowSurrogate(code)) {
            code = replacement;
        }
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | (code >> 6));
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | (code >> 12));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | (code >> 18));
            put(0x80 | ((code >> 12) & 0x3F));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return bytes;
}

std::u16string DecodeUtf8(std::string_view bytes) {
    // Never more code units than bytes; written through a pointer into that room.
    std::u16string text(bytes.size(), u'\0');
    char16_t* out = text.data();
    for (std::size_t i = 0; i < bytes.size();) {
        const int length = Utf8SequenceAt(bytes, i);
        if (length == 0) {
            *out++ = ReplacementCharacter;
            ++i;
            continue;
        }
        const auto lead = static_cast<unsigned char>(bytes[i]);
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            code = code << 6 | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        if (code >= 0x10000) {
            *out++ = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(code);
        }
        i += static_cast<std::size_t>(length);
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}
