// The byte streams over files: reads, seeks, the size, and what a name that is no readable
// regular file says.
#include "hashing/FileStream.h"

#include "tests/support/UnprivilegedRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class FileStreamTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("quviro-stream-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_folder / "locked.bin", fs::perms::owner_all, ignored);
        fs::remove_all(m_folder);
    }

    std::string WriteFile(const std::string& name, const std::string& content) {
        const fs::path path = m_folder / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    std::string OpenError(const std::string& path) {
        try {
            TFileStream stream(path);
        } catch (const EFOpenError& error) {
            return error.what();
        }
        return "(opened)";
    }

    fs::path m_folder;
};

TEST_F(FileStreamTest, ReadsSeeksAndReportsSize) {
    TFileStream stream(WriteFile("data.bin", "0123456789"));
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_EQ(stream.Position(), 0);
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(stream.Position(), 4);

    stream.Seek(8);
    EXPECT_EQ(stream.Read(buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(stream.Position(), 10);
    EXPECT_EQ(stream.Read(buffer, 8), 0);

    stream.Seek(100);
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    EXPECT_EQ(stream.Position(), 100);
    EXPECT_THROW(stream.Seek(-1), EStreamError);
}

TEST_F(FileStreamTest, IsReadOnly) {
    const std::string path = WriteFile("data.bin", "abc");
    TFileStream stream(path);
    EXPECT_THROW(stream.Write("x", 1), EWriteError);
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "abc");
}

TEST_F(FileStreamTest, LinkToAFileOpensTheFile) {
    const std::string target = WriteFile("target.bin", "linked");
    fs::create_symlink(target, m_folder / "link.bin");
    TFileStream stream((m_folder / "link.bin").string());
    EXPECT_EQ(stream.Size(), 6);
}

// The message names the full path and the system's reason. None of these may block.
TEST_F(FileStreamTest, RefusesWhatIsNotAReadableRegularFile) {
    const std::string full = m_folder.string();
    fs::create_directory(m_folder / "folder");
    ASSERT_EQ(::mkfifo((m_folder / "pipe").c_str(), 0600), 0) << std::strerror(errno);
    fs::create_symlink(m_folder / "nowhere", m_folder / "dangling");
    fs::create_symlink(m_folder / "folder", m_folder / "folderlink");

    struct TCase {
        const char* Name;
        std::string Path;
        std::string Message;
    };
    const TCase cases[] = {
        {"missing", full + "/missing.bin", "Cannot open file \"" + full + "/missing.bin\". No such file or directory"},
        {"folder", full + "/folder", "Cannot open file \"" + full + "/folder\". Is a directory"},
        {"link_to_folder", full + "/folderlink", "Cannot open file \"" + full + "/folderlink\". Is a directory"},
        {"fifo", full + "/pipe", "Cannot open file \"" + full + "/pipe\". Not a regular file"},
        {"device", "/dev/null", "Cannot open file \"/dev/null\". Not a regular file"},
        {"dangling_link", full + "/dangling", "Cannot open file \"" + full + "/dangling\". No such file or directory"},
        {"dot_dot_shown_resolved", full + "/folder/../missing.bin",
         "Cannot open file \"" + full + "/missing.bin\". No such file or directory"},
        {"empty_name", "", "Cannot open file \"\". No such file or directory"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(OpenError(c.Path), c.Message);
    }
}

TEST_F(FileStreamTest, RelativeNameIsShownAsAFullPath) {
    const std::string name = "quviro-surely-missing-" + std::to_string(::getpid()) + ".bin";
    EXPECT_EQ(OpenError(name),
              "Cannot open file \"" + (fs::current_path() / name).string() + "\". No such file or directory");
}

TEST_F(FileStreamTest, UnreadableFileGivesPermissionDenied) {
    const std::string path = WriteFile("locked.bin", "secret");
    fs::permissions(path, fs::perms::none);
    fs::permissions(m_folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    EXPECT_TRUE(
        RunUnprivileged([&] { EXPECT_EQ(OpenError(path), "Cannot open file \"" + path + "\". Permission denied"); }));
}

} // namespace
