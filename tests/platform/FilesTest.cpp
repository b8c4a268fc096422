// Owned descriptors and the opening of regular files.
#include "platform/Files.h"

#include "platform/FolderListing.h"

#include "tests/support/UnprivilegedRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool IsOpenDescriptor(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

TEST(FileHandleTest, ClosesExactlyOnceWhereverOwnershipMoves) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const int readEnd = fds[0];
    ::close(fds[1]);
    {
        TFileHandle first(readEnd);
        TFileHandle second(std::move(first));
        EXPECT_FALSE(first.IsOpen());
        EXPECT_EQ(second.Get(), readEnd);
        TFileHandle third;
        third = std::move(second);
        EXPECT_EQ(third.Get(), readEnd);
        EXPECT_TRUE(IsOpenDescriptor(readEnd)) << "moving closes nothing";
        EXPECT_TRUE(third.Close());
        EXPECT_FALSE(IsOpenDescriptor(readEnd));
        EXPECT_FALSE(third.Close()) << "nothing left to close";
        // A descriptor number reused by a later open is not closed by the old owners.
        ASSERT_EQ(::pipe(fds), 0);
        ::close(fds[1]);
        ASSERT_EQ(fds[0], readEnd);
        TFileHandle given(readEnd);
        EXPECT_EQ(given.Release(), readEnd);
        EXPECT_FALSE(given.IsOpen());
    }
    EXPECT_TRUE(IsOpenDescriptor(readEnd));
    ::close(readEnd);
}

class OpenRegularFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quviro-open-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        // Searchable by others, so that the unprivileged user reaches the files.
        fs::permissions(m_folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        std::ofstream(m_folder / "data.bin", std::ios::binary) << "0123456789";
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string At(const char* name) const { return (m_folder / name).string(); }

    fs::path m_folder;
};

TEST_F(OpenRegularFileTest, RegularFileOpensReadOnlyAndCloseOnExecWithItsStatus) {
    fs::create_symlink(m_folder / "data.bin", m_folder / "link");
    for (const char* name : {"data.bin", "link"}) {
        SCOPED_TRACE(name);
        const TRegularFile file = OpenRegularFile(At(name));
        ASSERT_TRUE(file.IsOpen()) << std::strerror(file.Error);
        EXPECT_EQ(file.Error, 0);
        EXPECT_EQ(file.Info.Kind, TFileKind::Regular);
        EXPECT_EQ(file.Info.Size, 10);
        const int status = ::fcntl(file.Handle.Get(), F_GETFL);
        EXPECT_EQ(status & O_ACCMODE, O_RDONLY);
        EXPECT_NE(::fcntl(file.Handle.Get(), F_GETFD) & FD_CLOEXEC, 0);
        char first = 0;
        EXPECT_EQ(::read(file.Handle.Get(), &first, 1), 1);
        EXPECT_EQ(first, '0');
    }
}

// None of these is opened, and none blocks: a FIFO without a writer would wait forever.
TEST_F(OpenRegularFileTest, RefusesWhatIsNotARegularFile) {
    fs::create_directory(m_folder / "folder");
    ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0) << std::strerror(errno);
    fs::create_symlink(m_folder / "nowhere", m_folder / "dangling");
    fs::create_symlink(m_folder / "data.bin", m_folder / "link");

    struct TCase {
        const char* Name;
        std::string Path;
        TOpenOptions Options;
        TOpenFailure Failure;
        std::string Reason;
    };
    const TCase cases[] = {
        {"folder", At("folder"), {}, TOpenFailure::NotRegular, "Is a directory"},
        {"fifo", At("fifo"), {}, TOpenFailure::NotRegular, "Not a regular file"},
        {"device", "/dev/null", {}, TOpenFailure::NotRegular, "Not a regular file"},
        {"missing", At("missing"), {}, TOpenFailure::Missing, "No such file or directory"},
        {"dangling_link", At("dangling"), {}, TOpenFailure::Missing, "No such file or directory"},
        {"below_a_file", At("data.bin/x"), {}, TOpenFailure::Missing, "Not a directory"},
        {"link_not_followed", At("link"), {.FollowLinks = false}, TOpenFailure::NotRegular, "Not a regular file"},
        {"dangling_link_not_created_through",
         At("dangling"),
         {.FollowLinks = false, .Create = true},
         TOpenFailure::NotRegular,
         "Not a regular file"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRegularFile file = OpenRegularFile(c.Path, c.Options);
        EXPECT_EQ(file.Failure, c.Failure);
        EXPECT_FALSE(file.Handle.IsOpen());
        EXPECT_EQ(OpenFailureReason(file), c.Reason);
    }
    EXPECT_FALSE(fs::exists(m_folder / "nowhere")) << "nothing is created through a link";
}

// A name the walk's listing called a regular file is opened without a look first, and what the
// open finds decides all the same: a name swapped for something else is refused, a FIFO without
// blocking, and a name gone since the listing is missing.
TEST_F(OpenRegularFileTest, NameListedAsRegularIsCheckedOnTheOpenFile) {
    fs::create_directory(m_folder / "folder");
    ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0) << std::strerror(errno);
    struct TCase {
        const char* Name;
        TOpenFailure Failure;
        std::string Reason;
    };
    const TCase cases[] = {
        {"data.bin", TOpenFailure::None, ""},
        {"folder", TOpenFailure::OpenFailed, "Is a directory"},
        {"fifo", TOpenFailure::OpenFailed, "Not a regular file"},
        {"missing", TOpenFailure::Missing, "No such file or directory"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TFileName name(At(c.Name));
        name.KnownRegular = true;
        const TRegularFile file = OpenRegularFile(name);
        EXPECT_EQ(file.Failure, c.Failure);
        EXPECT_EQ(file.Handle.IsOpen(), c.Failure == TOpenFailure::None);
        if (c.Failure != TOpenFailure::None)
            EXPECT_EQ(OpenFailureReason(file), c.Reason);
        else
            EXPECT_EQ(file.Info.Size, 10);
    }
}

// An entry of a folder held open is opened relative to it: after the folder is renamed, its
// old path leads nowhere, and the entry still opens.
TEST_F(OpenRegularFileTest, EntryOfAHeldFolderOpensRelativeToIt) {
    fs::create_directory(m_folder / "held");
    std::ofstream(m_folder / "held" / "x", std::ios::binary) << "abc";
    std::vector<TFolderEntry> entries;
    TFolderHold hold;
    int error = 0;
    ASSERT_TRUE(ListFolder(At("held"), entries, error, &hold)) << std::strerror(error);
    ASSERT_EQ(entries.size(), 1u);
    ASSERT_TRUE(hold && hold->IsOpen());
    fs::rename(m_folder / "held", m_folder / "moved");

    TFileName inFolder(At("held") + "/x");
    inFolder.Folder = hold;
    inFolder.KnownRegular = true;
    const TRegularFile file = OpenRegularFile(inFolder);
    ASSERT_TRUE(file.IsOpen()) << std::strerror(file.Error);
    EXPECT_EQ(file.Info.Size, 3);

    TFileName byPath(inFolder.Path);
    byPath.KnownRegular = true;
    EXPECT_EQ(OpenRegularFile(byPath).Failure, TOpenFailure::Missing);
}

TEST_F(OpenRegularFileTest, CreateMakesAnOwnerOnlyFileAndKeepsAnExistingOne) {
    const TRegularFile created = OpenRegularFile(At("new"), {.Create = true});
    ASSERT_TRUE(created.IsOpen()) << std::strerror(created.Error);
    struct stat status {};
    ASSERT_EQ(::fstat(created.Handle.Get(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(created.Info.Size, 0);

    const TRegularFile existing = OpenRegularFile(At("data.bin"), {.FollowLinks = false, .Create = true});
    ASSERT_TRUE(existing.IsOpen());
    EXPECT_EQ(existing.Info.Size, 10) << "not truncated";
}

TEST_F(OpenRegularFileTest, UnreadableFileIsAnOpenFailureWithTheSystemsReason) {
    const std::string path = At("data.bin");
    fs::permissions(path, fs::perms::none);
    EXPECT_TRUE(RunUnprivileged([&path] {
        const TRegularFile file = OpenRegularFile(path);
        EXPECT_EQ(file.Failure, TOpenFailure::OpenFailed);
        EXPECT_FALSE(file.Handle.IsOpen());
        EXPECT_EQ(OpenFailureReason(file), "Permission denied");
    }));
}

} // namespace
