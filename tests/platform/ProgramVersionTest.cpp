// The version the build puts in a program reads back from the program's file, on every system:
// the test executable carries the project's version like quviro and quviro-cli; a program built
// without one, a file that is no program, a folder and a missing file have none.
#include "platform/ProgramVersion.h"
#include "platform/Executable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr VersionRecord::TNumbers ProjectVersion = {QUVIRO_VERSION_MAJOR, QUVIRO_VERSION_MINOR, QUVIRO_VERSION_RELEASE,
                                                    QUVIRO_VERSION_BUILD};

void ExpectNumbers(const VersionRecord::TNumbers& numbers, const VersionRecord::TNumbers& expected,
                   const std::string& which) {
    EXPECT_EQ(numbers.major, expected.major) << which;
    EXPECT_EQ(numbers.minor, expected.minor) << which;
    EXPECT_EQ(numbers.release, expected.release) << which;
    EXPECT_EQ(numbers.build, expected.build) << which;
}

class ProgramVersionTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("quviro-version-" + std::to_string(std::hash<std::string>{}(RunningExecutablePath())));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path m_folder;
};

} // namespace

TEST_F(ProgramVersionTest, RunningProgramCarriesTheProjectVersion) {
    const std::string own[] = {std::string(), RunningExecutablePath()};
    for (const std::string& name : own) {
        VersionRecord::TNumbers numbers;
        EXPECT_TRUE(ReadProgramVersion(name, numbers)) << "program '" << name << "'";
        ExpectNumbers(numbers, ProjectVersion, "program '" + name + "'");
    }
}

TEST_F(ProgramVersionTest, FilesWithoutAVersionHaveNone) {
    // The program is there: its lack of a version, not its absence, is what gives false.
    ASSERT_TRUE(std::filesystem::is_regular_file(QUVIRO_PROGRAM_WITHOUT_VERSION));
    const std::filesystem::path text = m_folder / "notes.txt";
    std::ofstream(text) << "1.0.1.1\n";
    const std::string names[] = {QUVIRO_PROGRAM_WITHOUT_VERSION, text.string(), m_folder.string(),
                                 (m_folder / "missing.exe").string()};
    for (const std::string& name : names) {
        VersionRecord::TNumbers numbers{9, 9, 9, 9};
        EXPECT_FALSE(ReadProgramVersion(name, numbers)) << name;
        ExpectNumbers(numbers, {}, name);
    }
}
