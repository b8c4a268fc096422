// BLAKE3 in hash mode with the default 32-byte output.
//
// Use: BLAKE3Init, any number of BLAKE3Update, BLAKE3Final. Final leaves the context as Init does,
// so the same context can take the next message at once.
//
// The message is a tree: 1024-byte chunks are its leaves, and each parent joins the chaining
// values of two subtrees, the left one holding the largest power of two of chunks that leaves
// the right one at least one byte. Whole subtrees can therefore be hashed apart, on any thread,
// and handed to the context: BLAKE3SubtreeCV and BLAKE3ParentCV are the pure pieces, and
// BLAKE3UpdateSplit lets its caller hash the large subtrees of an update where it likes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t BLAKE3BlockLength = 64;
inline constexpr std::size_t BLAKE3ChunkLength = 1024;

using TBLAKE3ChainingValue = std::array<std::uint32_t, 8>;
using TBLAKE3Digest = std::array<std::uint8_t, 32>;

// One BLAKE3 computation. A plain value record owned by its caller.
struct TBLAKE3Context {
    TBLAKE3ChainingValue ChunkCV;       // chaining value of the chunk being fed, after its compressed blocks
    std::uint64_t ChunkCounter;         // index of that chunk in the message
    std::array<std::uint8_t, 64> Block; // the chunk's bytes not yet compressed; Block[0 .. BlockFill-1] count
    std::int32_t BlockFill;             // 0 to 64: a full block waits until more of the message follows
    std::int32_t BlocksCompressed;      // blocks of this chunk already in ChunkCV, 0 to 15
    std::int32_t StackSize;             // entries of Stack in use
    // Chaining values of the finished subtrees left of the chunk being fed, largest first; one
    // per level of a message of up to 2^64 bytes.
    std::array<TBLAKE3ChainingValue, 54> Stack;
};

// Zeroes the whole context and begins a message.
void BLAKE3Init(TBLAKE3Context& context);

// Feeds count bytes from data. Runs of whole chunks are hashed where they lie, many at a time
// on the path ActiveBLAKE3Path() names (Blake3Path.h).
void BLAKE3Update(TBLAKE3Context& context, const void* data, std::size_t count);

// Completes the message and returns its digest; the context is begun anew.
TBLAKE3Digest BLAKE3Final(TBLAKE3Context& context);

// The chaining value of the subtree of chunks whole chunks at data, whose first chunk is chunk
// number firstChunk of the message. chunks is a power of two and firstChunk a multiple of it,
// and the subtree is not the whole message (that one's value is the digest, from Final).
TBLAKE3ChainingValue BLAKE3SubtreeCV(const std::uint8_t* data, std::uint64_t chunks, std::uint64_t firstChunk);

// The chaining value of the parent of two subtrees, given theirs; never the root.
TBLAKE3ChainingValue BLAKE3ParentCV(const TBLAKE3ChainingValue& left, const TBLAKE3ChainingValue& right);

// Hashes the two halves of the subtree of chunks whole chunks (a power of two, at least 2) at
// data, whose first chunk is chunk number firstChunk, into left and right, as
// BLAKE3SubtreeCV(data, chunks / 2, firstChunk) and the same for the second half would.
// state is what the caller passed to BLAKE3UpdateSplit.
using TBLAKE3HalvesHasher = void (*)(void* state, const std::uint8_t* data, std::uint64_t chunks,
                                     std::uint64_t firstChunk, TBLAKE3ChainingValue& left, TBLAKE3ChainingValue& right);

// BLAKE3Update, with the subtrees of two chunks or more that the update hashes whole handed to
// hashHalves. A message hashed by BLAKE3Update in the same pieces gives the same digest.
void BLAKE3UpdateSplit(TBLAKE3Context& context, const void* data, std::size_t count, TBLAKE3HalvesHasher hashHalves,
                       void* state);
