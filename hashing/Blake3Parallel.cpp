#include "hashing/Blake3Parallel.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Pieces are large enough that taking one costs little against hashing it, and each thread gets
// several, so that a thread slowed by other work leaves its share to the others.
constexpr std::uint64_t MinPieceChunks = 128;
constexpr std::uint64_t PiecesPerThread = 8;

// Joins the values of neighbouring subtrees, pair by pair, into the value of the subtree they
// make up; count is a power of two.
TBLAKE3ChainingValue JoinPieces(TBLAKE3ChainingValue* values, std::size_t count) {
    for (; count > 1; count /= 2)
        for (std::size_t i = 0; i < count / 2; ++i)
            values[i] = BLAKE3ParentCV(values[2 * i], values[2 * i + 1]);
    return values[0];
}

class TBLAKE3ParallelEngine final : public TDigestEngine {
public:
    TBLAKE3ParallelEngine(unsigned threads, const TStartThread& start) : m_hasher(threads, start) {}
    void Update(const std::uint8_t* data, std::size_t count) override { m_hasher.Update({data, count}); }
    void Finish(std::uint8_t* digest) override {
        const TBLAKE3Digest result = m_hasher.Final();
        std::memcpy(digest, result.data(), result.size());
    }

private:
    TBLAKE3Parallel m_hasher;
};

} // namespace

TBLAKE3Parallel::TBLAKE3Parallel(unsigned threads, const TStartThread& start) {
    BLAKE3Init(m_context);
    const unsigned workers = threads > 1 ? threads - 1 : 0;
    m_workers.reserve(workers);
    for (unsigned i = 0; i < workers; ++i) {
        TStartedThread started = start([this] { WorkerLoop(); });
        // A worker the system refuses is left out; the calling thread always hashes.
        if (!started.Started())
            break;
        m_workers.push_back(std::move(started.Thread));
    }
}

TBLAKE3Parallel::~TBLAKE3Parallel() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_work.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

unsigned TBLAKE3Parallel::Threads() const {
    return static_cast<unsigned>(m_workers.size()) + 1;
}

void TBLAKE3Parallel::Update(std::span<const std::uint8_t> bytes) {
    if (m_workers.empty())
        BLAKE3Update(m_context, bytes.data(), bytes.size());
    else
        BLAKE3UpdateSplit(m_context, bytes.data(), bytes.size(), HashHalves, this);
}

TBLAKE3Digest TBLAKE3Parallel::Final() {
    return BLAKE3Final(m_context);
}

void TBLAKE3Parallel::HashHalves(void* state, const std::uint8_t* data, std::uint64_t chunks, std::uint64_t firstChunk,
                                 TBLAKE3ChainingValue& left, TBLAKE3ChainingValue& right) {
    auto& self = *static_cast<TBLAKE3Parallel*>(state);
    const std::uint64_t half = chunks / 2;
    if (half < 2 * MinPieceChunks) {
        left = BLAKE3SubtreeCV(data, half, firstChunk);
        right = BLAKE3SubtreeCV(data + half * BLAKE3ChunkLength, half, firstChunk + half);
        return;
    }
    const std::uint64_t wanted = PiecesPerThread * self.Threads();
    const std::uint64_t pieceChunks = std::clamp<std::uint64_t>(std::bit_floor(chunks / wanted), MinPieceChunks, half);
    const std::size_t pieces = static_cast<std::size_t>(chunks / pieceChunks);

    std::unique_lock<std::mutex> lock(self.m_mutex);
    self.m_results.resize(pieces);
    self.m_data = data;
    self.m_pieceChunks = pieceChunks;
    self.m_firstChunk = firstChunk;
    self.m_pieces = pieces;
    self.m_next = 0;
    self.m_done = 0;
    self.m_work.notify_all();
    while (self.m_next < self.m_pieces)
        self.HashOnePiece(lock);
    self.m_finished.wait(lock, [&self] { return self.m_done == self.m_pieces; });
    self.m_pieces = 0;
    self.m_next = 0;
    lock.unlock();

    left = JoinPieces(self.m_results.data(), pieces / 2);
    right = JoinPieces(self.m_results.data() + pieces / 2, pieces / 2);
}

void TBLAKE3Parallel::WorkerLoop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [this] { return m_stop || m_next < m_pieces; });
        if (m_stop)
            return;
        HashOnePiece(lock);
    }
}

void TBLAKE3Parallel::HashOnePiece(std::unique_lock<std::mutex>& lock) {
    const std::size_t piece = m_next++;
    const std::uint64_t offset = piece * m_pieceChunks;
    const std::uint8_t* data = m_data + offset * BLAKE3ChunkLength;
    const std::uint64_t chunks = m_pieceChunks;
    const std::uint64_t firstChunk = m_firstChunk + offset;
    lock.unlock();
    const TBLAKE3ChainingValue value = BLAKE3SubtreeCV(data, chunks, firstChunk);
    lock.lock();
    m_results[piece] = value;
    if (++m_done == m_pieces)
        m_finished.notify_all();
}

TBLAKE3Digest BLAKE3HashParallel(std::span<const std::uint8_t> bytes, unsigned threads) {
    TBLAKE3Parallel hasher(threads);
    hasher.Update(bytes);
    return hasher.Final();
}

std::unique_ptr<TDigestEngine> MakeBLAKE3ParallelEngine(unsigned threads, const TStartThread& start) {
    return std::make_unique<TBLAKE3ParallelEngine>(threads, start);
}
