#include "platform/Storage.h"

#include "platform/Files.h"

#include <gtest/gtest.h>

#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A /sys of our own: a disk 8:0 with a partition 8:1 (whose entry links into the disk's folder
// and has no queue), a solid-state disk 259:0, and no entry for 0:42 (a file system without a
// block device).
class StorageTest : public testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("quviro-storage-" + std::to_string(::getpid()));
        const fs::path devices = m_root / "devices";
        Disk(devices / "sda", '1');
        fs::create_directories(devices / "sda" / "sda1");
        Disk(devices / "nvme0n1", '0');
        fs::create_directories(m_root / "dev" / "block");
        fs::create_directory_symlink("../../devices/sda", m_root / "dev" / "block" / "8:0");
        fs::create_directory_symlink("../../devices/sda/sda1", m_root / "dev" / "block" / "8:1");
        fs::create_directory_symlink("../../devices/nvme0n1", m_root / "dev" / "block" / "259:0");
    }
    void TearDown() override { fs::remove_all(m_root); }

    static void Disk(const fs::path& folder, char rotational) {
        fs::create_directories(folder / "queue");
        std::ofstream(folder / "queue" / "rotational") << rotational << '\n';
    }

    fs::path m_root;
};

TEST_F(StorageTest, TellsRotatingDisksByTheirQueue) {
    struct Case {
        const char* name;
        unsigned major;
        unsigned minor;
        std::optional<bool> rotational;
    };
    const Case cases[] = {
        {"disk", 8, 0, true},
        {"partition_of_that_disk", 8, 1, true},
        {"solid_state", 259, 0, false},
        {"no_block_device", 0, 42, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DeviceIsRotational(makedev(c.major, c.minor), m_root.string()), c.rotational);
    }
}

// Without a /sys there is nothing to say for any device.
TEST(StorageOfThisSystemTest, NoSystemTreeSaysNothing) {
    const std::optional<TFileInfo> info = LookAtPath(fs::current_path().string());
    ASSERT_TRUE(info);
    EXPECT_EQ(DeviceIsRotational(info->Identity.Device, "/nonexistent"), std::nullopt);
}

} // namespace
