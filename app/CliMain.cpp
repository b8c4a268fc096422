// quviro-cli: the digest of a file, a text or Base64 text, through the same pipeline as the
// window. Success prints the digest on stdout, a failure the window's status message on
// stderr.
#include "app/ChecksumVerify.h"
#include "app/CliOptions.h"
#include "app/CliProgress.h"
#include "app/ExpectedDigest.h"
#include "tools/TextUtils.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum ExitCode { ExitSuccess = 0, ExitFailure = 1, ExitUsage = 2 };

void Write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// Strict UTF-8: invalid bytes answer nothing rather than U+FFFD, which would hash other bytes
// than the ones given. A leading byte-order mark is kept as U+FEFF for the same reason.
std::optional<QString> DecodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QByteArray ReadStandardInput() {
    QByteArray bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(n));
    return bytes;
}

int UsageError(const QString& reason) {
    Write(stderr, QStringLiteral("quviro-cli: ") + reason + u'\n' + CliUsageText() +
                      QStringLiteral("Try 'quviro-cli --help' for more.\n"));
    return ExitUsage;
}

int Failure(const QString& message) {
    Write(stderr, message + u'\n');
    return ExitFailure;
}

THashAlgorithm AlgorithmByNormalName(const QString& name) {
    if (name == u"MD5")
        return THashAlgorithm::MD5;
    return name == u"SHA1" ? THashAlgorithm::SHA1 : THashAlgorithm::SHA256;
}

// --verify: the list's report on stdout and stderr, then the exit status.
int VerifyList(const TCliOptions& options) {
    TVerifyOptions verify;
    verify.ListName = QFile::encodeName(options.VerifyList).toStdString();
    if (options.AlgorithmGiven)
        verify.Algorithm = AlgorithmByNormalName(NormalizeName(options.Algorithm));
    verify.Quiet = options.Quiet;
    verify.Status = options.StatusOnly;
    verify.IgnoreMissing = options.IgnoreMissing;
    verify.Strict = options.Strict;
    verify.Warn = options.Warn;
    TVerifyOutput output;
    const bool passed = VerifyChecksumList(verify, output);
    if (output.WriteFailed || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Write(stderr, QStringLiteral("quviro-cli: write error\n"));
        return ExitFailure;
    }
    return passed ? ExitSuccess : ExitFailure;
}

// The size of the file INPUT names, or -1 when it names no regular file.
std::int64_t InputFileSize(const TCliOptions& options) {
    struct stat info {};
    if (options.InputType != InputTypeFile || ::stat(QFile::encodeName(Trim(options.Input)).constData(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return -1;
    return info.st_size;
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        const std::optional<QString> argument = DecodeUtf8(QByteArray(argv[i]));
        if (!argument)
            return UsageError(QStringLiteral("arguments must be UTF-8 text"));
        arguments.append(*argument);
    }

    const TCliParseResult parsed = ParseCliArguments(arguments);
    if (!parsed.Error.isEmpty())
        return UsageError(parsed.Error);
    const TCliOptions& options = parsed.Options;
    if (options.Action == TCliAction::Help) {
        Write(stdout, CliHelpText());
        return ExitSuccess;
    }
    if (options.Action == TCliAction::Version) {
        Write(stdout, QStringLiteral("quviro-cli ") + CliVersionText() + u'\n');
        return ExitSuccess;
    }

    if (options.Action == TCliAction::Verify)
        return VerifyList(options);

    QString inputText = options.Input;
    if (options.ReadsStandardInput()) {
        const QByteArray bytes = ReadStandardInput();
        if (std::ferror(stdin))
            return Failure(QStringLiteral("Cannot read standard input"));
        const std::optional<QString> text = DecodeUtf8(bytes);
        if (!text)
            return Failure(QStringLiteral("Standard input is not valid UTF-8 text"));
        inputText = *text;
    }

    std::optional<TLineProgress> progress;
    if (WantsProgress(options.Progress, ::isatty(STDERR_FILENO) == 1, InputFileSize(options)))
        progress.emplace(stderr);
    const HashOutcome outcome = RunHashRequest(MakeHashRequest(options, inputText), progress ? &*progress : nullptr);
    if (progress)
        progress->Clear();
    if (!outcome.Succeeded())
        return Failure(outcome.ErrorText);

    if (!options.Check) {
        Write(stdout, outcome.Digest + u'\n');
        return ExitSuccess;
    }
    if (DigestMatches(outcome.Digest, options.Expected)) {
        Write(stdout, QStringLiteral("OK\n"));
        return ExitSuccess;
    }
    Write(stdout, QStringLiteral("MISMATCH\nexpected: ") + ParseExpectedDigest(options.Expected).Digest +
                      QStringLiteral("\nactual:   ") + outcome.Digest + u'\n');
    return ExitFailure;
}
