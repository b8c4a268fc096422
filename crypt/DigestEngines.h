// The makers of every algorithm's engine, named in the algorithm table. Each returns a new engine
// at its initial state and throws std::bad_alloc, or std::runtime_error when the library behind
// the engine refuses.
#pragma once

#include "crypt/DigestEngine.h"

#include <memory>

// The project's own engines.
std::unique_ptr<TDigestEngine> MakeMD5Engine();
std::unique_ptr<TDigestEngine> MakeSHA1Engine();
std::unique_ptr<TDigestEngine> MakeSHA256Engine();
// BLAKE3 on the calling thread; the file reader hashes a large file's tree on several threads
// with hashing/Blake3Parallel.h instead.
std::unique_ptr<TDigestEngine> MakeBLAKE3Engine();

// libcrypto's SHA-2, SHA-3 and BLAKE2 engines (BLAKE2 unkeyed, full length: twice as fast here
// as libb2's, docs/PERFORMANCE.md) are made by crypt/EvpEngine.h from the row's libcrypto name.

// CRC-32 of the IEEE polynomial; the digest is the value big-endian, as SFV lists write it.
std::unique_ptr<TDigestEngine> MakeCRC32Engine();

// libxxhash's XXH3; the digests in canonical (big-endian) form, as xxhsum prints them.
std::unique_ptr<TDigestEngine> MakeXXH3_64Engine();
std::unique_ptr<TDigestEngine> MakeXXH3_128Engine();
// libxxhash's XXH64 and XXH32, seed 0, canonical form: xxhsum's default (-H1) and -H0 digests.
std::unique_ptr<TDigestEngine> MakeXXH64Engine();
std::unique_ptr<TDigestEngine> MakeXXH32Engine();
