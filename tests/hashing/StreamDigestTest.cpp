#include "hashing/StreamDigest.h"

#include "tests/crypt/OpenSslDigest.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
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

TEST(StreamDigestTest, ObserverSeesEveryChunkAndTheTotal) {
    const std::int64_t size = 3 * Chunk + 5;
    TMemoryStream stream = StreamOf(Pattern(size));
    RecordingObserver observer;
    TStreamDigester(Chunk).Digest(THashAlgorithm::MD5, stream, &observer);
    ASSERT_EQ(observer.Calls.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(observer.Calls[i], std::make_pair(static_cast<std::int64_t>(i + 1) * Chunk, size));
    EXPECT_EQ(observer.Calls.back(), std::make_pair(size, size));
}

TEST(StreamDigestTest, CancelStopsBeforeTheNextChunk) {
    for (const std::int64_t size : {Chunk / 2, 10 * Chunk}) {
        SCOPED_TRACE(size);
        TMemoryStream stream = StreamOf(Pattern(size));
        RecordingObserver observer(size > Chunk ? 2 : 0);
        EXPECT_THROW(TStreamDigester(Chunk).Digest(THashAlgorithm::SHA1, stream, &observer), EHashCancelled);
        EXPECT_EQ(observer.Calls.size(), size > Chunk ? 2u : 0u);
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

} // namespace
