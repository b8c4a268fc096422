// Files other hashing tools stumble on: a path longer than the classic 260-character limit, a
// name outside any single-byte code page and a file another handle keeps open for writing.
// Each is hashed by name as the programs hash it.
#include "hashing/NamedFileDigest.h"
#include "platform/DataFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// SHA-256 of "abc" (FIPS 180-2).
constexpr const char* AbcSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

std::string Utf8(const fs::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

// Removes root with a chain of folders in it deeper than the classic limit, which the standard
// library's calls do not reach on every system: each second level is first moved up to root.
void RemoveDeepTree(const fs::path& root) {
    for (int moved = 0;; ++moved) {
        fs::path grandchild;
        for (const fs::directory_entry& child : fs::directory_iterator(root))
            if (child.is_directory())
                for (const fs::directory_entry& inner : fs::directory_iterator(child.path()))
                    if (inner.is_directory())
                        grandchild = inner.path();
        if (grandchild.empty())
            break;
        const fs::path child = grandchild.parent_path();
        fs::rename(grandchild, root / ("up" + std::to_string(moved)));
        fs::remove(child);
    }
    fs::remove_all(root);
}

class HardFileNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_folder = fs::temp_directory_path() / ("quviro-hard-names-" + std::to_string(stamp));
        fs::create_directories(m_folder);
    }
    void TearDown() override { RemoveDeepTree(m_folder); }

    fs::path m_folder;
};

TNamedFileDigest Sha256Of(const fs::path& path) {
    TStreamDigester digester;
    return DigestNamedFile(Utf8(path), {THashAlgorithm::SHA256}, digester);
}

TEST_F(HardFileNamesTest, PathLongerThanTheClassicLimitIsHashed) {
    // Made by the program's own data-file calls, which reach such paths wherever the file
    // system does.
    fs::path folder = m_folder;
    while (Utf8(folder).size() <= 300)
        folder /= std::string(60, 'd');
    ASSERT_TRUE(CreateOwnerOnlyFolders(Utf8(folder)));
    const fs::path file = folder / "abc.txt";
    ASSERT_TRUE(ReplaceFileAtomically(Utf8(file), "abc", Utf8(folder / "abc.tmp")));
    ASSERT_GT(Utf8(file).size(), 260u);

    const TNamedFileDigest result = Sha256Of(file);
    ASSERT_TRUE(result.Succeeded()) << result.Reason;
    EXPECT_EQ(result.Digests, std::vector<std::string>{AbcSha256});
}

TEST_F(HardFileNamesTest, NameOutsideEveryCodePageIsHashed) {
    // Greek, Cyrillic, CJK and an emoji: no single-byte code page holds them all.
    const fs::path file = m_folder / fs::path(u8"\u03b1\u0436\u6f22\U0001f600.txt");
    std::ofstream(file, std::ios::binary) << "abc";

    const TNamedFileDigest result = Sha256Of(file);
    ASSERT_TRUE(result.Succeeded()) << result.Reason;
    EXPECT_EQ(result.Digests, std::vector<std::string>{AbcSha256});
}

TEST_F(HardFileNamesTest, FileOpenForWritingElsewhereIsHashed) {
    const fs::path file = m_folder / "held.log";
    std::ofstream writer(file, std::ios::binary);
    writer << "abc" << std::flush;
    ASSERT_TRUE(writer.good());

    const TNamedFileDigest result = Sha256Of(file);
    ASSERT_TRUE(result.Succeeded()) << result.Reason;
    EXPECT_EQ(result.Digests, std::vector<std::string>{AbcSha256});
    EXPECT_TRUE(writer.is_open()) << "the writer still holds the file";
}

} // namespace
