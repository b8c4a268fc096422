// The application-data folder the system names is a folder the user has, written as the system
// writes folders, so that the data folder appended to it ends the same way.
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(ShellFoldersTest, NamedAppDataFolderExistsAndEndsInTheDelimiter) {
    const std::string folder = SystemAppDataFolder();
    RecordProperty("AppDataFolder", folder);
    if (folder.empty())
        GTEST_SKIP() << "this system names no application-data folder; the program takes the XDG config folder";
    EXPECT_EQ(folder.back(), SystemPathDelimiter()) << folder;
    const std::filesystem::path path = std::filesystem::u8path(folder);
    EXPECT_TRUE(path.is_absolute()) << folder;
    EXPECT_TRUE(std::filesystem::is_directory(path)) << folder;
}
