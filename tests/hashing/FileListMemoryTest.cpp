// Memory running out on the jobs' threads, or on every thread after a given number of
// allocations: every file still ends in exactly one line naming it, or the run's last line names
// the first file not reached and how many were not. MD5 takes the files in batches for the vector
// lanes, SHA-256 one by one. The binary replaces the global operator new
// so that, while a run is under test, allocations fail everywhere but in the sink's writes.
#include "hashing/FileListHash.h"
#include "platform/PathNames.h"
#include "tests/support/ReplacedNew.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> failOtherThreads{false};
// Allocations that may still succeed on any thread; below 0, no such count applies.
std::atomic<long> allocationsLeft{-1};
std::thread::id testThread;
thread_local bool allowed = false;

bool AllowWhileUnderTest(std::size_t) {
    if (failOtherThreads.load(std::memory_order_relaxed) && !allowed && std::this_thread::get_id() != testThread)
        return false;
    return allowed || allocationsLeft.load(std::memory_order_relaxed) < 0 ||
           allocationsLeft.fetch_sub(1, std::memory_order_relaxed) > 0;
}

namespace fs = std::filesystem;

// The one-by-one and the batched way of hashing a file list.
const THashAlgorithm Algorithms[] = {THashAlgorithm::SHA256, THashAlgorithm::MD5};

std::string AlgorithmCase(THashAlgorithm algorithm) {
    return std::string(AlgorithmInfo(algorithm).Name).append(", ");
}

TEST(FileListMemoryTest, EveryFileEndsInOneLineNamingIt) {
    const fs::path folder =
        fs::temp_directory_path() / std::string("quviro-filelist-memory-").append(std::to_string(::getpid()));
    fs::create_directories(folder);
    std::vector<std::string> inputs;
    for (int i = 0; i < 12; ++i) {
        inputs.push_back((folder / std::string("f").append(std::to_string(i))).string());
        std::ofstream(inputs.back()) << i;
    }
    for (const THashAlgorithm algorithm : Algorithms) {
        SCOPED_TRACE(AlgorithmInfo(algorithm).Name);
        TFileListSettings settings;
        settings.Algorithms = {algorithm};
        settings.Jobs = 3;
        std::string out;
        std::string errors;
        // The sink stands for the output, which has memory of its own.
        const TFileListSink sink{
            [&](std::string_view bytes) {
                allowed = true;
                out.append(bytes);
                allowed = false;
                return true;
            },
            [&](std::string_view bytes) {
                allowed = true;
                errors.append(bytes);
                allowed = false;
                return true;
            },
        };
        testThread = std::this_thread::get_id();
        SetAllocationHook(AllowWhileUnderTest);
        failOtherThreads = true;
        const TFileListResult result = HashFileList(inputs, settings, sink);
        failOtherThreads = false;

        EXPECT_EQ(result, TFileListResult::SomeFailed);
        std::string expected;
        for (const std::string& input : inputs)
            expected.append(PortableName(input)).append(": Out of memory\n");
        EXPECT_EQ(out, "");
        EXPECT_EQ(errors, expected);
    }
    fs::remove_all(folder);
}

// The lines of one run, standard output's and standard error's in the order written.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The name a checksum line or an error line is about.
std::string NameOf(const std::string& line) {
    const std::size_t blanks = line.find("  ");
    return blanks != std::string::npos ? line.substr(blanks + 2) : line.substr(0, line.find(": "));
}

TEST(FileListMemoryTest, MemoryRunningOutEverywhereLeavesNoFileUnaccounted) {
    const fs::path folder =
        fs::temp_directory_path() / std::string("quviro-filelist-nomemory-").append(std::to_string(::getpid()));
    fs::create_directories(folder / "sub");
    std::vector<std::string> inputs;
    // Each file's name as its lines write it.
    std::vector<std::string> listed;
    for (int i = 0; i < 10; ++i) {
        inputs.push_back((folder / std::string("f").append(std::to_string(i))).string());
        listed.push_back(PortableName(inputs.back()));
        std::ofstream(inputs.back()) << i;
    }
    for (const THashAlgorithm algorithm : Algorithms)
        for (const bool recursive : {false, true})
            for (const long allowedAllocations : {0L, 1L, 2L, 5L, 10L, 20L, 40L, 80L, 160L, 320L, 100000L}) {
                SCOPED_TRACE(AlgorithmCase(algorithm) + (recursive ? "-r, " : "") + std::to_string(allowedAllocations) +
                             " allocations");
                TFileListSettings settings;
                settings.Algorithms = {algorithm};
                settings.Jobs = 3;
                settings.Recursive = recursive;
                std::string all;
                const auto write = [&](std::string_view bytes) {
                    allowed = true;
                    all.append(bytes);
                    allowed = false;
                    return true;
                };
                const TFileListSink sink{write, write};
                const std::vector<std::string> given = recursive ? std::vector<std::string>{folder.string()} : inputs;
                std::optional<TFileListResult> result;
                SetAllocationHook(AllowWhileUnderTest);
                allocationsLeft = allowedAllocations;
                try {
                    result = HashFileList(given, settings, sink);
                } catch (const std::bad_alloc&) {
                }
                allocationsLeft = -1;
                ASSERT_TRUE(result) << "memory running out escaped the run: " << all;
                std::vector<std::string> lines = Lines(all);
                ASSERT_FALSE(lines.empty());
                // Either every file has its line, or the last line accounts for the rest.
                std::size_t reached = inputs.size();
                const std::string notReached = "Out of memory: ";
                const std::string noneReached = notReached + "no input reached";
                if (lines.back().starts_with(notReached) &&
                    (lines.back().find(" not reached") != std::string::npos || lines.back() == noneReached)) {
                    const std::string last = lines.back();
                    lines.pop_back();
                    reached = lines.size();
                    const std::size_t count = inputs.size() - reached;
                    const auto notReachedFrom = [&](std::size_t n, const std::string& first) {
                        return notReached + std::to_string(n) + (n == 1 ? " input" : " inputs") +
                               " not reached, the first: " + first;
                    };
                    const bool counted = reached < inputs.size() && last == notReachedFrom(count, listed[reached]);
                    const bool countedInPart = reached < inputs.size() && last.starts_with(notReached + "at least ") &&
                                               last.ends_with(", the first: " + listed[reached]);
                    const bool noneSetUp =
                        reached == 0 && last == notReachedFrom(given.size(), PortableName(given.front()));
                    const bool walkStopped = recursive && (last.starts_with(notReached + "the inputs after ") ||
                                                           (reached == 0 && last == noneReached));
                    EXPECT_TRUE(counted || countedInPart || noneSetUp || walkStopped) << last;
                }
                ASSERT_LE(reached, inputs.size()) << all;
                for (std::size_t i = 0; i < lines.size(); ++i)
                    EXPECT_EQ(NameOf(lines[i]), listed[i]) << all;
                EXPECT_EQ(*result == TFileListResult::AllHashed, all.find(": ") == std::string::npos) << all;
            }
    fs::remove_all(folder);
}

} // namespace
