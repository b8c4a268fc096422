// Progress and cancellation through the pipeline: what an observer hears, where a stop takes
// effect, and that observing never changes a digest.
#include "pipeline/HashPipeline.h"

#include "hashing/StreamDigest.h"
#include "tests/crypt/OpenSslDigest.h"
#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The reader's chunk: one observer call per read of it.
constexpr std::int64_t Chunk = TStreamDigester::CacheChunk;

// Records every call; asks to stop once stopAfter chunks have been reported.
class TRecordingObserver final : public THashObserver {
public:
    explicit TRecordingObserver(int stopAfter = -1) : m_stopAfter(stopAfter) {}
    void BytesHashed(std::int64_t done, std::int64_t total) override { reports.emplace_back(done, total); }
    bool CancelRequested() const override {
        ++asked;
        // The first report tells the size before any chunk.
        const int chunks = std::max(0, static_cast<int>(reports.size()) - 1);
        return m_stopAfter >= 0 && chunks >= m_stopAfter;
    }
    std::vector<std::pair<std::int64_t, std::int64_t>> reports;
    mutable int asked = 0;

private:
    int m_stopAfter;
};

// A memory stream that counts its reads, opened in place of a file.
struct TReadCount {
    int reads = 0;
};

class TCountingStream final : public TStream {
public:
    // reportedSize: the size told instead of the real one, as a pseudo-file does; -1 for the real one.
    TCountingStream(std::vector<std::uint8_t> bytes, TReadCount& count, std::int64_t reportedSize = -1)
        : m_count(count), m_reportedSize(reportedSize) {
        m_memory.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    }
    std::int64_t Size() const override { return m_reportedSize >= 0 ? m_reportedSize : m_memory.Size(); }
    std::int64_t Position() const override { return m_memory.Position(); }
    void Seek(std::int64_t offset) override { m_memory.Seek(offset); }
    std::int64_t Read(void* buffer, std::int64_t count) override {
        ++m_count.reads;
        return m_memory.Read(buffer, count);
    }
    std::int64_t Write(const void*, std::int64_t) override { throw EWriteError("read-only"); }

private:
    TMemoryStream m_memory;
    TReadCount& m_count;
    std::int64_t m_reportedSize;
};

std::vector<std::uint8_t> Content(std::int64_t size) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 131 + 17);
    return bytes;
}

HashRequest FileRequest(const QString& algorithm = QStringLiteral("SHA256")) {
    HashRequest request;
    request.InputType = InputTypeFile;
    // The name must be an existing regular file; its bytes come from the opener instead.
    request.InputText = Utf16(QStringLiteral("/proc/self/exe"));
    request.HashItems = {std::u16string(Utf16(algorithm))};
    request.HashType = 0;
    return request;
}

TFileOpener OpenerOf(const std::vector<std::uint8_t>& bytes, TReadCount& count, std::int64_t reportedSize = -1) {
    return [bytes, &count, reportedSize](const std::string&) {
        return std::make_unique<TCountingStream>(bytes, count, reportedSize);
    };
}

TEST(HashObserverTest, EveryChunkIsReportedAndTheDigestIsUnchanged) {
    const std::int64_t size = 2 * Chunk + 5;
    const std::vector<std::uint8_t> bytes = Content(size);
    TReadCount count;
    TRecordingObserver observer;
    const HashOutcome observed = RunHashRequest(FileRequest(), OpenerOf(bytes, count), &observer);
    ASSERT_TRUE(observed.Succeeded()) << ToQString(observed.ErrorText).toStdString();
    EXPECT_EQ(ToQString(observed.Digest).toStdString(), OpenSslHex(THashAlgorithm::SHA256, bytes.data(), bytes.size()));
    // The size is told before the first chunk, then the position after every chunk.
    const std::vector<std::pair<std::int64_t, std::int64_t>> expected = {
        {0, size}, {Chunk, size}, {2 * Chunk, size}, {size, size}};
    EXPECT_EQ(observer.reports, expected);
    EXPECT_EQ(observer.asked, 3) << "asked once before every chunk";
    EXPECT_FALSE(observed.Cancelled);
}

struct StopCase {
    const char* name;
    int stopAfter; // chunks reported before the observer asks to stop
    int readsExpected;
};

const StopCase StopCases[] = {
    {"before the first chunk", 0, 0},
    {"after one chunk", 1, 1},
    {"after two chunks", 2, 2},
};

TEST(HashObserverTest, AStopEndsReadingBeforeTheNextChunk) {
    const std::vector<std::uint8_t> bytes = Content(4 * Chunk);
    for (const StopCase& c : StopCases) {
        SCOPED_TRACE(c.name);
        TReadCount count;
        TRecordingObserver observer(c.stopAfter);
        HashRequest request = FileRequest();
        request.UpperHash = true;
        const HashOutcome outcome = RunHashRequest(request, OpenerOf(bytes, count), &observer);
        EXPECT_TRUE(outcome.Cancelled);
        EXPECT_FALSE(outcome.Succeeded());
        EXPECT_EQ(ToQString(outcome.ErrorText), u"Cancelled."_qs);
        EXPECT_EQ(outcome.Digest, u"");
        EXPECT_EQ(count.reads, c.readsExpected);
    }
}

TEST(HashObserverTest, ACancelledSaltedTextRemembersNoSalt) {
    HashRequest request;
    request.InputType = InputTypeText;
    request.InputText = Utf16(QStringLiteral("abc"));
    request.SaltType = SaltTypePrefix;
    request.SaltText = Utf16(QStringLiteral("pepper"));
    request.HashItems = {u"MD5"};
    request.HashType = 0;
    TRecordingObserver stop(0);
    const HashOutcome cancelled = RunHashRequest(request, &stop);
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(cancelled.SaltToRemember, u"");

    TRecordingObserver watch;
    const HashOutcome done = RunHashRequest(request, &watch);
    ASSERT_TRUE(done.Succeeded());
    EXPECT_EQ(done.SaltToRemember, u"pepper");
    EXPECT_EQ(done.Digest, RunHashRequest(request).Digest);
    const std::vector<std::pair<std::int64_t, std::int64_t>> expected = {{0, 9}, {9, 9}};
    EXPECT_EQ(watch.reports, expected);
}

// Failures stay what they were: an observer neither hides nor renames them.
TEST(HashObserverTest, FailuresBeforeHashingAreNotCancellations) {
    HashRequest missing = FileRequest();
    missing.InputText = Utf16(QStringLiteral("/nonexistent/file"));
    TRecordingObserver observer(0);
    const HashOutcome outcome = RunHashRequest(missing, &observer);
    EXPECT_EQ(outcome.ErrorText, u"File does not exist");
    EXPECT_FALSE(outcome.Cancelled);
    EXPECT_EQ(observer.asked, 0);
}

// Files are read to their end whatever size they report (a pseudo-file reports 0), so an empty
// input is still read once: one report of its size, one after the read, and a stop asked for
// before that read stops it.
TEST(HashObserverTest, AnEmptyInputIsReadOnceToItsEnd) {
    TReadCount count;
    TRecordingObserver observer;
    const HashOutcome outcome = RunHashRequest(FileRequest(QStringLiteral("MD5")), OpenerOf({}, count), &observer);
    ASSERT_TRUE(outcome.Succeeded()) << ToQString(outcome.ErrorText).toStdString();
    EXPECT_EQ(outcome.Digest, u"d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(count.reads, 1);
    EXPECT_EQ(observer.reports, (std::vector<std::pair<std::int64_t, std::int64_t>>{{0, 0}, {0, 0}}));

    TReadCount stoppedCount;
    TRecordingObserver stop(0);
    const HashOutcome stopped = RunHashRequest(FileRequest(QStringLiteral("MD5")), OpenerOf({}, stoppedCount), &stop);
    EXPECT_TRUE(stopped.Cancelled);
    EXPECT_EQ(stoppedCount.reads, 0);
}

// A pseudo-file reports 0 bytes and is read to its end: once reading passes the reported size,
// the total is unknown (-1) rather than smaller than what is done.
TEST(HashObserverTest, ReadingPastTheReportedSizeMakesTheTotalUnknown) {
    const std::vector<std::uint8_t> bytes = Content(100);
    TReadCount count;
    TRecordingObserver observer;
    const HashOutcome outcome = RunHashRequest(FileRequest(), OpenerOf(bytes, count, 0), &observer);
    ASSERT_TRUE(outcome.Succeeded()) << ToQString(outcome.ErrorText).toStdString();
    EXPECT_EQ(ToQString(outcome.Digest).toStdString(), OpenSslHex(THashAlgorithm::SHA256, bytes.data(), bytes.size()));
    const std::vector<std::pair<std::int64_t, std::int64_t>> expected = {{0, 0}, {100, -1}};
    EXPECT_EQ(observer.reports, expected);
}

} // namespace
