// Base64DecodeToStream against a reference decoder written from the rules alone (a value
// table instead of the alphabet search, and the whole text decoded at once instead of group
// by group), and decoding the encoding of arbitrary bytes gives those bytes back.
#include "crypt/Base64.h"
#include "fuzz/FuzzInput.h"

#include <optional>
#include <string>
#include <vector>

namespace {

int ReferenceValue(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 26;
    if (c >= u'0' && c <= u'9')
        return c - u'0' + 52;
    if (c == u'+')
        return 62;
    if (c == u'/')
        return 63;
    return -1;
}

struct TReferenceResult {
    bool valid = true;
    std::vector<std::uint8_t> bytes;
};

// Everything up to and including the first "=" is looked at; missing characters and "=" are
// pads. A group of four with p pads gives 3 - p bytes (none for p >= 3). An invalid character
// stops decoding with the groups before its own one kept.
TReferenceResult ReferenceDecode(std::u16string_view text) {
    const std::size_t pad = text.find(u'=');
    const std::size_t extent = pad == std::u16string_view::npos ? text.size() : pad + 1;
    TReferenceResult result;
    for (std::size_t group = 0; group < extent; group += 4) {
        std::uint32_t bits = 0;
        int pads = 0;
        for (std::size_t slot = 0; slot < 4; ++slot) {
            const std::size_t at = group + slot;
            int value = 0;
            if (at >= extent || text[at] == u'=') {
                ++pads;
            } else {
                value = ReferenceValue(text[at]);
                if (value < 0) {
                    result.valid = false;
                    return result;
                }
            }
            bits = bits << 6 | std::uint32_t(value);
        }
        for (int i = 0; i < 3 - pads; ++i)
            result.bytes.push_back(std::uint8_t(bits >> (16 - 8 * i)));
    }
    return result;
}

std::u16string Encode(std::string_view bytes) {
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t bits = 0;
        for (std::size_t k = 0; k < 3; ++k)
            bits = bits << 8 | (k < n ? std::uint8_t(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            text += k <= n ? Base64Alphabet[bits >> (18 - 6 * k) & 63] : u'=';
    }
    return text;
}

std::u16string_view View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFuzzInput input(data, size);
    const QString text = input.Text();

    TMemoryStream decoded;
    const bool valid = Base64DecodeToStream(View(text), decoded);
    const TReferenceResult reference = ReferenceDecode(View(text));
    if (valid != reference.valid)
        FuzzFailure("decoder and reference disagree on validity", text);
    if (decoded.Bytes() != reference.bytes)
        FuzzFailure("decoder and reference wrote different bytes", text);
    if (decoded.Position() != decoded.Size())
        FuzzFailure("stream position is not after the last byte written", text);

    const std::string_view bytes = input.Rest();
    TMemoryStream roundTrip;
    if (!Base64DecodeToStream(Encode(bytes), roundTrip))
        FuzzFailure("the encoding of bytes is refused");
    if (roundTrip.Bytes() != std::vector<std::uint8_t>(bytes.begin(), bytes.end()))
        FuzzFailure("the encoding of bytes does not decode to them");
    return 0;
}
