// Memory running out on the jobs' threads: every file still ends in exactly one line naming it.
// The binary replaces the global operator new so that, while a run is under test, allocations
// fail on every thread but the test's own and the sink's writes.
#include "hashing/FileListHash.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> failOtherThreads{false};
std::thread::id testThread;
thread_local bool allowed = false;

} // namespace

void* operator new(std::size_t size) {
    if (failOtherThreads.load(std::memory_order_relaxed) && !allowed && std::this_thread::get_id() != testThread)
        throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

namespace fs = std::filesystem;

TEST(FileListMemoryTest, EveryFileEndsInOneLineNamingIt) {
    const fs::path folder =
        fs::temp_directory_path() / std::string("quviro-filelist-memory-").append(std::to_string(::getpid()));
    fs::create_directories(folder);
    std::vector<std::string> inputs;
    for (int i = 0; i < 12; ++i) {
        inputs.push_back((folder / std::string("f").append(std::to_string(i))).string());
        std::ofstream(inputs.back()) << i;
    }
    TFileListSettings settings;
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
    failOtherThreads = true;
    const TFileListResult result = HashFileList(inputs, settings, sink);
    failOtherThreads = false;
    fs::remove_all(folder);

    EXPECT_EQ(result, TFileListResult::SomeFailed);
    std::string expected;
    for (const std::string& input : inputs)
        expected.append(input).append(": Out of memory\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(errors, expected);
}

} // namespace
