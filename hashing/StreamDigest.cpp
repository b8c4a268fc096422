#include "hashing/StreamDigest.h"

#include "crypt/RunningDigest.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The least buffer a read gets, so that a stream claiming no size (a pseudo-file) is read in
// useful pieces.
constexpr std::int64_t SmallestBuffer = 64 * 1024;

// Tells the observer about one more hashed chunk.
void Report(THashObserver* observer, std::int64_t done, std::int64_t expected) {
    if (observer)
        observer->BytesHashed(done, done <= expected ? expected : -1);
}

void CheckCancel(const THashObserver* observer) {
    if (observer && observer->CancelRequested())
        throw EHashCancelled();
}

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
    TOverlappedRead(TStream& stream, std::uint8_t* const buffers[2], std::int64_t size)
        : m_stream(stream), m_buffers{buffers[0], buffers[1]}, m_size(size), m_thread([this] { ReadAll(); }) {}

    // Stops the reading thread at its next hand-over and waits for it, on every path.
    ~TOverlappedRead() {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    TOverlappedRead(const TOverlappedRead&) = delete;
    TOverlappedRead& operator=(const TOverlappedRead&) = delete;

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

TStreamDigester::TStreamDigester(std::int64_t chunk)
    : m_chunk(std::clamp<std::int64_t>(chunk, 64, MaxChunk) / 64 * 64), m_buffers(std::make_unique<TBuffers>()) {}

TStreamDigester::~TStreamDigester() = default;

std::string TStreamDigester::Digest(THashAlgorithm algorithm, TStream& stream, THashObserver* observer) {
    TRunningDigest digest(algorithm);
    const std::int64_t size = stream.Size();
    const std::int64_t expected = std::max<std::int64_t>(0, size - stream.Position());
    // One byte more than expected lets the first short read tell the end at once.
    const std::int64_t wanted = expected < m_chunk ? expected + 1 : m_chunk;
    const std::int64_t bufferSize = std::max(wanted, std::min(SmallestBuffer, m_chunk));
    std::int64_t done = 0;

    if (expected <= m_chunk) {
        std::uint8_t* buffer = m_buffers->Get(0, bufferSize);
        for (;;) {
            CheckCancel(observer);
            const std::int64_t count = stream.Read(buffer, bufferSize);
            digest.Update(buffer, static_cast<std::size_t>(count));
            done += count;
            Report(observer, done, expected);
            if (count < bufferSize)
                break;
        }
    } else {
        std::uint8_t* const buffers[2] = {m_buffers->Get(0, bufferSize), m_buffers->Get(1, bufferSize)};
        TOverlappedRead reading(stream, buffers, bufferSize);
        for (int index = 0;; index ^= 1) {
            CheckCancel(observer);
            const TSlot slot = reading.Take(index);
            digest.Update(buffers[index], static_cast<std::size_t>(slot.Count));
            done += slot.Count;
            Report(observer, done, expected);
            if (slot.Last)
                break;
            reading.Release(index);
        }
    }

    if (stream.Size() != size)
        throw EReadError(StreamChangedSizeMessage);
    // A file cut short and written again to its old size keeps its size but not its time.
    stream.CheckUnchanged();
    return digest.Finish();
}
