#include "platform/SharedLibrary.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(SharedLibraryTest, LoadsALibraryAndFindsItsFunction) {
    const TSharedLibrary library = LoadSharedLibrary(QUVIRO_SHARED_LIBRARY_FIXTURE);
    ASSERT_NE(library.Handle, nullptr) << library.Failure;
    EXPECT_TRUE(library.Failure.empty());
    const auto answer = reinterpret_cast<int (*)()>(SharedLibrarySymbol(library, "QuviroFixtureAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(SharedLibrarySymbol(library, "QuviroFixtureMissing"), nullptr);
}

// What does not load is a failure with the system's reason naming the file, never a crash, and
// has no symbols.
TEST(SharedLibraryTest, WhatIsNoLibraryFailsWithAReason) {
    const std::filesystem::path text =
        std::filesystem::temp_directory_path() / ("quviro-not-a-library-" + std::to_string(::getpid()) + ".so");
    std::ofstream(text) << "not a library\n";
    const std::string names[] = {"libquviro-no-such-library.so.1", "/nonexistent/folder/libquviro.so", text.string()};
    for (const std::string& name : names) {
        const TSharedLibrary library = LoadSharedLibrary(name.c_str());
        EXPECT_EQ(library.Handle, nullptr) << name;
        EXPECT_NE(library.Failure.find(std::filesystem::path(name).filename().string()), std::string::npos)
            << name << ": " << library.Failure;
        EXPECT_EQ(SharedLibrarySymbol(library, "QuviroFixtureAnswer"), nullptr) << name;
    }
    std::filesystem::remove(text);
}

} // namespace
