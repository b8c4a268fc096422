#include "hashing/NamedFileDigest.h"

#include "crypt/Stream.h"
#include "hashing/FileStream.h"
#include "hashing/HashProgress.h"
#include "tests/support/UnprivilegedRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr char AbcSha256[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr char AbcMd5[] = "900150983cd24fb0d6963f7d28e17f72";

class NamedFileDigestTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / std::string("quviro-named-").append(std::to_string(::getpid()));
        fs::create_directories(m_folder / "folder");
        // The unprivileged user must reach the files of the permission case.
        fs::permissions(m_folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        std::ofstream(m_folder / "abc") << "abc";
        ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0);
        fs::create_symlink(m_folder / "nowhere", m_folder / "dangling");
        fs::create_symlink(m_folder / "loop", m_folder / "loop");
        std::ofstream(m_folder / "secret") << "abc";
        fs::permissions(m_folder / "secret", fs::perms::none);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string At(const char* name) const { return (m_folder / name).string(); }

    fs::path m_folder;
};

// Every way a name fails to open, in coreutils' words, with the errno callers tell apart
// (a missing file for --ignore-missing, a folder for the hint to use -r).
TEST_F(NamedFileDigestTest, OpenFailuresAreWordedAsCoreutilsWordsThem) {
    struct Case {
        const char* name;
        int error;
        const char* reason;
    };
    const Case cases[] = {
        {"missing", ENOENT, "No such file or directory"},
        {"dangling", ENOENT, "No such file or directory"},
        {"loop", ELOOP, "Too many levels of symbolic links"},
        {"folder", EISDIR, "Is a directory"},
        {"fifo", 0, "Not a regular file"},
        {"abc/below", ENOTDIR, "Not a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStreamDigester digester;
        const TNamedFileDigest result = DigestNamedFile(At(c.name), {THashAlgorithm::SHA256}, digester);
        EXPECT_EQ(result.Failure, TNamedFileFailure::Open);
        EXPECT_EQ(result.Error, c.error);
        EXPECT_EQ(result.Reason, c.reason);
        EXPECT_TRUE(result.Digests.empty());
    }
    TStreamDigester digester;
    const TNamedFileDigest device = DigestNamedFile("/dev/null", {THashAlgorithm::SHA256}, digester);
    EXPECT_EQ(device.Failure, TNamedFileFailure::Open);
    EXPECT_EQ(device.Reason, "Not a regular file");
}

TEST_F(NamedFileDigestTest, AFileItMayNotReadIsPermissionDenied) {
    const std::string path = At("secret");
    EXPECT_TRUE(RunUnprivileged([&] {
        TStreamDigester digester;
        const TNamedFileDigest result = DigestNamedFile(path, {THashAlgorithm::SHA256}, digester);
        EXPECT_EQ(result.Failure, TNamedFileFailure::Open);
        EXPECT_EQ(result.Error, EACCES);
        EXPECT_EQ(result.Reason, "Permission denied");
    }));
}

TEST_F(NamedFileDigestTest, EveryAlgorithmFromOneRead) {
    TStreamDigester digester;
    const TNamedFileDigest result = DigestNamedFile(At("abc"), {THashAlgorithm::SHA256, THashAlgorithm::MD5}, digester);
    ASSERT_TRUE(result.Succeeded()) << result.Reason;
    EXPECT_EQ(result.Digests, (std::vector<std::string>{AbcSha256, AbcMd5}));
    EXPECT_EQ(result.Error, 0);
    EXPECT_EQ(result.Reason, "");
}

// An observer that fails its first report the way a failing read or allocation would.
class TFailingObserver final : public THashObserver {
public:
    explicit TFailingObserver(std::function<void()> fail) : m_fail(std::move(fail)) {}
    void BytesHashed(std::int64_t, std::int64_t) override { m_fail(); }
    bool CancelRequested() const override { return false; }

private:
    std::function<void()> m_fail;
};

// Failures on the way through the reader: the reason without the stream's prefix, and memory
// running out in words.
TEST_F(NamedFileDigestTest, ReadFailuresAreWordedWithoutTheStreamsPrefix) {
    struct Case {
        const char* label;
        std::function<void()> fail;
        TNamedFileFailure failure;
        const char* reason;
    };
    const Case cases[] = {
        {"read error", [] { throw EReadError("Stream read error: Input/output error"); }, TNamedFileFailure::Read,
         "Input/output error"},
        {"out of memory", [] { throw std::bad_alloc(); }, TNamedFileFailure::OutOfMemory, "Out of memory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TFailingObserver observer(c.fail);
        TStreamDigester digester;
        const TNamedFileDigest result = DigestNamedFile(At("abc"), {THashAlgorithm::SHA256}, digester, &observer);
        EXPECT_EQ(result.Failure, c.failure);
        EXPECT_EQ(result.Error, 0);
        EXPECT_EQ(result.Reason, c.reason);
        EXPECT_TRUE(result.Digests.empty());
    }
}

// A stop the observer asks for is no failure of the file: it reaches the caller.
TEST_F(NamedFileDigestTest, ACancelPassesOn) {
    TProgressCounter counter;
    counter.Cancel();
    TStreamDigester digester;
    EXPECT_THROW(DigestNamedFile(At("abc"), {THashAlgorithm::SHA256}, digester, &counter), EHashCancelled);
}

// A file that grows while it is read is reported as changed, never hashed as some of its bytes.
TEST_F(NamedFileDigestTest, FileThatGrowsWhileReadIsAFailure) {
    const std::string path = At("growing");
    std::ofstream(path, std::ios::binary) << std::string(8 * 1024 * 1024, 'x');
    std::atomic<bool> done{false};
    std::thread writer([&] {
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
        ASSERT_GE(fd, 0);
        while (!done)
            ASSERT_EQ(::write(fd, "y", 1), 1);
        ::close(fd);
    });
    TStreamDigester digester;
    const TNamedFileDigest result = DigestNamedFile(path, {THashAlgorithm::SHA256}, digester);
    done = true;
    writer.join();
    EXPECT_EQ(result.Failure, TNamedFileFailure::Read);
    EXPECT_EQ(result.Reason, "the file changed size while it was read");
}

// With an opener of the caller's, what it throws or answers comes back as the failure's kind and
// its own text, for the caller to word; what it opens is read as any file.
TEST_F(NamedFileDigestTest, AnOpenersFailuresComeBackWithTheirKindAndText) {
    struct Case {
        const char* label;
        TNamedFileOpener open;
        TNamedFileFailure failure;
        std::string message;
    };
    const Case cases[] = {
        {"no regular file", [](const std::string&) -> std::unique_ptr<TStream> { throw ENoRegularFile("gone"); },
         TNamedFileFailure::NoRegularFile, "gone"},
        {"cannot open",
         [](const std::string&) -> std::unique_ptr<TStream> {
             throw EFOpenError("Cannot open file \"x\". Permission denied");
         },
         TNamedFileFailure::Open, "Cannot open file \"x\". Permission denied"},
        {"out of memory opening", [](const std::string&) -> std::unique_ptr<TStream> { throw std::bad_alloc(); },
         TNamedFileFailure::Open, "Out of memory"},
        {"no stream", [](const std::string&) { return std::unique_ptr<TStream>(); }, TNamedFileFailure::Open, ""},
        {"any other failure of the opener",
         [](const std::string& name) -> std::unique_ptr<TStream> {
             throw EReadError("Stream read error: the file changed size while it was read " + name);
         },
         TNamedFileFailure::Open, "Stream read error: the file changed size while it was read " + At("abc")},
        {"opened", [](const std::string& name) { return std::make_unique<TFileStream>(name); }, TNamedFileFailure::None,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TStreamDigester digester;
        const TNamedFileDigest result = DigestNamedFile(At("abc"), c.open, {THashAlgorithm::SHA256}, digester);
        EXPECT_EQ(result.Failure, c.failure);
        EXPECT_EQ(result.Message, c.message);
        EXPECT_EQ(result.Error, 0);
        EXPECT_EQ(result.Digests, c.failure == TNamedFileFailure::None ? std::vector<std::string>{AbcSha256}
                                                                       : std::vector<std::string>{});
    }
}

// Through an opener, a read failure keeps the stream's whole text beside the shorter reason; a
// request for no algorithm opens the file and reads none of it.
TEST_F(NamedFileDigestTest, AnOpenersStreamIsReadOnlyForAlgorithms) {
    const TNamedFileOpener open = [](const std::string& name) { return std::make_unique<TFileStream>(name); };
    TFailingObserver failing([] { throw EReadError("Stream read error: Input/output error"); });
    TStreamDigester digester;
    const TNamedFileDigest failed = DigestNamedFile(At("abc"), open, {THashAlgorithm::MD5}, digester, &failing);
    EXPECT_EQ(failed.Failure, TNamedFileFailure::Read);
    EXPECT_EQ(failed.Message, "Stream read error: Input/output error");
    EXPECT_EQ(failed.Reason, "Input/output error");

    TProgressCounter counter;
    const TNamedFileDigest opened = DigestNamedFile(At("abc"), open, {}, digester, &counter);
    EXPECT_TRUE(opened.Succeeded());
    EXPECT_TRUE(opened.Digests.empty());
    EXPECT_EQ(counter.Done(), 0);
}

} // namespace

// The small-file read: a file of 1 to limit bytes comes back as its bytes, anything else as its
// digest, and failures in the same words as a digest's.
TEST_F(NamedFileDigestTest, SmallFilesAreReadWholeOthersDigested) {
    std::ofstream(At("empty")).flush();
    std::ofstream(At("four")) << "abcd";
    struct Case {
        const char* name;
        std::int64_t limit;
        std::vector<std::string> digests;
        std::string appended;
        const char* reason;
    };
    const Case cases[] = {
        {"abc", 3, {}, "abc", ""},
        {"abc", 1024, {}, "abc", ""},
        {"four", 3, {"e2fc714c4727ee9395f324cd2e7f331f"}, "", ""},
        {"empty", 3, {"d41d8cd98f00b204e9800998ecf8427e"}, "", ""},
        {"missing", 3, {}, "", "No such file or directory"},
        {"folder", 3, {}, "", "Is a directory"},
        {"fifo", 3, {}, "", "Not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << ", limit " << c.limit);
        std::vector<std::uint8_t> room(static_cast<std::size_t>(c.limit));
        std::size_t read = 99;
        TStreamDigester digester;
        const TNamedFileDigest result = ReadOrDigestNamedFile(At(c.name), room, read, {THashAlgorithm::MD5}, digester);
        EXPECT_EQ(result.Digests, c.digests);
        EXPECT_EQ(result.Reason, c.reason);
        EXPECT_EQ(std::string(room.begin(), room.begin() + static_cast<std::ptrdiff_t>(read)), c.appended);
    }
}

// An observer that writes to the file it is told of, as another program might while it is read.
class TWritingObserver final : public THashObserver {
public:
    explicit TWritingObserver(std::string path) : m_path(std::move(path)) {}
    void BytesHashed(std::int64_t, std::int64_t) override { std::ofstream(m_path, std::ios::app) << "more"; }
    bool CancelRequested() const override { return false; }

private:
    std::string m_path;
};

// A small file that changes while it is read whole is a failure; none of its bytes count as read.
TEST_F(NamedFileDigestTest, SmallFileThatChangesWhileReadIsAFailure) {
    TWritingObserver writer(At("abc"));
    std::vector<std::uint8_t> room(1024);
    std::size_t read = 99;
    TStreamDigester digester;
    const TNamedFileDigest result =
        ReadOrDigestNamedFile(At("abc"), room, read, {THashAlgorithm::MD5}, digester, &writer);
    EXPECT_EQ(result.Failure, TNamedFileFailure::Read);
    EXPECT_EQ(result.Reason, "the file changed size while it was read");
    EXPECT_TRUE(result.Digests.empty());
    EXPECT_EQ(read, 0u);
}
