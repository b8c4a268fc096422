#include "hashing/SmallFileBatch.h"

#include "crypt/DigestLanes.h"
#include "crypt/Stream.h"

#include <algorithm>
#include <new>
#include <optional>

namespace {

constexpr std::int64_t BatchBytes = 4 * 1024 * 1024;
// The same as the digesters' buffers may take together (ChunkForJobs).
constexpr std::int64_t AllBatchesBytes = 32 * 1024 * 1024;
// Fewer lanes than this many files each keep idle lanes as the batch ends.
constexpr std::size_t FilesPerLane = 4;

} // namespace

bool BatchesSmallFiles(const std::vector<THashAlgorithm>& algorithms) {
    return algorithms.size() == 1 && AlgorithmInfo(algorithms.front()).HashMany != nullptr &&
           AlgorithmInfo(algorithms.front()).HashManyLanes() > 1;
}

std::size_t SmallFileBatchFiles() {
    return FilesPerLane * LaneCount();
}

std::int64_t SmallFileBatchBytes(int jobs) {
    return std::clamp(AllBatchesBytes / std::max(jobs, 1), SmallFileLimit, BatchBytes);
}

TSmallFileBatcher::TSmallFileBatcher(std::int64_t byteBudget)
    : m_byteBudget(static_cast<std::size_t>(std::max(byteBudget, SmallFileLimit))) {}

std::vector<TNamedFileDigest> TSmallFileBatcher::Digest(std::span<const TFileName> names, THashAlgorithm algorithm,
                                                        TStreamDigester& digester, TListProgress* progress,
                                                        TReadGate* gate) {
    const TAlgorithmInfo& row = AlgorithmInfo(algorithm);
    const std::vector<THashAlgorithm> algorithms{algorithm};
    std::vector<TNamedFileDigest> results(names.size());
    if (!m_bytes)
        m_bytes = std::make_unique_for_overwrite<std::uint8_t[]>(m_byteBudget);
    for (std::size_t i = 0; i < names.size(); ++i) {
        // Room for the largest small file is kept, so a file never reaches past the budget.
        if (m_used + SmallFileLimit > m_byteBudget)
            HashWaiting(row, results);
        std::optional<TListProgress::TFileObserver> observer;
        if (progress)
            observer.emplace(*progress);
        std::size_t read = 0;
        results[i] = ReadOrDigestNamedFile(names[i], {m_bytes.get() + m_used, SmallFileLimit}, read, algorithms,
                                           digester, observer ? &*observer : nullptr, gate);
        if (read > 0) {
            m_waiting.push_back({i, m_used, read});
            m_used += read;
        }
    }
    HashWaiting(row, results);
    return results;
}

void TSmallFileBatcher::HashWaiting(const TAlgorithmInfo& row, std::vector<TNamedFileDigest>& results) {
    try {
        std::vector<TLaneMessage> messages;
        messages.reserve(m_waiting.size());
        for (const TWaiting& file : m_waiting)
            messages.emplace_back(m_bytes.get() + file.Offset, file.Size);
        std::vector<std::string> digests(m_waiting.size());
        row.HashMany(messages, digests);
        for (std::size_t i = 0; i < m_waiting.size(); ++i)
            results[m_waiting[i].Index].Digests.push_back(std::move(digests[i]));
    } catch (const std::bad_alloc&) {
        for (const TWaiting& file : m_waiting)
            results[file.Index] = {{}, TNamedFileFailure::OutOfMemory, 0, OutOfMemoryMessage, OutOfMemoryMessage};
    }
    m_waiting.clear();
    m_used = 0;
}
