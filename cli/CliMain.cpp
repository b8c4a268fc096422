// quviro-cli: the digest of a file, a text or Base64 text, through the same pipeline as the
// window. Success prints the digest on stdout, a failure the window's status message on
// stderr. Several files, -H, --tag or -r print one checksum line per file instead. Output that
// cannot be written (a full disk, a closed pipe) and memory running out are failures too,
// reported on stderr with exit code 1.
#include "cli/CheckedOutput.h"
#include "cli/ChecksumVerify.h"
#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/CliWrite.h"
#include "hashing/FileListHash.h"
#include "pipeline/ExpectedDigest.h"
#include "tools/TextUtils.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

enum ExitCode { ExitSuccess = 0, ExitFailure = 1, ExitUsage = 2 };

// Messages on stderr; there is nowhere to report their own failure.
void WriteError(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
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
    WriteError(QStringLiteral("quviro-cli: ") + reason + u'\n' + CliUsageText() +
               QStringLiteral("Try 'quviro-cli --help' for more.\n"));
    return ExitUsage;
}

int Failure(const QString& message) {
    WriteError(message + u'\n');
    return ExitFailure;
}

// options.Algorithm holds a row's name once the arguments are parsed.
std::optional<THashAlgorithm> AlgorithmByName(const QString& text) {
    return HashAlgorithmByName(text.toStdString());
}

int OnlineProcessors() {
    const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return static_cast<int>(std::clamp<long>(count, 1, MaxJobs));
}

int WriteFailure(int error) {
    std::string message = "quviro-cli: write error";
    if (error != 0)
        message.append(": ").append(std::strerror(error));
    WriteChecked(stderr, message + '\n');
    return ExitFailure;
}

// One checksum line per file; the names are the raw arguments, bytes as given.
int HashFiles(const TCliOptions& options, const std::vector<std::string>& rawArguments, TCheckedOutput& out) {
    const std::optional<THashAlgorithm> algorithm = AlgorithmByName(options.Algorithm);
    if (!algorithm)
        return Failure(QStringLiteral("Unknown Algorithm"));
    std::vector<std::string> inputs;
    for (const qsizetype index : options.InputArguments)
        inputs.push_back(rawArguments[static_cast<std::size_t>(index)]);

    TFileListSettings settings;
    settings.Algorithm = *algorithm;
    settings.Style = options.Tag ? TChecksumStyle::Bsd : TChecksumStyle::Gnu;
    settings.UpperHash = options.UpperHash;
    settings.Terminator = options.Zero ? '\0' : '\n';
    settings.Jobs = options.Jobs > 0 ? options.Jobs : OnlineProcessors();
    settings.Recursive = options.Recursive;
    // A line reaches the reader at most this long after its turn came.
    TTimedOutput output(stdout, std::chrono::milliseconds(50));
    const TFileListSink sink{
        [&](std::string_view bytes) { return output.Write(bytes); },
        // Error lines go out in their turn among the lines on standard output.
        [&](std::string_view bytes) { return output.WriteOther(stderr, bytes); },
    };
    const TFileListResult result = HashFileList(inputs, settings, sink);
    if (result == TFileListResult::WriteFailed || !output.Flush()) {
        out.FailureReported();
        return WriteFailure(output.Error());
    }
    return result == TFileListResult::AllHashed ? ExitSuccess : ExitFailure;
}

// --verify: the list's report on stdout and stderr, then the exit status.
int VerifyList(const TCliOptions& options, TCheckedOutput& out) {
    TVerifyOptions verify;
    verify.ListName = QFile::encodeName(options.VerifyList).toStdString();
    if (options.AlgorithmGiven)
        verify.Algorithm = AlgorithmByName(options.Algorithm);
    verify.Quiet = options.Quiet;
    verify.Status = options.StatusOnly;
    verify.IgnoreMissing = options.IgnoreMissing;
    verify.Strict = options.Strict;
    verify.Warn = options.Warn;
    TVerifyOutput output;
    const bool passed = VerifyChecksumList(verify, output);
    if (output.WriteFailed || !FlushChecked(stdout)) {
        out.FailureReported();
        return WriteFailure(errno);
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

int Run(int argc, char** argv, TCheckedOutput& out) {
    std::vector<std::string> rawArguments;
    QStringList arguments;
    QList<qsizetype> notUtf8;
    for (int i = 1; i < argc; ++i) {
        rawArguments.emplace_back(argv[i]);
        const std::optional<QString> argument = DecodeUtf8(QByteArray(argv[i]));
        if (!argument)
            notUtf8.append(i - 1);
        arguments.append(argument ? *argument : QString::fromUtf8(argv[i]));
    }

    const TCliParseResult parsed = ParseCliArguments(arguments);
    const TCliOptions& options = parsed.Options;
    // File names are bytes and need not be UTF-8; only the checksum-line forms take them raw.
    const bool rawNamesOnly = options.InputType == InputTypeFile && options.ListsFiles() &&
                              std::all_of(notUtf8.begin(), notUtf8.end(),
                                          [&](qsizetype index) { return options.InputArguments.contains(index); });
    if (!notUtf8.isEmpty() && !rawNamesOnly)
        return UsageError(QStringLiteral("arguments must be UTF-8 text"));
    if (!parsed.Error.isEmpty())
        return UsageError(parsed.Error);
    if (options.Action == TCliAction::Help) {
        out.Write(CliHelpText());
        return ExitSuccess;
    }
    if (options.Action == TCliAction::ListAlgorithms) {
        out.Write(CliAlgorithmList());
        return ExitSuccess;
    }
    if (options.Action == TCliAction::Version) {
        out.Write(QStringLiteral("quviro-cli ") + CliVersionText() + u'\n');
        return ExitSuccess;
    }

    if (options.Action == TCliAction::Verify)
        return VerifyList(options, out);
    if (options.ListsFiles())
        return HashFiles(options, rawArguments, out);

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
        out.Write(outcome.Digest + QChar(options.Zero ? u'\0' : u'\n'));
        return ExitSuccess;
    }
    if (DigestMatches(outcome.Digest, options.Expected)) {
        out.Write(QStringLiteral("OK\n"));
        return ExitSuccess;
    }
    out.Write(QStringLiteral("MISMATCH\nexpected: ") + ParseExpectedDigest(options.Expected).Digest +
              QStringLiteral("\nactual:   ") + outcome.Digest + u'\n');
    return ExitFailure;
}

} // namespace

int main(int argc, char** argv) {
    TCheckedOutput out(stdout);
    int code = ExitFailure;
    try {
        code = Run(argc, argv, out);
    } catch (const std::bad_alloc&) {
        code = Failure(QStringLiteral("quviro-cli: out of memory"));
    }
    const QString writeError = out.Finish();
    if (!writeError.isEmpty())
        return Failure(QStringLiteral("quviro-cli: ") + writeError);
    return code;
}
