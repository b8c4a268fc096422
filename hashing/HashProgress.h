// Progress and cancellation for a stream being hashed: a stream wrapper that tells an observer
// how far reading has come and stops reading once the observer asks for it. The digest engines
// read through it as through any stream, so they stay free of threads and callbacks.
#pragma once

#include "crypt/Stream.h"
#include "hashing/HashObserver.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

// Thrown by TObservedStream::Read when the observer asked to stop. Deliberately not an
// EStreamError: a stop is no read failure, and the pipeline turns it into a cancelled outcome.
class EHashCancelled : public std::runtime_error {
public:
    EHashCancelled() : std::runtime_error("Cancelled.") {}
};

// Reads through to inner and reports each read to observer: CancelRequested before the read
// (EHashCancelled when true), BytesHashed(position after the read, size) after it, size being
// inner's size at the first read, or -1 once reading has passed that size (a pseudo-file that
// reports 0 bytes, read to its end). The first read also reports the start position before it
// reads, so that the size is known while the first chunk is still on its way. Seeks, sizes and positions are inner's.
// The wrapper owns inner; observer stays the caller's and must outlive the wrapper.
class TObservedStream final : public TStream {
public:
    TObservedStream(std::unique_ptr<TStream> inner, THashObserver& observer);

    std::int64_t Size() const override;
    std::int64_t Position() const override;
    void Seek(std::int64_t offset) override;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    void CheckUnchanged() const override;

private:
    std::unique_ptr<TStream> m_inner;
    THashObserver& m_observer;
    std::optional<std::int64_t> m_total;
};

// An observer that keeps the latest counts in atomics for another thread to poll, and hands
// that thread's stop request to the hash. Lock-free: a few relaxed loads and stores a chunk.
class TProgressCounter final : public THashObserver {
public:
    void BytesHashed(std::int64_t bytesDone, std::int64_t bytesTotal) override;
    bool CancelRequested() const override;

    // Any thread.
    std::int64_t Done() const { return m_done.load(std::memory_order_relaxed); }
    // -1 until the first chunk is reported.
    std::int64_t Total() const { return m_total.load(std::memory_order_relaxed); }
    void Cancel() { m_cancel.store(true, std::memory_order_relaxed); }
    // Back to nothing done, no total, no stop; only while no hash reports to it.
    void Reset();

private:
    std::atomic<std::int64_t> m_done{0};
    std::atomic<std::int64_t> m_total{-1};
    std::atomic<bool> m_cancel{false};
};

// The progress of work over many files, hashed on several threads and shown by another: files
// and bytes done, and what there is to do when known. Lock-free, like TProgressCounter.
class TListProgress {
public:
    // Tells one file's read to the list: give it to that file's TObservedStream. The bytes a
    // read adds count as done, from where the read started; a file that fails keeps the bytes
    // it got through.
    class TFileObserver final : public THashObserver {
    public:
        explicit TFileObserver(TListProgress& list) : m_list(list) {}
        void BytesHashed(std::int64_t bytesDone, std::int64_t bytesTotal) override;
        bool CancelRequested() const override { return false; }

    private:
        TListProgress& m_list;
        std::int64_t m_last = -1;
    };

    // Any thread.
    void FileDone() { m_filesDone.fetch_add(1, std::memory_order_relaxed); }
    void SetTotals(std::int64_t files, std::int64_t bytes);
    std::int64_t FilesDone() const { return m_filesDone.load(std::memory_order_relaxed); }
    std::int64_t BytesDone() const { return m_bytesDone.load(std::memory_order_relaxed); }
    // -1 while not known.
    std::int64_t FilesTotal() const { return m_filesTotal.load(std::memory_order_relaxed); }
    std::int64_t BytesTotal() const { return m_bytesTotal.load(std::memory_order_relaxed); }

private:
    std::atomic<std::int64_t> m_filesDone{0};
    std::atomic<std::int64_t> m_bytesDone{0};
    std::atomic<std::int64_t> m_filesTotal{-1};
    std::atomic<std::int64_t> m_bytesTotal{-1};
};
