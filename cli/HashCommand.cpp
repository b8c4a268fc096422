#include "cli/HashCommand.h"

#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "cli/DigestLengthNotes.h"
#include "crypt/HashAlgorithm.h"
#include "crypt/Hex.h"
#include "hashing/NamedFileDigest.h"
#include "pipeline/ExpectedDigest.h"
#include "platform/Files.h"
#include "text/PlainText.h"
#include "tools/TextUtils.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::optional<int> InputTypeByName(QStringView name) {
    // By input type, from InputTypeFile on.
    const QStringView names[InputTypeCount] = {u"file", u"text", u"hex", u"base64"};
    for (int type = InputTypeFile; type < InputTypeCount; ++type)
        if (SameTextAscii(name, names[type]))
            return type;
    return std::nullopt;
}

QString ApplyType(TCliParse& parse, const std::optional<QString>& value) {
    const std::optional<int> type = InputTypeByName(*value);
    if (!type)
        return QStringLiteral("unknown input type ") + *value;
    parse.Options.InputType = *type;
    return {};
}

QString ApplyTrim(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.TrimInput = true;
    return {};
}

QString ApplyPrefix(TCliParse& parse, const std::optional<QString>& value) {
    parse.PrefixGiven = true;
    parse.Options.SaltType = SaltTypePrefix;
    parse.Options.SaltText = *value;
    return {};
}

QString ApplySuffix(TCliParse& parse, const std::optional<QString>& value) {
    parse.SuffixGiven = true;
    parse.Options.SaltType = SaltTypeSuffix;
    parse.Options.SaltText = *value;
    return {};
}

QString ApplyCheck(TCliParse& parse, const std::optional<QString>& value) {
    // As sha256sum -c reads them: alone or given no digest, -c checks lists, its value the first.
    if (!value || !ParseExpectedDigest(Utf16(*value)).IsDigest()) {
        if (value)
            parse.Operands.append(*value);
        parse.Options.Action = TCliAction::Verify;
        return {};
    }
    if (parse.Options.Check)
        return QStringLiteral("--check takes one digest; to check a checksum list, use -C");
    parse.Options.Check = true;
    parse.Options.Expected = *value;
    return {};
}

constexpr TCliOption Options[] = {
    {{u"-t", u"--type"},
     TCliOptionValue::Required,
     u"TYPE",
     u"what INPUT is: file (the default), the name of a file to hash; text, text hashed as UTF-8; hex, "
     u"hexadecimal bytes (not supported in this version); base64, Base64 text decoded first",
     ApplyType},
    {{u"--trim"},
     TCliOptionValue::None,
     {},
     u"remove spaces, line breaks and control characters around a text",
     ApplyTrim},
    {{u"--prefix"}, TCliOptionValue::Required, u"SALT", u"put SALT (trimmed) before a text", ApplyPrefix},
    {{u"--suffix"}, TCliOptionValue::Required, u"SALT", u"put SALT (trimmed) after a text", ApplySuffix},
    {{u"-c", u"--check"},
     TCliOptionValue::NextUnlessOption,
     u"EXPECTED",
     u"compare the digest with EXPECTED and print OK or MISMATCH; EXPECTED is a digest in any case, or a "
     u"checksum line 'DIGEST\u00a0\u00a0NAME' or 'SHA256\u00a0(NAME)\u00a0=\u00a0DIGEST'; without -a its "
     u"tag chooses the algorithm, else every algorithm of its length is tried in one read and the one that "
     u"matches is named; an EXPECTED that is no digest, or none, is -C: every argument is "
     u"a list, as with sha256sum\u00a0-c",
     ApplyCheck},
};

// The digest --check compares with, checked against -a once the rest of the command line is
// known to be sound; empty text when they agree.
QString FinishCheckOption(TCliOptions& options) {
    if (!options.Check)
        return {};
    // A digest: ApplyCheck took any other value for a list.
    const TExpectedDigest expected = ParseExpectedDigest(Utf16(options.Expected));
    if (!options.AlgorithmGiven) {
        options.Algorithm = ToQString(expected.Algorithm);
        return {};
    }
    // A digest as long as -a's is taken for -a's algorithm: lengths are shared (SHA256, SHA3-256).
    if (expected.Digest.size() != AlgorithmInfo(*AlgorithmByName(options.Algorithm)).HexLength())
        return QStringLiteral("the digest given to --check is ") + ToQString(expected.Algorithm) +
               QStringLiteral(", but -a asks for ") + options.Algorithm;
    return {};
}

QByteArray ReadStandardInput() {
    QByteArray bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(n));
    return bytes;
}

// The algorithms the input is hashed with: -a's or the one its digest names; for a --check
// digest whose length alone chose its algorithm, every algorithm of that length in one read,
// the common meaning first (SHA256 before SHA3-256 and BLAKE3).
QStringList AlgorithmsToHash(const TCliOptions& options) {
    if (!options.Check || options.AlgorithmGiven)
        return {options.Algorithm};
    QStringList names;
    for (const std::u16string& name : AlgorithmsOfDigest(ParseExpectedDigest(Utf16(options.Expected))))
        names.append(ToQString(name));
    return names;
}

// The result on standard output: the digest of the first algorithm, or with --check OK or
// MISMATCH. Where several algorithms were tried, the one that matched is named when it is not
// the first, and a mismatch names them all.
int Report(const TCliOptions& options, const std::vector<TAlgorithmDigest>& digests, TCliOutput& out) {
    const QString digest = ToQString(digests.front().Digest);
    if (!options.Check) {
        Write(out, digest + QChar(options.Zero ? u'\0' : u'\n'));
        return ExitSuccess;
    }
    const auto match = std::find_if(digests.begin(), digests.end(), [&](const TAlgorithmDigest& tried) {
        return DigestMatches(ToQString(tried.Digest), options.Expected);
    });
    if (match != digests.end()) {
        if (match != digests.begin()) {
            const THashAlgorithm algorithm = *AlgorithmByName(ToQString(match->Algorithm));
            out.Message("digest read as " + std::string(HashAlgorithmName(algorithm)) + "; " +
                        SkipOthersNote(algorithm));
        }
        Write(out, QStringLiteral("OK\n"));
        return ExitSuccess;
    }
    const TExpectedDigest expected = ParseExpectedDigest(Utf16(options.Expected));
    Write(out, QStringLiteral("MISMATCH\nexpected: ") + ToQString(expected.Digest) + QStringLiteral("\nactual:   ") +
                   digest + u'\n');
    if (digests.size() > 1)
        out.Message(NoAlgorithmMatchedNote(static_cast<std::size_t>(expected.Digest.size())));
    return ExitFailure;
}

// The size of the file INPUT names, or -1 when it names no regular file.
std::int64_t InputFileSize(const TCliOptions& options) {
    const std::optional<TFileInfo> info = LookAtPath(SystemName(options.Input));
    return info && info->Kind == TFileKind::Regular ? info->Size : -1;
}

// A file input: whatever readable thing but a folder the user named, a pipe or device too
// ("-", /dev/stdin, "<(...)", /dev/null), as sha256sum reads it; a failure names the input and
// its reason, as for several inputs.
int HashNamedInput(const TCliOptions& options, TCliOutput& out) {
    const std::string name = SystemName(options.Input);
    const QStringList names = AlgorithmsToHash(options);
    std::vector<THashAlgorithm> algorithms;
    for (const QString& algorithm : names)
        algorithms.push_back(AlgorithmByName(algorithm).value_or(DefaultAlgorithm));
    std::optional<TLineProgress> progress;
    if (WantsProgress(options.Progress, StandardErrorIsTerminal(), InputFileSize(options)))
        progress.emplace(out);
    TStreamDigester digester;
    const TNamedFileDigest input =
        DigestNamedFile(name, algorithms, digester, progress ? &*progress : nullptr, TNamedFileKinds::AnyButFolder);
    if (progress)
        progress->Clear();
    if (!input.Succeeded())
        return Failure(out, QStringLiteral("quviro-cli: ") + options.Input + QStringLiteral(": ") +
                                QString::fromLocal8Bit(input.Reason));
    std::vector<TAlgorithmDigest> digests;
    for (std::size_t i = 0; i < input.Digests.size(); ++i) {
        const std::string& digest = input.Digests[i];
        digests.push_back(
            {std::u16string(Utf16(names[qsizetype(i)])), Latin1(options.UpperHash ? UpperHex(digest) : digest)});
    }
    return Report(options, digests, out);
}

} // namespace

const TCliCommand& HashCommand() {
    static constexpr TCliCommand command{u"Hashing one input (INPUT):", u"INPUT", Options};
    return command;
}

QString FinishSaltOptions(const TCliParse& parse) {
    if (parse.PrefixGiven && parse.SuffixGiven)
        return QStringLiteral("--prefix and --suffix cannot be used together");
    return {};
}

QString FinishInputOptions(TCliOptions& options) {
    // As sha256sum, standard input when no INPUT is given.
    if (options.Inputs.isEmpty())
        options.Inputs = QStringList{QStringLiteral("-")};
    if (options.InputType != InputTypeFile && options.Inputs.size() > 1)
        return QStringLiteral("-t text, hex and base64 take exactly one INPUT");
    if (options.InputType != InputTypeFile && (options.WithName || options.Tag || options.Sfv || options.Recursive))
        return QStringLiteral("-H, --tag, --sfv and -r apply to file input only");
    if (options.Check && options.ListsFiles())
        return QStringLiteral("--check takes one INPUT, without -H, --tag, --sfv or -r");
    return FinishCheckOption(options);
}

HashRequest MakeHashRequest(const TCliOptions& options, const QString& inputText) {
    HashRequest request;
    request.InputType = options.InputType;
    request.InputText = Utf16(inputText);
    request.TrimInput = options.TrimInput;
    request.SaltType = options.SaltType;
    request.SaltText = Utf16(options.SaltText);
    request.HashItems = {std::u16string(Utf16(options.Algorithm))};
    request.HashType = 0;
    request.UpperHash = options.UpperHash;
    return request;
}

bool DigestMatches(QStringView digest, QStringView expected) {
    const TExpectedDigest parsed = ParseExpectedDigest(Utf16(expected));
    return parsed.IsDigest() && SameHexDigits(Utf16(digest), parsed.Digest);
}

int RunHashCommand(const TCliOptions& options, TCliOutput& out) {
    if (options.InputType == InputTypeFile)
        return HashNamedInput(options, out);

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

    HashRequest request = MakeHashRequest(options, inputText);
    request.ExtraAlgorithms = Utf16List(AlgorithmsToHash(options).mid(1));
    const HashOutcome outcome = RunHashRequest(request, nullptr);
    if (!outcome.Succeeded())
        return Failure(out, ToQString(outcome.ErrorText));

    std::vector<TAlgorithmDigest> digests{{outcome.Algorithm, outcome.Digest}};
    digests.insert(digests.end(), outcome.ExtraDigests.begin(), outcome.ExtraDigests.end());
    return Report(options, digests, out);
}
