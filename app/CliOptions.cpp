#include "app/CliOptions.h"

#include "tools/TextUtils.h"
#include "tools/VersionInfo.h"

#include <optional>

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
    {u"-a", u"--algorithm"}, {u"-t", u"--type"}, {u"", u"--prefix"}, {u"", u"--suffix"}, {u"-c", u"--check"},
};

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
    QStringList inputs;
    bool prefixGiven = false;
    bool suffixGiven = false;
    bool optionsEnded = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || argument == u"-" || !argument.startsWith(u'-')) {
            inputs.append(argument);
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"-h" || argument == u"--help") {
            options.Action = TCliAction::Help;
            return result;
        } else if (argument == u"--version") {
            options.Action = TCliAction::Version;
            return result;
        } else if (argument == u"--trim") {
            options.TrimInput = true;
        } else if (argument == u"-u" || argument == u"--upper") {
            options.UpperHash = true;
        } else if (argument == u"--progress") {
            options.Progress = true;
        } else {
            std::optional<QString> value;
            const std::optional<QStringView> name = MatchValueOption(argument, value);
            if (!name) {
                result.Error = QStringLiteral("unknown option ") + argument;
                return result;
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
            } else if (*name == u"--type") {
                const std::optional<int> type = InputTypeByName(*value);
                if (!type) {
                    result.Error = QStringLiteral("unknown input type ") + *value;
                    return result;
                }
                options.InputType = *type;
            } else if (*name == u"--prefix" || *name == u"--suffix") {
                (*name == u"--prefix" ? prefixGiven : suffixGiven) = true;
                options.SaltType = *name == u"--prefix" ? SaltTypePrefix : SaltTypeSuffix;
                options.SaltText = *value;
            } else {
                options.Check = true;
                options.Expected = *value;
            }
        }
    }

    if (prefixGiven && suffixGiven)
        result.Error = QStringLiteral("--prefix and --suffix cannot be used together");
    else if (inputs.isEmpty())
        result.Error = QStringLiteral("INPUT is missing");
    else if (inputs.size() > 1)
        result.Error = QStringLiteral("only one INPUT may be given");
    else if (inputs.front() == u"-" && options.InputType == InputTypeFile)
        result.Error = QStringLiteral("INPUT - (standard input) cannot be used with -t file");
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
    return SameTextAscii(digest, Trim(expected));
}

QString CliUsageText() {
    return QStringLiteral(
        "Usage: quviro-cli [-a ALGORITHM] [-t file|text|hex|base64] [--trim] [--prefix SALT | --suffix SALT]\n"
        "                  [-u|--upper] [-c|--check EXPECTED] [--progress] INPUT\n"
        "       quviro-cli --help | --version\n");
}

QString CliHelpText() {
    return CliUsageText() +
           QStringLiteral(
               "\n"
               "Prints the digest of INPUT as hexadecimal text.\n"
               "\n"
               "  -a, --algorithm ALGORITHM  MD5, SHA1 or SHA256 (the default); case, spaces and\n"
               "                             punctuation are ignored, so sha-256 works too\n"
               "  -t, --type TYPE            what INPUT is: file (the default), the name of a file to hash;\n"
               "                             text, text hashed as UTF-8; hex, hexadecimal bytes (not\n"
               "                             supported in this version); base64, Base64 text decoded first\n"
               "      --trim                 remove spaces, line breaks and control characters around a text\n"
               "      --prefix SALT          put SALT (trimmed) before a text\n"
               "      --suffix SALT          put SALT (trimmed) after a text\n"
               "  -u, --upper                print the digest in upper case\n"
               "  -c, --check EXPECTED       compare the digest with EXPECTED, ignoring case and the\n"
               "                             whitespace around it; prints OK or MISMATCH\n"
               "      --progress             show the progress on standard error while a file is hashed;\n"
               "                             without it, shown for files over 64 MiB when standard error\n"
               "                             is a terminal\n"
               "  -h, --help                 show this text\n"
               "      --version              show the version\n"
               "\n"
               "INPUT - reads the text from standard input, bytes exactly as given (UTF-8); it cannot be\n"
               "used with -t file.\n"
               "\n"
               "Exit status: 0 digest printed or OK, 1 failure or MISMATCH, 2 wrong usage.\n");
}

QString CliVersionText() {
    return GetVersionText();
}
