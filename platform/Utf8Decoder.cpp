#include "platform/Utf8Decoder.h"

namespace {

constexpr char16_t Replacement = u'\uFFFD';

std::size_t PutCodePoint(std::uint32_t codePoint, char16_t* out) noexcept {
    if (codePoint < 0x10000) {
        out[0] = static_cast<char16_t>(codePoint);
        return 1;
    }
    const std::uint32_t offset = codePoint - 0x10000;
    out[0] = static_cast<char16_t>(0xD800 + (offset >> 10));
    out[1] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
    return 2;
}

} // namespace

TDecodedPiece TUtf8Decoder::Decode(std::string_view bytes, std::span<char16_t> out) noexcept {
    TDecodedPiece piece;
    while (piece.BytesTaken < bytes.size() && out.size() - piece.UnitsMade >= MinimumRoom) {
        piece.UnitsMade += Take(static_cast<unsigned char>(bytes[piece.BytesTaken]), out.data() + piece.UnitsMade);
        ++piece.BytesTaken;
    }
    return piece;
}

std::size_t TUtf8Decoder::Take(unsigned char byte, char16_t* out) noexcept {
    if (m_needed == 0)
        return Start(byte, out);
    if (byte < m_low || byte > m_high) {
        // The sequence broke off: its start is one unreadable piece, and this byte begins anew
        // (making at most one unit, so both fit in MinimumRoom).
        m_needed = 0;
        out[0] = Replacement;
        return 1 + Start(byte, out + 1);
    }
    m_codePoint = (m_codePoint << 6) | (byte & 0x3Fu);
    m_low = 0x80;
    m_high = 0xBF;
    if (--m_needed != 0)
        return 0;
    return PutCodePoint(m_codePoint, out);
}

std::size_t TUtf8Decoder::Start(unsigned char byte, char16_t* out) noexcept {
    m_low = 0x80;
    m_high = 0xBF;
    if (byte < 0x80) {
        out[0] = byte;
        return 1;
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        m_needed = 1;
        m_codePoint = byte & 0x1Fu;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        m_needed = 2;
        m_codePoint = byte & 0x0Fu;
        if (byte == 0xE0)
            m_low = 0xA0; // below is an overlong form
        else if (byte == 0xED)
            m_high = 0x9F; // above are the surrogates
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        m_needed = 3;
        m_codePoint = byte & 0x07u;
        if (byte == 0xF0)
            m_low = 0x90; // below is an overlong form
        else if (byte == 0xF4)
            m_high = 0x8F; // above is past U+10FFFF
    } else {
        // A continuation byte with nothing to continue, or a byte UTF-8 never uses.
        out[0] = Replacement;
        return 1;
    }
    return 0;
}
