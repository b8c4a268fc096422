// Known answers for the algorithms beyond MD5, SHA-1 and SHA-256 (whose answers are in
// DigestVectors): the SHA-2 and SHA-3 values of "abc" and the 896-bit message are the
// FIPS 180-4 / FIPS 202 examples, BLAKE2's of "abc" those of RFC 7693, CRC32's of "123456789"
// the polynomial's check value, BLAKE3's the BLAKE3 team's test vectors; the rest were computed
// with Python's hashlib and zlib, with xxhsum and with b3sum, implementations independent of the
// engines under test.
#pragma once

#include "crypt/HashAlgorithm.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

struct TAlgorithmVector {
    THashAlgorithm Algorithm;
    std::string Name;
    std::string Message;
    std::string Expected;
};

// Every algorithm's known answers, MD5, SHA1 and SHA256 from DigestVectors included.
const std::vector<TAlgorithmVector>& AlgorithmVectors();

// The hash-mode digests (first 32 bytes) of the BLAKE3 team's test_vectors.json; the input of
// length n is BLAKE3TeamInput(n).
struct TBLAKE3TeamVector {
    std::size_t Length;
    const char* Digest;
};

std::span<const TBLAKE3TeamVector> BLAKE3TeamVectors();

// The bytes i % 251 for i below length.
std::string BLAKE3TeamInput(std::size_t length);
