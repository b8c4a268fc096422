#include "hashing/StreamDigest.h"

#include "crypt/RunningDigest.h"
#include "hashing/Blake3Parallel.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

// The least buffer a read gets, so that a stream claiming no size (a pseudo-file) is read in
// useful pieces.
constexpr std::int64_t SmallestBuffer = 64 * 1024;

// BLAKE3's tree is shared out only among spans this large: smaller ones hold too few subtrees
// for the threads (hashing/Blake3Parallel.cpp hashes spans under 512 KiB on the calling thread).
constexpr std::int64_t SmallestTreeChunk = 1024 * 1024;

// The running digests of one read. The first is fed on the calling thread; each other one on a
// thread of its own meanwhile, or on the calling thread too when its thread could not start.
// BLAKE3 is hashed on treeThreads threads when that is more than one.
class TDigestCrew {
public:
    TDigestCrew(const std::vector<THashAlgorithm>& algorithms, const TStartThread& start, unsigned treeThreads) {
        m_digests.reserve(algorithms.size());
        for (const THashAlgorithm algorithm : algorithms) {
            if (algorithm == THashAlgorithm::BLAKE3 && treeThreads > 1)
                m_digests.emplace_back(algorithm, MakeBLAKE3ParallelEngine(treeThreads, start));
            else
                m_digests.emplace_back(algorithm);
        }
        m_threads.reserve(m_digests.size());
        for (std::size_t index = 1; index < m_digests.size(); ++index) {
            TStartedThread started = start([this, index] { Work(index); });
            // Fewer threads than digests: Update feeds the rest itself.
            if (!started.Started())
                break;
            m_threads.push_back(std::move(started.Thread));
        }
    }

    ~TDigestCrew() {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_work.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
    }

    TDigestCrew(const TDigestCrew&) = delete;
    TDigestCrew& operator=(const TDigestCrew&) = delete;

    // Feeds count bytes to every digest; returns once all have them, so the buffer is free again.
    void Update(const std::uint8_t* data, std::size_t count) {
        const std::size_t helpers = m_threads.size();
        if (helpers > 0) {
            {
                const std::lock_guard lock(m_mutex);
                m_data = data;
                m_count = count;
                m_pending = helpers;
                ++m_round;
            }
            m_work.notify_all();
        }
        m_digests[0].Update(data, count);
        for (std::size_t index = 1 + helpers; index < m_digests.size(); ++index)
            m_digests[index].Update(data, count);
        if (helpers > 0) {
            std::unique_lock lock(m_mutex);
            m_done.wait(lock, [&] { return m_pending == 0; });
        }
    }

    std::vector<std::string> Finish() {
        std::vector<std::string> digests;
        digests.reserve(m_digests.size());
        for (TRunningDigest& digest : m_digests)
            digests.push_back(digest.Finish());
        return digests;
    }

private:
    void Work(std::size_t index) {
        std::uint64_t seen = 0;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_work.wait(lock, [&] { return m_stop || m_round != seen; });
            if (m_stop)
                return;
            seen = m_round;
            const std::uint8_t* data = m_data;
            const std::size_t count = m_count;
            lock.unlock();
            m_digests[index].Update(data, count);
            lock.lock();
            if (--m_pending == 0)
                m_done.notify_one();
        }
    }

    std::vector<TRunningDigest> m_digests;
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_done;
    const std::uint8_t* m_data = nullptr;
    std::size_t m_count = 0;
    std::size_t m_pending = 0;
    std::uint64_t m_round = 0;
    bool m_stop = false;
    std::vector<std::thread> m_threads; // last: started once everything they use exists
};

} // namespace

struct TStreamDigester::TBuffers {
    std::vector<std::uint8_t> Data[2];

    std::uint8_t* Get(int index, std::int64_t size) {
        std::vector<std::uint8_t>& data = Data[index];
        if (static_cast<std::int64_t>(data.size()) < size)
            data.resize(static_cast<std::size_t>(size));
        return data.data();
    }
};

// Hand-over of the two buffers between the reading thread and the hashing one.
namespace {

struct TSlot {
    std::int64_t Count = 0;
    bool Filled = false;
    bool Last = false;
    std::exception_ptr Failure;
};

class TOverlappedRead {
public:
    // Starts the reading thread; Started tells whether it runs.
    TOverlappedRead(TStream& stream, std::uint8_t* const buffers[2], std::int64_t size, const TStartThread& start)
        : m_stream(stream), m_buffers{buffers[0], buffers[1]}, m_size(size),
          m_thread(start([this] { ReadAll(); }).Thread) {}

    // Stops the reading thread at its next hand-over and waits for it, on every path.
    ~TOverlappedRead() {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    TOverlappedRead(const TOverlappedRead&) = delete;
    TOverlappedRead& operator=(const TOverlappedRead&) = delete;

    bool Started() const noexcept { return m_thread.joinable(); }

    // Waits for buffer index to be filled; rethrows the read's failure.
    TSlot Take(int index) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_slots[index].Filled; });
        if (m_slots[index].Failure)
            std::rethrow_exception(m_slots[index].Failure);
        return m_slots[index];
    }

    // Gives buffer index back to the reading thread.
    void Release(int index) {
        {
            const std::lock_guard lock(m_mutex);
            m_slots[index].Filled = false;
        }
        m_changed.notify_all();
    }

private:
    void ReadAll() {
        for (int index = 0;; index ^= 1) {
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return m_stop || !m_slots[index].Filled; });
                if (m_stop)
                    return;
            }
            TSlot slot;
            try {
                slot.Count = m_stream.Read(m_buffers[index], m_size);
                slot.Last = slot.Count < m_size;
            } catch (...) {
                slot.Failure = std::current_exception();
                slot.Last = true;
            }
            slot.Filled = true;
            {
                const std::lock_guard lock(m_mutex);
                m_slots[index] = slot;
            }
            m_changed.notify_all();
            if (slot.Last)
                return;
        }
    }

    TStream& m_stream;
    std::uint8_t* m_buffers[2];
    const std::int64_t m_size;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    TSlot m_slots[2];
    bool m_stop = false;
    std::thread m_thread; // last: starts once everything it uses exists
};

} // namespace

TStreamDigester::TStreamDigester(std::int64_t chunk, TStartThread start, unsigned treeThreads)
    : m_chunk(std::clamp<std::int64_t>(chunk, 64, MaxChunk) / 64 * 64), m_buffers(std::make_unique<TBuffers>()),
      m_start(std::move(start)), m_treeThreads(treeThreads) {}

TStreamDigester::~TStreamDigester() = default;

std::string TStreamDigester::Digest(THashAlgorithm algorithm, TStream& stream) {
    return std::move(Digest(std::vector<THashAlgorithm>{algorithm}, stream).front());
}

std::vector<std::string> TStreamDigester::Digest(const std::vector<THashAlgorithm>& algorithms, TStream& stream) {
    if (algorithms.empty())
        return {};
    const std::int64_t expected = std::max<std::int64_t>(0, stream.Size() - stream.Position());
    // Every other algorithm of the read has a thread of its own already.
    const unsigned others = static_cast<unsigned>(algorithms.size() - 1);
    const bool large = expected > MaxChunk && m_chunk >= SmallestTreeChunk;
    const unsigned treeThreads = large && m_treeThreads > others ? m_treeThreads - others : 1;
    TDigestCrew digests(algorithms, m_start, treeThreads);
    // An engine faster than the copy would only wait for the other core: it reads for itself.
    const bool readsOnHashingThread = algorithms.size() == 1 && treeThreads == 1 &&
                                      AlgorithmInfo(algorithms.front()).Speed == TEngineSpeed::AboveCopy;
    const std::int64_t chunk = readsOnHashingThread ? std::min(m_chunk, PieceInCache) : m_chunk;
    // One byte more than expected lets the first short read tell the end at once.
    const std::int64_t wanted = expected < chunk ? expected + 1 : chunk;
    const std::int64_t bufferSize = std::max(wanted, std::min(SmallestBuffer, chunk));

    bool read = false;
    if (expected > chunk && !readsOnHashingThread) {
        std::uint8_t* const buffers[2] = {m_buffers->Get(0, bufferSize), m_buffers->Get(1, bufferSize)};
        std::optional<TOverlappedRead> reading;
        reading.emplace(stream, buffers, bufferSize, m_start);
        // No thread to read ahead: the calling thread reads too, below.
        if (!reading->Started())
            reading.reset();
        for (int index = 0; reading; index ^= 1) {
            const TSlot slot = reading->Take(index);
            digests.Update(buffers[index], static_cast<std::size_t>(slot.Count));
            if (slot.Last)
                break;
            reading->Release(index);
        }
        read = reading.has_value();
    }
    if (!read) {
        std::uint8_t* buffer = m_buffers->Get(0, bufferSize);
        for (;;) {
            const std::int64_t count = stream.Read(buffer, bufferSize);
            digests.Update(buffer, static_cast<std::size_t>(count));
            if (count < bufferSize)
                break;
        }
    }

    // A file cut short, grown, or written again at its old size has another size or time.
    stream.CheckUnchanged();
    return digests.Finish();
}
