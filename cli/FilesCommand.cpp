#include "cli/FilesCommand.h"

#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/CliProgress.h"
#include "hashing/FileListHash.h"
#include "platform/Descriptors.h"
#include "platform/Files.h"
#include "platform/Processors.h"

#include <algorithm>
#include <atomic>

namespace {

QString ApplyWithName(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.WithName = true;
    return {};
}

QString ApplyTag(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Tag = true;
    return {};
}

QString ApplyBinary(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Binary = true;
    parse.Options.ModeGiven = true;
    return {};
}

QString ApplyText(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Binary = false;
    parse.Options.ModeGiven = true;
    return {};
}

QString ApplySfv(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Sfv = true;
    return {};
}

QString ApplyRecursive(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Recursive = true;
    return {};
}

QString ApplyJobs(TCliParse& parse, const std::optional<QString>& value) {
    bool ok = false;
    const int jobs = value->toInt(&ok);
    if (!ok || jobs < 1 || jobs > MaxJobs || value->startsWith(u'+'))
        return QStringLiteral("--jobs takes a number from 1 to %1, not ").arg(MaxJobs) + *value;
    parse.Options.Jobs = jobs;
    return {};
}

constexpr TCliOption Options[] = {
    {{u"-H", u"--with-name"},
     TCliOptionValue::None,
     {},
     u"print the checksum line (DIGEST\u00a0\u00a0NAME) for one file too",
     ApplyWithName},
    {{u"--tag"}, TCliOptionValue::None, {}, u"print BSD lines: SHA256\u00a0(NAME)\u00a0=\u00a0DIGEST", ApplyTag},
    {{u"-b", u"--binary"}, TCliOptionValue::None, {}, u"print DIGEST *NAME lines, as sha256sum -b does", ApplyBinary},
    {{u"--text"}, TCliOptionValue::None, {}, u"print DIGEST\u00a0\u00a0NAME lines (the default)", ApplyText},
    {{u"--sfv"},
     TCliOptionValue::None,
     {},
     u"print an SFV list of CRC32 values: NAME DIGEST lines after a comment line; names as they are, so a "
     u"name with \"\\\", blanks at either end or a leading \";\" is not listed",
     ApplySfv},
    {{u"-r", u"--recursive"},
     TCliOptionValue::None,
     {},
     u"hash the files in folders and their subfolders, by name in byte order; links to files are followed, "
     u"links to folders are not; FIFOs, sockets and devices are skipped",
     ApplyRecursive},
    {{u"-j", u"--jobs"},
     TCliOptionValue::Required,
     u"N",
     u"hash N files at a time (1 to 256; default: one per processor)",
     ApplyJobs},
};

int OnlineProcessors() {
    return static_cast<int>(std::min<unsigned>(ProcessorCount(), MaxJobs));
}

// The inputs and their bytes, for the progress line: what names no regular file counts as a
// file of no bytes.
void CountInputs(const std::vector<std::string>& inputs, TListProgress& progress) {
    std::int64_t bytes = 0;
    for (const std::string& name : inputs) {
        if (name == "-")
            continue;
        if (const std::optional<TFileInfo> info = LookAtPath(name); info && info->Kind == TFileKind::Regular)
            bytes += info->Size;
    }
    progress.SetTotals(static_cast<std::int64_t>(inputs.size()), bytes);
}

} // namespace

const TCliCommand& FilesCommand() {
    static constexpr TCliCommand command{u"Hashing files (FILE...):", u"FILE...", Options};
    return command;
}

int RunFilesCommand(const TCliOptions& options, const std::vector<std::string>& rawArguments, TCliOutput& out) {
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
    // No FILE given: standard input.
    if (inputs.empty())
        inputs.emplace_back("-");

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
    // The user named them: a pipe or device is read as sha256sum reads it.
    settings.Inputs = TNamedFileKinds::AnyButFolder;
    // A list written into a folder it walks does not list itself.
    int error = 0;
    if (const std::optional<TFileInfo> info = LookAtDescriptor(StandardOutputFd, error);
        info && info->Kind == TFileKind::Regular)
        settings.Output = info->Identity;
    const TFileListSink sink{
        [&](std::string_view bytes) { return out.Out(bytes); },
        // Error lines go out in their turn among the lines on standard output, each one input's
        // "NAME: REASON" under the program's name as coreutils writes them; once standard output
        // failed the run stops, and the lines after them are not reported.
        [&](std::string_view line) { return out.Flush() && out.Message(line); },
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
