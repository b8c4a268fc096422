#include "platform/SharedLibrary.h"

#include <gtest/gtest.h>

#include <cstdio>
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

// What does not load is a failure with the system's reason, never a crash, and has no symbols.
TEST(SharedLibraryTest, WhatIsNoLibraryFailsWithAReason) {
    const std::filesystem::path text =
        std::filesystem::temp_directory_path() /
        ("quviro-not-a-library-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".so");
    std::ofstream(text) << "not a library\n";
    const std::string names[] = {"libquviro-no-such-library.so.1", "/nonexistent/folder/libquviro.so", text.string()};
    for (const std::string& name : names) {
        const TSharedLibrary library = LoadSharedLibrary(name.c_str());
        EXPECT_EQ(library.Handle, nullptr) << name;
        EXPECT_FALSE(library.Failure.empty()) << name;
        EXPECT_EQ(SharedLibrarySymbol(library, "QuviroFixtureAnswer"), nullptr) << name;
    }
    std::filesystem::remove(text);
}

} // namespace
