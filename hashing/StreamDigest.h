// The digest of a stream read to its end, with reading overlapped with hashing.
//
// Reading goes on until the stream delivers no more bytes, so pseudo-files whose reported size
// is not their content (procfs, sysfs) give the digest of what reading yields. The stream's
// size is asked before and after: when it differs, or the stream's CheckUnchanged throws (a file
// written meanwhile), the stream changed while it was read and the result is an EReadError,
// never a digest of partial or mixed data.
//
// Chunks are at most 4 MiB, the largest piece the engines are fed at once. A stream larger than
// one chunk is read by a second thread into one buffer while the calling thread hashes the
// other, so on two cores the copy out of the page cache costs no wall time. The stream is then
// used by that thread alone until the call returns.
#pragma once

#include "crypt/HashStream.h"
#include "crypt/Stream.h"
#include "hashing/HashObserver.h"
#include "hashing/HashProgress.h"

#include <cstdint>
#include <memory>
#include <string>

class TStreamDigester {
public:
    static constexpr std::int64_t MaxChunk = 4 * 1024 * 1024;

    // chunk is clamped to 64 bytes .. MaxChunk and rounded down to whole 64-byte blocks. The
    // buffers (two of chunk bytes at most, fewer for small streams) are kept for later calls.
    explicit TStreamDigester(std::int64_t chunk = MaxChunk);
    ~TStreamDigester();
    TStreamDigester(const TStreamDigester&) = delete;
    TStreamDigester& operator=(const TStreamDigester&) = delete;

    // The lower-case hexadecimal digest of the bytes from the stream's position to its end.
    // observer (may be null) is asked CancelRequested before every chunk and told BytesHashed
    // after it; the total given is the size asked on entry, or -1 once more bytes than that
    // have come. Throws what the stream throws, EReadError when the size changed,
    // EHashCancelled, std::bad_alloc; the second thread has always ended when it returns.
    std::string Digest(THashAlgorithm algorithm, TStream& stream, THashObserver* observer = nullptr);

private:
    struct TBuffers;
    std::int64_t m_chunk;
    std::unique_ptr<TBuffers> m_buffers;
};
