// The seam between a hash in progress and whoever waits for it: the hashing code reports the
// bytes it has read and asks whether to go on, once per chunk, on the thread that reads the
// input: the thread that hashes, or the one that reads ahead for it (a file larger than one
// chunk), never two at once. The digest engines and the reader never see it: TObservedStream
// (HashProgress.h) calls it around every read of the stream it wraps.
#pragma once

#include <cstdint>

class THashObserver {
public:
    virtual ~THashObserver() = default;

    // bytesDone bytes of the input are hashed so far, of bytesTotal (-1 when the size is not
    // known in advance, as for pseudo-files). Called after every chunk on the reading thread;
    // keep it cheap and never block in it.
    virtual void BytesHashed(std::int64_t bytesDone, std::int64_t bytesTotal) = 0;

    // True once the waiting side wants the hash stopped; checked before every chunk. A stopped
    // hash gives no digest.
    virtual bool CancelRequested() const = 0;

protected:
    THashObserver() = default;
    THashObserver(const THashObserver&) = default;
    THashObserver& operator=(const THashObserver&) = default;
};
