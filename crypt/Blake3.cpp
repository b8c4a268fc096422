#include "crypt/Blake3.h"

#include "crypt/Blake3Compress.h"
#include "crypt/ByteOrder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Subtrees up to this many chunks are hashed level by level in one buffer of chaining values,
// so that every level, parents included, goes through BLAKE3HashMany many at a time.
constexpr std::uint64_t LevelChunks = 64;

TBLAKE3ChainingValue LoadCV(const std::uint8_t* bytes) {
    TBLAKE3ChainingValue cv;
    for (int i = 0; i < 8; ++i)
        cv[i] = LoadLE32(bytes + 4 * i);
    return cv;
}

void StoreCV(std::uint8_t* bytes, const TBLAKE3ChainingValue& cv) {
    for (int i = 0; i < 8; ++i)
        StoreLE32(bytes + 4 * i, cv[i]);
}

TBLAKE3ChainingValue FirstEight(const std::array<std::uint32_t, 16>& words) {
    TBLAKE3ChainingValue cv;
    std::copy_n(words.begin(), 8, cv.begin());
    return cv;
}

// The last compression of a node, kept open so that it can run as the root or not.
struct TNodeOutput {
    TBLAKE3ChainingValue CV;
    std::array<std::uint8_t, 64> Block;
    std::uint32_t BlockLength;
    std::uint64_t Counter;
    std::uint8_t Flags;
};

TNodeOutput ParentOutput(const TBLAKE3ChainingValue& left, const TBLAKE3ChainingValue& right) {
    TNodeOutput output{BLAKE3IV, {}, BLAKE3BlockLength, 0, BLAKE3Parent};
    StoreCV(output.Block.data(), left);
    StoreCV(output.Block.data() + 32, right);
    return output;
}

TBLAKE3ChainingValue OutputCV(const TNodeOutput& output) {
    return FirstEight(BLAKE3Compress(output.CV, output.Block.data(), output.BlockLength, output.Counter, output.Flags));
}

std::int32_t ChunkLength(const TBLAKE3Context& context) {
    return context.BlocksCompressed * static_cast<std::int32_t>(BLAKE3BlockLength) + context.BlockFill;
}

void StartChunk(TBLAKE3Context& context, std::uint64_t counter) {
    context.ChunkCV = BLAKE3IV;
    context.ChunkCounter = counter;
    context.BlockFill = 0;
    context.BlocksCompressed = 0;
}

std::uint8_t ChunkStartFlag(const TBLAKE3Context& context) {
    return context.BlocksCompressed == 0 ? BLAKE3ChunkStart : 0;
}

// Adds up to a whole chunk's worth of bytes to the chunk being fed. A full block stays in Block
// until a byte after it arrives, since the chunk's last block is compressed differently.
void ChunkUpdate(TBLAKE3Context& context, const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        if (context.BlockFill == static_cast<std::int32_t>(BLAKE3BlockLength)) {
            context.ChunkCV = FirstEight(BLAKE3Compress(context.ChunkCV, context.Block.data(), BLAKE3BlockLength,
                                                        context.ChunkCounter, ChunkStartFlag(context)));
            ++context.BlocksCompressed;
            context.BlockFill = 0;
        }
        const std::size_t take = std::min(BLAKE3BlockLength - static_cast<std::size_t>(context.BlockFill), count);
        std::memcpy(context.Block.data() + context.BlockFill, data, take);
        context.BlockFill += static_cast<std::int32_t>(take);
        data += take;
        count -= take;
    }
}

// The chunk's last block is padded with zeros; Block still holds bytes of the block before.
TNodeOutput ChunkOutput(const TBLAKE3Context& context) {
    TNodeOutput output{context.ChunkCV,
                       {},
                       static_cast<std::uint32_t>(context.BlockFill),
                       context.ChunkCounter,
                       static_cast<std::uint8_t>(ChunkStartFlag(context) | BLAKE3ChunkEnd)};
    std::copy_n(context.Block.begin(), context.BlockFill, output.Block.begin());
    return output;
}

// Joins the finished subtrees on the stack until it holds one per set bit of totalChunks, the
// number of chunks left of the next one pushed: equal subtrees merge only once it is known that
// more of the message follows them, so none of them can be the root.
void MergeStack(TBLAKE3Context& context, std::uint64_t totalChunks) {
    const int keep = std::popcount(totalChunks);
    while (context.StackSize > keep) {
        context.Stack[context.StackSize - 2] =
            BLAKE3ParentCV(context.Stack[context.StackSize - 2], context.Stack[context.StackSize - 1]);
        --context.StackSize;
    }
}

void PushCV(TBLAKE3Context& context, const TBLAKE3ChainingValue& cv, std::uint64_t firstChunk) {
    MergeStack(context, firstChunk);
    context.Stack[context.StackSize++] = cv;
}

// Hashes a subtree of at most LevelChunks chunks level by level until keep chaining values
// (1 or 2) are left, at cvs.
void HashLevels(const std::uint8_t* data, std::uint64_t chunks, std::uint64_t firstChunk, std::uint64_t keep,
                std::uint8_t* cvs) {
    BLAKE3HashMany(data, BLAKE3ChunkLength, chunks, BLAKE3BlocksPerChunk, firstChunk, true, 0, BLAKE3ChunkStart,
                   BLAKE3ChunkEnd, cvs);
    // Each parent block is two neighbouring chaining values, so a level's parents read the level
    // below in place and write over its front half.
    for (; chunks > keep; chunks /= 2)
        BLAKE3HashMany(cvs, 2 * 32, chunks / 2, 1, 0, false, BLAKE3Parent, 0, 0, cvs);
}

// Both halves of a small subtree go through one pass over its chunks, so that a few chunks still
// fill the vector lanes.
void SerialHalves(void*, const std::uint8_t* data, std::uint64_t chunks, std::uint64_t firstChunk,
                  TBLAKE3ChainingValue& left, TBLAKE3ChainingValue& right) {
    const std::uint64_t half = chunks / 2;
    if (chunks <= LevelChunks) {
        std::array<std::uint8_t, 32 * LevelChunks> cvs;
        HashLevels(data, chunks, firstChunk, 2, cvs.data());
        left = LoadCV(cvs.data());
        right = LoadCV(cvs.data() + 32);
        return;
    }
    left = BLAKE3SubtreeCV(data, half, firstChunk);
    right = BLAKE3SubtreeCV(data + half * BLAKE3ChunkLength, half, firstChunk + half);
}

} // namespace

void BLAKE3Init(TBLAKE3Context& context) {
    context = TBLAKE3Context{};
    StartChunk(context, 0);
}

TBLAKE3ChainingValue BLAKE3SubtreeCV(const std::uint8_t* data, std::uint64_t chunks, std::uint64_t firstChunk) {
    if (chunks <= LevelChunks) {
        std::array<std::uint8_t, 32 * LevelChunks> cvs;
        HashLevels(data, chunks, firstChunk, 1, cvs.data());
        return LoadCV(cvs.data());
    }
    TBLAKE3ChainingValue left, right;
    SerialHalves(nullptr, data, chunks, firstChunk, left, right);
    return BLAKE3ParentCV(left, right);
}

TBLAKE3ChainingValue BLAKE3ParentCV(const TBLAKE3ChainingValue& left, const TBLAKE3ChainingValue& right) {
    return OutputCV(ParentOutput(left, right));
}

void BLAKE3Update(TBLAKE3Context& context, const void* data, std::size_t count) {
    BLAKE3UpdateSplit(context, data, count, SerialHalves, nullptr);
}

void BLAKE3UpdateSplit(TBLAKE3Context& context, const void* data, std::size_t count, TBLAKE3HalvesHasher hashHalves,
                       void* state) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    // Finish the chunk begun by an earlier update; it is not the root once a byte follows it.
    if (ChunkLength(context) > 0) {
        const std::size_t take = std::min(BLAKE3ChunkLength - static_cast<std::size_t>(ChunkLength(context)), count);
        ChunkUpdate(context, bytes, take);
        bytes += take;
        count -= take;
        if (count == 0)
            return;
        PushCV(context, OutputCV(ChunkOutput(context)), context.ChunkCounter);
        StartChunk(context, context.ChunkCounter + 1);
    }
    // Whole subtrees while more than a chunk is left: the largest power of two of chunks that
    // fits and starts on a multiple of its own size. The last chunk stays in the context, for
    // it may be the root; a subtree of two chunks or more goes onto the stack as its two halves
    // for the same reason.
    while (count > BLAKE3ChunkLength) {
        std::uint64_t chunks = std::bit_floor(count) / BLAKE3ChunkLength;
        while ((context.ChunkCounter & (chunks - 1)) != 0)
            chunks /= 2;
        const std::uint64_t first = context.ChunkCounter;
        if (chunks == 1) {
            PushCV(context, BLAKE3SubtreeCV(bytes, 1, first), first);
        } else {
            TBLAKE3ChainingValue left, right;
            hashHalves(state, bytes, chunks, first, left, right);
            PushCV(context, left, first);
            PushCV(context, right, first + chunks / 2);
        }
        context.ChunkCounter += chunks;
        bytes += chunks * BLAKE3ChunkLength;
        count -= chunks * BLAKE3ChunkLength;
    }
    if (count > 0) {
        ChunkUpdate(context, bytes, count);
        MergeStack(context, context.ChunkCounter);
    }
}

TBLAKE3Digest BLAKE3Final(TBLAKE3Context& context) {
    // With bytes in the chunk, that chunk joins every subtree on the stack (the last update
    // left no equal pair there); without, the top two entries of the stack are the last join.
    TNodeOutput output;
    std::int32_t remaining = context.StackSize;
    if (ChunkLength(context) > 0 || remaining == 0) {
        output = ChunkOutput(context);
    } else {
        output = ParentOutput(context.Stack[remaining - 2], context.Stack[remaining - 1]);
        remaining -= 2;
    }
    while (remaining > 0) {
        --remaining;
        output = ParentOutput(context.Stack[remaining], OutputCV(output));
    }
    const std::array<std::uint32_t, 16> root =
        BLAKE3Compress(output.CV, output.Block.data(), output.BlockLength, output.Counter,
                       static_cast<std::uint8_t>(output.Flags | BLAKE3Root));
    TBLAKE3Digest digest;
    for (int i = 0; i < 8; ++i)
        StoreLE32(digest.data() + 4 * i, root[i]);
    BLAKE3Init(context);
    return digest;
}
