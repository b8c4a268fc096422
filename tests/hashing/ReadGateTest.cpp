// The read gate: which files it holds back (a /sys of the test's own says which disks rotate),
// that a second file of a rotating disk waits for the first, and that a file list's jobs read the
// files of such a disk one at a time and still give every file its line.
#include "hashing/ReadGate.h"

#include "crypt/Stream.h"
#include "hashing/FileListHash.h"
#include "platform/Files.h"
#include "tests/support/StateWait.h"

#include <gtest/gtest.h>

#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Counts what the gate does and lets a test wait for a count.
class TGateLog final : public TReadGateObserver {
public:
    void Waiting(std::uint64_t) override {
        Change([&] { ++m_waiting; });
    }
    void Held(std::uint64_t) override {
        Change([&] {
            ++m_held;
            ++m_holding;
            m_mostHolding = std::max(m_mostHolding, m_holding);
        });
    }
    void Released(std::uint64_t) override {
        Change([&] { --m_holding; });
    }

    // Waits until check holds of (waiting, held); false when it never does.
    template <class TCheck> bool WaitFor(TCheck check) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(StateWaitMs),
                                  [&] { return check(m_waiting, m_held); });
    }

    int Held() {
        const std::lock_guard lock(m_mutex);
        return m_held;
    }
    int MostHolding() {
        const std::lock_guard lock(m_mutex);
        return m_mostHolding;
    }

private:
    template <class TStep> void Change(TStep step) {
        {
            const std::lock_guard lock(m_mutex);
            step();
        }
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_waiting = 0;
    int m_held = 0;
    int m_holding = 0;
    int m_mostHolding = 0;
};

// A /sys of the test's own: rotating disks 8:0 (with its partition 8:1) and 8:16, a solid-state
// disk 259:0, no entry for 0:42; and the disk of the test's own folder, rotating or not.
class ReadGateTest : public testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("quviro-readgate-" + std::to_string(::getpid()));
        Disk("8:0", '1');
        fs::create_directories(m_root / "dev" / "block" / "8:0" / "8:1");
        fs::create_directory_symlink("8:0/8:1", m_root / "dev" / "block" / "8:1");
        Disk("8:16", '1');
        Disk("259:0", '0');
        fs::create_directories(m_root / "files");
        const std::optional<TFileInfo> files = LookAtPath((m_root / "files").string());
        ASSERT_TRUE(files);
        m_filesDevice = files->Identity.Device;
    }
    void TearDown() override { fs::remove_all(m_root); }

    void Disk(const std::string& number, char rotational) const {
        fs::create_directories(m_root / "dev" / "block" / number / "queue");
        std::ofstream(m_root / "dev" / "block" / number / "queue" / "rotational") << rotational << '\n';
    }

    // Says whether the disk of the test's folder rotates.
    void FilesDisk(char rotational) const {
        Disk(std::to_string(major(static_cast<dev_t>(m_filesDevice))) + ":" +
                 std::to_string(minor(static_cast<dev_t>(m_filesDevice))),
             rotational);
    }

    TReadGateSeam Seam(TReadGateObserver& observer) const { return {m_root.string(), &observer}; }

    fs::path m_root;
    std::uint64_t m_filesDevice = 0;
};

std::unique_ptr<TStream> SomeStream() {
    return std::make_unique<TMemoryStream>();
}

TEST_F(ReadGateTest, HoldsTheFilesOfRotatingDisksOnly) {
    struct Case {
        const char* name;
        unsigned major;
        unsigned minor;
        bool held;
    };
    const Case cases[] = {
        {"rotating_disk", 8, 0, true},
        {"partition_of_that_disk", 8, 1, true},
        {"solid_state", 259, 0, false},
        {"no_block_device", 0, 42, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGateLog log;
        TReadGate gate(Seam(log));
        std::unique_ptr<TStream> stream = SomeStream();
        const TStream* plain = stream.get();
        std::unique_ptr<TStream> gated = gate.Gated(std::move(stream), makedev(c.major, c.minor));
        EXPECT_EQ(gated.get() != plain, c.held);
        EXPECT_EQ(log.Held(), c.held ? 1 : 0);
        gated.reset();
        EXPECT_EQ(log.MostHolding(), c.held ? 1 : 0);
    }
}

// While one file of a rotating disk is held, a second of the same disk waits and is held only
// once the first is let go; a file of another rotating disk does not wait for it.
TEST_F(ReadGateTest, SecondFileOfADiskWaitsForTheFirst) {
    TGateLog log;
    TReadGate gate(Seam(log));
    const std::uint64_t disk = makedev(8, 0);
    std::unique_ptr<TStream> first = gate.Gated(SomeStream(), disk);
    std::unique_ptr<TStream> otherDisk = gate.Gated(SomeStream(), makedev(8, 16));
    EXPECT_EQ(log.Held(), 2);
    std::future<std::unique_ptr<TStream>> second =
        std::async(std::launch::async, [&] { return gate.Gated(SomeStream(), disk); });
    ASSERT_TRUE(log.WaitFor([](int waiting, int) { return waiting == 1; }));
    EXPECT_EQ(log.Held(), 2) << "the second file was held beside the first";
    first.reset();
    ASSERT_TRUE(log.WaitFor([](int, int held) { return held == 3; }));
    EXPECT_TRUE(second.get());
    EXPECT_EQ(log.MostHolding(), 2) << "one file of each disk at most";
}

// A file list's jobs read the files of a rotating disk one at a time, each through the gate,
// those of other disks freely; every file's lines are the same either way.
TEST_F(ReadGateTest, FileListReadsOneFileOfARotatingDiskAtATime) {
    std::vector<std::string> inputs;
    for (int i = 0; i < 60; ++i) {
        inputs.push_back((m_root / "files" / std::string("f").append(std::to_string(i))).string());
        // Small files for the lanes and larger ones for the reader.
        std::ofstream(inputs.back(), std::ios::binary) << std::string(i % 6 == 5 ? 300000 : 100 * i, 'a' + i % 26);
    }
    for (const THashAlgorithm algorithm : {THashAlgorithm::MD5, THashAlgorithm::SHA256}) {
        std::string expected;
        for (const char rotational : {'0', '1'}) {
            SCOPED_TRACE(std::string(AlgorithmInfo(algorithm).Name).append(rotational == '1' ? ", rotating" : ""));
            FilesDisk(rotational);
            TGateLog log;
            TFileListSettings settings;
            settings.Algorithms = {algorithm};
            settings.Jobs = 4;
            settings.ReadGate = Seam(log);
            std::string lines;
            const auto write = [&](std::string_view bytes) {
                lines.append(bytes);
                return true;
            };
            EXPECT_EQ(HashFileList(inputs, settings, {write, write}), TFileListResult::AllHashed);
            EXPECT_EQ(log.Held(), rotational == '1' ? 60 : 0);
            EXPECT_LE(log.MostHolding(), 1);
            if (expected.empty())
                expected = lines;
            EXPECT_EQ(lines, expected);
        }
    }
}

} // namespace
