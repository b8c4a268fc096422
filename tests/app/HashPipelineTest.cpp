#include "HashPipeline.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
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
    const EVP_MD* md = algorithm == u"MD5" ? EVP_md5() : algorithm == u"SHA1" ? EVP_sha1() : EVP_sha256();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, md, nullptr) != 1)
        return u"<openssl failed>"_qs;
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), length).toHex());
}

bool RunningAsRoot() { return ::geteuid() == 0; }

// A folder holding the files the cases name as "{dir}/...".
class PipelineFiles {
public:
    PipelineFiles() {
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

    // One byte past the engine's 4 MiB read chunk, so a file is read in two pieces.
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
        if (!file.open(QIODevice::WriteOnly) || file.write(content.data(), qint64(content.size())) != qint64(content.size()))
            ADD_FAILURE() << "cannot write " << name;
    }

    QTemporaryDir m_dir;
};

struct PipelineCase {
    const char* name;
    int inputType;
    QString inputText; // "{dir}" stands for the folder of PipelineFiles
    bool trimInput;
    int saltType;
    QString saltText;
    QStringList hashItems;
    int hashType;
    bool upperHash;
    // Success: the bytes whose digest is expected, the algorithm and the salt to remember.
    // Failure: the status message ("{dir}" replaced) and the algorithm known by then.
    std::string bytes;
    QString algorithm;
    QString saltToRemember;
    QString error;
    bool needsNonRoot = false;
};

void PrintTo(const PipelineCase& c, std::ostream* os) { *os << c.name; }

PipelineCase Text(const char* name, QString text, std::string bytes) {
    return {name, 1, std::move(text), false, 0, {}, StandardItems, SHA256, false, std::move(bytes), u"SHA256"_qs, {}, {}};
}
PipelineCase Salted(const char* name, QString text, int saltType, QString salt, std::string bytes, QString remembered) {
    return {name,  1,     std::move(text),  false,       saltType, std::move(salt), StandardItems, SHA256,
            false, bytes, u"SHA256"_qs, std::move(remembered), {}};
}
PipelineCase Fails(const char* name, int inputType, QString text, QString error, bool trimInput = false) {
    return {name, inputType, std::move(text), trimInput, 0, {}, StandardItems, SHA256, false, {}, {}, {},
            std::move(error)};
}

const std::string Abc = "abc";

const PipelineCase PipelineCases[] = {
    // File names.
    {"file_sha256", 0, u"{dir}/abc.txt"_qs, false, 0, {}, StandardItems, SHA256, false, Abc, u"SHA256"_qs, {}, {}},
    {"file_md5", 0, u"{dir}/abc.txt"_qs, false, 0, {}, StandardItems, MD5, false, Abc, u"MD5"_qs, {}, {}},
    {"file_sha1", 0, u"{dir}/abc.txt"_qs, false, 0, {}, StandardItems, SHA1, false, Abc, u"SHA1"_qs, {}, {}},
    {"file_name_spaces_and_breaks_around", 0, u"  {dir}/abc.txt \r\n"_qs, false, 0, {}, StandardItems, SHA256, false,
     Abc, u"SHA256"_qs, {}, {}},
    {"file_empty", 0, u"{dir}/empty.bin"_qs, false, 0, {}, StandardItems, SHA256, false, "", u"SHA256"_qs, {}, {}},
    {"file_over_one_read_chunk", 0, u"{dir}/big.bin"_qs, false, 0, {}, StandardItems, SHA1, false,
     PipelineFiles::BigContent(), u"SHA1"_qs, {}, {}},
    {"file_link_to_file", 0, u"{dir}/link-to-abc"_qs, false, 0, {}, StandardItems, SHA256, false, Abc, u"SHA256"_qs,
     {}, {}},
    {"file_non_ascii_name", 0, u"{dir}/caf\u00E9.txt"_qs, false, 0, {}, StandardItems, SHA256, false, "accent",
     u"SHA256"_qs, {}, {}},
    {"file_ignores_salt", 0, u"{dir}/abc.txt"_qs, false, 1, u"x"_qs, StandardItems, SHA256, false, Abc, u"SHA256"_qs,
     {}, {}},
    Fails("file_empty_name", 0, u""_qs, u"File does not exist"_qs),
    Fails("file_two_line_name", 0, u"{dir}/abc.txt\r\n{dir}/abc.txt"_qs, u"File does not exist"_qs),
    Fails("file_missing", 0, u"{dir}/missing"_qs, u"File does not exist"_qs),
    Fails("file_folder", 0, u"{dir}/folder"_qs, u"File does not exist"_qs),
    Fails("file_fifo", 0, u"{dir}/fifo"_qs, u"File does not exist"_qs),
    Fails("file_device", 0, u"/dev/null"_qs, u"File does not exist"_qs),
    Fails("file_dangling_link", 0, u"{dir}/dangling"_qs, u"File does not exist"_qs),
    Fails("file_name_with_inner_nul", 0, u"{dir}/abc.txt"_qs + QChar(u'\0') + u"x"_qs, u"File does not exist"_qs),
    {"file_unreadable", 0, u"{dir}/secret.bin"_qs, false, 0, {}, StandardItems, SHA256, false, {}, {}, {},
     u"Error Opening File: Cannot open file \"{dir}/secret.bin\". Permission denied"_qs, true},

    // Text values.
    Text("text_abc", u"abc"_qs, Abc),
    Text("text_trailing_crlf_kept_without_trim", u"abc\r\n"_qs, "abc\r\n"),
    {"text_trailing_crlf_trimmed", 1, u"abc\r\n"_qs, true, 0, {}, StandardItems, SHA256, false, Abc, u"SHA256"_qs, {},
     {}},
    {"text_nul_and_controls_trimmed", 1, Units({0, u'a', u'b', u'c', 0x1F}), true, 0, {}, StandardItems, SHA256,
     false, Abc, u"SHA256"_qs, {}, {}},
    Text("text_spaces_only_without_trim", u"   "_qs, "   "),
    Fails("text_spaces_only_trimmed", 1, u"   "_qs, u"No valid text"_qs, true),
    Fails("text_empty", 1, u""_qs, u"No valid text"_qs),
    Text("text_inner_nul_is_a_byte", Units({u'a', 0, u'b'}), std::string("a\0b", 3)),
    Text("text_e_acute", Units({0x00E9}), "\xC3\xA9"),
    Text("text_surrogate_pair", Units({u'x', 0xD83D, 0xDE00}), "x\xF0\x9F\x98\x80"),
    Text("text_lone_high_surrogate", Units({u'a', 0xD800, u'b'}), "a\xEF\xBF\xBD" "b"),
    Text("text_lone_high_surrogate_at_end", Units({u'a', 0xDBFF}), "a\xEF\xBF\xBD"),
    Text("text_lone_low_surrogate", Units({0xDC00, u'a'}), "\xEF\xBF\xBD" "a"),
    Text("text_reversed_pair", Units({0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD"),
    Text("text_bom_character_kept", Units({0xFEFF, u'a'}), "\xEF\xBB\xBF" "a"),
    Text("text_two_and_three_byte_forms", Units({0x07FF, 0x0800, 0xFFFF}), "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"),

    // Salts.
    Salted("salt_prefix", u"bc"_qs, 1, u"a"_qs, Abc, u"a"_qs),
    Salted("salt_suffix", u"ab"_qs, 2, u"c"_qs, Abc, u"c"_qs),
    Salted("salt_type_above_two_is_suffix", u"ab"_qs, 7, u"c"_qs, Abc, u"c"_qs),
    Salted("salt_trimmed", u"bc"_qs, 1, u" a \r\n"_qs, Abc, u"a"_qs),
    Salted("salt_empty", u"abc"_qs, 1, u""_qs, Abc, u""_qs),
    Salted("salt_spaces_only", u"abc"_qs, 2, u"   "_qs, Abc, u""_qs),
    Salted("salt_type_none_ignores_salt", u"abc"_qs, 0, u"zzz"_qs, Abc, u""_qs),
    Salted("salt_type_minus_one_ignores_salt", u"abc"_qs, -1, u"zzz"_qs, Abc, u""_qs),
    Salted("salt_inner_text_untouched", u" b "_qs, 1, u"a"_qs, "a b ", u"a"_qs),
    {"salt_never_makes_empty_text_valid", 1, u""_qs, false, 1, u"a"_qs, StandardItems, SHA256, false, {}, {}, {},
     u"No valid text"_qs},
    {"salt_not_remembered_on_failure", 1, u"abc"_qs, false, 1, u"a"_qs, StandardItems, 5, false, {}, {}, {},
     u"Error Hashing data: List index out of bounds (5)"_qs},

    // Hexadecimal bytes.
    Fails("hex_empty", 2, u""_qs, u"No valid text"_qs),
    Fails("hex_prefix_only", 2, u"0x"_qs, u"No valid text"_qs),
    Fails("hex_prefix_then_spaces", 2, u" 0X   \r\n"_qs, u"No valid text"_qs),
    Fails("hex_valid_digits", 2, u"0x0a1B"_qs, u"(Hexadecimal not supported in this version)"_qs),
    Fails("hex_invalid_digits", 2, u"zz"_qs, u"(Hexadecimal not supported in this version)"_qs),
    Fails("hex_prefix_twice", 2, u"0x0x"_qs, u"(Hexadecimal not supported in this version)"_qs),

    // Base64.
    {"base64_abc", 3, u"YWJj"_qs, false, 0, {}, StandardItems, SHA256, false, Abc, u"SHA256"_qs, {}, {}},
    {"base64_whitespace_around_ignored_without_trim", 3, u" \tYWJj\r\n"_qs, false, 0, {}, StandardItems, MD5, false,
     Abc, u"MD5"_qs, {}, {}},
    {"base64_ignores_salt", 3, u"YWJj"_qs, false, 1, u"x"_qs, StandardItems, SHA256, false, Abc, u"SHA256"_qs, {},
     {}},
    {"base64_padding", 3, u"YWI="_qs, false, 0, {}, StandardItems, SHA1, false, "ab", u"SHA1"_qs, {}, {}},
    Fails("base64_two_lines", 3, u"YWJj\r\nZGVm"_qs, u"Invalid Base-64 text"_qs),
    Fails("base64_bad_character", 3, u"YW*j"_qs, u"Invalid Base-64 text"_qs),
    Fails("base64_empty", 3, u" \r\n "_qs, u"No valid text"_qs),

    // Input types outside 0 to 3.
    Fails("input_type_none", -1, u"abc"_qs, u"Unsupported Input Method"_qs),
    Fails("input_type_four", 4, u"abc"_qs, u"Unsupported Input Method"_qs),

    // Algorithm choice.
    {"hash_index_minus_one", 1, u"abc"_qs, false, 0, {}, StandardItems, -1, false, {}, {}, {},
     u"Error Hashing data: List index out of bounds (-1)"_qs},
    {"hash_index_past_end", 1, u"abc"_qs, false, 0, {}, StandardItems, 3, false, {}, {}, {},
     u"Error Hashing data: List index out of bounds (3)"_qs},
    {"hash_items_empty", 3, u"YWJj"_qs, false, 0, {}, {}, 0, false, {}, {}, {},
     u"Error Hashing data: List index out of bounds (0)"_qs},
    {"algorithm_unknown", 1, u"abc"_qs, false, 0, {}, {u"SHA-512"_qs}, 0, false, {}, u"SHA512"_qs, {},
     u"Unknown Algorithm"_qs},
    {"algorithm_empty_name", 1, u"abc"_qs, false, 0, {}, {u" - "_qs}, 0, false, {}, u""_qs, {},
     u"Unknown Algorithm"_qs},
    {"algorithm_normalised", 1, u"abc"_qs, false, 0, {}, {u" sha-256\t"_qs}, 0, false, Abc, u"SHA256"_qs, {}, {}},
    {"algorithm_spaces_and_case", 1, u"abc"_qs, false, 0, {}, {u"m d 5"_qs, u"x"_qs}, 0, false, Abc, u"MD5"_qs, {},
     {}},
    {"algorithm_not_reached_after_input_failure", 0, u"{dir}/missing"_qs, false, 0, {}, {u"SHA-512"_qs}, 9, false,
     {}, {}, {}, u"File does not exist"_qs},

    // Upper case.
    {"upper_sha256", 1, u"abc"_qs, false, 0, {}, StandardItems, SHA256, true, Abc, u"SHA256"_qs, {}, {}},
    {"upper_md5_file", 0, u"{dir}/abc.txt"_qs, false, 0, {}, StandardItems, MD5, true, Abc, u"MD5"_qs, {}, {}},
};

class HashPipelineTest : public testing::TestWithParam<PipelineCase> {
protected:
    static void SetUpTestSuite() { s_files = new PipelineFiles; }
    static void TearDownTestSuite() {
        delete s_files;
        s_files = nullptr;
    }
    static QString Expand(QString text) { return text.replace(u"{dir}"_qs, s_files->Dir()); }

    static PipelineFiles* s_files;
};

PipelineFiles* HashPipelineTest::s_files = nullptr;

TEST_P(HashPipelineTest, Outcome) {
    const PipelineCase& c = GetParam();
    if (c.needsNonRoot && RunningAsRoot())
        GTEST_SKIP() << "running as root: every file is readable, so no open can be refused";

    HashRequest request;
    request.InputType = c.inputType;
    request.InputText = Expand(c.inputText);
    request.TrimInput = c.trimInput;
    request.SaltType = c.saltType;
    request.SaltText = c.saltText;
    request.HashItems = c.hashItems;
    request.HashType = c.hashType;
    request.UpperHash = c.upperHash;

    const HashOutcome outcome = RunHashRequest(request);

    EXPECT_EQ(outcome.ErrorText.toStdString(), Expand(c.error).toStdString());
    EXPECT_EQ(outcome.Succeeded(), c.error.isEmpty());
    EXPECT_EQ(outcome.Algorithm.toStdString(), c.algorithm.toStdString());
    EXPECT_EQ(outcome.SaltToRemember.toStdString(), c.saltToRemember.toStdString());
    if (c.error.isEmpty()) {
        QString expected = ReferenceDigest(c.algorithm, c.bytes);
        if (c.upperHash)
            expected = expected.toUpper();
        EXPECT_EQ(outcome.Digest.toStdString(), expected.toStdString());
    } else {
        EXPECT_TRUE(outcome.Digest.isEmpty()) << outcome.Digest.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HashPipelineTest, testing::ValuesIn(PipelineCases),
                         [](const testing::TestParamInfo<PipelineCase>& info) { return std::string(info.param.name); });

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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            std::FILE* file = std::fopen(path.c_str(), "wb");
            ASSERT_NE(file, nullptr);
            ASSERT_EQ(std::fwrite(content.data(), 1, content.size(), file), content.size());
            std::fclose(file);
        }
        HashRequest request;
        request.InputType = 0;
        request.InputText = dir.filePath(u"changing.bin"_qs);
        request.HashItems = StandardItems;
        request.HashType = SHA256;
        std::string opened;
        const HashOutcome outcome = RunHashRequest(request, [&](const std::string& name) {
            opened = name;
            return std::make_unique<InterruptedStream>(std::make_unique<TFileStream>(name), c.afterFirstRead);
        });
        EXPECT_EQ(opened, path);
        EXPECT_EQ(outcome.ErrorText.toStdString(), c.error);
        EXPECT_TRUE(outcome.Digest.isEmpty());
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
    request.InputType = 0;
    request.InputText = file.fileName();
    request.HashItems = StandardItems;
    request.HashType = SHA256;
    const HashOutcome outcome = RunHashRequest(request, [](const std::string& name) -> std::unique_ptr<TStream> {
        throw EFOpenError("Cannot open file \"" + name + "\". Operation not permitted");
    });
    EXPECT_EQ(outcome.ErrorText, u"Error Opening File: Cannot open file \""_qs + file.fileName() +
                                     u"\". Operation not permitted"_qs);
    EXPECT_TRUE(outcome.Digest.isEmpty());
}

} // namespace
