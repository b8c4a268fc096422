// Feeding a message to an engine in every way that matters: whole, byte by byte, split in two
// at every offset and in seeded random pieces. All ways must give the same, expected digest.
#pragma once

#include "tests/crypt/DigestVectors.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TEngineUnderTest {
    const char* Name;
    std::string TDigestVector::*Expected;
    // Hashes message fed as consecutive pieces ending at the ascending offsets in cuts (the
    // last piece runs to the end), with a fresh context, and returns the digest as text.
    std::string (*HashPieces)(std::string_view message, const std::vector<std::size_t>& cuts);
};

extern const TEngineUnderTest MD5UnderTest;
extern const TEngineUnderTest SHA1UnderTest;
extern const TEngineUnderTest SHA256UnderTest;

// Checks every vector of DigestVectors() fed in all the ways above.
void CheckVectorsAllWays(const TEngineUnderTest& engine);
