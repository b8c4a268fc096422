#include "cli/CliOptions.h"

#include "crypt/HashAlgorithm.h"
#include "pipeline/ExpectedDigest.h"
#include "tools/TextUtils.h"
#include "tools/VersionInfo.h"

#include <QFileInfo>

#include <optional>
#include <string_view>

namespace {

std::optional<int> InputTypeByName(QStringView name) {
    // By input type, from InputTypeFile on.
    const QStringView names[InputTypeCount] = {u"file", u"text", u"hex", u"base64"};
    for (int type = InputTypeFile; type < InputTypeCount; ++type)
        if (SameTextAscii(name, names[type]))
            return type;
    return std::nullopt;
}

// Options that take a value, by their short and long names.
struct TValueOption {
    QStringView shortName;
    QStringView longName;
};

constexpr TValueOption ValueOptions[] = {
    {u"-a", u"--algorithm"}, {u"-t", u"--type"}, {u"", u"--prefix"},   {u"", u"--suffix"},
    {u"-c", u"--check"},     {u"-j", u"--jobs"}, {u"-C", u"--verify"},
};

std::optional<int> JobsByText(const QString& text) {
    bool ok = false;
    const int jobs = text.toInt(&ok);
    if (!ok || jobs < 1 || jobs > MaxJobs || text.startsWith(u'+'))
        return std::nullopt;
    return jobs;
}

// The switches that shape a --verify report; answers whether argument was one. Of --quiet,
// --status and --warn the last one given wins, as with the coreutils checkers.
bool ParseVerifySwitch(QStringView argument, TCliOptions& options) {
    const auto only = [&](bool quiet, bool status, bool warn) {
        options.Quiet = quiet;
        options.StatusOnly = status;
        options.Warn = warn;
    };
    if (argument == u"--quiet")
        only(true, false, false);
    else if (argument == u"--status")
        only(false, true, false);
    else if (argument == u"-w" || argument == u"--warn")
        only(false, false, true);
    else if (argument == u"--ignore-missing")
        options.IgnoreMissing = true;
    else if (argument == u"--strict")
        options.Strict = true;
    else
        return false;
    return true;
}

// Switches without a value; answers whether argument was one.
bool ParseSwitch(QStringView argument, TCliOptions& options) {
    if (argument == u"--trim")
        options.TrimInput = true;
    else if (argument == u"-u" || argument == u"--upper")
        options.UpperHash = true;
    else if (argument == u"-H" || argument == u"--with-name")
        options.WithName = true;
    else if (argument == u"--tag")
        options.Tag = true;
    else if (argument == u"--sfv")
        options.Sfv = true;
    else if (argument == u"-b" || argument == u"--binary" || argument == u"--text") {
        options.Binary = argument != u"--text";
        options.ModeGiven = true;
    } else if (argument == u"-r" || argument == u"--recursive")
        options.Recursive = true;
    else if (argument == u"-0" || argument == u"-z" || argument == u"--zero")
        options.Zero = true;
    else if (argument == u"--progress")
        options.Progress = true;
    else
        return ParseVerifySwitch(argument, options);
    return true;
}

// The checks that involve --verify once every argument is read; empty text when they pass.
QString FinishVerifyOptions(TCliOptions& options, const QStringList& operands) {
    const bool switches =
        options.Quiet || options.StatusOnly || options.IgnoreMissing || options.Strict || options.Warn;
    if (options.Action == TCliAction::Verify) {
        if (options.Check)
            return QStringLiteral("--check and --verify cannot be used together");
        if (options.WithName || options.Tag || options.Sfv || options.Recursive)
            return QStringLiteral("-H, --tag, --sfv and -r cannot be used with --verify");
        if (operands.isEmpty())
            return QStringLiteral("LIST is missing");
        options.VerifyLists = operands;
        options.Inputs.clear();
        options.InputArguments.clear();
        return {};
    }
    if (switches)
        return QStringLiteral("--quiet, --status, --ignore-missing, --strict and --warn need --verify");
    return {};
}

// The row -a's value names: case, spaces and punctuation are ignored ("sha-256", "SHA3_512", "b2").
std::optional<THashAlgorithm> AlgorithmOf(const QString& typed) {
    return AlgorithmByTypedName(NormalizeName(typed).toStdString());
}

// Puts -a's row names in place of what was typed; empty text, or the reason it names no algorithm.
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
                names.append(Latin1(row.Name));
            return QStringLiteral("unknown algorithm ") + Trim(typed) + QStringLiteral("; known: ") +
                   names.join(QStringLiteral(", "));
        }
        if (const QString name = Latin1(HashAlgorithmName(*algorithm)); !rows.contains(name))
            rows.append(name);
    }
    options.Algorithms = rows;
    options.Algorithm = rows.front();
    if (options.Sfv && rows != QStringList{QStringLiteral("CRC32")})
        return QStringLiteral("--sfv writes CRC32 values, but -a asks for ") + rows.join(u',');
    return {};
}

// The checks on several algorithms: each needs a line that names it.
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

// The value of --check, once the rest of the command line is known to be sound; empty text when
// it is a digest. --check without -a takes the algorithm its digest names.
QString FinishCheckOption(TCliOptions& options) {
    if (!options.Check)
        return {};
    const TExpectedDigest expected = ParseExpectedDigest(options.Expected);
    if (!expected.IsDigest()) {
        QString error =
            QStringLiteral(
                "--check needs a digest (hexadecimal digits as many as an algorithm writes, or a checksum line): ") +
            Trim(options.Expected);
        if (QFileInfo(options.Expected).isFile())
            error += QStringLiteral("\nto check the files a checksum list names, use -C ") + options.Expected;
        return error;
    }
    if (!options.AlgorithmGiven) {
        options.Algorithm = expected.Algorithm;
        return {};
    }
    // A digest as long as -a's is taken for -a's algorithm: lengths are shared (SHA256, SHA3-256).
    if (expected.Digest.size() != qsizetype(AlgorithmInfo(*AlgorithmOf(options.Algorithm)).HexLength()))
        return QStringLiteral("the digest given to --check is ") + expected.Algorithm +
               QStringLiteral(", but -a asks for ") + options.Algorithm;
    return {};
}

// Splits "--name=value" and "-xVALUE" forms; answers the long name of a value option, with
// value filled when it was attached.
std::optional<QStringView> MatchValueOption(QStringView argument, std::optional<QString>& value) {
    for (const TValueOption& option : ValueOptions) {
        if (argument == option.longName || (!option.shortName.isEmpty() && argument == option.shortName))
            return option.longName;
        if (argument.startsWith(option.longName) && argument.mid(option.longName.size()).startsWith(u'=')) {
            value = argument.mid(option.longName.size() + 1).toString();
            return option.longName;
        }
        if (!option.shortName.isEmpty() && !argument.startsWith(u"--") && argument.startsWith(option.shortName)) {
            value = argument.mid(option.shortName.size()).toString();
            return option.longName;
        }
    }
    return std::nullopt;
}

} // namespace

TCliParseResult ParseCliArguments(const QStringList& arguments) {
    TCliParseResult result;
    TCliOptions& options = result.Options;
    QStringList& inputs = options.Inputs;
    // The values of -C and the other operands, in the order given: with -C they are all lists.
    QStringList operands;
    bool prefixGiven = false;
    bool suffixGiven = false;
    bool optionsEnded = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (optionsEnded || argument == u"-" || !argument.startsWith(u'-')) {
            inputs.append(argument);
            options.InputArguments.append(i);
            operands.append(argument);
            continue;
        }
        // "-uH": each short switch before the last letter stands alone; what follows the last
        // one is a switch or a short option with its value ("-uamd5").
        while (argument.size() > 2 && !argument.startsWith(u"--") &&
               ParseSwitch(QStringView(argument).left(2), options))
            argument.remove(1, 1);
        if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"-h" || argument == u"--help") {
            options.Action = TCliAction::Help;
            return result;
        } else if (argument == u"--list-algorithms") {
            options.Action = TCliAction::ListAlgorithms;
            return result;
        } else if (argument == u"--version") {
            options.Action = TCliAction::Version;
            return result;
        } else if (!ParseSwitch(argument, options)) {
            std::optional<QString> value;
            const std::optional<QStringView> name = MatchValueOption(argument, value);
            if (!name) {
                result.Error = QStringLiteral("unknown option ") + argument;
                return result;
            }
            if (!value && *name == u"--verify") {
                // Without an attached value -C is a switch: the operands are the lists, so that
                // "-C -z LIST" and "-C A B" read as they do with sha256sum -c.
                options.Action = TCliAction::Verify;
                continue;
            }
            if (!value) {
                if (i + 1 >= arguments.size()) {
                    result.Error = QStringLiteral("option ") + argument + QStringLiteral(" needs a value");
                    return result;
                }
                value = arguments[++i];
            }
            if (*name == u"--algorithm") {
                options.Algorithm = *value;
                options.AlgorithmGiven = true;
            } else if (*name == u"--verify") {
                operands.append(*value);
                options.Action = TCliAction::Verify;
            } else if (*name == u"--type") {
                const std::optional<int> type = InputTypeByName(*value);
                if (!type) {
                    result.Error = QStringLiteral("unknown input type ") + *value;
                    return result;
                }
                options.InputType = *type;
            } else if (*name == u"--jobs") {
                const std::optional<int> jobs = JobsByText(*value);
                if (!jobs) {
                    result.Error = QStringLiteral("--jobs takes a number from 1 to %1, not ").arg(MaxJobs) + *value;
                    return result;
                }
                options.Jobs = *jobs;
            } else if (*name == u"--prefix" || *name == u"--suffix") {
                (*name == u"--prefix" ? prefixGiven : suffixGiven) = true;
                options.SaltType = *name == u"--prefix" ? SaltTypePrefix : SaltTypeSuffix;
                options.SaltText = *value;
            } else {
                if (options.Check) {
                    result.Error = QStringLiteral("--check takes one digest; to check a checksum list, use -C");
                    return result;
                }
                options.Check = true;
                options.Expected = *value;
            }
        }
    }

    if (const QString error = FinishAlgorithmOption(options); !error.isEmpty())
        result.Error = error;
    else if (options.Action == TCliAction::ListAlgorithms)
        return result;
    else if (const QString error = FinishAlgorithmList(options); !error.isEmpty())
        result.Error = error;
    else if (prefixGiven && suffixGiven)
        result.Error = QStringLiteral("--prefix and --suffix cannot be used together");
    else if (const QString error = FinishVerifyOptions(options, operands); !error.isEmpty())
        result.Error = error;
    else if (options.Action == TCliAction::Verify)
        return result;
    else if (inputs.isEmpty())
        result.Error = QStringLiteral("INPUT is missing");
    else if (options.InputType != InputTypeFile && inputs.size() > 1)
        result.Error = QStringLiteral("-t text, hex and base64 take exactly one INPUT");
    else if (options.InputType != InputTypeFile &&
             (options.WithName || options.Tag || options.Sfv || options.Recursive))
        result.Error = QStringLiteral("-H, --tag, --sfv and -r apply to file input only");
    else if (options.Check && options.ListsFiles())
        result.Error = QStringLiteral("--check takes one INPUT, without -H, --tag, --sfv or -r");
    else if (const QString error = FinishCheckOption(options); !error.isEmpty())
        result.Error = error;
    else
        options.Input = inputs.front();
    return result;
}

HashRequest MakeHashRequest(const TCliOptions& options, const QString& inputText) {
    HashRequest request;
    request.InputType = options.InputType;
    request.InputText = inputText;
    request.TrimInput = options.TrimInput;
    request.SaltType = options.SaltType;
    request.SaltText = options.SaltText;
    request.HashItems = QStringList{options.Algorithm};
    request.HashType = 0;
    request.UpperHash = options.UpperHash;
    return request;
}

bool DigestMatches(QStringView digest, QStringView expected) {
    const TExpectedDigest parsed = ParseExpectedDigest(expected);
    return parsed.IsDigest() && SameTextAscii(digest, parsed.Digest);
}

QString CliAlgorithmList() {
    QString list;
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        list += Latin1(row.Name);
        for (const std::string_view name : row.Typed)
            list += QStringLiteral(", ") + Latin1(name);
        list += u'\n';
    }
    return list;
}

QString CliUsageText() {
    return QStringLiteral(
        "Usage: quviro-cli [-a ALGORITHM] [-t file|text|hex|base64] [--trim] [--prefix SALT | --suffix SALT]\n"
        "                  [-u|--upper] [-z|-0|--zero] [-c|--check EXPECTED] [--progress] INPUT\n"
        "       quviro-cli [-a ALGORITHM] [-u] [-H|--with-name] [--tag|--sfv] [-b|--binary|--text] [-r|--recursive]\n"
        "                  [-j|--jobs N] [-z|-0|--zero] FILE...\n"
        "       quviro-cli [-a ALGORITHM] [--quiet] [--status] [--ignore-missing] [--strict] [-w|--warn] [-z]\n"
        "                  -C|--verify LIST [LIST...]\n"
        "       quviro-cli --help | --version | --list-algorithms\n");
}

QString CliHelpText() {
    return CliUsageText() +
           QStringLiteral(
               "\n"
               "Prints the digest of INPUT as hexadecimal text. For several files, or with -H, --tag or -r,\n"
               "prints one checksum line per file as sha256sum, sha1sum and md5sum do; with several\n"
               "algorithms (-a md5,sha256), one BSD line per algorithm and file.\n"
               "\n"
               "  -a, --algorithm ALGORITHM  SHA256 (the default), MD5, SHA1, SHA224, SHA384, SHA512,\n"
               "                             SHA512/256, SHA3-224, SHA3-256, SHA3-384, SHA3-512,\n"
               "                             BLAKE2b-512 (b2), BLAKE2s-256, BLAKE3 (b3), CRC32,\n"
               "                             XXH3-64 (xxh3), XXH3-128 (xxh128), XXH64 or XXH32; case,\n"
               "                             spaces and punctuation are ignored, so sha-256 and sha3_512\n"
               "                             work too;\n"
               "                             -a help lists them;\n"
               "                             several names separated by commas (-a md5,sha256) are\n"
               "                             computed from one read and print one BSD line each\n"
               "  -t, --type TYPE            what INPUT is: file (the default), the name of a file to hash;\n"
               "                             text, text hashed as UTF-8; hex, hexadecimal bytes (not\n"
               "                             supported in this version); base64, Base64 text decoded first\n"
               "      --trim                 remove spaces, line breaks and control characters around a text\n"
               "      --prefix SALT          put SALT (trimmed) before a text\n"
               "      --suffix SALT          put SALT (trimmed) after a text\n"
               "  -u, --upper                print the digest in upper case\n"
               "  -H, --with-name            print the checksum line (DIGEST  NAME) for one file too\n"
               "      --tag                  print BSD lines: SHA256 (NAME) = DIGEST\n"
               "  -b, --binary               print DIGEST *NAME lines, as sha256sum -b does\n"
               "      --text                 print DIGEST  NAME lines (the default)\n"
               "      --sfv                  print an SFV list of CRC32 values: NAME DIGEST lines after a\n"
               "                             comment line; names as they are, so a name with \"\\\",\n"
               "                             blanks at either end or a leading \";\" is not listed\n"
               "  -r, --recursive            hash the files in folders and their subfolders, by name in\n"
               "                             byte order; links to files are followed, links to folders\n"
               "                             are not; FIFOs, sockets and devices are skipped\n"
               "  -j, --jobs N               hash N files at a time (1 to 256; default: one per processor)\n"
               "  -z, -0, --zero             end each line with NUL instead of a line feed and write\n"
               "                             names unescaped; with -C, read lines that end with NUL\n"
               "  -c, --check EXPECTED       compare the digest with EXPECTED and print OK or MISMATCH;\n"
               "                             EXPECTED is a digest in any case, or a checksum line\n"
               "                             'DIGEST  NAME' or 'SHA256 (NAME) = DIGEST'; without -a its\n"
               "                             length or tag chooses the algorithm\n"
               "  -C, --verify LIST          check the files a checksum list names, as sha256sum -c does;\n"
               "                             several lists are checked in turn (-C A -C B, or -C A B);\n"
               "                             names are found relative to the list's folder; LIST - is\n"
               "                             standard input; without -a each line's tag or digest length\n"
               "                             chooses the algorithm\n"
               "      --quiet                with -C: do not print OK lines (of --quiet, --status and -w\n"
               "                             the last one wins)\n"
               "      --status               with -C: print nothing; the exit status tells\n"
               "      --ignore-missing       with -C: skip files that do not exist\n"
               "      --strict               with -C: fail when a line is improperly formatted\n"
               "  -w, --warn                 with -C: report every improperly formatted line\n"
               "      --progress             show the progress on standard error: a file's bytes; files,\n"
               "                             bytes, speed and time left for several inputs, -r and -C;\n"
               "                             without it, shown when standard error is a terminal (for\n"
               "                             one file: over 64 MiB; for -C: not with --status)\n"
               "      --list-algorithms      list the algorithms and the names -a accepts for them\n"
               "  -h, --help                 show this text\n"
               "      --version              show the version\n"
               "\n"
               "INPUT - reads standard input: with -t file (the default) its bytes are hashed as given,\n"
               "a pipe too, as by INPUT /dev/stdin, and among several files its line is named -; with\n"
               "-t text its bytes must be UTF-8. Several INPUTs are files; -t text, hex and base64 take\n"
               "exactly one.\n"
               "A file that fails prints its name and the reason on standard error; the others are\n"
               "still hashed, and the lines come in the order of the INPUTs.\n"
               "\n"
               "Short switches bundle: -uH is -u -H.\n"
               "\n"
               "Exit status: 0 digest printed or OK, 1 failure or MISMATCH, 2 wrong usage.\n"
               "With -C: 0 every listed file matched, 1 otherwise, 2 wrong usage.\n");
}

QString CliVersionText() {
    return GetVersionText();
}
