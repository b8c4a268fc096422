#include "hashing/StreamDigest.h"

#include "crypt/RunningDigest.h"
#include "hashing/FileStream.h"
#include "tests/crypt/DigestTestSupport.h"
#include "tests/crypt/OpenSslDigest.h"
#include "tests/support/RefusedThreadStart.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::int64_t Chunk = 4096;

TMemoryStream StreamOf(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.Seek(0);
    return stream;
}

std::vector<std::uint8_t> Pattern(std::int64_t size) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 131 + i / 251);
    return bytes;
}

class RecordingObserver final : public THashObserver {
public:
    explicit RecordingObserver(int cancelAfterChunks = -1) : m_cancelAfter(cancelAfterChunks) {}
    void BytesHashed(std::int64_t done, std::int64_t total) override { Calls.push_back({done, total}); }
    bool CancelRequested() const override {
        return m_cancelAfter >= 0 && static_cast<int>(Calls.size()) >= m_cancelAfter;
    }

    std::vector<std::pair<std::int64_t, std::int64_t>> Calls;

private:
    int m_cancelAfter;
};

// Sizes around the buffer edges, on one thread (one chunk) and overlapped (more than one), with
// the digester reused across streams as quviro-cli's jobs do.
TEST(StreamDigestTest, DigestsEqualLibcryptoAroundChunkEdges) {
    TStreamDigester digester(Chunk);
    const std::int64_t sizes[] = {0, 1, 63, 64, Chunk - 1, Chunk, Chunk + 1, 2 * Chunk, 5 * Chunk + 17, 300000};
    for (const THashAlgorithm algorithm : AllAlgorithms) {
        for (const std::int64_t size : sizes) {
            SCOPED_TRACE(std::string(AlgorithmName(algorithm)) + " size " + std::to_string(size));
            const std::vector<std::uint8_t> bytes = Pattern(size);
            TMemoryStream stream = StreamOf(bytes);
            EXPECT_EQ(digester.Digest(algorithm, stream), OpenSslHex(algorithm, bytes.data(), bytes.size()));
            EXPECT_EQ(stream.Position(), size);
        }
    }
}

TEST(StreamDigestTest, StartsAtTheStreamPosition) {
    const std::vector<std::uint8_t> bytes = Pattern(3 * Chunk);
    TMemoryStream stream = StreamOf(bytes);
    stream.Seek(100);
    TStreamDigester digester(Chunk);
    EXPECT_EQ(digester.Digest(THashAlgorithm::SHA256, stream),
              OpenSslHex(THashAlgorithm::SHA256, bytes.data() + 100, bytes.size() - 100));
}

// Progress comes from the stream wrapper, on the thread that reads: the start, then every chunk.
TEST(StreamDigestTest, ObservedStreamSeesEveryChunkAndTheTotal) {
    const std::int64_t size = 3 * Chunk + 5;
    RecordingObserver observer;
    TObservedStream stream(std::make_unique<TMemoryStream>(StreamOf(Pattern(size))), observer);
    TStreamDigester(Chunk).Digest(THashAlgorithm::MD5, stream);
    ASSERT_EQ(observer.Calls.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(observer.Calls[i], std::make_pair(static_cast<std::int64_t>(i) * Chunk, size));
    EXPECT_EQ(observer.Calls.back(), std::make_pair(size, size));
}

// Files read on two jobs at once add up in a list's progress, each from where its read
// started, whatever the reading thread.
TEST(StreamDigestTest, ListProgressAddsEachReadFromItsStart) {
    TListProgress progress;
    const auto job = [&](std::int64_t size, std::int64_t start) {
        TListProgress::TFileObserver observer(progress);
        auto inner = std::make_unique<TMemoryStream>(StreamOf(Pattern(size)));
        inner->Seek(start);
        TObservedStream stream(std::move(inner), observer);
        TStreamDigester(Chunk).Digest(THashAlgorithm::SHA256, stream);
        progress.FileDone();
    };
    std::thread other(job, 7 * Chunk + 3, 0);
    job(5 * Chunk, 100);
    other.join();
    EXPECT_EQ(progress.FilesDone(), 2);
    EXPECT_EQ(progress.BytesDone(), 7 * Chunk + 3 + 5 * Chunk - 100);
}

TEST(StreamDigestTest, CancelStopsBeforeTheNextChunk) {
    for (const std::int64_t size : {Chunk / 2, 10 * Chunk}) {
        SCOPED_TRACE(size);
        RecordingObserver observer(size > Chunk ? 2 : 0);
        TObservedStream stream(std::make_unique<TMemoryStream>(StreamOf(Pattern(size))), observer);
        EXPECT_THROW(TStreamDigester(Chunk).Digest(THashAlgorithm::SHA1, stream), EHashCancelled);
        EXPECT_EQ(observer.Calls.size(), size > Chunk ? 2u : 0u);
    }
}

// The row's engine fed the whole message at once: the reference for rows libcrypto lacks (the
// engines' own tests check them against their published vectors).
std::string WholeMessageHex(THashAlgorithm algorithm, const std::vector<std::uint8_t>& bytes) {
    TRunningDigest digest(algorithm);
    digest.Update(bytes.data(), bytes.size());
    return digest.Finish();
}

// The rows whose engine outruns the copy read on the hashing thread in pieces of PieceInCache,
// starting no thread; around the piece's edges each digest equals the overlapped read's (the
// same row twice in one read is read ahead) and the reference digest. Cancel still stops the
// read before the next piece.
TEST(StreamDigestTest, FastRowsReadOnTheHashingThreadInCachePieces) {
    constexpr std::int64_t Piece = TStreamDigester::PieceInCache;
    const std::int64_t sizes[] = {Piece - 1, Piece, Piece + 1, 2 * Piece - 1, 2 * Piece + 1, 9 * Piece + 17};
    int starts = 0;
    TStreamDigester digester(
        TStreamDigester::CacheChunk,
        [&](std::function<void()> body) {
            ++starts;
            return StartThread(std::move(body));
        },
        1);
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        if (row.Speed != TEngineSpeed::AboveCopy)
            continue;
        for (const std::int64_t size : sizes) {
            SCOPED_TRACE(std::string(row.Name) + " size " + std::to_string(size));
            const std::vector<std::uint8_t> bytes = Pattern(size);
            RecordingObserver observer;
            TObservedStream alone(std::make_unique<TMemoryStream>(StreamOf(bytes)), observer);
            starts = 0;
            const std::string digest = digester.Digest(row.Id, alone);
            EXPECT_EQ(starts, 0);
            EXPECT_EQ(digest, WholeMessageHex(row.Id, bytes));
            ASSERT_GE(observer.Calls.size(), 2u);
            EXPECT_EQ(observer.Calls[1].first, std::min(size, Piece)) << "the first read is one piece";

            TMemoryStream twice = StreamOf(bytes);
            const std::vector<std::string> overlapped = digester.Digest({row.Id, row.Id}, twice);
            if (size > TStreamDigester::CacheChunk) {
                EXPECT_GT(starts, 0) << "two rows in one read are read ahead";
            }
            EXPECT_EQ(overlapped, std::vector<std::string>(2, digest));
        }
        RecordingObserver stopping(3);
        TObservedStream stream(std::make_unique<TMemoryStream>(StreamOf(Pattern(10 * Piece))), stopping);
        EXPECT_THROW(digester.Digest(row.Id, stream), EHashCancelled) << row.Name;
        EXPECT_EQ(stopping.Calls.size(), 3u) << row.Name;
    }
}

// Several algorithms in one read, on one chunk and overlapped: each digest is that algorithm's
// alone, in the order asked, and the stream is read once.
TEST(StreamDigestTest, SeveralAlgorithmsInOneReadGiveEachDigest) {
    const std::vector<std::vector<THashAlgorithm>> lists = {
        {THashAlgorithm::MD5, THashAlgorithm::SHA256},
        {THashAlgorithm::SHA256, THashAlgorithm::SHA1, THashAlgorithm::MD5},
        {THashAlgorithm::SHA1, THashAlgorithm::SHA1},
    };
    TStreamDigester digester(Chunk);
    for (const std::vector<THashAlgorithm>& algorithms : lists) {
        for (const std::int64_t size : {std::int64_t{0}, Chunk - 1, 7 * Chunk + 3}) {
            std::string label = "size " + std::to_string(size);
            for (const THashAlgorithm algorithm : algorithms)
                label += std::string(" ") + AlgorithmName(algorithm);
            SCOPED_TRACE(label);
            const std::vector<std::uint8_t> bytes = Pattern(size);
            TMemoryStream stream = StreamOf(bytes);
            const std::vector<std::string> digests = digester.Digest(algorithms, stream);
            ASSERT_EQ(digests.size(), algorithms.size());
            for (std::size_t i = 0; i < algorithms.size(); ++i)
                EXPECT_EQ(digests[i], OpenSslHex(algorithms[i], bytes.data(), bytes.size())) << i;
            EXPECT_EQ(stream.Position(), size);
        }
    }
    TMemoryStream stream = StreamOf(Pattern(10));
    EXPECT_TRUE(digester.Digest(std::vector<THashAlgorithm>{}, stream).empty());
    EXPECT_EQ(stream.Position(), 0) << "nothing to compute, nothing read";
}

// Threads that cannot start (a process limit) cost speed only: every digest is still right.
TEST(StreamDigestTest, ThreadsThatCannotStartCostSpeedOnly) {
    const std::vector<THashAlgorithm> algorithms = {THashAlgorithm::MD5, THashAlgorithm::SHA256, THashAlgorithm::SHA1};
    const std::vector<std::uint8_t> bytes = Pattern(7 * Chunk + 3);
    for (const int allowed : {0, 1, 2, 3}) {
        SCOPED_TRACE(allowed);
        std::atomic<int> started{0};
        TStreamDigester digester(Chunk, [&](std::function<void()> body) {
            if (started >= allowed)
                return RefusedThreadStart();
            ++started;
            return StartThread(std::move(body));
        });
        TMemoryStream stream = StreamOf(bytes);
        const std::vector<std::string> digests = digester.Digest(algorithms, stream);
        ASSERT_EQ(digests.size(), algorithms.size());
        for (std::size_t i = 0; i < algorithms.size(); ++i)
            EXPECT_EQ(digests[i], OpenSslHex(algorithms[i], bytes.data(), bytes.size())) << i;
        EXPECT_EQ(started, allowed);
    }
}

// A pseudo-file reports size 0 and holds text: the digest is that of what reading yields.
TEST(StreamDigestTest, PseudoFileGivesWhatReadingYields) {
    const char* path = "/proc/self/status";
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0)
        GTEST_SKIP() << "no procfs";
    ::close(fd);
    TFileStream stream(path);
    ASSERT_EQ(stream.Size(), 0);
    const std::string digest = TStreamDigester(Chunk).Digest(THashAlgorithm::SHA256, stream);
    EXPECT_NE(digest, OpenSslHex(THashAlgorithm::SHA256, nullptr, 0));
    EXPECT_GT(stream.Position(), 0);
}

// A stream whose reads fail from some offset on: the failure happens on the reading thread.
class FailingStream final : public TStream {
public:
    explicit FailingStream(std::int64_t failAt) : m_failAt(failAt) {}
    std::int64_t Size() const override { return 100 * Chunk; }
    std::int64_t Position() const override { return m_position; }
    void Seek(std::int64_t offset) override { m_position = offset; }
    std::int64_t Read(void*, std::int64_t count) override {
        if (m_position >= m_failAt)
            throw EReadError("Stream read error: Input/output error");
        m_position += count;
        return count;
    }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }

private:
    std::int64_t m_failAt;
    std::int64_t m_position = 0;
};

TEST(StreamDigestTest, ReadFailureOnTheReadingThreadReachesTheCaller) {
    FailingStream stream(7 * Chunk);
    try {
        TStreamDigester(Chunk).Digest(THashAlgorithm::SHA256, stream);
        FAIL() << "no failure";
    } catch (const EReadError& failure) {
        EXPECT_STREQ(failure.what(), "Stream read error: Input/output error");
    }
}

// A file stream whose reads are slow, with another writer putting other bytes of the same
// length into the file after the first read and setting the modification time back, as
// "cp -p" over it or a write followed by utime does.
class TRewrittenInPlace final : public TStream {
public:
    TRewrittenInPlace(const std::string& path, std::function<void()> rewrite)
        : m_file(path), m_rewrite(std::move(rewrite)) {}
    std::int64_t Size() const override { return m_file.Size(); }
    std::int64_t Position() const override { return m_file.Position(); }
    void Seek(std::int64_t offset) override { m_file.Seek(offset); }
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t n = m_file.Read(buffer, count);
        if (m_rewrite) {
            // Longer than a tick of the file system's clock, so the status-change time moves.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::exchange(m_rewrite, nullptr)();
        }
        return n;
    }
    std::int64_t Write(const void* buffer, std::int64_t count) override { return m_file.Write(buffer, count); }
    void CheckUnchanged() const override { m_file.CheckUnchanged(); }

private:
    TFileStream m_file;
    std::function<void()> m_rewrite;
};

class StreamDigestFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() / ("quviro-streamdigest-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        m_path = (m_folder / "data.bin").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    void Put(const std::string& path, const std::vector<std::uint8_t>& bytes, std::ios::openmode mode) {
        std::ofstream(path, std::ios::binary | mode)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path m_folder;
    std::string m_path;
};

// Same size, same modification time, other bytes: only the status-change time tells, and the
// reader must answer with an error, never with a digest of old and new bytes mixed.
TEST_F(StreamDigestFileTest, FileRewrittenInPlaceKeepingItsTimeGivesNoDigest) {
    struct Case {
        const char* name;
        std::int64_t size;
        std::ios::openmode mode; // how the writer opens the file
    };
    const Case cases[] = {
        {"one_chunk_written_over", Chunk / 2, std::ios::in | std::ios::out},
        {"overlapped_written_over", 9 * Chunk, std::ios::in | std::ios::out},
        {"overlapped_copied_over", 9 * Chunk, std::ios::trunc},
        {"read_by_a_fast_engine_written_over", 3 * TStreamDigester::PieceInCache, std::ios::in | std::ios::out},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Put(m_path, Pattern(c.size), std::ios::trunc);
        struct stat before {};
        ASSERT_EQ(::stat(m_path.c_str(), &before), 0);
        std::vector<std::uint8_t> other = Pattern(c.size);
        for (std::uint8_t& byte : other)
            byte = static_cast<std::uint8_t>(~byte);
        TRewrittenInPlace stream(m_path, [&] {
            Put(m_path, other, c.mode);
            const timespec times[2] = {before.st_atim, before.st_mtim};
            ASSERT_EQ(::utimensat(AT_FDCWD, m_path.c_str(), times, 0), 0);
        });
        // The fast engine's case reads on the hashing thread, in pieces, whatever the chunk.
        const bool fast = c.size > 2 * TStreamDigester::PieceInCache;
        try {
            const std::string digest = fast ? TStreamDigester().Digest(THashAlgorithm::XXH3_128, stream)
                                            : TStreamDigester(Chunk).Digest(THashAlgorithm::SHA256, stream);
            ADD_FAILURE() << "a digest of mixed data: " << digest;
        } catch (const EReadError& error) {
            EXPECT_STREQ(error.what(), StreamChangedMessage);
        }
        struct stat after {};
        ASSERT_EQ(::stat(m_path.c_str(), &after), 0);
        ASSERT_EQ(after.st_size, before.st_size);
        ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec) << "the writer kept the time";
    }
}

// BLAKE3 of a file over one chunk is hashed on several threads, its tree shared out; a file of
// one chunk, reads in small chunks, one thread allowed, or the threads of other algorithms in
// the same read leave it fewer or none (alone on one thread, it reads for itself). Every way gives the serial engine's
// digest, and a thread that cannot start costs speed only.
TEST_F(StreamDigestFileTest, LargeBLAKE3FilesAreHashedOnSeveralThreads) {
    constexpr std::int64_t Large = 9 * 1024 * 1024 + 5;
    constexpr std::int64_t Big = TStreamDigester::MaxChunk;
    const std::vector<THashAlgorithm> blake3 = {THashAlgorithm::BLAKE3};
    const std::vector<THashAlgorithm> withSha256 = {THashAlgorithm::SHA256, THashAlgorithm::BLAKE3};
    struct Case {
        const char* name;
        std::int64_t size;
        std::int64_t chunk;
        unsigned treeThreads;
        const std::vector<THashAlgorithm>& algorithms;
        int allowed; // starts the starter grants
        // Starts the digester asks for: reading ahead, other algorithms, tree workers (the first
        // refused ends the tree's asking).
        int asked;
    };
    const Case cases[] = {
        {"large_on_four_threads", Large, Big, 4, blake3, 99, 1 + 3},
        // One thread's BLAKE3 outruns the copy: it reads for itself, nothing is started.
        {"large_on_one_thread_reads_itself", Large, Big, 1, blake3, 99, 0},
        {"one_chunk_starts_nothing", Big, Big, 4, blake3, 99, 0},
        {"small_chunks_read_by_the_hashing_thread", Large, 64 * 1024, 4, blake3, 99, 0},
        {"beside_sha256_one_thread_less", Large, Big, 4, withSha256, 99, 1 + 1 + 2},
        {"beside_sha256_no_thread_left", Large, Big, 2, withSha256, 99, 1 + 1},
        {"refused_starts", Large, Big, 4, blake3, 2, 1 + 3},
        {"no_thread_starts", Large, Big, 4, withSha256, 0, 1 + 1 + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> bytes = RandomBytes(static_cast<std::size_t>(c.size), 22);
        Put(m_path, bytes, std::ios::trunc);
        int asked = 0;
        TStreamDigester digester(
            c.chunk,
            [&](std::function<void()> body) {
                if (++asked > c.allowed)
                    return RefusedThreadStart();
                return StartThread(std::move(body));
            },
            c.treeThreads);
        TFileStream stream(m_path);
        const std::vector<std::string> digests = digester.Digest(c.algorithms, stream);
        ASSERT_EQ(digests.size(), c.algorithms.size());
        for (std::size_t i = 0; i < digests.size(); ++i) {
            const std::string expected = c.algorithms[i] == THashAlgorithm::BLAKE3
                                             ? BLAKE3WholeHex(bytes)
                                             : OpenSslHex(c.algorithms[i], bytes.data(), bytes.size());
            EXPECT_EQ(digests[i], expected) << AlgorithmName(c.algorithms[i]);
        }
        EXPECT_EQ(asked, c.asked);
    }
}

} // namespace
