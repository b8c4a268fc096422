// A sparse file just over 4 GiB (zeros, then four bytes at offset 2^32) hashes to the digest
// OpenSSL computes, through the pipeline and through quviro-cli: sizes, positions and the
// engines' length counters do not wrap at 32 bits. The file costs no disk space, but hashing
// it costs seconds, so this test carries the ctest label "large".
#include "pipeline/HashPipeline.h"
#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <vector>

namespace {

constexpr qint64 FourGiB = qint64{1} << 32;
const QByteArray Tail = "tail";

class LargeFileTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.seek(FourGiB));
        ASSERT_EQ(file.write(Tail), Tail.size());
        file.close();
        ASSERT_EQ(QFile(Path()).size(), FourGiB + Tail.size());
        s_expected = new QString(ReferenceMd5());
    }
    static void TearDownTestSuite() {
        delete s_expected;
        delete s_dir;
    }

    static QString Path() { return s_dir->filePath(u"sparse.bin"_qs); }

    // OpenSSL's MD5 of the same bytes, computed without reading the file.
    static QString ReferenceMd5() {
        EVP_MD_CTX* context = EVP_MD_CTX_new();
        EVP_DigestInit_ex(context, EVP_md5(), nullptr);
        const std::vector<unsigned char> zeros(16 * 1024 * 1024);
        for (qint64 done = 0; done < FourGiB; done += qint64(zeros.size()))
            EVP_DigestUpdate(context, zeros.data(), zeros.size());
        EVP_DigestUpdate(context, Tail.constData(), std::size_t(Tail.size()));
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_DigestFinal_ex(context, digest, &length);
        EVP_MD_CTX_free(context);
        return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex());
    }

    static QTemporaryDir* s_dir;
    static QString* s_expected;
};

QTemporaryDir* LargeFileTest::s_dir = nullptr;
QString* LargeFileTest::s_expected = nullptr;

TEST_F(LargeFileTest, Pipeline) {
    HashRequest request;
    request.InputType = InputTypeFile;
    request.InputText = Utf16(Path());
    request.HashItems = {u"MD5"};
    request.HashType = 0;
    const HashOutcome outcome = RunHashRequest(request);
    EXPECT_EQ(ToQString(outcome.ErrorText), QString());
    EXPECT_EQ(ToQString(outcome.Digest), *s_expected);
}

TEST_F(LargeFileTest, CommandLine) {
    QProcess cli;
    cli.start(QStringLiteral(QUVIRO_CLI_PATH), {u"-a"_qs, u"md5"_qs, Path()});
    ASSERT_TRUE(cli.waitForFinished(300000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromLatin1(cli.readAllStandardOutput()), *s_expected + u'\n');
}

} // namespace
