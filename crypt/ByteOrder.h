// Byte-order helpers for the digest engines.
//
// Words are built from bytes and bytes from words by shifts only, so every routine gives the
// same bytes whatever the byte order of the host. SHA-1 and SHA-256 read and write their words
// most significant byte first (big-endian); MD5 least significant byte first (little-endian).
#pragma once

#include <cstdint>

inline std::uint32_t LoadBE32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

inline std::uint64_t LoadBE64(const std::uint8_t* p) {
    return (std::uint64_t{LoadBE32(p)} << 32) | LoadBE32(p + 4);
}

inline std::uint64_t LoadLE64(const std::uint8_t* p) {
    return std::uint64_t{LoadLE32(p)} | (std::uint64_t{LoadLE32(p + 4)} << 32);
}

inline void StoreBE32(std::uint8_t* p, std::uint32_t value) {
    p[0] = static_cast<std::uint8_t>(value >> 24);
    p[1] = static_cast<std::uint8_t>(value >> 16);
    p[2] = static_cast<std::uint8_t>(value >> 8);
    p[3] = static_cast<std::uint8_t>(value);
}

inline void StoreLE32(std::uint8_t* p, std::uint32_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
    p[3] = static_cast<std::uint8_t>(value >> 24);
}

inline void StoreBE64(std::uint8_t* p, std::uint64_t value) {
    StoreBE32(p, static_cast<std::uint32_t>(value >> 32));
    StoreBE32(p + 4, static_cast<std::uint32_t>(value));
}

inline void StoreLE64(std::uint8_t* p, std::uint64_t value) {
    StoreLE32(p, static_cast<std::uint32_t>(value));
    StoreLE32(p + 4, static_cast<std::uint32_t>(value >> 32));
}

// The word with its four bytes in reverse order.
inline std::uint32_t ByteSwap32(std::uint32_t word) {
    return (word >> 24) | ((word >> 8) & 0x0000ff00u) | ((word << 8) & 0x00ff0000u) | (word << 24);
}

// Big-endian bytes of eight words: what swapping each word and copying it gives on a
// little-endian host, on any host.
inline void ByteSwapCopy8(const std::uint32_t* source, std::uint8_t* destination) {
    for (int i = 0; i < 8; ++i)
        StoreBE32(destination + 4 * i, source[i]);
}

// Eight words read from 32 big-endian bytes.
inline void ByteSwapCopy8(const std::uint8_t* source, std::uint32_t* destination) {
    for (int i = 0; i < 8; ++i)
        destination[i] = LoadBE32(source + 4 * i);
}

// Big-endian bytes of five words.
inline void ByteSwapCopy5(const std::uint32_t* source, std::uint8_t* destination) {
    for (int i = 0; i < 5; ++i)
        StoreBE32(destination + 4 * i, source[i]);
}
