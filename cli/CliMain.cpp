// quviro-cli: the digest of a file, a text or Base64 text, through the same pipeline as the
// window. Success prints the digest on stdout, a failure the window's status message on
// stderr. Several files, -H, --tag or -r print one checksum line per file instead. Output that
// cannot be written (a full disk, a closed pipe) and memory running out are failures too,
// reported on stderr with exit code 1.
#include "cli/ChecksumVerify.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/CliProgress.h"
#include "hashing/FileListHash.h"
#include "pipeline/ExpectedDigest.h"
#include "pipeline/HashPipeline.h"
#include "tools/TextUtils.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

enum ExitCode { ExitSuccess = 0, ExitFailure = 1, ExitUsage = 2 };

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

void Write(TCliOutput& out, const QString& text) {
    out.Out(text.toStdString());
}

int UsageError(TCliOutput& out, const QString& reason) {
    out.Err((QStringLiteral("quviro-cli: ") + reason + u'\n' + CliUsageText() +
             QStringLiteral("Try 'quviro-cli --help' for more.\n"))
                .toStdString());
    return ExitUsage;
}

int Failure(TCliOutput& out, const QString& message) {
    out.Err((message + u'\n').toStdString());
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

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

// The inputs and their bytes, for the progress line: what names no regular file counts as a
// file of no bytes.
void CountInputs(const std::vector<std::string>& inputs, TListProgress& progress) {
    std::int64_t bytes = 0;
    for (const std::string& name : inputs) {
        struct stat info {};
        if (name != "-" && ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            bytes += info.st_size;
    }
    progress.SetTotals(static_cast<std::int64_t>(inputs.size()), bytes);
}

// One checksum line per file and algorithm; the names are the raw arguments, bytes as given.
int HashFiles(const TCliOptions& options, const std::vector<std::string>& rawArguments, TCliOutput& out) {
    TFileListSettings settings;
    settings.Algorithms.clear();
    for (const QString& name : options.Algorithms) {
        const std::optional<THashAlgorithm> algorithm = AlgorithmByName(name);
        if (!algorithm)
            return Failure(out, QStringLiteral("Unknown Algorithm"));
        settings.Algorithms.push_back(*algorithm);
    }
    std::vector<std::string> inputs;
    for (const qsizetype index : options.InputArguments)
        inputs.push_back(rawArguments[static_cast<std::size_t>(index)]);

    // Several algorithms need lines that name theirs.
    settings.Style = options.Sfv                                     ? TChecksumStyle::Sfv
                     : options.Tag || settings.Algorithms.size() > 1 ? TChecksumStyle::Bsd
                     : options.Binary                                ? TChecksumStyle::GnuBinary
                                                                     : TChecksumStyle::Gnu;
    // SFV lists carry their values in upper case.
    settings.UpperHash = options.UpperHash || options.Sfv;
    settings.Terminator = options.Zero ? '\0' : '\n';
    settings.Jobs = options.Jobs > 0 ? options.Jobs : OnlineProcessors();
    settings.Recursive = options.Recursive;
    // A list written into a folder it walks does not list itself.
    if (struct stat info{}; ::fstat(STDOUT_FILENO, &info) == 0 && S_ISREG(info.st_mode))
        settings.Output = TFileIdentity{info.st_dev, info.st_ino};
    // A line reaches the reader at most this long after its turn came.
    out.FlushWithin(std::chrono::milliseconds(50));
    const TFileListSink sink{
        [&](std::string_view bytes) { return out.Out(bytes); },
        // Error lines go out in their turn among the lines on standard output, each one input's
        // "NAME: REASON" under the program's name as coreutils writes them; once standard output
        // failed the run stops, and the lines after them are not reported.
        [&](std::string_view line) { return out.Flush() && out.Err(std::string("quviro-cli: ").append(line)); },
    };
    if (options.Sfv && !out.Out("; Generated by quviro-cli " + CliVersionText().toStdString() + settings.Terminator))
        return ExitFailure;
    // A walk's files are known only as it goes: no totals, so no time left.
    std::optional<TListProgress> progress;
    std::optional<TListProgressLine> progressLine;
    if (options.Progress || StandardErrorIsTerminal()) {
        settings.Progress = &progress.emplace();
        TListProgressLine::TCountTotals countTotals;
        if (!options.Recursive)
            countTotals = [&inputs, &progress](const std::atomic<bool>&) { CountInputs(inputs, *progress); };
        progressLine.emplace(out, *progress, std::move(countTotals));
    }
    return HashFileList(inputs, settings, sink) == TFileListResult::AllHashed ? ExitSuccess : ExitFailure;
}

// --verify: each list's report on stdout and stderr in the order given, then the exit status,
// the worst of them.
int VerifyLists(const TCliOptions& options, TCliOutput& out) {
    TVerifyOptions verify;
    if (options.AlgorithmGiven)
        verify.Algorithm = AlgorithmByName(options.Algorithm);
    verify.Quiet = options.Quiet;
    verify.Status = options.StatusOnly;
    verify.IgnoreMissing = options.IgnoreMissing;
    verify.Strict = options.Strict;
    verify.Warn = options.Warn;
    verify.Zero = options.Zero;
    std::vector<std::string> lists;
    for (const QString& list : options.VerifyLists)
        lists.push_back(QFile::encodeName(list).toStdString());
    // --status asks for silence: a progress line only when asked for.
    std::optional<TListProgress> progress;
    std::optional<TListProgressLine> progressLine;
    if (options.Progress || (StandardErrorIsTerminal() && !options.StatusOnly)) {
        verify.Progress = &progress.emplace();
        progressLine.emplace(out, *progress, [&lists, verify, &progress](const std::atomic<bool>& stopping) {
            std::int64_t files = 0;
            std::int64_t bytes = 0;
            if (CountListedFiles(lists, verify, files, bytes, stopping))
                progress->SetTotals(files, bytes);
        });
    }
    bool passed = true;
    for (const std::string& list : lists) {
        verify.ListName = list;
        passed = VerifyChecksumList(verify, out) && passed;
    }
    return passed ? ExitSuccess : ExitFailure;
}

// The result of a digest on standard output: the digest, or with --check OK or MISMATCH.
int Report(const TCliOptions& options, const QString& digest, TCliOutput& out) {
    if (!options.Check) {
        Write(out, digest + QChar(options.Zero ? u'\0' : u'\n'));
        return ExitSuccess;
    }
    if (DigestMatches(digest, options.Expected)) {
        Write(out, QStringLiteral("OK\n"));
        return ExitSuccess;
    }
    Write(out, QStringLiteral("MISMATCH\nexpected: ") + ParseExpectedDigest(options.Expected).Digest +
                   QStringLiteral("\nactual:   ") + digest + u'\n');
    return ExitFailure;
}

// Standard input as a file: its bytes as given, a pipe too, as sha256sum reads "-".
int HashStandardInput(const TCliOptions& options, TCliOutput& out) {
    int error = 0;
    std::string reason;
    const std::optional<std::string> digest =
        HashListedFile(AlgorithmByName(options.Algorithm).value_or(DefaultAlgorithm), "-", error, reason);
    if (!digest)
        return Failure(out, QStringLiteral("quviro-cli: -: ") + QString::fromLocal8Bit(reason));
    const QString text = QString::fromStdString(*digest);
    return Report(options, options.UpperHash ? text.toUpper() : text, out);
}

// The size of the file INPUT names, or -1 when it names no regular file.
std::int64_t InputFileSize(const TCliOptions& options) {
    struct stat info {};
    if (options.InputType != InputTypeFile || ::stat(QFile::encodeName(Trim(options.Input)).constData(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return -1;
    return info.st_size;
}

int Run(int argc, char** argv, TCliOutput& out) {
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
        return UsageError(out, QStringLiteral("arguments must be UTF-8 text"));
    if (!parsed.Error.isEmpty())
        return UsageError(out, parsed.Error);
    if (options.Action == TCliAction::Help) {
        Write(out, CliHelpText());
        return ExitSuccess;
    }
    if (options.Action == TCliAction::ListAlgorithms) {
        Write(out, CliAlgorithmList());
        return ExitSuccess;
    }
    if (options.Action == TCliAction::Version) {
        Write(out, QStringLiteral("quviro-cli ") + CliVersionText() + u'\n');
        return ExitSuccess;
    }

    if (options.Action == TCliAction::Verify)
        return VerifyLists(options, out);
    if (options.ListsFiles())
        return HashFiles(options, rawArguments, out);

    if (options.HashesStandardInput())
        return HashStandardInput(options, out);

    QString inputText = options.Input;
    if (options.ReadsStandardInput()) {
        const QByteArray bytes = ReadStandardInput();
        if (std::ferror(stdin))
            return Failure(out, QStringLiteral("Cannot read standard input"));
        const std::optional<QString> text = DecodeUtf8(bytes);
        if (!text)
            return Failure(out, QStringLiteral("Standard input is not valid UTF-8 text"));
        inputText = *text;
    }

    std::optional<TLineProgress> progress;
    if (WantsProgress(options.Progress, StandardErrorIsTerminal(), InputFileSize(options)))
        progress.emplace(out);
    const HashOutcome outcome = RunHashRequest(MakeHashRequest(options, inputText), progress ? &*progress : nullptr);
    if (progress)
        progress->Clear();
    if (!outcome.Succeeded())
        return Failure(out, outcome.ErrorText);

    return Report(options, outcome.Digest, out);
}

} // namespace

int main(int argc, char** argv) {
    KeepWritesWholeOnSignals();
    TCliOutput out;
    int code = ExitFailure;
    try {
        code = Run(argc, argv, out);
    } catch (const std::bad_alloc&) {
        out.Message(OutOfMemoryText().toStdString());
        code = ExitFailure;
    } catch (const std::system_error& failure) {
        // A thread that cannot start, under a process limit: said, never an abort.
        if (failure.code() != std::errc::resource_unavailable_try_again)
            throw;
        out.Message("cannot start threads: " + failure.code().message());
        code = ExitFailure;
    }
    return out.Finish() ? code : ExitFailure;
}
