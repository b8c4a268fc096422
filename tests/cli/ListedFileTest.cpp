#include "cli/ChecksumVerify.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

class ListedFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / std::string("quviro-listed-").append(std::to_string(::getpid()));
        fs::create_directories(m_folder / "folder");
        std::ofstream(m_folder / "abc") << "abc";
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string At(const char* name) const { return (m_folder / name).string(); }

    fs::path m_folder;
};

TEST_F(ListedFileTest, OpenFailuresCarryTheirErrno) {
    struct Case {
        const char* name;
        int error;
        const char* reason;
    };
    const Case cases[] = {
        {"missing", ENOENT, "No such file or directory"},
        {"folder", EISDIR, "Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int error = -1;
        std::string reason;
        EXPECT_FALSE(HashListedFile(THashAlgorithm::SHA256, At(c.name), error, reason));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(reason, c.reason);
    }
    int error = -1;
    std::string reason = "stale";
    EXPECT_EQ(HashListedFile(THashAlgorithm::SHA256, At("abc"), error, reason),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(error, 0);
    EXPECT_EQ(reason, "");
}

// A listed file that grows while it is read is reported as changed, as when hashing files,
// never checked against a digest of some of its bytes.
TEST_F(ListedFileTest, FileThatGrowsWhileReadIsAFailure) {
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
    int error = -1;
    std::string reason;
    const std::optional<std::string> digest = HashListedFile(THashAlgorithm::SHA256, path, error, reason);
    done = true;
    writer.join();
    EXPECT_FALSE(digest) << *digest;
    EXPECT_EQ(reason, "the file changed size while it was read");
}

} // namespace
