// Reading a libFuzzer input as a sequence of small decisions followed by text.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string_view>

class TFuzzInput {
public:
    TFuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_position >= m_size; }

    std::uint8_t Byte() { return Empty() ? 0 : m_data[m_position++]; }

    // An integer in [low, high], from as many bytes as the range needs (zero when input ran out).
    std::int64_t Range(std::int64_t low, std::int64_t high) {
        const std::uint64_t span = std::uint64_t(high - low);
        std::uint64_t value = 0;
        for (std::uint64_t left = span; left != 0; left >>= 8)
            value = (value << 8) | Byte();
        return span == UINT64_MAX ? std::int64_t(value) : low + std::int64_t(value % (span + 1));
    }

    // Text up to the next byte 0x00 (or the end): each byte is one character, except that 0xFF
    // takes the next two bytes as an arbitrary UTF-16 code unit, so that surrogates, U+0000 and
    // non-Latin characters are reachable while plain ASCII stays easy to mutate.
    QString Text() {
        QString text;
        while (!Empty()) {
            const std::uint8_t b = Byte();
            if (b == 0x00)
                break;
            if (b == 0xFF) {
                const char16_t high = Byte();
                text += QChar(char16_t(high << 8 | Byte()));
            } else {
                text += QChar(char16_t(b));
            }
        }
        return text;
    }

    // Everything not yet read, as bytes.
    std::string_view Rest() {
        const std::string_view rest(reinterpret_cast<const char*>(m_data) + m_position, m_size - m_position);
        m_position = m_size;
        return rest;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

// Stops the run with a message that libFuzzer records together with the input.
[[noreturn]] void FuzzFailure(const char* what, const QString& detail = QString());
