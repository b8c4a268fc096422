#include "cli/CheckCommand.h"

#include "cli/ChecksumVerify.h"
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "tools/TextUtils.h"

#include <atomic>

namespace {

QString ApplyVerify(TCliParse& parse, const std::optional<QString>& value) {
    // Without an attached value -C is a switch: the operands are the lists, so that "-C -z LIST"
    // and "-C A B" read as they do with sha256sum -c.
    if (value)
        parse.Operands.append(*value);
    parse.Options.Action = TCliAction::Verify;
    return {};
}

// Of --quiet, --status and --warn the last one given wins, as with the coreutils checkers.
void ReportOnly(TCliOptions& options, bool quiet, bool status, bool warn) {
    options.Quiet = quiet;
    options.StatusOnly = status;
    options.Warn = warn;
}

QString ApplyQuiet(TCliParse& parse, const std::optional<QString>&) {
    ReportOnly(parse.Options, true, false, false);
    return {};
}

QString ApplyStatus(TCliParse& parse, const std::optional<QString>&) {
    ReportOnly(parse.Options, false, true, false);
    return {};
}

QString ApplyWarn(TCliParse& parse, const std::optional<QString>&) {
    ReportOnly(parse.Options, false, false, true);
    return {};
}

QString ApplyIgnoreMissing(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.IgnoreMissing = true;
    return {};
}

QString ApplyStrict(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Strict = true;
    return {};
}

constexpr TCliOption Options[] = {
    {{u"-C", u"--verify"},
     TCliOptionValue::AttachedOnly,
     u"LIST",
     u"check the files a checksum list names, as sha256sum -c does; several lists are checked in turn "
     u"(-C\u00a0A\u00a0-C\u00a0B, or -C\u00a0A\u00a0B); names are found from the current folder, else beside "
     u"the list; LIST - (or none) is standard input; without -a each line's tag or digest length chooses the algorithm",
     ApplyVerify},
    {{u"--quiet"},
     TCliOptionValue::None,
     {},
     u"with -C: do not print OK lines (of --quiet, --status and -w the last one wins)",
     ApplyQuiet},
    {{u"--status"}, TCliOptionValue::None, {}, u"with -C: print nothing; the exit status tells", ApplyStatus},
    {{u"--ignore-missing"}, TCliOptionValue::None, {}, u"with -C: skip files that do not exist", ApplyIgnoreMissing},
    {{u"--strict"}, TCliOptionValue::None, {}, u"with -C: fail when a line is improperly formatted", ApplyStrict},
    {{u"-w", u"--warn"}, TCliOptionValue::None, {}, u"with -C: report every improperly formatted line", ApplyWarn},
};

} // namespace

const TCliCommand& CheckCommand() {
    static constexpr TCliCommand command{u"Checking lists (-C [LIST...]):", u"-C [LIST...]", Options};
    return command;
}

QString FinishVerifyOptions(TCliParse& parse) {
    TCliOptions& options = parse.Options;
    const bool switches =
        options.Quiet || options.StatusOnly || options.IgnoreMissing || options.Strict || options.Warn;
    if (options.Action == TCliAction::Verify) {
        if (options.Check)
            return QStringLiteral("--check and --verify cannot be used together");
        if (options.WithName || options.Tag || options.Sfv || options.Recursive)
            return QStringLiteral("-H, --tag, --sfv and -r cannot be used with --verify");
        // As sha256sum -c, standard input when no list is given.
        options.VerifyLists = parse.Operands.isEmpty() ? QStringList{QStringLiteral("-")} : parse.Operands;
        options.Inputs.clear();
        options.InputArguments.clear();
        return {};
    }
    if (switches)
        return QStringLiteral("--quiet, --status, --ignore-missing, --strict and --warn need --verify");
    return {};
}

int RunCheckCommand(const TCliOptions& options, TCliOutput& out) {
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
        lists.push_back(SystemName(list));
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
