#include "tools/TextEncoding.h"

#include "platform/AnsiCodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <string>
#include <string_view>

namespace {

constexpr char Utf8Mark[] = "\xEF\xBB\xBF";
constexpr char Utf16LEMark[] = "\xFF\xFE";
constexpr char Utf16BEMark[] = "\xFE\xFF";

// Windows-1252 for the bytes 80-9F (the Unicode consortium's mapping table
// MAPPINGS/VENDORS/MICSFT/WINDOWS/CP1252.TXT). The five bytes the code page leaves undefined
// map to the code point of the same number, as the Windows conversion functions do.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

bool StartsWith(QByteArrayView bytes, const char* mark) {
    return bytes.startsWith(QByteArrayView(mark));
}

// Strict UTF-8 validation (RFC 3629): no overlong forms, no surrogates, nothing above
// U+10FFFF, no truncated sequence.
bool IsValidUtf8(QByteArrayView bytes) {
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar lead = uchar(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        uchar low = 0x80;
        uchar high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (n - i < length)
            return false;
        const uchar second = uchar(bytes[i + 1]);
        if (second < low || second > high)
            return false;
        for (int k = 2; k < length; ++k)
            if ((uchar(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

QString DecodeUtf16(QByteArrayView bytes, bool bigEndian) {
    const qsizetype units = bytes.size() / 2;
    QString text(units, Qt::Uninitialized);
    for (qsizetype i = 0; i < units; ++i) {
        const uchar first = uchar(bytes[2 * i]);
        const uchar second = uchar(bytes[2 * i + 1]);
        text[i] = QChar(bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first));
    }
    return text;
}

QByteArray EncodeUtf16(QStringView text, bool bigEndian) {
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const char high = char(unit >> 8);
        const char low = char(unit & 0xFF);
        bytes[2 * i] = bigEndian ? high : low;
        bytes[2 * i + 1] = bigEndian ? low : high;
    }
    return bytes;
}

QString DecodeUtf8(QByteArrayView bytes) {
    // The caller has removed the mark; a U+FEFF after it is text and must stay.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace

QString DecodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar byte = uchar(bytes[i]);
        text[i] = QChar(byte >= 0x80 && byte <= 0x9F ? Windows1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

namespace {

// The system's ANSI code page where it has one. A text that code page cannot hold is written as
// UTF-8 with its mark instead, so that a save never loses what the user typed (the system's
// best-fit characters would not read back). Without a system code page: UTF-8 without a mark.
QByteArray EncodeAnsiText(QStringView text) {
    std::string bytes;
    if (EncodeAnsi(
            std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())),
            bytes))
        return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (AnsiCodePage() != 0)
        return QByteArray(Utf8Mark) + EncodeUtf8(text);
    return EncodeUtf8(text);
}

} // namespace

QString DecodeText(QByteArrayView bytes, TTextEncoding& encoding) {
    if (StartsWith(bytes, Utf8Mark)) {
        encoding = TTextEncoding::Utf8;
        return DecodeUtf8(bytes.sliced(3));
    }
    if (StartsWith(bytes, Utf16LEMark)) {
        encoding = TTextEncoding::Utf16LE;
        return DecodeUtf16(bytes.sliced(2), false);
    }
    if (StartsWith(bytes, Utf16BEMark)) {
        encoding = TTextEncoding::Utf16BE;
        return DecodeUtf16(bytes.sliced(2), true);
    }
    encoding = TTextEncoding::Ansi;
    std::u16string system;
    if (DecodeAnsi(std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())), system))
        return QString::fromStdU16String(system);
    return IsValidUtf8(bytes) ? DecodeUtf8(bytes) : DecodeWindows1252(bytes);
}

QByteArray EncodeText(QStringView text, TTextEncoding encoding) {
    switch (encoding) {
    case TTextEncoding::Utf8:
        return QByteArray(Utf8Mark) + EncodeUtf8(text);
    case TTextEncoding::Utf16LE:
        return QByteArray(Utf16LEMark) + EncodeUtf16(text, false);
    case TTextEncoding::Utf16BE:
        return QByteArray(Utf16BEMark) + EncodeUtf16(text, true);
    case TTextEncoding::Ansi:
        break;
    }
    return EncodeAnsiText(text);
}

QByteArray EncodeUtf8(QStringView text) {
    constexpr char32_t ReplacementCharacter = 0xFFFD;
    // Three bytes per code unit is the most any UTF-16 text needs.
    QByteArray bytes(text.size() * 3, Qt::Uninitialized);
    char* out = bytes.data();
    const auto put = [&out](char32_t byte) { *out++ = static_cast<char>(byte); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(code)) {
            code = ReplacementCharacter;
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
    bytes.truncate(out - bytes.constData());
    return bytes;
}
