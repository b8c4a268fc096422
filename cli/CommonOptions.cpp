#include "cli/CommonOptions.h"

#include "cli/CliCommand.h"
#include "crypt/HashAlgorithm.h"
#include "text/PlainText.h"
#include "tools/TextUtils.h"

#include <string_view>

namespace {

// The row -a's value names: case, spaces and punctuation are ignored ("sha-256", "SHA3_512", "b2").
// A name the table lists is taken as written first: without its "/", "SHA2-512/256" would
// read as no row's name.
std::optional<THashAlgorithm> AlgorithmOf(const QString& typed) {
    if (const std::optional<THashAlgorithm> listed = AlgorithmByTypedName(RemoveSpaces(Trim(typed)).toStdString()))
        return listed;
    return AlgorithmByTypedName(NormalizeName(typed).toStdString());
}

// A spelling -a takes for row that is shorter than its name without punctuation ("b3" for
// BLAKE3), in lower case; empty when it has none.
QString ShortSpelling(const TAlgorithmInfo& row) {
    qsizetype letters = 0;
    for (const char c : row.Name)
        letters += c == '-' || c == '_' || c == '/' ? 0 : 1;
    std::string_view shortest;
    for (const std::string_view name : row.Typed)
        if (static_cast<qsizetype>(name.size()) < letters && (shortest.empty() || name.size() < shortest.size()))
            shortest = name;
    return ToQString(Latin1(shortest)).toLower();
}

// Every row of the algorithm table for -a's help, as words that keep a name with its spelling:
// the default first, then the others in table order ("SHA256 (the default),", "MD5,", ...
// "or", "BLAKE3 (b3);").
QStringList AlgorithmHelpWords() {
    const TCliOptions defaults;
    QStringList names{defaults.Algorithm + QStringLiteral(" (the default)")};
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        if (ToQString(Latin1(row.Name)) == defaults.Algorithm)
            continue;
        const QString spelling = ShortSpelling(row);
        names.append(spelling.isEmpty() ? ToQString(Latin1(row.Name))
                                        : ToQString(Latin1(row.Name)) + " (" + spelling + ')');
    }
    const QString last = names.takeLast();
    for (QString& name : names)
        name += u',';
    names.back().chop(1);
    return names << QStringLiteral("or") << last + u';';
}

QString ApplyAlgorithm(TCliParse& parse, const std::optional<QString>& value) {
    parse.Options.Algorithm = *value;
    parse.Options.AlgorithmGiven = true;
    return {};
}

QString ApplyUpper(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.UpperHash = true;
    return {};
}

QString ApplyZero(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Zero = true;
    return {};
}

QString ApplyProgress(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Progress = true;
    return {};
}

QString ApplyHelp(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Action = TCliAction::Help;
    return {};
}

QString ApplyVersion(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Action = TCliAction::Version;
    return {};
}

constexpr TCliOption Options[] = {
    {{u"-a", u"--algorithm"},
     TCliOptionValue::Required,
     u"ALGORITHM",
     u"case, spaces and punctuation are ignored, so sha-256 and sha3_512 work too; -a\u00a0help lists them; "
     u"several names separated by commas (-a\u00a0md5,sha256) are computed from one read and print one BSD "
     u"line each",
     ApplyAlgorithm,
     AlgorithmHelpWords},
    {{u"-u", u"--upper"}, TCliOptionValue::None, {}, u"print the digest in upper case", ApplyUpper},
    {{u"-z", u"-0", u"--zero"},
     TCliOptionValue::None,
     {},
     u"end each line with NUL instead of a line feed and write names unescaped; with -C, read lines that end "
     u"with NUL",
     ApplyZero},
    {{u"--progress"},
     TCliOptionValue::None,
     {},
     u"show the progress on standard error: a file's bytes; files, bytes, speed and time left for several "
     u"inputs, -r and -C; without it, shown when standard error is a terminal (for one file: over 64 MiB; for "
     u"-C: not with --status)",
     ApplyProgress},
    {{u"-h", u"--help"}, TCliOptionValue::Final, {}, u"show this text", ApplyHelp},
    {{u"--version"}, TCliOptionValue::Final, {}, u"show the version", ApplyVersion},
};

} // namespace

const TCliCommand& CommonOptions() {
    static constexpr TCliCommand command{u"Options of every command:", {}, Options};
    return command;
}

QString FinishAlgorithmOption(TCliOptions& options) {
    if (options.Sfv && options.Tag)
        return QStringLiteral("--tag and --sfv cannot be used together");
    if (options.Sfv && options.ModeGiven)
        return QStringLiteral("-b, --binary and --text cannot be used with --sfv: SFV lines have no mode");
    if (options.Sfv && !options.AlgorithmGiven)
        options.Algorithm = QStringLiteral("CRC32");
    if (!options.AlgorithmGiven) {
        options.Algorithms = QStringList{options.Algorithm};
        return {};
    }
    if (NormalizeName(options.Algorithm) == u"HELP") {
        options.Action = TCliAction::ListAlgorithms;
        return {};
    }
    QStringList rows;
    for (const QString& typed : options.Algorithm.split(u',')) {
        const std::optional<THashAlgorithm> algorithm = AlgorithmOf(typed);
        if (!algorithm) {
            QStringList names;
            for (const TAlgorithmInfo& row : AlgorithmTable())
                names.append(ToQString(Latin1(row.Name)));
            return QStringLiteral("unknown algorithm ") + Trim(typed) + QStringLiteral("; known: ") +
                   names.join(QStringLiteral(", "));
        }
        AppendAlgorithmOnce(rows, ToQString(Latin1(HashAlgorithmName(*algorithm))));
    }
    options.Algorithms = rows;
    options.Algorithm = rows.front();
    if (options.Sfv && rows != QStringList{QStringLiteral("CRC32")})
        return QStringLiteral("--sfv writes CRC32 values, but -a asks for ") + rows.join(u',');
    return {};
}

QString FinishAlgorithmList(const TCliOptions& options) {
    if (options.Algorithms.size() < 2)
        return {};
    if (options.Action == TCliAction::Verify)
        return QStringLiteral("--verify takes one algorithm; the lists name theirs");
    if (options.Check)
        return QStringLiteral("--check compares one digest; -a names several algorithms");
    if (options.InputType != InputTypeFile)
        return QStringLiteral("several algorithms apply to file input only");
    if (options.Binary)
        return QStringLiteral("several algorithms print BSD lines, which -b cannot");
    return {};
}
