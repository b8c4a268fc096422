#include "hashing/SmallFileBatch.h"

#include "crypt/DigestLanes.h"
#include "hashing/FileListHash.h"
#include "hashing/NamedFileDigest.h"
#include "tests/support/UnprivilegedRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t Limit = SmallFileLimit;

// Sizes around the limit and the block boundaries, taken in turns by the tree's files.
constexpr std::int64_t Sizes[] = {0, 1, 55, 64, 4096, Limit - 1, Limit, Limit + 1, 3 * Limit, 20000};

// Lines in the order the sink got them, each marked as standard output's or standard error's.
struct TLine {
    bool Error;
    std::string Text;
    bool operator==(const TLine&) const = default;
};

// "f1000": a fixed width, so the walk's order is the order of creation.
std::string FileName(std::size_t number) {
    return std::string("f").append(std::to_string(number));
}

std::string Content(std::size_t seed, std::int64_t size) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 131 + seed * 7) >> 3);
    return bytes;
}

// Restores the best lane path whichever way the test ends.
struct TLanePathUse {
    explicit TLanePathUse(TLanePath path) { Used = UseLanePath(path); }
    ~TLanePathUse() { UseLanePath(BestLanePath()); }
    bool Used;
};

class SmallFileBatchTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / std::string("quviro-batch-").append(std::to_string(::getpid()));
        fs::create_directories(m_folder / "tree" / "inner");
        // The unprivileged user must walk the tree.
        for (const fs::path& folder : {m_folder, m_folder / "tree", m_folder / "tree" / "inner"})
            fs::permissions(folder, fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all);
        // More files than two batches of the widest path, so batches end in the middle of the tree.
        for (std::size_t i = 0; i < 150; ++i) {
            const fs::path file = m_folder / "tree" / (i % 5 == 4 ? "inner" : "") / FileName(1000 + i);
            std::ofstream(file, std::ios::binary) << Content(i, Sizes[i % std::size(Sizes)]);
            fs::permissions(file, i % 23 == 7 ? fs::perms::none : fs::perms::owner_read | fs::perms::others_read);
        }
        ASSERT_EQ(::mkfifo((m_folder / "tree" / "f1050fifo").c_str(), 0644), 0);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::vector<TLine> HashTree(THashAlgorithm algorithm, int jobs) const {
        const std::string tree = (m_folder / "tree").string();
        const std::vector<std::string> inputs{tree + "/f1000", tree + "/missing", tree, tree + "/f1003"};
        TFileListSettings settings;
        settings.Algorithms = {algorithm};
        settings.Jobs = jobs;
        settings.Recursive = true;
        std::vector<TLine> lines;
        const TFileListSink sink{
            [&](std::string_view bytes) {
                lines.push_back({false, std::string(bytes)});
                return true;
            },
            [&](std::string_view line) {
                lines.push_back({true, std::string(line)});
                return true;
            },
        };
        HashFileList(inputs, settings, sink);
        return lines;
    }

    fs::path m_folder;
};

// Batched in the lanes or read file by file, a tree of mixed sizes with unreadable, missing and
// skipped entries among its files gives the same lines and error lines in the same order.
TEST_F(SmallFileBatchTest, LanesGiveTheLinesOfTheOneStreamPath) {
    EXPECT_TRUE(RunUnprivileged([&] {
        for (const THashAlgorithm algorithm : {THashAlgorithm::MD5, THashAlgorithm::SHA1}) {
            SCOPED_TRACE(std::string(HashAlgorithmName(algorithm)));
            std::vector<TLine> oneStream;
            {
                const TLanePathUse portable(TLanePath::Portable);
                ASSERT_FALSE(BatchesSmallFiles({algorithm}));
                oneStream = HashTree(algorithm, 1);
            }
            // Every file and entry has its one line: 150 files, a FIFO, the two named again, a
            // missing one; 7 unreadable files among them.
            ASSERT_EQ(oneStream.size(), 154u);
            std::size_t errors = 0;
            for (const TLine& line : oneStream)
                errors += line.Error ? 1 : 0;
            EXPECT_EQ(errors, 9u);
            EXPECT_TRUE(oneStream[1].Error);
            EXPECT_NE(oneStream[1].Text.find("No such file or directory"), std::string::npos);
            int pathsRun = 0;
            for (const TLanePath path : {TLanePath::AVX2, TLanePath::AVX512}) {
                const TLanePathUse lanes(path);
                if (!lanes.Used)
                    continue;
                ++pathsRun;
                ASSERT_TRUE(BatchesSmallFiles({algorithm}));
                for (const int jobs : {1, 3}) {
                    SCOPED_TRACE(testing::Message()
                                 << "lane path " << static_cast<int>(path) << ", " << jobs << " jobs");
                    EXPECT_EQ(HashTree(algorithm, jobs), oneStream);
                }
            }
            if (pathsRun == 0)
                GTEST_SKIP() << "this processor has no lane path";
        }
    }));
}

// Whatever the budget, a batch gives each file what the named-file unit gives it alone.
TEST_F(SmallFileBatchTest, EveryBudgetGivesEachFilesOwnResult) {
    std::vector<TFileName> names;
    for (std::size_t i = 0; i < 40; ++i)
        names.push_back((m_folder / "tree" / FileName(1000 + i)).string());
    names.push_back((m_folder / "tree" / "missing").string());
    names.push_back((m_folder / "tree" / "inner").string());
    for (const std::int64_t budget : {Limit, 3 * Limit, SmallFileBatchBytes(1)}) {
        SCOPED_TRACE(budget);
        TStreamDigester digester;
        TSmallFileBatcher batcher(budget);
        const std::vector<TNamedFileDigest> batched =
            batcher.Digest(names, THashAlgorithm::MD5, digester, nullptr, nullptr);
        ASSERT_EQ(batched.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            SCOPED_TRACE(names[i].Path);
            const TNamedFileDigest alone = DigestNamedFile(names[i], {THashAlgorithm::MD5}, digester);
            EXPECT_EQ(batched[i].Failure, alone.Failure);
            EXPECT_EQ(batched[i].Reason, alone.Reason);
            EXPECT_EQ(batched[i].Digests, alone.Digests);
        }
    }
}

// Batches stay within their share of the 32 MiB and can always hold one file of the limit.
TEST(SmallFileBatchBytesTest, AllJobsStayWithinTheBudget) {
    for (const int jobs : {1, 2, 8, 9, 64, 256, 100000}) {
        SCOPED_TRACE(jobs);
        const std::int64_t bytes = SmallFileBatchBytes(jobs);
        EXPECT_GE(bytes, Limit);
        EXPECT_LE(bytes, 4 * 1024 * 1024);
        if (bytes > Limit) {
            EXPECT_LE(bytes * jobs, 32 * 1024 * 1024);
        }
    }
}

} // namespace
