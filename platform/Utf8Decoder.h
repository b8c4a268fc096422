// UTF-8 bytes as UTF-16 text, one piece at a time: the program's lines are UTF-8, and a console
// shows UTF-16. A character whose bytes are split between two pieces is kept and finished by
// the next piece, so a writer may cut its bytes anywhere.
//
// Bytes that are not UTF-8 (a name read as raw bytes from a list, a cut sequence, an overlong
// form, a surrogate's bytes) become U+FFFD, one for each longest start of a sequence that could
// have been UTF-8, as Unicode recommends; the text around them is kept whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// What one Decode call took and made.
struct TDecodedPiece {
    std::size_t BytesTaken = 0;
    std::size_t UnitsMade = 0;
};

class TUtf8Decoder {
public:
    // The least room Decode needs to make progress: a character outside the basic plane.
    static constexpr std::size_t MinimumRoom = 2;

    // Decodes bytes into out until bytes are all taken or out has less than MinimumRoom left.
    // The bytes of a character that bytes end inside are taken and kept for the next call.
    TDecodedPiece Decode(std::string_view bytes, std::span<char16_t> out) noexcept;

    // Forgets an unfinished character.
    void Reset() noexcept { m_needed = 0; }

private:
    // Decodes one byte into out, which has at least MinimumRoom units; answers the units made.
    std::size_t Take(unsigned char byte, char16_t* out) noexcept;
    std::size_t Start(unsigned char byte, char16_t* out) noexcept;

    // Continuation bytes still to come, the code point so far, and the range the next one must
    // fall in (narrower after some lead bytes: no overlong forms, surrogates or values past
    // U+10FFFF).
    int m_needed = 0;
    std::uint32_t m_codePoint = 0;
    unsigned char m_low = 0x80;
    unsigned char m_high = 0xBF;
};
