#include "hashing/HashStream.h"

#include "hashing/FileStream.h"
#include "hashing/StreamDigest.h"
#include "tests/crypt/DigestTestSupport.h"
#include "tests/crypt/OpenSslDigest.h"
#include "tests/support/ReplacedNew.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

// The largest single allocation made while g_trackAllocations is set, to see the read buffer.
namespace {
std::atomic<bool> g_trackAllocations{false};
std::atomic<std::size_t> g_largestAllocation{0};

bool TrackAllocation(std::size_t size) {
    if (g_trackAllocations && size > g_largestAllocation)
        g_largestAllocation = size;
    return true;
}
} // namespace

namespace {

constexpr std::int64_t MiB = 1024 * 1024;

std::string Expected(THashAlgorithm algorithm, const std::vector<std::uint8_t>& bytes, std::size_t from = 0) {
    from = std::min(from, bytes.size());
    return OpenSslHex(algorithm, bytes.data() + from, bytes.size() - from);
}

std::string PlainHash(THashAlgorithm algorithm, TStream* stream, bool fromStart, bool restorePosition) {
    if (algorithm == THashAlgorithm::MD5)
        return MD5HashStream(stream, fromStart, restorePosition);
    if (algorithm == THashAlgorithm::SHA1)
        return SHA1HashStream(stream, fromStart, restorePosition);
    return SHA256HashStream(stream, fromStart, restorePosition);
}

// A memory stream that records what is asked of it and can be told to misbehave. Reads may come
// from the reader's second thread; the test looks at the record once the call has returned.
class TScriptedStream final : public TStream {
public:
    explicit TScriptedStream(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::int64_t Size() const override {
        if (m_sizeThrows)
            throw EStreamError("size unavailable");
        if (m_reportedSize >= 0)
            return m_reportedSize;
        return static_cast<std::int64_t>(m_bytes.size());
    }
    std::int64_t Position() const override {
        if (m_positionThrows)
            throw EStreamError("position unavailable");
        return m_position;
    }
    void Seek(std::int64_t offset) override {
        m_seeks.push_back(offset);
        m_position = offset;
    }
    std::int64_t Read(void* buffer, std::int64_t count) override {
        m_reads.push_back(count);
        if (m_reads.size() == m_readThrowsAt)
            throw EReadError("Stream read error: Input/output error");
        const std::int64_t n =
            std::clamp<std::int64_t>(static_cast<std::int64_t>(m_bytes.size()) - m_position, 0, count);
        if (n > 0)
            std::copy_n(m_bytes.begin() + m_position, n, static_cast<std::uint8_t*>(buffer));
        m_position += n;
        return n;
    }
    std::int64_t Write(const void*, std::int64_t) override {
        ADD_FAILURE() << "the hash functions never write";
        return 0;
    }
    void CheckUnchanged() const override {
        if (m_changed)
            throw EReadError(StreamChangedSizeMessage);
    }

    bool m_sizeThrows = false;
    bool m_positionThrows = false;
    bool m_changed = false;           // CheckUnchanged reports a change, as for a file written meanwhile
    std::int64_t m_reportedSize = -1; // the size reported instead of the real one; -1 for the real one
    std::size_t m_readThrowsAt = 0;   // 1-based number of the read that throws; 0 for none
    std::int64_t m_position = 0;
    std::vector<std::int64_t> m_reads;
    std::vector<std::int64_t> m_seeks;

private:
    std::vector<std::uint8_t> m_bytes;
};

TEST(HashStreamTest, NullStreamGivesEmptyText) {
    EXPECT_EQ(MD5HashStream(nullptr, true, true), "");
    EXPECT_EQ(SHA1HashStream(nullptr, false, false), "");
    EXPECT_EQ(SHA256HashStream(nullptr, true, false), "");
}

// A stream that reports no bytes may still hold some (procfs): it is read once to be sure.
TEST(HashStreamTest, EmptyStreamGivesTheDigestOfNothingAfterOneRead) {
    for (THashAlgorithm algorithm : AllAlgorithms) {
        SCOPED_TRACE(AlgorithmName(algorithm));
        TScriptedStream stream({});
        EXPECT_EQ(PlainHash(algorithm, &stream, false, false), Expected(algorithm, {}));
        EXPECT_EQ(stream.m_reads, (std::vector<std::int64_t>{64 * 1024}));
    }
}

// What a pseudo-file looks like from the stream's side: the size it reports is not what reading
// yields. The bytes read are hashed, whatever the report.
TEST(HashStreamTest, StreamIsReadToItsEndWhateverSizeItReports) {
    const std::vector<std::uint8_t> bytes = RandomBytes(200000, 8);
    const std::int64_t reported[] = {0, 23, 4096, 199999, 200001, 9 * MiB};
    for (THashAlgorithm algorithm : AllAlgorithms) {
        for (const std::int64_t size : reported) {
            SCOPED_TRACE(testing::Message() << AlgorithmName(algorithm) << " reported size " << size);
            TScriptedStream plain(bytes);
            plain.m_reportedSize = size;
            EXPECT_EQ(PlainHash(algorithm, &plain, true, false), Expected(algorithm, bytes));
            EXPECT_EQ(plain.m_position, 200000);

            TScriptedStream read(bytes);
            read.m_reportedSize = size;
            EXPECT_EQ(TStreamDigester().Digest(algorithm, read), Expected(algorithm, bytes));
            EXPECT_EQ(read.m_position, 200000);
        }
    }
}

struct TFlagCase {
    bool FromStart;
    bool RestorePosition;
    std::int64_t Entry;
    std::size_t HashedFrom;
    std::int64_t PositionAfter;
};

TEST(HashStreamTest, FromStartAndRestorePositionChooseRangeAndFinalPosition) {
    const std::vector<std::uint8_t> bytes = RandomBytes(1000, 1);
    const TFlagCase cases[] = {
        {false, false, 300, 300, 1000},   {true, false, 300, 0, 1000},      {false, true, 300, 300, 300},
        {true, true, 300, 0, 300},        {false, false, 1000, 1000, 1000}, {false, true, 1000, 1000, 1000},
        {false, false, 1050, 1000, 1050}, {true, true, 1050, 0, 1050},      {true, false, 0, 0, 1000},
    };
    for (THashAlgorithm algorithm : AllAlgorithms) {
        for (const TFlagCase& c : cases) {
            SCOPED_TRACE(testing::Message() << AlgorithmName(algorithm) << " fromStart=" << c.FromStart
                                            << " restore=" << c.RestorePosition << " entry=" << c.Entry);
            TScriptedStream plain(bytes);
            plain.m_position = c.Entry;
            EXPECT_EQ(PlainHash(algorithm, &plain, c.FromStart, c.RestorePosition),
                      Expected(algorithm, bytes, c.HashedFrom));
            EXPECT_EQ(plain.m_position, c.PositionAfter);
        }
    }
}

// Large streams go through the reader's chunks, never one buffer of the stream's size: every
// read but the last is one chunk, and no allocation is larger than the largest chunk.
TEST(HashStreamTest, LongStreamIsReadInChunksOfAtMostFourMiB) {
    const std::vector<std::uint8_t> bytes = RandomBytes(9 * MiB + 13, 2);
    for (THashAlgorithm algorithm : AllAlgorithms) {
        SCOPED_TRACE(AlgorithmName(algorithm));
        TScriptedStream stream(bytes);
        g_largestAllocation = 0;
        SetAllocationHook(TrackAllocation);
        g_trackAllocations = true;
        const std::string digest = PlainHash(algorithm, &stream, true, false);
        g_trackAllocations = false;
        EXPECT_EQ(digest, Expected(algorithm, bytes));
        ASSERT_FALSE(stream.m_reads.empty());
        for (const std::int64_t read : stream.m_reads)
            EXPECT_EQ(read, stream.m_reads.front());
        EXPECT_LE(stream.m_reads.front(), 4 * MiB);
        EXPECT_EQ(static_cast<std::int64_t>(stream.m_reads.size()),
                  static_cast<std::int64_t>(bytes.size()) / stream.m_reads.front() + 1);
        EXPECT_LE(g_largestAllocation, static_cast<std::size_t>(4 * MiB));
        EXPECT_GE(g_largestAllocation, static_cast<std::size_t>(stream.m_reads.front())) << "the buffer was not seen";
    }
}

// A short stream is read in one read that is one byte longer than its rest, so the first read
// is the short one that ends it; the buffer is no larger than a small stream needs.
TEST(HashStreamTest, ShortStreamIsReadInOneRead) {
    const std::vector<std::uint8_t> bytes = RandomBytes(100000, 3);
    TScriptedStream stream(bytes);
    stream.m_position = 40000;
    g_largestAllocation = 0;
    SetAllocationHook(TrackAllocation);
    g_trackAllocations = true;
    const std::string digest = SHA256HashStream(&stream, false, false);
    g_trackAllocations = false;
    EXPECT_EQ(digest, Expected(THashAlgorithm::SHA256, bytes, 40000));
    ASSERT_EQ(stream.m_reads.size(), 1u);
    EXPECT_GT(stream.m_reads.front(), 60000);
    EXPECT_LE(g_largestAllocation, bytes.size());
    EXPECT_GE(g_largestAllocation, 60000u) << "the read buffer was not seen";
}

struct TFailureCase {
    const char* Name;
    std::function<void(TScriptedStream&)> Arrange;
    const char* Message;  // what the reader passes on
    bool StreamUntouched; // no seek or read may happen
};

TEST(HashStreamTest, FailuresGiveEmptyTextOrPassTheExceptionOn) {
    const std::vector<std::uint8_t> bytes = RandomBytes(9 * MiB, 4);
    const TFailureCase cases[] = {
        {"size_throws", [](TScriptedStream& s) { s.m_sizeThrows = true; }, "size unavailable", true},
        {"position_throws", [](TScriptedStream& s) { s.m_positionThrows = true; }, "position unavailable", true},
        {"second_read_throws", [](TScriptedStream& s) { s.m_readThrowsAt = 2; },
         "Stream read error: Input/output error", false},
        {"changed_while_read", [](TScriptedStream& s) { s.m_changed = true; },
         "Stream read error: the file changed size while it was read", false},
    };
    for (THashAlgorithm algorithm : AllAlgorithms) {
        for (const TFailureCase& c : cases) {
            SCOPED_TRACE(testing::Message() << AlgorithmName(algorithm) << " " << c.Name);
            TScriptedStream plain(bytes);
            plain.m_position = 5;
            c.Arrange(plain);
            EXPECT_EQ(PlainHash(algorithm, &plain, false, true), "");
            if (c.StreamUntouched) {
                EXPECT_TRUE(plain.m_reads.empty());
            }
            EXPECT_TRUE(plain.m_seeks.empty()) << "no seek back after a failure";

            TScriptedStream read(bytes);
            read.m_position = 5;
            c.Arrange(read);
            try {
                TStreamDigester().Digest(algorithm, read);
                ADD_FAILURE() << "no exception";
            } catch (const EStreamError& error) {
                EXPECT_STREQ(error.what(), c.Message);
            }
        }
    }
}

TEST(HashStreamTest, AlgorithmOutsideTheEnumerationIsRejected) {
    TScriptedStream stream(RandomBytes(10, 6));
    EXPECT_THROW(TStreamDigester().Digest(static_cast<THashAlgorithm>(99), stream), std::invalid_argument);
    EXPECT_TRUE(stream.m_reads.empty());
}

// A file stream whose file is cut short by another writer after the first chunk was read.
class TShrinkingFile final : public TStream {
public:
    TShrinkingFile(const std::string& path, std::int64_t newSize) : m_file(path), m_path(path), m_newSize(newSize) {}
    std::int64_t Size() const override { return m_file.Size(); }
    std::int64_t Position() const override { return m_file.Position(); }
    void Seek(std::int64_t offset) override { m_file.Seek(offset); }
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t n = m_file.Read(buffer, count);
        std::filesystem::resize_file(m_path, static_cast<std::uintmax_t>(m_newSize));
        return n;
    }
    std::int64_t Write(const void* buffer, std::int64_t count) override { return m_file.Write(buffer, count); }
    void CheckUnchanged() const override { m_file.CheckUnchanged(); }

private:
    TFileStream m_file;
    std::string m_path;
    std::int64_t m_newSize;
};

class HashStreamFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() / ("quviro-hashstream-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        m_path = (m_folder / "data.bin").string();
        m_bytes = RandomBytes(9 * MiB + 7, 7);
        std::ofstream(m_path, std::ios::binary)
            .write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path m_folder;
    std::string m_path;
    std::vector<std::uint8_t> m_bytes;
};

TEST_F(HashStreamFileTest, FileIsHashedLikeTheSameBytesInMemory) {
    for (THashAlgorithm algorithm : AllAlgorithms) {
        SCOPED_TRACE(AlgorithmName(algorithm));
        TFileStream file(m_path);
        EXPECT_EQ(PlainHash(algorithm, &file, false, false), Expected(algorithm, m_bytes));
        EXPECT_EQ(file.Position(), file.Size());
    }
}

// The bytes a plain read of the file to its end yields.
std::vector<std::uint8_t> ReadToEnd(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// procfs reports size 0 and sysfs a whole page for a few bytes of content; the digest is of
// the content, as a plain read to the end gives it.
TEST(HashStreamPseudoFileTest, PseudoFileGivesTheDigestOfWhatReadingYields) {
    const char* const paths[] = {"/proc/version", "/sys/devices/system/cpu/possible"};
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        const std::vector<std::uint8_t> content = ReadToEnd(path);
        ASSERT_FALSE(content.empty());
        TFileStream file(path);
        ASSERT_NE(file.Size(), static_cast<std::int64_t>(content.size())) << "not a pseudo-file here";
        for (THashAlgorithm algorithm : AllAlgorithms)
            EXPECT_EQ(PlainHash(algorithm, &file, true, false), Expected(algorithm, content))
                << AlgorithmName(algorithm);
    }
}

TEST_F(HashStreamFileTest, FileThatShrinksWhileHashedGivesNoDigest) {
    TShrinkingFile plain(m_path, 5 * MiB);
    EXPECT_EQ(SHA256HashStream(&plain, true, false), "");

    std::filesystem::resize_file(m_path, m_bytes.size());
    TShrinkingFile read(m_path, 5 * MiB);
    EXPECT_THROW(TStreamDigester().Digest(THashAlgorithm::SHA1, read), EReadError);
}

// A file stream whose file is truncated after the first read and written again, to its old
// size, once the reading met the cut: the size at the end is the size at the start.
class TRewrittenFile final : public TStream {
public:
    TRewrittenFile(const std::string& path, std::vector<std::uint8_t> content)
        : m_file(path), m_path(path), m_content(std::move(content)) {}
    std::int64_t Size() const override { return m_file.Size(); }
    std::int64_t Position() const override { return m_file.Position(); }
    void Seek(std::int64_t offset) override { m_file.Seek(offset); }
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t n = m_file.Read(buffer, count);
        if (++m_reads == 1) {
            std::filesystem::resize_file(m_path, static_cast<std::uintmax_t>(5 * MiB));
        } else if (n < count && !m_rewritten) {
            m_rewritten = true;
            std::ofstream(m_path, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(m_content.data()), static_cast<std::streamsize>(m_content.size()));
            // Within one tick of the file system's clock the times would not tell; later they do.
            const timespec times[2] = {{0, UTIME_OMIT}, {1234567890, 0}};
            ::utimensat(AT_FDCWD, m_path.c_str(), times, 0);
        }
        return n;
    }
    std::int64_t Write(const void* buffer, std::int64_t count) override { return m_file.Write(buffer, count); }
    void CheckUnchanged() const override { m_file.CheckUnchanged(); }

private:
    TFileStream m_file;
    std::string m_path;
    std::vector<std::uint8_t> m_content;
    int m_reads = 0;
    bool m_rewritten = false;
};

// Reading to the end must not take a file cut short and written again for a pseudo-file: the
// reading ended early, the size is back, but the file was written meanwhile.
TEST_F(HashStreamFileTest, FileWrittenWhileHashedGivesNoDigestEvenAtItsOldSize) {
    TRewrittenFile file(m_path, RandomBytes(m_bytes.size(), 9));
    try {
        TStreamDigester().Digest(THashAlgorithm::SHA256, file);
        ADD_FAILURE() << "a digest of mixed data";
    } catch (const EReadError& error) {
        EXPECT_STREQ(error.what(), StreamChangedMessage);
    }
    EXPECT_EQ(file.Position(), 5 * MiB) << "the reading met the cut";
}

// A file written between the open and the hash: same size, new content and time.
TEST_F(HashStreamFileTest, FileWrittenAfterTheOpenGivesNoDigest) {
    TFileStream file(m_path);
    {
        std::fstream rewrite(m_path, std::ios::binary | std::ios::in | std::ios::out);
        rewrite.write("changed", 7);
    }
    const timespec times[2] = {{0, UTIME_OMIT}, {1234567890, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, m_path.c_str(), times, 0), 0);
    EXPECT_EQ(SHA256HashStream(&file, true, false), "");
    file.Seek(0);
    EXPECT_THROW(TStreamDigester().Digest(THashAlgorithm::MD5, file), EReadError);
}

} // namespace
