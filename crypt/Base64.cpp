#include "crypt/Base64.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr std::int8_t Invalid = -1;

// The value of every code unit below 256; the others are all invalid.
constexpr std::array<std::int8_t, 256> Base64Values = [] {
    std::array<std::int8_t, 256> values{};
    values.fill(Invalid);
    for (std::size_t i = 0; i < Base64Alphabet.size(); ++i)
        values[Base64Alphabet[i]] = static_cast<std::int8_t>(i);
    return values;
}();

int Base64Value(char16_t c) {
    return c < Base64Values.size() ? Base64Values[c] : Invalid;
}

} // namespace

bool Base64DecodeToStream(std::u16string_view text, TStream& stream) {
    const std::size_t pad = text.find(u'=');
    const std::size_t extent = pad == std::u16string_view::npos ? text.size() : pad + 1;

    for (std::size_t p = 0; p < extent; p += 4) {
        const std::size_t present = std::min<std::size_t>(4, extent - p);
        std::uint32_t values[4] = {0, 0, 0, 0};
        int pads = 4 - static_cast<int>(present);
        for (std::size_t slot = 0; slot < present; ++slot) {
            const char16_t c = text[p + slot];
            if (c == u'=') {
                ++pads;
                continue;
            }
            const int value = Base64Value(c);
            if (value == Invalid)
                return false;
            values[slot] = static_cast<std::uint32_t>(value);
        }
        const std::uint32_t bits = values[0] << 18 | values[1] << 12 | values[2] << 6 | values[3];
        const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 8),
                                       static_cast<std::uint8_t>(bits)};
        if (pads < 3)
            stream.Write(bytes, 3 - pads);
    }
    return true;
}
