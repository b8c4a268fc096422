// Digest to text: two lower-case hexadecimal digits per byte, first byte first.
#pragma once

#include "crypt/Blake3.h"
#include "crypt/Md5.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"

#include <string>

inline constexpr char HexDigits[] = "0123456789abcdef";

std::string MD5ToHex(const TMD5Digest& digest);       // 32 characters
std::string SHA1ToHex(const TSHA1Digest& digest);     // 40 characters
std::string SHA256ToHex(const TSHA256Digest& digest); // 64 characters
std::string BLAKE3ToHex(const TBLAKE3Digest& digest); // 64 characters
