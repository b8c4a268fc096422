// Feeding a message to an engine in every way that matters: whole, byte by byte, split in two
// at every offset and in seeded random pieces. All ways must give the same, expected digest.
#pragma once

#include "tests/crypt/DigestVectors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Hashes message fed as consecutive pieces ending at the ascending offsets in cuts (the last
// piece runs to the end), with a fresh context, and returns the digest as text.
using THashPieces = std::string (*)(std::string_view message, const std::vector<std::size_t>& cuts);

struct TEngineUnderTest {
    const char* Name;
    std::string TDigestVector::*Expected;
    THashPieces HashPieces;
};

extern const TEngineUnderTest MD5UnderTest;
extern const TEngineUnderTest SHA1UnderTest;
extern const TEngineUnderTest SHA256UnderTest;

// A message with the digest an engine must give for it.
struct TKnownAnswer {
    std::string Name;
    std::string Message;
    std::string Expected;
};

// size seeded pseudo-random bytes: the same seed gives the same bytes.
std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed);

// The BLAKE3 digest of bytes fed whole to the serial engine, as text.
std::string BLAKE3WholeHex(const std::vector<std::uint8_t>& bytes);

// BLAKE3 fed in pieces, as THashPieces describes.
std::string BLAKE3Pieces(std::string_view message, const std::vector<std::size_t>& cuts);

// Checks every vector of DigestVectors() fed in all the ways above.
void CheckVectorsAllWays(const TEngineUnderTest& engine);

// Checks each answer fed in all the ways above; messages up to everyOffsetUpTo bytes are split
// at every offset, longer ones around the edges of blocks and chunks.
void CheckAnswersAllWays(const char* engineName, THashPieces hashPieces, const std::vector<TKnownAnswer>& answers,
                         std::size_t everyOffsetUpTo = 1024);
