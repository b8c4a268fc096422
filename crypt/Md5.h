// MD5 (RFC 1321).
//
// Use: MD5Init, any number of MD5Update, MD5Final. Unlike the SHA engines, Final does not begin
// the context anew: it keeps the final chaining value and the counts until MD5Init runs again.
#pragma once

#include <array>
#include <cstdint>

// One MD5 computation. A plain value record owned by its caller. The number of bytes waiting
// in Block is always ByteCountLo mod 64.
struct TMD5Context {
    std::array<std::uint32_t, 4> State; // chaining value A, B, C, D
    std::uint32_t ByteCountLo;          // 64-bit count of message bytes fed so far
    std::uint32_t ByteCountHi;
    std::array<std::uint8_t, 64> Block;
};

using TMD5Digest = std::array<std::uint8_t, 16>;

// Loads the initial chaining value and zeroes the counts; Block is left as it is (its old
// bytes never reach a digest).
void MD5Init(TMD5Context& context);

// Feeds count bytes from data. Whole 64-byte blocks of data are compressed where they lie.
void MD5Update(TMD5Context& context, const void* data, std::uint32_t count);

// Completes the message and returns its digest (A, B, C, D, least significant byte first).
TMD5Digest MD5Final(TMD5Context& context);

// Compresses the 64 bytes at block (the context's own Block or the caller's data) into State.
void MD5Transform(TMD5Context& context, const std::uint8_t* block);
