// quviro-cli: parses the arguments and runs the command they ask for (cli/*Command.h): the digest
// of one input, the checksum lines of files, the check of lists, the algorithm list. Output that
// cannot be written (a full disk, a closed pipe) and memory running out are failures too,
// reported on stderr with exit code 1.
#include "cli/AlgorithmsCommand.h"
#include "cli/CheckCommand.h"
#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/FilesCommand.h"
#include "cli/HashCommand.h"
#include "pipeline/HashPipeline.h"
#include "platform/CommandLine.h"
#include "text/TextEncoding.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

int UsageError(TCliOutput& out, const QString& reason) {
    out.Err((QStringLiteral("quviro-cli: ") + reason + u'\n' + CliUsageText() +
             QStringLiteral("Try 'quviro-cli --help' for more.\n"))
                .toStdString());
    return ExitUsage;
}

int Run(const std::vector<std::string>& rawArguments, TCliOutput& out) {
    QStringList arguments;
    QList<qsizetype> notUtf8;
    for (const std::string& raw : rawArguments) {
        const QByteArray bytes = QByteArray::fromStdString(raw);
        const std::optional<QString> argument = DecodeUtf8(bytes);
        if (!argument)
            notUtf8.append(arguments.size());
        arguments.append(argument ? *argument : QString::fromUtf8(bytes));
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
    // Every command's lines reach the reader at most this long after they are made, so that a
    // terminal shows them as they come and a run cut short by a signal keeps the finished ones.
    out.FlushWithin(std::chrono::milliseconds(50));
    switch (options.Action) {
    case TCliAction::Help:
        Write(out, CliHelpText());
        return ExitSuccess;
    case TCliAction::Version:
        Write(out, QStringLiteral("quviro-cli ") + CliVersionText() + u'\n');
        return ExitSuccess;
    case TCliAction::ListAlgorithms:
        return RunAlgorithmsCommand(out);
    case TCliAction::Verify:
        return RunCheckCommand(options, out);
    case TCliAction::Hash:
        break;
    }
    return options.ListsFiles() ? RunFilesCommand(options, rawArguments, out) : RunHashCommand(options, out);
}

} // namespace

int main(int argc, char** argv) {
    KeepWritesWholeOnSignals();
    UseBinaryStandardStreams();
    TCliOutput out;
    int code = ExitFailure;
    try {
        code = Run(ProgramArguments(argc, argv), out);
    } catch (const std::bad_alloc&) {
        out.Message(EncodeUtf8(OutOfMemoryText()));
        code = ExitFailure;
    }
    return out.Finish() ? code : ExitFailure;
}
