#include "crypt/Hex.h"

namespace {

template <std::size_t N> std::string BytesToHex(const std::array<std::uint8_t, N>& bytes) {
    std::string text(2 * N, '0');
    for (std::size_t i = 0; i < N; ++i) {
        text[2 * i] = HexDigits[bytes[i] / 16];
        text[2 * i + 1] = HexDigits[bytes[i] % 16];
    }
    return text;
}

} // namespace

std::string MD5ToHex(const TMD5Digest& digest) {
    return BytesToHex(digest);
}

std::string SHA1ToHex(const TSHA1Digest& digest) {
    return BytesToHex(digest);
}

std::string SHA256ToHex(const TSHA256Digest& digest) {
    return BytesToHex(digest);
}

std::string BLAKE3ToHex(const TBLAKE3Digest& digest) {
    return BytesToHex(digest);
}
