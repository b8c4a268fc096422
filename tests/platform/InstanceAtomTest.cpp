// The instance mark is counted across processes: a share taken and dropped by one instance
// leaves the shares of the others, and the mark is gone once the last share is.
#include "platform/InstanceAtom.h"
#include "platform/Executable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

class InstanceAtomTest : public testing::Test {
protected:
    void SetUp() override {
        // One name per test program file, so that parallel runs from other folders never meet.
        const std::string unique = std::to_string(std::hash<std::string>{}(RunningExecutablePath()) % 1000000007);
        m_name = "ZTAppInstanceCheck_ATOMTEST" + unique;
        // In the test's working folder, which the child shares: a name without spaces or quotes
        // passes through the command shell of any system as it is.
        m_lockFile = m_name + ".lock";
    }
    void TearDown() override {
        DeleteInstanceAtom();
        std::filesystem::remove(m_lockFile);
    }

    std::string m_name;
    std::string m_lockFile;
};

} // namespace

TEST_F(InstanceAtomTest, FoundFromAddToDelete) {
    EXPECT_FALSE(FindInstanceAtom(m_name, m_lockFile));
    ASSERT_TRUE(AddInstanceAtom(m_name, m_lockFile));
    EXPECT_TRUE(FindInstanceAtom(m_name, m_lockFile));
    DeleteInstanceAtom();
    EXPECT_FALSE(FindInstanceAtom(m_name, m_lockFile));
}

TEST_F(InstanceAtomTest, OneProcessHoldsOneShare) {
    ASSERT_TRUE(AddInstanceAtom(m_name, m_lockFile));
    ASSERT_TRUE(AddInstanceAtom(m_name, m_lockFile));
    DeleteInstanceAtom();
    EXPECT_FALSE(FindInstanceAtom(m_name, m_lockFile));
}

TEST_F(InstanceAtomTest, AnotherInstanceCountsBesideThisOne) {
    ASSERT_TRUE(AddInstanceAtom(m_name, m_lockFile));
    // The system's own separators: the command shell of Windows reads "/" as an option.
    const std::string sharer = std::filesystem::path(QUVIRO_ATOM_SHARER).make_preferred().string();
    ASSERT_TRUE(std::filesystem::is_regular_file(sharer)) << sharer;
    // Only the program's name is quoted: the shell of Windows drops the outer quotes of a
    // command that holds more than one pair.
    const std::string command = '"' + sharer + "\" " + m_name + ' ' + m_lockFile;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(FindInstanceAtom(m_name, m_lockFile));
    DeleteInstanceAtom();
    EXPECT_FALSE(FindInstanceAtom(m_name, m_lockFile));
}
