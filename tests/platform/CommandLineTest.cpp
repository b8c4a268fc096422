// The arguments a command-line program sees for wildcards: the POSIX shell expands them, and on
// Windows, whose command shell passes them unexpanded, ProgramArguments does the same.
#include "platform/CommandLine.h"
#include "platform/Executable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(CommandLineTest, WildcardsInTheLastComponentBecomeTheSortedMatches) {
    // In the test's working folder, which the child shares, one name per test program file.
    const std::string unique = std::to_string(std::hash<std::string>{}(RunningExecutablePath()) % 1000000007);
    const std::string folder = "arguments" + unique;
    const std::string out = folder + ".out";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    // "δ" is in no single-byte Western code page: its name reaches the program whole.
    for (const char* name : {"b.iso", "a.iso", "c.txt", "\xCE\xB4.iso"})
        std::ofstream(std::filesystem::path(folder) /
                      std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(name))));
    const std::string writer = std::filesystem::path(QUVIRO_ARGUMENTS_WRITER).make_preferred().string();
    const std::string command =
        '"' + writer + "\" " + out + ' ' + folder + "/*.iso " + folder + "/?.txt " + folder + "/*.none";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(ReadAll(out), folder + "/a.iso\n" + folder + "/b.iso\n" + folder + "/\xCE\xB4.iso\n" + folder +
                                "/c.txt\n" + folder + "/*.none\n");
    std::filesystem::remove_all(folder);
    std::filesystem::remove(out);
}
