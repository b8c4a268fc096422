// Digest to text and back: two hexadecimal digits per byte, first byte first; lower case
// unless asked otherwise.
#pragma once

#include "crypt/Blake3.h"
#include "crypt/Md5.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char HexDigits[] = "0123456789abcdef";

std::string BytesToHex(const std::uint8_t* bytes, std::size_t size); // 2 * size characters

std::string MD5ToHex(const TMD5Digest& digest);       // 32 characters
std::string SHA1ToHex(const TSHA1Digest& digest);     // 40 characters
std::string SHA256ToHex(const TSHA256Digest& digest); // 64 characters
std::string BLAKE3ToHex(const TBLAKE3Digest& digest); // 64 characters

// True for 0-9, a-f and A-F.
bool IsHexDigit(char c);

// text with a-f mapped to A-F, every other byte as it is.
std::string UpperHex(std::string_view text);
// text with A-F mapped to a-f, every other byte as it is.
std::string LowerHex(std::string_view text);

// The 0-based position of the first character in which a and b differ, the case of the letters
// a-f aside; the length of the shorter one when it is the beginning of the other; npos when they
// are the same digest text.
std::size_t FirstHexDifference(std::u16string_view a, std::u16string_view b);

// True when a and b are the same digest text: equal but for the case of the letters a-f.
bool SameHexDigits(std::string_view a, std::string_view b);
bool SameHexDigits(std::u16string_view a, std::u16string_view b);
