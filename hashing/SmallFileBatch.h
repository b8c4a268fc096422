// Many small files hashed side by side: each file is read whole into memory by the named-file
// unit (ReadOrDigestNamedFile), and the bytes of several are handed at once to the row's HashMany,
// which hashes them in the processor's vector lanes (crypt/DigestLanes.h). The file lists use it
// for runs of consecutive files; files over the limit are read and hashed by the reader one by
// one, as are all files of rows without lanes or on processors with one lane.
#pragma once

#include "crypt/HashAlgorithm.h"
#include "hashing/HashProgress.h"
#include "hashing/NamedFileDigest.h"
#include "hashing/StreamDigest.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The largest file read whole: a batch of 64 such files is 4 MiB.
inline constexpr std::int64_t SmallFileLimit = 64 * 1024;

// True when files hashed for algorithms are worth batching here: one algorithm, whose row has
// lanes, and a lane path with more than one lane.
bool BatchesSmallFiles(const std::vector<THashAlgorithm>& algorithms);

// The consecutive files one batch takes: four per lane, so that lanes whose files end take the
// next ones and stay busy to the last few.
std::size_t SmallFileBatchFiles();

// The bytes each of jobs batches may hold at once: 4 MiB up to 8 jobs, less beyond so that all of
// them together stay within 32 MiB, never less than one file of SmallFileLimit.
std::int64_t SmallFileBatchBytes(int jobs);

// One job's batches, one after another; its buffer is kept for the next batch.
class TSmallFileBatcher {
public:
    // At most byteBudget bytes of files are held at once; at least SmallFileLimit.
    explicit TSmallFileBatcher(std::int64_t byteBudget);

    // The digest of each named file for algorithm (a row with HashMany), in the order of names,
    // each as DigestNamedFile would give it: one digest, or the failure with its words. Files of
    // up to SmallFileLimit bytes are read whole and hashed together whenever the bytes read reach
    // the budget and after the last name; others go through digester. Each file's read is told to
    // progress when given (not its end: the caller tells that), and goes through gate when given.
    // Throws std::bad_alloc only when the results themselves cannot be held.
    std::vector<TNamedFileDigest> Digest(std::span<const TFileName> names, THashAlgorithm algorithm,
                                         TStreamDigester& digester, TListProgress* progress, TReadGate* gate);

private:
    // A file read whole, waiting for its digest: where its bytes lie in m_bytes.
    struct TWaiting {
        std::size_t Index;
        std::size_t Offset;
        std::size_t Size;
    };

    // Hashes the waiting files together into their results and empties the buffer.
    void HashWaiting(const TAlgorithmInfo& row, std::vector<TNamedFileDigest>& results);

    std::size_t m_byteBudget;
    // m_byteBudget bytes, made at the first batch and left uninitialised: each file overwrites
    // its part.
    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::size_t m_used = 0;
    std::vector<TWaiting> m_waiting;
};
