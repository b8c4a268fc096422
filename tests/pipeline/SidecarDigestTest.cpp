#include "pipeline/SidecarDigest.h"

#include "checksums/ChecksumListReader.h"
#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

const QByteArray Sha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const QByteArray Sha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
const QByteArray Md5 = "900150983cd24fb0d6963f7d28e17f72";

struct SidecarCase {
    const char* name;
    // Files beside "file.iso": name and content; content "<fifo>" makes a FIFO, "<dir>" a folder.
    std::vector<std::pair<QString, QByteArray>> lists;
    QString preferred;
    QString digest; // empty: nothing found
    QString algorithm;
    QString listName;
};

void PrintTo(const SidecarCase& c, std::ostream* os) {
    *os << c.name;
}

// "abc" in algorithms whose digests share a length with SHA-256's and SHA-512's.
const QByteArray Sha3_256 = "3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532";
const QByteArray Blake2b = "ba80a53f981c4d0d6a2797b69f12f6e94c212f14685ac4b74b12bb6fdbffa2d17d87c5392aab792dc252d5de"
                           "4533cc9518d38aa8dbf1925ab92386edd4009923";
const QByteArray Blake3 = "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85";

// "abc" in CRC32, as SFV lists write it.
const QByteArray Crc32 = "352441c2";

// SFV lists named a.sfv .. that hold no line for the file: more of them than are read.
std::vector<std::pair<QString, QByteArray>> ManySfvLists(const QByteArray& lastContent) {
    std::vector<std::pair<QString, QByteArray>> lists;
    for (std::size_t i = 0; i < MaxFolderSfvLists; ++i)
        lists.emplace_back(QStringLiteral("a%1.sfv").arg(i, 2, 10, QChar(u'0')), "other.iso " + Crc32 + "\n");
    lists.emplace_back(u"z.sfv"_qs, lastContent);
    return lists;
}

const SidecarCase SidecarCases[] = {
    {"sfv_list_of_any_name",
     {{u"f.sfv"_qs, "; made by hand\nother.iso 00000000\nfile.iso 352441C2\n"}},
     u"SHA256"_qs,
     Crc32,
     u"CRC32"_qs,
     u"f.sfv"_qs},
    {"second_sfv_list_holds_the_line",
     {{u"a.sfv"_qs, "other.iso 00000000\n"}, {u"checksums.sfv"_qs, "file.iso 352441c2\n"}},
     u"SHA256"_qs,
     Crc32,
     u"CRC32"_qs,
     u"checksums.sfv"_qs},
    {"sfv_named_after_the_file_first",
     {{u"a.sfv"_qs, "file.iso 00000000\n"}, {u"file.iso.sfv"_qs, "file.iso 352441c2\n"}},
     u"CRC32"_qs,
     Crc32,
     u"CRC32"_qs,
     u"file.iso.sfv"_qs},
    {"sums_list_before_an_sfv_list",
     {{u"a.sfv"_qs, "file.iso 352441c2\n"}, {u"SHA256SUMS"_qs, Sha256 + "  file.iso\n"}},
     u"SHA256"_qs,
     Sha256,
     u"SHA256"_qs,
     u"SHA256SUMS"_qs},
    {"sfv_list_read_up_to_its_limit",
     {{u"f.sfv"_qs, QByteArray(MaxSidecarFileSize, '\n') + "file.iso 352441c2\n"}},
     u"SHA256"_qs,
     {},
     {},
     {}},
    {"sfv_lists_past_the_limit_unread", ManySfvLists("file.iso 352441c2\n"), u"SHA256"_qs, {}, {}, {}},
    {"sfv_lists_within_the_limit_read",
     {{u"a.sfv"_qs, "other.iso 00000000\n"},
      {u"fifo.sfv"_qs, "<fifo>"},
      {u"dir.sfv"_qs, "<dir>"},
      {u"z.sfv"_qs, "file.iso 352441c2\n"}},
     u"SHA256"_qs,
     Crc32,
     u"CRC32"_qs,
     u"z.sfv"_qs},
    {"b3sum_line_file",
     {{u"file.iso.b3"_qs, Blake3 + "  file.iso\n"}},
     u"SHA256"_qs,
     Blake3,
     u"BLAKE3"_qs,
     u"file.iso.b3"_qs},
    {"b3sums_list_names_blake3",
     {{u"B3SUMS"_qs, Sha256 + "  other.iso\n" + Blake3 + "  file.iso\n"}},
     u"SHA256"_qs,
     Blake3,
     u"BLAKE3"_qs,
     u"B3SUMS"_qs},
    {"b2sums_list_names_blake2b",
     {{u"b2sums.txt"_qs, Blake2b + "  file.iso\n"}},
     u"SHA256"_qs,
     Blake2b,
     u"BLAKE2b-512"_qs,
     u"b2sums.txt"_qs},
    {"bare_sha3_file",
     {{u"file.iso.sha3-256"_qs, Sha3_256 + "\n"}},
     u"SHA256"_qs,
     Sha3_256,
     u"SHA3-256"_qs,
     u"file.iso.sha3-256"_qs},
    {"preferred_other_algorithm_first",
     {{u"SHA256SUMS"_qs, Sha256 + "  file.iso\n"}, {u"SHA3-256SUMS"_qs, Sha3_256 + "  file.iso\n"}},
     u"SHA3-256"_qs,
     Sha3_256,
     u"SHA3-256"_qs,
     u"SHA3-256SUMS"_qs},
    {"bare_digest_file",
     {{u"file.iso.sha256"_qs, Sha256.toUpper() + "\n"}},
     u"SHA256"_qs,
     Sha256,
     u"SHA256"_qs,
     u"file.iso.sha256"_qs},
    {"gnu_line_file",
     {{u"file.iso.sha1"_qs, Sha1 + " *file.iso\r\n"}},
     u"SHA256"_qs,
     Sha1,
     u"SHA1"_qs,
     u"file.iso.sha1"_qs},
    {"sum_suffix", {{u"file.iso.md5sum"_qs, Md5 + "  file.iso\n"}}, u"MD5"_qs, Md5, u"MD5"_qs, u"file.iso.md5sum"_qs},
    {"sums_list",
     {{u"SHA256SUMS"_qs, "# list\n" + Sha256.left(63) + "0  other.iso\n" + Sha256 + "  ./file.iso\n"}},
     u"SHA256"_qs,
     Sha256,
     u"SHA256"_qs,
     u"SHA256SUMS"_qs},
    {"bsd_sums_list",
     {{u"SHA1SUMS"_qs, "SHA1 (file.iso) = " + Sha1 + "\n"}},
     u"SHA1"_qs,
     Sha1,
     u"SHA1"_qs,
     u"SHA1SUMS"_qs},
    {"preferred_algorithm_first",
     {{u"SHA256SUMS"_qs, Sha256 + "  file.iso\n"}, {u"MD5SUMS"_qs, Md5 + "  file.iso\n"}},
     u"MD5"_qs,
     Md5,
     u"MD5"_qs,
     u"MD5SUMS"_qs},
    {"sha256_before_others",
     {{u"SHA1SUMS"_qs, Sha1 + "  file.iso\n"}, {u"file.iso.sha256"_qs, Sha256}},
     u"none"_qs,
     Sha256,
     u"SHA256"_qs,
     u"file.iso.sha256"_qs},
    {"list_without_the_file", {{u"SHA256SUMS"_qs, Sha256 + "  other.iso\n"}}, u"SHA256"_qs, {}, {}, {}},
    {"wrong_length_for_extension", {{u"file.iso.md5"_qs, Sha256 + "\n"}}, u"MD5"_qs, {}, {}, {}},
    {"name_case_matters", {{u"SHA256SUMS"_qs, Sha256 + "  FILE.ISO\n"}}, u"SHA256"_qs, {}, {}, {}},
    {"fifo_is_skipped",
     {{u"file.iso.sha256"_qs, "<fifo>"}, {u"SHA1SUMS"_qs, Sha1 + "  file.iso\n"}},
     u"SHA256"_qs,
     Sha1,
     u"SHA1"_qs,
     u"SHA1SUMS"_qs},
    {"folder_is_skipped", {{u"SHA256SUMS"_qs, "<dir>"}}, u"SHA256"_qs, {}, {}, {}},
    {"binary_garbage", {{u"SHA256SUMS"_qs, QByteArray("\x00\xff\n\x01", 4)}}, u"SHA256"_qs, {}, {}, {}},
    // Bounded reading: an overlong line is skipped whole, the lines after it still count.
    {"overlong_line_skipped",
     {{u"SHA256SUMS"_qs, QByteArray(MaxListLineLength + 1, 'a') + "  file.iso\n" + Sha256 + "  file.iso\n"}},
     u"SHA256"_qs,
     Sha256,
     u"SHA256"_qs,
     u"SHA256SUMS"_qs},
    {"overlong_line_not_taken_for_its_end",
     {{u"SHA256SUMS"_qs, QByteArray(MaxListLineLength, 'x') + Sha256 + "  file.iso\n"}},
     u"SHA256"_qs,
     {},
     {},
     {}},
    {"sums_list_without_final_break",
     {{u"MD5SUMS"_qs, "\n\n" + Md5 + "  file.iso"}},
     u"MD5"_qs,
     Md5,
     u"MD5"_qs,
     u"MD5SUMS"_qs},
    {"sidecar_read_up_to_its_limit",
     {{u"file.iso.sha256"_qs, QByteArray(MaxSidecarFileSize, '\n') + Sha256 + "\n"}},
     u"SHA256"_qs,
     {},
     {},
     {}},
    {"sums_list_read_past_the_sidecar_limit",
     {{u"SHA256SUMS"_qs, QByteArray(MaxSidecarFileSize, '\n') + Sha256 + "  file.iso\n"}},
     u"SHA256"_qs,
     Sha256,
     u"SHA256"_qs,
     u"SHA256SUMS"_qs},
};

class SidecarDigestTest : public testing::TestWithParam<SidecarCase> {};

TEST_P(SidecarDigestTest, FindsTheListedDigest) {
    const SidecarCase& c = GetParam();
    QTemporaryDir dir;
    QFile file(dir.filePath(u"file.iso"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    for (const auto& [name, content] : c.lists) {
        const QString path = dir.filePath(name);
        if (content == "<fifo>") {
            ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (content == "<dir>") {
            ASSERT_TRUE(QDir(dir.path()).mkdir(name));
        } else {
            QFile list(path);
            ASSERT_TRUE(list.open(QIODevice::WriteOnly));
            list.write(content);
        }
    }
    const std::optional<TSidecarDigest> found = FindSidecarDigest(Utf16(file.fileName()), Utf16(c.preferred));
    if (c.digest.isEmpty()) {
        EXPECT_FALSE(found) << ToQString(found->ListName).toStdString();
        return;
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(ToQString(found->Digest), c.digest);
    EXPECT_EQ(ToQString(found->Algorithm), c.algorithm);
    EXPECT_EQ(ToQString(found->ListName), c.listName);
    EXPECT_EQ(found->NamedAfterFile, c.listName.startsWith(u"file.iso."_qs));
}

INSTANTIATE_TEST_SUITE_P(Cases, SidecarDigestTest, testing::ValuesIn(SidecarCases),
                         [](const testing::TestParamInfo<SidecarCase>& info) { return std::string(info.param.name); });

} // namespace
