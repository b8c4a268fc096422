#include "pipeline/HashPipeline.h"

#include "hashing/FileStream.h"
#include "tests/crypt/OpenSslDigest.h"
#include "tests/support/UnprivilegedRun.h"
#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>

namespace {

const QStringList StandardItems{u"MD5"_qs, u"SHA1"_qs, u"SHA256"_qs};
enum { MD5 = 0, SHA1 = 1, SHA256 = 2 };

QString Units(std::initializer_list<char16_t> units) {
    QString text;
    for (char16_t u : units)
        text.append(QChar(u));
    return text;
}

// Expected digests come from OpenSSL, not from the program's own engines.
QString ReferenceDigest(const QString& algorithm, const std::string& bytes) {
    const THashAlgorithm engine = algorithm == u"MD5"    ? THashAlgorithm::MD5
                                  : algorithm == u"SHA1" ? THashAlgorithm::SHA1
                                                         : THashAlgorithm::SHA256;
    return QString::fromStdString(
        OpenSslHex(engine, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

// A folder holding the files the cases name as "{dir}/...".
class PipelineFiles {
public:
    PipelineFiles() {
        // Searchable by others: the unreadable-file case runs as another user.
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
        Write("abc.txt", "abc");
        Write("empty.bin", "");
        Write("big.bin", BigContent());
        Write("secret.bin", "secret");
        Write("caf\xC3\xA9.txt", "accent");
        ::chmod(Path("secret.bin").constData(), 0);
        ::mkfifo(Path("fifo").constData(), 0600);
        ::symlink(Path("abc.txt").constData(), Path("link-to-abc").constData());
        ::symlink(Path("missing").constData(), Path("dangling").constData());
        ::mkdir(Path("folder").constData(), 0700);
    }
    ~PipelineFiles() { ::chmod(Path("secret.bin").constData(), 0600); }

    QString Dir() const { return m_dir.path(); }

    // One byte past the engines' largest read, so a file is read in several pieces, overlapped.
    static std::string BigContent() {
        std::string content(4 * 1024 * 1024 + 1, '\0');
        for (std::size_t i = 0; i < content.size(); ++i)
            content[i] = static_cast<char>(i * 31 + 7);
        return content;
    }

private:
    QByteArray Path(const char* name) const { return QFile::encodeName(m_dir.filePath(QString::fromUtf8(name))); }
    void Write(const char* name, const std::string& content) const {
        QFile file(m_dir.filePath(QString::fromUtf8(name)));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(content.data(), qint64(content.size())) != qint64(content.size()))
            ADD_FAILURE() << "cannot write " << name;
    }

    QTemporaryDir m_dir;
};

// One request and what it must give. Fields left out take the defaults: a text value hashed
// with SHA-256 from the standard items, no trim, no salt, lower case.
struct PipelineCase {
    const char* name = "";
    int inputType = InputTypeText;
    QString inputText{}; // "{dir}" stands for the folder of PipelineFiles
    bool trimInput = false;
    int saltType = SaltTypeNone;
    QString saltText{};
    QStringList hashItems = StandardItems;
    int hashType = SHA256;
    bool upperHash = false;
    // Success: the bytes whose digest is expected, its algorithm and the salt to remember.
    std::string bytes{};
    QString algorithm = u"SHA256"_qs;
    QString saltToRemember{};
    // Failure: the status message ("{dir}" replaced) and the algorithm known by then.
    QString error{};
    QString failedAlgorithm{};
    bool needsNonRoot = false;
};

void PrintTo(const PipelineCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string Abc = "abc";
const QString AbcFile = u"{dir}/abc.txt"_qs;
const QString NoFile = u"File does not exist"_qs;
const QString NoText = u"No valid text"_qs;
const QString HexRefused = u"(Hexadecimal not supported in this version)"_qs;

// clang-format off
const PipelineCase PipelineCases[] = {
    // File names.
    {.name = "file_sha256", .inputType = InputTypeFile, .inputText = AbcFile, .bytes = Abc},
    {.name = "file_md5", .inputType = InputTypeFile, .inputText = AbcFile, .hashType = MD5, .bytes = Abc, .algorithm = u"MD5"_qs},
    {.name = "file_sha1", .inputType = InputTypeFile, .inputText = AbcFile, .hashType = SHA1, .bytes = Abc, .algorithm = u"SHA1"_qs},
    {.name = "file_name_spaces_and_breaks_around", .inputType = InputTypeFile, .inputText = u"  {dir}/abc.txt \r\n"_qs, .bytes = Abc},
    {.name = "file_empty", .inputType = InputTypeFile, .inputText = u"{dir}/empty.bin"_qs, .bytes = ""},
    {.name = "file_over_one_read_chunk", .inputType = InputTypeFile, .inputText = u"{dir}/big.bin"_qs, .hashType = SHA1,
     .bytes = PipelineFiles::BigContent(), .algorithm = u"SHA1"_qs},
    {.name = "file_link_to_file", .inputType = InputTypeFile, .inputText = u"{dir}/link-to-abc"_qs, .bytes = Abc},
    {.name = "file_non_ascii_name", .inputType = InputTypeFile, .inputText = u"{dir}/caf\u00E9.txt"_qs, .bytes = "accent"},
    {.name = "file_ignores_trim_flag_and_salt", .inputType = InputTypeFile, .inputText = AbcFile, .trimInput = true, .saltType = SaltTypePrefix,
     .saltText = u"x"_qs, .bytes = Abc},
    {.name = "file_empty_name", .inputType = InputTypeFile, .inputText = u""_qs, .error = NoFile},
    {.name = "file_two_line_name", .inputType = InputTypeFile, .inputText = u"{dir}/abc.txt\r\n{dir}/abc.txt"_qs, .error = NoFile},
    {.name = "file_missing", .inputType = InputTypeFile, .inputText = u"{dir}/missing"_qs, .error = NoFile},
    {.name = "file_folder", .inputType = InputTypeFile, .inputText = u"{dir}/folder"_qs, .error = NoFile},
    {.name = "file_fifo", .inputType = InputTypeFile, .inputText = u"{dir}/fifo"_qs, .error = NoFile},
    {.name = "file_device", .inputType = InputTypeFile, .inputText = u"/dev/null"_qs, .error = NoFile},
    {.name = "file_dangling_link", .inputType = InputTypeFile, .inputText = u"{dir}/dangling"_qs, .error = NoFile},
    {.name = "file_name_with_inner_nul", .inputType = InputTypeFile, .inputText = AbcFile + QChar(u'\0') + u"x"_qs, .error = NoFile},
    {.name = "file_unreadable", .inputType = InputTypeFile, .inputText = u"{dir}/secret.bin"_qs,
     .error = u"Error Opening File: Cannot open file \"{dir}/secret.bin\". Permission denied"_qs, .needsNonRoot = true},

    // Text values.
    {.name = "text_abc", .inputText = u"abc"_qs, .bytes = Abc},
    {.name = "text_trailing_crlf_kept_without_trim", .inputText = u"abc\r\n"_qs, .bytes = "abc\r\n"},
    {.name = "text_trailing_crlf_trimmed", .inputText = u"abc\r\n"_qs, .trimInput = true, .bytes = Abc},
    {.name = "text_nul_and_controls_trimmed", .inputText = Units({0, u'a', u'b', u'c', 0x1F}), .trimInput = true,
     .bytes = Abc},
    {.name = "text_spaces_only_without_trim", .inputText = u"   "_qs, .bytes = "   "},
    {.name = "text_spaces_only_trimmed", .inputText = u"   "_qs, .trimInput = true, .error = NoText},
    {.name = "text_empty", .inputText = u""_qs, .error = NoText},
    {.name = "text_inner_nul_is_a_byte", .inputText = Units({u'a', 0, u'b'}), .bytes = std::string("a\0b", 3)},
    {.name = "text_e_acute", .inputText = Units({0x00E9}), .bytes = "\xC3\xA9"},
    {.name = "text_surrogate_pair", .inputText = Units({u'x', 0xD83D, 0xDE00}), .bytes = "x\xF0\x9F\x98\x80"},
    {.name = "text_lone_high_surrogate", .inputText = Units({u'a', 0xD800, u'b'}), .bytes = "a\xEF\xBF\xBD" "b"},
    {.name = "text_lone_high_surrogate_at_end", .inputText = Units({u'a', 0xDBFF}), .bytes = "a\xEF\xBF\xBD"},
    {.name = "text_lone_low_surrogate", .inputText = Units({0xDC00, u'a'}), .bytes = "\xEF\xBF\xBD" "a"},
    {.name = "text_reversed_pair", .inputText = Units({0xDE00, 0xD83D}), .bytes = "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {.name = "text_bom_character_kept", .inputText = Units({0xFEFF, u'a'}), .bytes = "\xEF\xBB\xBF" "a"},
    {.name = "text_two_and_three_byte_forms", .inputText = Units({0x07FF, 0x0800, 0xFFFF}),
     .bytes = "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},

    // Salts.
    {.name = "salt_prefix", .inputText = u"bc"_qs, .saltType = SaltTypePrefix, .saltText = u"a"_qs, .bytes = Abc,
     .saltToRemember = u"a"_qs},
    {.name = "salt_suffix", .inputText = u"ab"_qs, .saltType = SaltTypeSuffix, .saltText = u"c"_qs, .bytes = Abc,
     .saltToRemember = u"c"_qs},
    {.name = "salt_type_above_two_is_suffix", .inputText = u"ab"_qs, .saltType = 7, .saltText = u"c"_qs, .bytes = Abc,
     .saltToRemember = u"c"_qs},
    {.name = "salt_trimmed", .inputText = u"bc"_qs, .saltType = SaltTypePrefix, .saltText = u" a \r\n"_qs, .bytes = Abc,
     .saltToRemember = u"a"_qs},
    {.name = "salt_after_trimmed_text", .inputText = u" ab\r\n"_qs, .trimInput = true, .saltType = SaltTypeSuffix,
     .saltText = u"c"_qs, .bytes = Abc, .saltToRemember = u"c"_qs},
    {.name = "salt_empty", .inputText = u"abc"_qs, .saltType = SaltTypePrefix, .saltText = u""_qs, .bytes = Abc},
    {.name = "salt_spaces_only", .inputText = u"abc"_qs, .saltType = SaltTypeSuffix, .saltText = u"   "_qs, .bytes = Abc},
    {.name = "salt_type_none_ignores_salt", .inputText = u"abc"_qs, .saltType = SaltTypeNone, .saltText = u"zzz"_qs, .bytes = Abc},
    {.name = "salt_type_minus_one_ignores_salt", .inputText = u"abc"_qs, .saltType = -1, .saltText = u"zzz"_qs,
     .bytes = Abc},
    {.name = "salt_never_makes_empty_text_valid", .inputText = u""_qs, .saltType = SaltTypePrefix, .saltText = u"a"_qs,
     .error = NoText},
    {.name = "salt_not_remembered_on_failure", .inputText = u"bc"_qs, .saltType = SaltTypePrefix, .saltText = u"a"_qs,
     .hashType = 5, .error = u"Error Hashing data: List index out of bounds (5)"_qs},

    // Hexadecimal bytes.
    {.name = "hex_empty", .inputType = InputTypeHex, .inputText = u""_qs, .error = NoText},
    {.name = "hex_prefix_only", .inputType = InputTypeHex, .inputText = u"0x"_qs, .error = NoText},
    {.name = "hex_prefix_then_spaces", .inputType = InputTypeHex, .inputText = u" 0X   \r\n"_qs, .error = NoText},
    {.name = "hex_valid_digits", .inputType = InputTypeHex, .inputText = u"0x0a1B"_qs, .error = HexRefused},
    {.name = "hex_invalid_digits", .inputType = InputTypeHex, .inputText = u"zz"_qs, .error = HexRefused},
    {.name = "hex_prefix_twice", .inputType = InputTypeHex, .inputText = u"0x0x"_qs, .error = HexRefused},

    // Base64.
    {.name = "base64_abc", .inputType = InputTypeBase64, .inputText = u"YWJj"_qs, .bytes = Abc},
    {.name = "base64_whitespace_around_ignored_without_trim", .inputType = InputTypeBase64, .inputText = u" \tYWJj\r\n"_qs,
     .hashType = MD5, .bytes = Abc, .algorithm = u"MD5"_qs},
    {.name = "base64_ignores_salt", .inputType = InputTypeBase64, .inputText = u"YWJj"_qs, .saltType = SaltTypePrefix, .saltText = u"x"_qs,
     .bytes = Abc},
    {.name = "base64_padding", .inputType = InputTypeBase64, .inputText = u"YWI="_qs, .hashType = SHA1, .bytes = "ab",
     .algorithm = u"SHA1"_qs},
    {.name = "base64_two_lines", .inputType = InputTypeBase64, .inputText = u"YWJj\r\nZGVm"_qs, .error = u"Invalid Base-64 text"_qs},
    {.name = "base64_bad_character", .inputType = InputTypeBase64, .inputText = u"YW*j"_qs, .error = u"Invalid Base-64 text"_qs},
    {.name = "base64_empty", .inputType = InputTypeBase64, .inputText = u" \r\n "_qs, .error = NoText},

    // Input types outside the named ones.
    {.name = "input_type_none", .inputType = -1, .inputText = u"abc"_qs, .error = u"Unsupported Input Method"_qs},
    {.name = "input_type_four", .inputType = InputTypeCount, .inputText = u"abc"_qs, .error = u"Unsupported Input Method"_qs},

    // Algorithm choice.
    {.name = "hash_index_minus_one", .inputText = u"abc"_qs, .hashType = -1,
     .error = u"Error Hashing data: List index out of bounds (-1)"_qs},
    {.name = "hash_index_past_end", .inputText = u"abc"_qs, .hashType = 3,
     .error = u"Error Hashing data: List index out of bounds (3)"_qs},
    {.name = "hash_items_empty", .inputType = InputTypeBase64, .inputText = u"YWJj"_qs, .hashItems = {}, .hashType = 0,
     .error = u"Error Hashing data: List index out of bounds (0)"_qs},
    {.name = "algorithm_unknown", .inputText = u"abc"_qs, .hashItems = {u"Whirl-pool"_qs}, .hashType = 0,
     .error = u"Unknown Algorithm"_qs, .failedAlgorithm = u"WHIRLPOOL"_qs},
    {.name = "algorithm_without_name_chars", .inputText = u"abc"_qs, .hashItems = {u" - "_qs}, .hashType = 0,
     .error = u"Unknown Algorithm"_qs},
    {.name = "algorithm_normalised", .inputText = u"abc"_qs, .hashItems = {u" sha-256\t"_qs}, .hashType = 0,
     .bytes = Abc},
    {.name = "algorithm_spaces_and_case", .inputText = u"abc"_qs, .hashItems = {u"m d 5"_qs, u"x"_qs}, .hashType = 0,
     .bytes = Abc, .algorithm = u"MD5"_qs},
    {.name = "algorithm_not_reached_after_input_failure", .inputType = InputTypeFile, .inputText = u"{dir}/missing"_qs,
     .hashItems = {u"SHA-512"_qs}, .hashType = 9, .error = NoFile},

    // Upper case.
    {.name = "upper_sha256", .inputText = u"abc"_qs, .upperHash = true, .bytes = Abc},
    {.name = "upper_md5_file", .inputType = InputTypeFile, .inputText = AbcFile, .hashType = MD5, .upperHash = true, .bytes = Abc,
     .algorithm = u"MD5"_qs},
};
// clang-format on

class HashPipelineTest : public testing::TestWithParam<PipelineCase> {
protected:
    static void SetUpTestSuite() { s_files = new PipelineFiles; }
    static void TearDownTestSuite() {
        delete s_files;
        s_files = nullptr;
    }
    static QString Expand(QString text) { return text.replace(u"{dir}"_qs, s_files->Dir()); }
    // Runs the case and checks its outcome.
    static void CheckOutcome(const PipelineCase& c);

    static PipelineFiles* s_files;
};

PipelineFiles* HashPipelineTest::s_files = nullptr;

void HashPipelineTest::CheckOutcome(const PipelineCase& c) {
    HashRequest request;
    request.InputType = c.inputType;
    request.InputText = Utf16(Expand(c.inputText));
    request.TrimInput = c.trimInput;
    request.SaltType = c.saltType;
    request.SaltText = Utf16(c.saltText);
    request.HashItems = Utf16List(c.hashItems);
    request.HashType = c.hashType;
    request.UpperHash = c.upperHash;

    const HashOutcome outcome = RunHashRequest(request);

    EXPECT_EQ(ToQString(outcome.ErrorText).toStdString(), Expand(c.error).toStdString());
    EXPECT_EQ(outcome.Succeeded(), c.error.isEmpty());
    EXPECT_EQ(ToQString(outcome.Algorithm).toStdString(),
              (c.error.isEmpty() ? c.algorithm : c.failedAlgorithm).toStdString());
    EXPECT_EQ(ToQString(outcome.SaltToRemember).toStdString(), c.saltToRemember.toStdString());
    if (c.error.isEmpty()) {
        QString expected = ReferenceDigest(c.algorithm, c.bytes);
        if (c.upperHash)
            expected = expected.toUpper();
        EXPECT_EQ(ToQString(outcome.Digest).toStdString(), expected.toStdString());
    } else {
        EXPECT_TRUE(outcome.Digest.empty()) << ToQString(outcome.Digest).toStdString();
    }
}

TEST_P(HashPipelineTest, Outcome) {
    const PipelineCase& c = GetParam();
    // Root reads files of any mode: a case about a refused open runs as an unprivileged user.
    if (c.needsNonRoot)
        EXPECT_TRUE(RunUnprivileged([&] { CheckOutcome(c); }));
    else
        CheckOutcome(c);
}

INSTANTIATE_TEST_SUITE_P(Cases, HashPipelineTest, testing::ValuesIn(PipelineCases),
                         [](const testing::TestParamInfo<PipelineCase>& info) { return std::string(info.param.name); });

QString TableName(const TAlgorithmInfo& row) {
    return QString::fromLatin1(row.Name.data(), static_cast<qsizetype>(row.Name.size()));
}

// Further algorithms are computed in the same read, and each digest is what the algorithm alone
// gives; the selected one and repeats among them are left out.
TEST(HashPipelineExtraTest, ExtraDigestsEqualTheDigestsOfEachAlgorithmAlone) {
    const PipelineFiles files;
    struct Case {
        const char* name;
        int inputType;
        QString inputText;
        bool upperHash;
    };
    const Case cases[] = {
        {"file_of_several_read_chunks", InputTypeFile, files.Dir() + u"/big.bin"_qs, false},
        {"text_upper_case", InputTypeText, u"abc"_qs, true},
        {"empty_file", InputTypeFile, files.Dir() + u"/empty.bin"_qs, false},
    };
    QStringList others;
    for (const TAlgorithmInfo& row : AlgorithmTable())
        if (row.Id != THashAlgorithm::SHA256)
            others.append(TableName(row));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HashRequest request;
        request.InputType = c.inputType;
        request.InputText = Utf16(c.inputText);
        request.UpperHash = c.upperHash;
        request.HashItems = Utf16List(StandardItems);
        request.HashType = SHA256;
        const HashOutcome alone = RunHashRequest(request);
        request.ExtraAlgorithms = Utf16List(others + QStringList{u"sha256"_qs, others.front()});
        const HashOutcome together = RunHashRequest(request);
        ASSERT_TRUE(together.Succeeded()) << ToQString(together.ErrorText).toStdString();
        EXPECT_EQ(ToQString(together.Algorithm), u"SHA256"_qs);
        EXPECT_EQ(together.Digest, alone.Digest);
        ASSERT_EQ(together.ExtraDigests.size(), static_cast<std::size_t>(others.size()));
        for (qsizetype i = 0; i < others.size(); ++i) {
            SCOPED_TRACE(others[i].toStdString());
            HashRequest single = request;
            single.ExtraAlgorithms.clear();
            single.HashItems = Utf16List({others[i]});
            single.HashType = 0;
            const HashOutcome expected = RunHashRequest(single);
            ASSERT_TRUE(expected.Succeeded()) << ToQString(expected.ErrorText).toStdString();
            const TAlgorithmDigest& extra = together.ExtraDigests[static_cast<std::size_t>(i)];
            EXPECT_EQ(ToQString(extra.Algorithm), others[i]);
            EXPECT_EQ(ToQString(extra.Digest).toStdString(), ToQString(expected.Digest).toStdString());
        }
    }
}

TEST(HashPipelineExtraTest, AnExtraAlgorithmOfNoNameFailsTheRequest) {
    HashRequest request;
    request.InputType = InputTypeText;
    request.InputText = Utf16(u"abc"_qs);
    request.HashItems = Utf16List(StandardItems);
    request.HashType = SHA256;
    request.ExtraAlgorithms = {u"SHA3-256", u"SHA4"};
    const HashOutcome outcome = RunHashRequest(request);
    EXPECT_EQ(ToQString(outcome.ErrorText), u"Unknown Algorithm"_qs);
    EXPECT_TRUE(outcome.Digest.empty());
    EXPECT_TRUE(outcome.ExtraDigests.empty());
}

// A stream that hands out its inner stream's bytes, running an action after the first read:
// the file shrinks, grows or fails while it is being hashed.
class InterruptedStream final : public TStream {
public:
    InterruptedStream(std::unique_ptr<TStream> inner, std::function<void()> afterFirstRead)
        : m_inner(std::move(inner)), m_afterFirstRead(std::move(afterFirstRead)) {}

    std::int64_t Size() const override { return m_inner->Size(); }
    std::int64_t Position() const override { return m_inner->Position(); }
    void Seek(std::int64_t offset) override { m_inner->Seek(offset); }
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t n = m_inner->Read(buffer, count);
        if (m_afterFirstRead)
            std::exchange(m_afterFirstRead, nullptr)();
        return n;
    }
    std::int64_t Write(const void* buffer, std::int64_t count) override { return m_inner->Write(buffer, count); }
    void CheckUnchanged() const override { m_inner->CheckUnchanged(); }

private:
    std::unique_ptr<TStream> m_inner;
    std::function<void()> m_afterFirstRead;
};

// Faults during reading reach the user as "Error Hashing data: " + the reason, never as a
// digest of what was read so far.
TEST(HashPipelineReadFailureTest, ReadFaultsBecomeHashingErrors) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = QFile::encodeName(dir.filePath(u"changing.bin"_qs)).toStdString();
    const std::string content = PipelineFiles::BigContent();

    struct Case {
        const char* name;
        std::function<void()> afterFirstRead;
        std::string error;
    };
    const Case cases[] = {
        {"file_shrinks", [&] { ASSERT_EQ(::truncate(path.c_str(), 100), 0); },
         "Error Hashing data: Stream read error: the file changed size while it was read"},
        {"file_grows",
         [&] {
             std::FILE* file = std::fopen(path.c_str(), "ab");
             ASSERT_NE(file, nullptr);
             std::fputs("more", file);
             std::fclose(file);
         },
         "Error Hashing data: Stream read error: the file changed size while it was read"},
        {"read_fails", [] { throw EReadError("Stream read error: Input/output error"); },
         "Error Hashing data: Stream read error: Input/output error"},
        {"memory_runs_out", [] { throw std::bad_alloc(); }, "Error Hashing data: Out of memory"},
        // Written again at its old size with other bytes: the size tells nothing, the time does.
        {"file_rewritten_at_its_old_size",
         [&] {
             std::string other = content;
             other[content.size() - 1] ^= 1;
             std::FILE* file = std::fopen(path.c_str(), "wb");
             ASSERT_NE(file, nullptr);
             ASSERT_EQ(std::fwrite(other.data(), 1, other.size(), file), other.size());
             std::fclose(file);
             const timespec times[2] = {{0, UTIME_OMIT}, {1234567890, 0}};
             ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
         },
         "Error Hashing data: Stream read error: the file changed while it was read"},
    };
    for (const Case& c : cases)
        for (const QStringList& extra : {QStringList(), QStringList{u"SHA3-256"_qs, u"MD5"_qs}}) {
            SCOPED_TRACE(std::string(c.name) + (extra.isEmpty() ? "" : " with extra algorithms"));
            {
                std::FILE* file = std::fopen(path.c_str(), "wb");
                ASSERT_NE(file, nullptr);
                ASSERT_EQ(std::fwrite(content.data(), 1, content.size(), file), content.size());
                std::fclose(file);
            }
            HashRequest request;
            request.InputType = InputTypeFile;
            request.InputText = Utf16(dir.filePath(u"changing.bin"_qs));
            request.HashItems = Utf16List(StandardItems);
            request.HashType = SHA256;
            request.ExtraAlgorithms = Utf16List(extra);
            std::string opened;
            const HashOutcome outcome = RunHashRequest(request, [&](const std::string& name) {
                opened = name;
                return std::make_unique<InterruptedStream>(std::make_unique<TFileStream>(name), c.afterFirstRead);
            });
            EXPECT_EQ(opened, path);
            EXPECT_EQ(ToQString(outcome.ErrorText).toStdString(), c.error);
            EXPECT_TRUE(outcome.Digest.empty());
            EXPECT_TRUE(outcome.ExtraDigests.empty());
            EXPECT_FALSE(outcome.Succeeded());
        }
}

// Open failures are reported with the opener's message, whoever runs the tests.
TEST(HashPipelineReadFailureTest, OpenFailureBecomesOpeningError) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(u"present.bin"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    HashRequest request;
    request.InputType = InputTypeFile;
    request.InputText = Utf16(file.fileName());
    request.HashItems = Utf16List(StandardItems);
    request.HashType = SHA256;
    const HashOutcome outcome = RunHashRequest(request, [](const std::string& name) -> std::unique_ptr<TStream> {
        throw EFOpenError("Cannot open file \"" + name + "\". Operation not permitted");
    });
    EXPECT_EQ(ToQString(outcome.ErrorText),
              u"Error Opening File: Cannot open file \""_qs + file.fileName() + u"\". Operation not permitted"_qs);
    EXPECT_TRUE(outcome.Digest.empty());
}

} // namespace
