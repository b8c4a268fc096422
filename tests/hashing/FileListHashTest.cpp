#include "hashing/FileListHash.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FileListHashTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / std::string("quviro-filelist-").append(std::to_string(::getpid()));
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    fs::path m_folder;
};

// The least soft limit that leaves exactly room free descriptor numbers below it; descriptors
// open above it (inherited ones) take no numbers a new open could get.
// UndefinedBehaviorSanitizer checks a pointer's memory through a pipe it opens: under the
// sanitizers the program needs two descriptors more than its own.
#ifdef __SANITIZE_ADDRESS__
constexpr int SanitizerDescriptors = 2;
#else
constexpr int SanitizerDescriptors = 0;
#endif

rlim_t LimitWithRoom(int room) {
    int limit = 0;
    for (int free = 0; free < room || ::fcntl(limit, F_GETFD) != -1; ++limit)
        free += ::fcntl(limit, F_GETFD) == -1 ? 1 : 0;
    return static_cast<rlim_t>(limit);
}

// Lowers the soft descriptor limit for one scope and puts it back.
class TDescriptorLimit {
public:
    explicit TDescriptorLimit(rlim_t soft) {
        ::getrlimit(RLIMIT_NOFILE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = soft;
        m_set = ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~TDescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &m_saved); }
    bool Set() const { return m_set; }

private:
    rlimit m_saved{};
    bool m_set = false;
};

// The jobs leave room for the walk's folder and a few more beside each job's file.
TEST(JobsForDescriptorsTest, JobsFitTheDescriptorLimit) {
    struct Case {
        int room; // descriptors the limit allows beside those open now
        int jobs;
        int expected;
    };
    const Case cases[] = {{0, 8, 1}, {3, 8, 1}, {4, 8, 1}, {5, 8, 2}, {13, 16, 10}, {13, 4, 4}, {100, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("room " + std::to_string(c.room) + " jobs " + std::to_string(c.jobs));
        TDescriptorLimit limit(LimitWithRoom(c.room));
        ASSERT_TRUE(limit.Set());
        EXPECT_EQ(JobsForDescriptors(c.jobs), c.expected);
    }
    EXPECT_EQ(JobsForDescriptors(64), 64) << "the usual limit leaves room for every job";
}

// A job's chunk stays near the processor's caches (1 MiB), and all jobs' two buffers each stay
// within 32 MiB: the chunk shrinks past 16 jobs, in whole 64 KiB steps, to no less than 64 KiB.
TEST(ChunkForJobsTest, ChunksStayCacheSizedAndWithinTheBudget) {
    constexpr std::int64_t KiB = 1024;
    struct Case {
        int jobs;
        std::int64_t expected;
    };
    const Case cases[] = {{0, 1024 * KiB}, {1, 1024 * KiB}, {2, 1024 * KiB}, {16, 1024 * KiB},
                          {17, 960 * KiB}, {64, 256 * KiB}, {256, 64 * KiB}, {4096, 64 * KiB}};
    for (const Case& c : cases) {
        SCOPED_TRACE("jobs " + std::to_string(c.jobs));
        EXPECT_EQ(ChunkForJobs(c.jobs), c.expected);
    }
}

// With a descriptor limit that leaves room for one open file beside the walk's folder, many
// jobs over several folders still give every file its line: the limit costs speed, not files.
TEST_F(FileListHashTest, LowDescriptorLimitCostsNoFiles) {
    std::vector<std::string> expectedNames;
    for (const char* folder : {"a", "b", "c"}) {
        fs::create_directories(m_folder / folder);
        for (int i = 10; i < 30; ++i) {
            const fs::path file = m_folder / folder / std::string("f").append(std::to_string(i));
            std::ofstream(file) << std::string(200000, static_cast<char>('a' + i % 26));
            expectedNames.push_back(file.string());
        }
    }
    TFileListSettings settings;
    settings.Jobs = 16;
    settings.Recursive = true;
    std::string out;
    std::string errors;
    const TFileListSink sink{
        [&](std::string_view bytes) {
            out.append(bytes);
            return true;
        },
        [&](std::string_view bytes) {
            errors.append(bytes);
            return true;
        },
    };
    TFileListResult result = TFileListResult::WriteFailed;
    {
        TDescriptorLimit limit(LimitWithRoom(2 + SanitizerDescriptors));
        ASSERT_TRUE(limit.Set());
        result = HashFileList({m_folder.string()}, settings, sink);
    }
    EXPECT_EQ(errors, "");
    EXPECT_EQ(result, TFileListResult::AllHashed);
    std::string expected;
    for (const std::string& name : expectedNames)
        expected.append(name).append("\n");
    std::string names;
    std::size_t start = 0;
    for (std::size_t end = out.find('\n'); end != std::string::npos; start = end + 1, end = out.find('\n', start))
        names.append(out, start + 66, end + 1 - (start + 66)); // after 64 digits and two spaces
    EXPECT_EQ(names, expected);
}

// The threads this process runs now.
std::size_t ThreadCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const fs::directory_entry& task : fs::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

// One input without -r is one job, whatever -j says: no job threads wait beside it, and its
// BLAKE3 gets every processor. Two inputs, or a folder walked, run on the jobs asked for.
TEST_F(FileListHashTest, OneInputIsOneJob) {
    const fs::path file = m_folder / "one";
    std::ofstream(file) << "abc";
    std::ofstream(m_folder / "two") << "def";
    struct Case {
        const char* name;
        std::vector<std::string> inputs;
        bool recursive;
        bool jobThreads; // job threads are running while the lines are written
    };
    const Case cases[] = {
        {"one_file", {file.string()}, false, false},
        {"two_files", {file.string(), file.string()}, false, true},
        {"folder_walked", {m_folder.string()}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFileListSettings settings;
        settings.Algorithms = {THashAlgorithm::BLAKE3};
        settings.Jobs = 8;
        settings.Recursive = c.recursive;
        const std::size_t before = ThreadCount();
        std::size_t whileWriting = 0;
        const TFileListSink sink{
            [&](std::string_view) {
                whileWriting = std::max(whileWriting, ThreadCount());
                return true;
            },
            [](std::string_view) { return true; },
        };
        EXPECT_EQ(HashFileList(c.inputs, settings, sink), TFileListResult::AllHashed);
        if (c.jobThreads)
            EXPECT_GT(whileWriting, before);
        else
            EXPECT_EQ(whileWriting, before);
    }
}

} // namespace
