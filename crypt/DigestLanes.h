// MD5, SHA-1 and SHA-256 of many whole messages at once, compressed side by side in the
// processor's vector lanes: 16 with AVX-512, 8 with AVX2 (MD5 and SHA-1 only). Each lane takes one message from its
// first block to its padding; a lane whose message has ended takes the next message, so messages of different lengths
// keep the lanes busy. The digests are those of the one-stream engines (Md5.h, Sha1.h, Sha256.h).
//
// The path is chosen at run time: the widest this processor and system support. On the portable
// path, and on other processors, the messages go one after another through the one-stream
// engines. The lanes pay off for messages of a few blocks to some hundred KiB hashed in groups of
// at least LaneCount(); a single large message is faster through the one-stream engine.
//
// SHA-256 has lanes only on the AVX-512 path, where sixteen lanes outrun one stream on the SHA
// instructions; on the other paths SHA256Many feeds the one-stream engine.
#pragma once

#include "crypt/Md5.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"

#include <cstddef>
#include <cstdint>
#include <span>

enum class TLanePath {
    Portable, // the one-stream engines, one message after another
    AVX2,     // eight messages in 256-bit vectors
    AVX512,   // sixteen messages in 512-bit vectors (AVX-512F with VL)
};

// True when this processor can run path (Portable always can).
bool LanePathSupported(TLanePath path);

// The widest path this processor supports.
TLanePath BestLanePath();

// The path MD5Many, SHA1Many and SHA256Many use now: BestLanePath() unless UseLanePath chose
// another.
TLanePath ActiveLanePath();

// Makes every later MD5Many, SHA1Many and SHA256Many of the process use path; tests and
// benchmarks use it to compare the paths. Returns false and changes nothing for a path this processor cannot run.
bool UseLanePath(TLanePath path);

// How many messages the active path compresses side by side: 1, 8 or 16. A caller that hands
// over at least this many messages per call keeps every lane busy until the last ones end.
std::size_t LaneCount();

// How many messages SHA256Many compresses side by side: 16 on the AVX-512 path, else 1.
std::size_t SHA256LaneCount();

using TLaneMessage = std::span<const std::uint8_t>;

// Writes the digest of messages[i] to digests[i] for every i below the smaller of the two
// sizes; digests beyond messages.size() are left as they are. A message may be empty or of any
// length, and several may be the same bytes. Only each message's own bytes are read.
void MD5Many(std::span<const TLaneMessage> messages, std::span<TMD5Digest> digests);
void SHA1Many(std::span<const TLaneMessage> messages, std::span<TSHA1Digest> digests);
void SHA256Many(std::span<const TLaneMessage> messages, std::span<TSHA256Digest> digests);
