#include "crypt/DigestLanes.h"

#include "crypt/ByteOrder.h"
#include "crypt/CpuFeatures.h"
#include "crypt/DigestLanesSimd.h"
#include "crypt/DigestPath.h"
#include "crypt/Md5Constants.h"
#include "crypt/Sha1Constants.h"
#include "crypt/Sha256.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <limits>

namespace {

std::atomic<TLanePath>& ActivePath() {
    static std::atomic<TLanePath> path{BestLanePath()};
    return path;
}

// The one-stream engines take a bounded count per update; a message is fed in pieces below it.
constexpr std::size_t PieceSize = std::size_t{1} << 30;

TMD5Digest MD5Finish(TMD5Context& context, TLaneMessage rest) {
    for (std::size_t at = 0; at < rest.size(); at += PieceSize)
        MD5Update(context, rest.data() + at, static_cast<std::uint32_t>(std::min(PieceSize, rest.size() - at)));
    return MD5Final(context);
}

TSHA1Digest SHA1Finish(TSHAContext& context, TLaneMessage rest) {
    for (std::size_t at = 0; at < rest.size(); at += PieceSize)
        SHA1Update(context, rest.data() + at, static_cast<std::int32_t>(std::min(PieceSize, rest.size() - at)));
    return SHA1Final(context);
}

TSHA256Digest SHA256Finish(TSHAContext& context, TLaneMessage rest) {
    for (std::size_t at = 0; at < rest.size(); at += PieceSize)
        SHA256Update(context, rest.data() + at, static_cast<std::int32_t>(std::min(PieceSize, rest.size() - at)));
    return SHA256Final(context);
}

TMD5Digest MD5One(TLaneMessage message) {
    TMD5Context context;
    MD5Init(context);
    return MD5Finish(context, message);
}

TSHA1Digest SHA1One(TLaneMessage message) {
    TSHAContext context;
    SHA1Init(context);
    return SHA1Finish(context, message);
}

TSHA256Digest SHA256One(TLaneMessage message) {
    TSHAContext context;
    SHA256Init(context);
    return SHA256Finish(context, message);
}

// The lane machinery exists only where the build has vector paths.
#if defined(QUVIRO_VECTOR_PATHS)

// A lane's message finished on the one-stream engine: words is the chaining value after the
// first done bytes (whole blocks), rest the bytes after them.
void MD5FinishFromLane(const std::uint32_t* words, std::uint64_t done, TLaneMessage rest, std::uint8_t* digest) {
    TMD5Context context;
    MD5Init(context);
    std::copy(words, words + 4, context.State.begin());
    context.ByteCountLo = static_cast<std::uint32_t>(done);
    context.ByteCountHi = static_cast<std::uint32_t>(done >> 32);
    const TMD5Digest result = MD5Finish(context, rest);
    std::memcpy(digest, result.data(), result.size());
}

void SHA1FinishFromLane(const std::uint32_t* words, std::uint64_t done, TLaneMessage rest, std::uint8_t* digest) {
    TSHAContext context;
    SHA1Init(context);
    std::copy(words, words + 5, context.State.begin());
    context.BitCountLo = static_cast<std::uint32_t>(done << 3);
    context.BitCountHi = static_cast<std::uint32_t>(done >> 29);
    const TSHA1Digest result = SHA1Finish(context, rest);
    std::memcpy(digest, result.data(), result.size());
}

void SHA256FinishFromLane(const std::uint32_t* words, std::uint64_t done, TLaneMessage rest, std::uint8_t* digest) {
    TSHAContext context;
    SHA256Init(context);
    std::copy(words, words + 8, context.State.begin());
    context.BitCountLo = static_cast<std::uint32_t>(done << 3);
    context.BitCountHi = static_cast<std::uint32_t>(done >> 29);
    const TSHA256Digest result = SHA256Finish(context, rest);
    std::memcpy(digest, result.data(), result.size());
}

// What the lane scheduler needs to know of an algorithm beyond its compression function.
struct TLaneAlgorithm {
    int Words;               // chaining words: 4 for MD5, 5 for SHA-1, 8 for SHA-256
    const std::uint32_t* H0; // initial chaining value
    bool BigEndian;          // byte order of the length field and of the digest's words
    void (*FinishFromLane)(const std::uint32_t* words, std::uint64_t done, TLaneMessage rest, std::uint8_t* digest);
};

constexpr TLaneAlgorithm MD5Lanes = {4, MD5H0.data(), false, MD5FinishFromLane};
constexpr TLaneAlgorithm SHA1Lanes = {5, SHA1H0.data(), true, SHA1FinishFromLane};
constexpr TLaneAlgorithm SHA256Lanes = {8, SHA256H0.data(), true, SHA256FinishFromLane};
constexpr int MostWords = 8;

// How many busy lanes of eight (twice as many of sixteen) finish on the one-stream engine, from
// lanes_bench: an MD5 lane runs at about a third of the one-stream engine's speed, a SHA-1 lane at
// about a quarter of the SHA instructions' and twice the portable code's.
constexpr int MD5HandOff = 1;
constexpr int SHA1HandOffWithShaExtensions = 2;
// Of sixteen SHA-256 lanes: one lane runs at about a sixth of the SHA instructions' speed (0.24
// against 1.45 GB/s), so six busy lanes are about one stream; the mixed batch of lanes_bench runs
// a little faster with 6 than with 0.
constexpr int SHA256HandOffWithShaExtensions = 6;

using TLaneCompress = void (*)(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks);

// One lane's message: its whole blocks where they lie, then its last bytes with the padding
// (0x80, zeros, the 64-bit bit count) in Tail, one block or two.
struct TLane {
    static constexpr std::size_t Idle = std::numeric_limits<std::size_t>::max();
    std::size_t Message = Idle; // index of the message in the lane
    TLaneMessage Bytes;
    const std::uint8_t* Next = nullptr;
    std::size_t Blocks = 0; // blocks left from Next on: whole blocks of the message, then the tail
    bool InTail = false;
    std::size_t TailBlocks = 0;
    std::array<std::uint8_t, 128> Tail;
};

void StartMessage(const TLaneAlgorithm& algorithm, TLane& lane, const TLaneMessage& message) {
    lane.Bytes = message;
    const std::size_t whole = message.size() / 64;
    const std::size_t rest = message.size() % 64;
    lane.TailBlocks = rest < 56 ? 1 : 2;
    const std::size_t tailSize = 64 * lane.TailBlocks;
    if (rest > 0)
        std::memcpy(lane.Tail.data(), message.data() + 64 * whole, rest);
    lane.Tail[rest] = 0x80;
    std::memset(lane.Tail.data() + rest + 1, 0, tailSize - 8 - rest - 1);
    const std::uint64_t bits = static_cast<std::uint64_t>(message.size()) << 3;
    if (algorithm.BigEndian)
        StoreBE64(lane.Tail.data() + tailSize - 8, bits);
    else
        StoreLE64(lane.Tail.data() + tailSize - 8, bits);
    lane.InTail = whole == 0;
    lane.Next = lane.InTail ? lane.Tail.data() : message.data();
    lane.Blocks = lane.InTail ? lane.TailBlocks : whole;
}

// Hashes every message on N lanes and writes digest i, digestSize bytes, at digests + i * digestSize.
// One lane runs slower than the one-stream engine, so once no message waits and no more than
// handOff lanes are busy, those still in their whole blocks finish on the one-stream engine.
template <int N>
void HashOnLanes(const TLaneAlgorithm& algorithm, TLaneCompress compress, std::span<const TLaneMessage> messages,
                 std::uint8_t* digests, std::size_t digestSize, int handOff) {
    std::uint32_t state[MostWords * N];
    std::array<TLane, N> lanes;
    std::size_t next = 0;
    const auto refill = [&](int l) {
        TLane& lane = lanes[l];
        if (next == messages.size()) {
            lane.Message = TLane::Idle;
            return;
        }
        lane.Message = next;
        StartMessage(algorithm, lane, messages[next++]);
        for (int i = 0; i < algorithm.Words; ++i)
            state[i * N + l] = algorithm.H0[i];
    };
    for (int l = 0; l < N; ++l)
        refill(l);
    for (;;) {
        const auto busyLanes =
            std::count_if(lanes.begin(), lanes.end(), [](const TLane& lane) { return lane.Message != TLane::Idle; });
        if (next == messages.size() && busyLanes <= handOff)
            for (int l = 0; l < N; ++l) {
                TLane& lane = lanes[l];
                if (lane.Message == TLane::Idle || lane.InTail)
                    continue;
                std::uint32_t words[MostWords];
                for (int i = 0; i < algorithm.Words; ++i)
                    words[i] = state[i * N + l];
                const std::size_t done = static_cast<std::size_t>(lane.Next - lane.Bytes.data());
                algorithm.FinishFromLane(words, done, lane.Bytes.subspan(done), digests + lane.Message * digestSize);
                lane.Message = TLane::Idle;
            }
        // Every lane compresses as many blocks as the shortest run has left; an idle lane reads
        // a busy lane's blocks, so it reads only memory that is there, and its result is dropped.
        std::size_t run = std::numeric_limits<std::size_t>::max();
        const std::uint8_t* busy = nullptr;
        for (const TLane& lane : lanes)
            if (lane.Message != TLane::Idle) {
                run = std::min(run, lane.Blocks);
                busy = lane.Next;
            }
        if (busy == nullptr)
            return;
        const std::uint8_t* data[N];
        for (int l = 0; l < N; ++l)
            data[l] = lanes[l].Message != TLane::Idle ? lanes[l].Next : busy;
        compress(state, data, run);
        for (int l = 0; l < N; ++l) {
            TLane& lane = lanes[l];
            if (lane.Message == TLane::Idle)
                continue;
            lane.Next += 64 * run;
            lane.Blocks -= run;
            if (lane.Blocks > 0)
                continue;
            if (!lane.InTail) {
                lane.InTail = true;
                lane.Next = lane.Tail.data();
                lane.Blocks = lane.TailBlocks;
                continue;
            }
            std::uint8_t* digest = digests + lane.Message * digestSize;
            for (int i = 0; i < algorithm.Words; ++i)
                if (algorithm.BigEndian)
                    StoreBE32(digest + 4 * i, state[i * N + l]);
                else
                    StoreLE32(digest + 4 * i, state[i * N + l]);
            refill(l);
        }
    }
}
#endif

} // namespace

bool LanePathSupported(TLanePath path) {
    if (path == TLanePath::Portable)
        return true;
#if defined(QUVIRO_VECTOR_PATHS)
    const TCpuFeatures& features = ProcessorFeatures();
    switch (path) {
    case TLanePath::AVX2:
        return features.AVX2;
    case TLanePath::AVX512:
        return features.AVX512F;
    case TLanePath::Portable:
        break;
    }
#endif
    return false;
}

TLanePath BestLanePath() {
    for (TLanePath path : {TLanePath::AVX512, TLanePath::AVX2})
        if (LanePathSupported(path))
            return path;
    return TLanePath::Portable;
}

TLanePath ActiveLanePath() {
    return ActivePath().load(std::memory_order_relaxed);
}

bool UseLanePath(TLanePath path) {
    if (!LanePathSupported(path))
        return false;
    ActivePath().store(path, std::memory_order_relaxed);
    return true;
}

std::size_t LaneCount() {
    switch (ActiveLanePath()) {
    case TLanePath::AVX2:
        return 8;
    case TLanePath::AVX512:
        return 16;
    case TLanePath::Portable:
        break;
    }
    return 1;
}

std::size_t SHA256LaneCount() {
    return ActiveLanePath() == TLanePath::AVX512 ? 16 : 1;
}

void MD5Many(std::span<const TLaneMessage> messages, std::span<TMD5Digest> digests) {
    messages = messages.first(std::min(messages.size(), digests.size()));
    static_assert(sizeof(TMD5Digest) == 16);
#if defined(QUVIRO_VECTOR_PATHS)
    auto* out = reinterpret_cast<std::uint8_t*>(digests.data());
    switch (ActiveLanePath()) {
    case TLanePath::AVX2:
        return HashOnLanes<8>(MD5Lanes, MD5CompressAvx2, messages, out, sizeof(TMD5Digest), MD5HandOff);
    case TLanePath::AVX512:
        return HashOnLanes<16>(MD5Lanes, MD5CompressAvx512, messages, out, sizeof(TMD5Digest), 2 * MD5HandOff);
    case TLanePath::Portable:
        break;
    }
#endif
    for (std::size_t i = 0; i < messages.size(); ++i)
        digests[i] = MD5One(messages[i]);
}

void SHA1Many(std::span<const TLaneMessage> messages, std::span<TSHA1Digest> digests) {
    messages = messages.first(std::min(messages.size(), digests.size()));
    static_assert(sizeof(TSHA1Digest) == 20);
#if defined(QUVIRO_VECTOR_PATHS)
    auto* out = reinterpret_cast<std::uint8_t*>(digests.data());
    const int sha1HandOff = ActiveDigestPath() == TDigestPath::ShaExtensions ? SHA1HandOffWithShaExtensions : 0;
    switch (ActiveLanePath()) {
    case TLanePath::AVX2:
        return HashOnLanes<8>(SHA1Lanes, SHA1CompressAvx2, messages, out, sizeof(TSHA1Digest), sha1HandOff);
    case TLanePath::AVX512:
        return HashOnLanes<16>(SHA1Lanes, SHA1CompressAvx512, messages, out, sizeof(TSHA1Digest), 2 * sha1HandOff);
    case TLanePath::Portable:
        break;
    }
#endif
    for (std::size_t i = 0; i < messages.size(); ++i)
        digests[i] = SHA1One(messages[i]);
}

void SHA256Many(std::span<const TLaneMessage> messages, std::span<TSHA256Digest> digests) {
    messages = messages.first(std::min(messages.size(), digests.size()));
    static_assert(sizeof(TSHA256Digest) == 32);
#if defined(QUVIRO_VECTOR_PATHS)
    if (SHA256LaneCount() == 16) {
        const int handOff = ActiveDigestPath() == TDigestPath::ShaExtensions ? SHA256HandOffWithShaExtensions : 0;
        return HashOnLanes<16>(SHA256Lanes, SHA256CompressAvx512, messages,
                               reinterpret_cast<std::uint8_t*>(digests.data()), sizeof(TSHA256Digest), handOff);
    }
#endif
    for (std::size_t i = 0; i < messages.size(); ++i)
        digests[i] = SHA256One(messages[i]);
}
