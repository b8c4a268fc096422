#include "hashing/TreeWalk.h"

#include "tests/support/UnprivilegedRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Records the visits as "file NAME", "skip NAME: REASON", "fail NAME: MESSAGE"; onFile runs
// after a file is recorded, so a case can change the tree in the middle of the walk.
class Recorder final : public TWalkVisitor {
public:
    void File(const TFileName& name) override {
        Visits.push_back("file " + name.Path);
        if (OnFile)
            OnFile(name.Path);
    }
    void Skipped(const std::string& name, const std::string& reason) override {
        Visits.push_back("skip " + name + ": " + reason);
    }
    void Failed(const std::string& name, const std::string& message) override {
        Visits.push_back("fail " + name + ": " + message);
    }

    std::vector<std::string> Visits;
    std::function<void(const std::string&)> OnFile;
};

class TreeWalkTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(::chdir(QFile::encodeName(m_dir.path()).constData()), 0);
    }
    void TearDown() override { ASSERT_EQ(::chdir("/"), 0); }

    static void Touch(const char* name) {
        QFile file(QFile::decodeName(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name;
    }

private:
    QTemporaryDir m_dir;
};

// The same walk whether the folder listings carry entry types or each entry is looked at.
TEST_F(TreeWalkTest, FoldersInByteOrderDepthFirstLinksToFoldersNotFollowed) {
    ASSERT_EQ(::mkdir("t", 0700), 0);
    ASSERT_EQ(::mkdir("t/sub", 0700), 0);
    ASSERT_EQ(::mkdir("t/Z", 0700), 0);
    for (const char* name : {"t/b", "t/a", "t/sub-x", "t/sub/2", "t/sub/1", "t/\xC3\xA9", "t/~", "t/Z/z"})
        Touch(name);
    ASSERT_EQ(::symlink("sub/1", "t/link-file"), 0);
    ASSERT_EQ(::symlink("sub", "t/link-folder"), 0);
    ASSERT_EQ(::symlink("missing", "t/link-dangling"), 0);
    ASSERT_EQ(::mkfifo("t/fifo", 0600), 0);
    ASSERT_EQ(::symlink("fifo", "t/link-fifo"), 0);
    // A folder given through a link is walked, named from the link.
    ASSERT_EQ(::symlink("t/sub", "sub-link"), 0);

    const std::vector<std::string> expected = {
        // "Z" < "a" and "sub" < "sub-x" < "~" < "é" in bytes; "t/" keeps its one slash
        "file t/Z/z",
        "file t/a",
        "file t/b",
        "skip t/fifo: not a regular file",
        "file t/link-dangling",
        "skip t/link-fifo: not a regular file",
        "file t/link-file",
        "file t/sub/1",
        "file t/sub/2",
        "file t/sub-x",
        "file t/~",
        "file t/\xC3\xA9",
        // inputs given after the folder: a file as given, a folder walked again
        "file t/b",
        "file t/sub/1",
        "file t/sub/2",
        "file sub-link/1",
        "file sub-link/2",
    };
    for (const TEntryTypes types : {TEntryTypes::Listed, TEntryTypes::Looked}) {
        SCOPED_TRACE(types == TEntryTypes::Listed ? "types listed" : "types looked at");
        Recorder recorder;
        WalkInputs({"t/", "t/b", "t/sub", "sub-link"}, true, recorder, std::nullopt, types);
        EXPECT_EQ(recorder.Visits, expected);
    }
}

// Keeps every name the walk hands on, so that the folders held for them stay held.
class NameKeeper final : public TWalkVisitor {
public:
    void File(const TFileName& name) override { Names.push_back(name); }
    void Skipped(const std::string&, const std::string&) override {}
    void Failed(const std::string&, const std::string&) override {}

    const TFileName& Named(const std::string& path) const {
        const auto found =
            std::find_if(Names.begin(), Names.end(), [&](const TFileName& name) { return name.Path == path; });
        EXPECT_NE(found, Names.end()) << path;
        return found == Names.end() ? Names.front() : *found;
    }

    std::vector<TFileName> Names;
};

// A file the walk found regular is opened without a look; one whose kind the walk could not
// learn (a dangling link) is left to the open. However long the files wait, no more folders
// than MaxHeldFolders stay open for them.
TEST_F(TreeWalkTest, FilesComeWithWhatTheWalkKnowsAndFewFoldersHeld) {
    ASSERT_EQ(::mkdir("t", 0700), 0);
    Touch("t/a");
    ASSERT_EQ(::symlink("a", "t/link-file"), 0);
    ASSERT_EQ(::symlink("missing", "t/link-dangling"), 0);
    for (const char* folder : {"t/s1", "t/s2", "t/s3", "t/s4"}) {
        ASSERT_EQ(::mkdir(folder, 0700), 0);
        Touch((std::string(folder) + "/f").c_str());
    }
    for (const TEntryTypes types : {TEntryTypes::Listed, TEntryTypes::Looked}) {
        SCOPED_TRACE(types == TEntryTypes::Listed ? "types listed" : "types looked at");
        NameKeeper keeper;
        WalkInputs({"t"}, true, keeper, std::nullopt, types);
        ASSERT_EQ(keeper.Names.size(), 7u);
        EXPECT_TRUE(keeper.Named("t/a").KnownRegular);
        EXPECT_TRUE(keeper.Named("t/link-file").KnownRegular);
        EXPECT_FALSE(keeper.Named("t/link-dangling").KnownRegular);
        EXPECT_TRUE(keeper.Named("t/s4/f").KnownRegular);
        std::set<const TFileHandle*> held;
        for (const TFileName& name : keeper.Names)
            if (name.Folder)
                held.insert(name.Folder.get());
        EXPECT_GE(held.size(), 1u) << "the first folder is held for its files";
        EXPECT_LE(held.size(), static_cast<std::size_t>(MaxHeldFolders));
        EXPECT_FALSE(keeper.Named("t/s4/f").Folder) << "a folder beyond the held ones is opened by path";
    }
    // Where the descriptor limit leaves no room, the walk holds none and every file is known all the same.
    NameKeeper keeper;
    WalkInputs({"t"}, true, keeper, std::nullopt, TEntryTypes::Listed, 0);
    ASSERT_EQ(keeper.Names.size(), 7u);
    for (const TFileName& name : keeper.Names)
        EXPECT_FALSE(name.Folder) << name.Path;
    EXPECT_TRUE(keeper.Named("t/s1/f").KnownRegular);
}

TEST_F(TreeWalkTest, WithoutRecursionEveryInputIsANameToHash) {
    ASSERT_EQ(::mkdir("d", 0700), 0);
    Recorder recorder;
    WalkInputs({"d", "missing", "-x"}, false, recorder);
    EXPECT_EQ(recorder.Visits, (std::vector<std::string>{"file d", "file missing", "file -x"}));
}

TEST_F(TreeWalkTest, FolderThatDisappearsMidWalkIsReportedAndTheWalkGoesOn) {
    ASSERT_EQ(::mkdir("t", 0700), 0);
    ASSERT_EQ(::mkdir("t/b", 0700), 0);
    ASSERT_EQ(::mkdir("t/d", 0700), 0);
    for (const char* name : {"t/a", "t/b/1", "t/c", "t/d/1", "t/d/2", "t/e"})
        Touch(name);

    Recorder recorder;
    recorder.OnFile = [](const std::string& name) {
        if (name == "t/a") { // the listed folder t/b goes before it is read
            ASSERT_EQ(::unlink("t/b/1"), 0);
            ASSERT_EQ(::rmdir("t/b"), 0);
        }
        if (name == "t/d/1") { // a read folder loses an entry and then itself
            ASSERT_EQ(::unlink("t/d/1"), 0);
            ASSERT_EQ(::unlink("t/d/2"), 0);
            ASSERT_EQ(::rmdir("t/d"), 0);
        }
    };
    WalkInputs({"t"}, true, recorder);
    const std::vector<std::string> expected = {
        "file t/a", "fail t/b: Cannot read folder: No such file or directory", "file t/c", "file t/d/1", "file t/d/2",
        "file t/e",
    };
    EXPECT_EQ(recorder.Visits, expected);
}

// Permission cases need a user that permissions apply to.
// Root reads every folder: the walk runs as an unprivileged user who owns the tree.
TEST_F(TreeWalkTest, UnreadableFolderIsAFailure) {
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(".", UnprivilegedUserId, UnprivilegedUserId), 0);
    }
    EXPECT_TRUE(RunUnprivileged([] {
        ASSERT_EQ(::mkdir("t", 0700), 0);
        ASSERT_EQ(::mkdir("t/closed", 0000), 0);
        Touch("t/open");
        Recorder recorder;
        WalkInputs({"t"}, true, recorder);
        EXPECT_EQ(recorder.Visits,
                  (std::vector<std::string>{"fail t/closed: Cannot read folder: Permission denied", "file t/open"}));
        ::chmod("t/closed", 0700);
    }));
}

} // namespace
