// The one file reader: the digests of a stream read to its end, with reading overlapped with
// hashing. Every file digest of the program goes through it.
//
// Reading goes on until the stream delivers no more bytes, so pseudo-files whose reported size
// is not their content (procfs, sysfs) give the digest of what reading yields. After the end
// the stream's CheckUnchanged is asked: a file written meanwhile (its size, modification or
// status-change time differs) gives an EReadError, never a digest of partial or mixed data.
//
// Progress and cancel come from the stream itself: wrap it in a TObservedStream
// (HashProgress.h), whose observer is then called on the thread that reads.
//
// Chunks are CacheChunk (1 MiB) unless asked otherwise, and at most MaxChunk (4 MiB), the largest
// piece the engines are fed at once. A stream larger than
// one chunk is read by a second thread into one buffer while the calling thread hashes the
// other, so on two cores the copy out of the page cache costs no wall time. The stream is then
// used by that thread alone until the call returns. Several algorithms are computed in the same
// read, each on a thread of its own, so the wall time is the slowest one's, not the sum. BLAKE3
// of a stream larger than one chunk of MaxChunk is hashed on several threads as well, its tree's
// subtrees shared out (hashing/Blake3Parallel.h); smaller streams, or reads in smaller chunks,
// are hashed on one thread, so they pay for no thread starts. A thread that cannot be started
// costs speed only: its work is done on the calling thread.
//
// One algorithm whose row's engine is faster than the copy out of the page cache
// (TEngineSpeed::AboveCopy: CRC32, XXH3, XXH64, and BLAKE3 when its tree is hashed on one thread)
// is not read ahead: the calling thread reads PieceInCache at a time and hashes each piece while
// it is still in that core's cache, where a second thread would leave the engine waiting on the
// copy and on the bytes crossing between cores.
#pragma once

#include "crypt/HashAlgorithm.h"
#include "crypt/Stream.h"
#include "hashing/HashProgress.h"
#include "platform/Processors.h"
#include "platform/ThreadStart.h"

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class TStreamDigester {
public:
    static constexpr std::int64_t MaxChunk = 4 * 1024 * 1024;
    // The chunk that keeps a large read's two buffers near the processor's caches. The copy out
    // of the page cache and the hash that follows it on the other core then run from cache, not
    // from memory: the fast hashes (CRC32, XXH3), whose speed is the copy's, take about a tenth
    // less wall time than with MaxChunk, and the others take the same. Smaller chunks gain
    // nothing more and pay a hand-over between the threads per chunk.
    static constexpr std::int64_t CacheChunk = 1024 * 1024;
    // The piece a fast engine's own thread reads at a time (at most the chunk): small enough
    // to stay in the core's cache between the copy and the hash, large enough that the reads'
    // system calls cost little. 64 and 256 KiB measured no better.
    static constexpr std::int64_t PieceInCache = 128 * 1024;

    // chunk is clamped to 64 bytes .. MaxChunk and rounded down to whole 64-byte blocks. The
    // buffers (two of chunk bytes at most, fewer for small streams) are kept for later calls.
    // Threads are started through start. treeThreads is the most threads one BLAKE3 digest of a
    // large stream is hashed on (0 counts as 1), the calling thread included; with several
    // algorithms in one read, each other algorithm's thread counts against it.
    explicit TStreamDigester(std::int64_t chunk = CacheChunk, TStartThread start = StartThread,
                             unsigned treeThreads = ProcessorCount());
    ~TStreamDigester();
    TStreamDigester(const TStreamDigester&) = delete;
    TStreamDigester& operator=(const TStreamDigester&) = delete;

    // The lower-case hexadecimal digest of the bytes from the stream's position to its end.
    // Throws what the stream throws (EHashCancelled from a TObservedStream), EReadError when
    // the stream changed, std::bad_alloc; every thread it started has ended when it returns.
    std::string Digest(THashAlgorithm algorithm, TStream& stream);

    // The digests of the same bytes, one per algorithm in the order given (none for an empty
    // list, without reading), all from one read of the stream. Throws as above.
    std::vector<std::string> Digest(const std::vector<THashAlgorithm>& algorithms, TStream& stream);

private:
    struct TBuffers;
    std::int64_t m_chunk;
    std::unique_ptr<TBuffers> m_buffers;
    TStartThread m_start;
    unsigned m_treeThreads;
};
