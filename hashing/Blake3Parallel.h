// BLAKE3 of large in-memory spans, the tree's subtrees hashed on several threads at once.
//
// Use: construct with a thread count, Update with the message's spans in order (one whole buffer,
// or a file's successive large reads), Final. The digest is the one BLAKE3Update and BLAKE3Final
// give for the same bytes, whatever the thread count and however the spans are cut. Large
// subtrees of each span are cut into pieces that the worker threads and the calling thread take
// in turn; small spans and the bytes around the subtrees are hashed on the calling thread.
//
// One object serves one caller at a time; its worker threads live as long as it does.
#pragma once

#include "crypt/Blake3.h"
#include "crypt/DigestEngine.h"
#include "platform/ThreadStart.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

class TBLAKE3Parallel {
public:
    // Starts threads - 1 worker threads through start (a count of 0 counts as 1). A thread the
    // system refuses to start is left out: the hashing runs on those that started and the
    // calling thread.
    explicit TBLAKE3Parallel(unsigned threads, const TStartThread& start = StartThread);
    ~TBLAKE3Parallel();
    TBLAKE3Parallel(const TBLAKE3Parallel&) = delete;
    TBLAKE3Parallel& operator=(const TBLAKE3Parallel&) = delete;

    // The threads that hash: the workers that started and the calling thread.
    unsigned Threads() const;

    // Feeds the next bytes of the message.
    void Update(std::span<const std::uint8_t> bytes);

    // Completes the message and returns its digest; the next Update begins a new message.
    TBLAKE3Digest Final();

private:
    static void HashHalves(void* self, const std::uint8_t* data, std::uint64_t chunks, std::uint64_t firstChunk,
                           TBLAKE3ChainingValue& left, TBLAKE3ChainingValue& right);
    void WorkerLoop();
    // Takes the next piece of the current job, hashes it without the lock and stores its value.
    void HashOnePiece(std::unique_lock<std::mutex>& lock);

    TBLAKE3Context m_context;
    std::vector<std::thread> m_workers;

    // The current job, guarded by m_mutex: pieces of m_pieceChunks chunks from m_data on, the
    // first being chunk m_firstChunk; m_next is the next piece to take, m_done the pieces hashed.
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_finished;
    const std::uint8_t* m_data = nullptr;
    std::uint64_t m_pieceChunks = 0;
    std::uint64_t m_firstChunk = 0;
    std::size_t m_pieces = 0;
    std::size_t m_next = 0;
    std::size_t m_done = 0;
    std::vector<TBLAKE3ChainingValue> m_results;
    bool m_stop = false;
};

// The BLAKE3 digest of bytes hashed on threads threads, as TBLAKE3Parallel gives it.
TBLAKE3Digest BLAKE3HashParallel(std::span<const std::uint8_t> bytes, unsigned threads);

// An engine of the BLAKE3 row that hashes through a TBLAKE3Parallel of threads threads started
// through start: what the file reader uses for a large file. Throws std::bad_alloc.
std::unique_ptr<TDigestEngine> MakeBLAKE3ParallelEngine(unsigned threads, const TStartThread& start = StartThread);
