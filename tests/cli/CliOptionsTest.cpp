#include "cli/CliOptions.h"
#include "cli/AlgorithmsCommand.h"
#include "cli/CliHelp.h"
#include "cli/HashCommand.h"

#include "crypt/HashAlgorithm.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* name;
    QStringList arguments;
    QString error; // empty when the arguments are valid
    TCliOptions expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// What an unknown -a value is answered with: every row of the algorithm table, in its order.
// Cases write it as "<table>"; the table is read once the tests run, not while the cases are made.
QString KnownAlgorithms() {
    QStringList names;
    for (const TAlgorithmInfo& row : AlgorithmTable())
        names.append(Latin1(row.Name));
    return names.join(u", "_qs);
}

TCliOptions Options(std::function<void(TCliOptions&)> change) {
    TCliOptions options;
    change(options);
    // A case that names one algorithm expects it as the whole list.
    if (options.Algorithms.size() == 1)
        options.Algorithms = QStringList{options.Algorithm};
    return options;
}

const ParseCase ParseCases[] = {
    {"defaults", {u"a.txt"_qs}, {}, Options([](TCliOptions& o) { o.Input = u"a.txt"_qs; })},
    {"all_short_options",
     {u"-a"_qs, u"md5"_qs, u"-t"_qs, u"text"_qs, u"-u"_qs, u"-c"_qs, u"900150983CD24FB0D6963F7D28E17F72"_qs,
      u"--trim"_qs, u"hello"_qs},
     {},
     Options([](TCliOptions& o) {
         o.Algorithm = u"MD5"_qs;
         o.InputType = InputTypeText;
         o.UpperHash = true;
         o.Check = true;
         o.Expected = u"900150983CD24FB0D6963F7D28E17F72"_qs;
         o.TrimInput = true;
         o.Input = u"hello"_qs;
     })},
    {"long_options_with_equals",
     {u"--algorithm=SHA-1"_qs, u"--type=base64"_qs, u"--upper"_qs,
      u"--check= a9993e364706816aba3e25717850c26c9cd0d89d "_qs, u"YWJj"_qs},
     {},
     Options([](TCliOptions& o) {
         o.Algorithm = u"SHA1"_qs;
         o.InputType = InputTypeBase64;
         o.UpperHash = true;
         o.Check = true;
         o.Expected = u" a9993e364706816aba3e25717850c26c9cd0d89d "_qs;
         o.Input = u"YWJj"_qs;
     })},
    {"attached_short_value", {u"-asha1"_qs, u"-thex"_qs, u"0a"_qs}, {}, Options([](TCliOptions& o) {
         o.Algorithm = u"SHA1"_qs;
         o.InputType = InputTypeHex;
         o.Input = u"0a"_qs;
     })},
    {"algorithm_typed_name_becomes_the_row_name", {u"-a"_qs, u"Sha3_256"_qs, u"x"_qs}, {}, Options([](TCliOptions& o) {
         o.Algorithm = u"SHA3-256"_qs;
         o.Input = u"x"_qs;
     })},
    {"algorithm_short_name", {u"-a"_qs, u"b2"_qs, u"x"_qs}, {}, Options([](TCliOptions& o) {
         o.Algorithm = u"BLAKE2b-512"_qs;
         o.Input = u"x"_qs;
     })},
    {"algorithm_help_lists", {u"-a"_qs, u"Help"_qs}, {}, Options([](TCliOptions& o) {
         o.Action = TCliAction::ListAlgorithms;
         o.Algorithm = u"Help"_qs;
     })},
    {"list_algorithms", {u"--list-algorithms"_qs, u"x"_qs}, {}, Options([](TCliOptions& o) {
         o.Action = TCliAction::ListAlgorithms;
     })},
    {"type_name_ignores_case", {u"-t"_qs, u"TEXT"_qs, u"x"_qs}, {}, Options([](TCliOptions& o) {
         o.InputType = InputTypeText;
         o.Input = u"x"_qs;
     })},
    {"prefix", {u"-t"_qs, u"text"_qs, u"--prefix"_qs, u" s "_qs, u"x"_qs}, {}, Options([](TCliOptions& o) {
         o.InputType = InputTypeText;
         o.SaltType = SaltTypePrefix;
         o.SaltText = u" s "_qs;
         o.Input = u"x"_qs;
     })},
    {"suffix", {u"-t"_qs, u"text"_qs, u"--suffix=s"_qs, u"x"_qs}, {}, Options([](TCliOptions& o) {
         o.InputType = InputTypeText;
         o.SaltType = SaltTypeSuffix;
         o.SaltText = u"s"_qs;
         o.Input = u"x"_qs;
     })},
    {"value_may_start_with_dash",
     {u"-t"_qs, u"text"_qs, u"--prefix"_qs, u"-x"_qs, u"y"_qs},
     {},
     Options([](TCliOptions& o) {
         o.InputType = InputTypeText;
         o.SaltType = SaltTypePrefix;
         o.SaltText = u"-x"_qs;
         o.Input = u"y"_qs;
     })},
    {"stdin_for_text", {u"-t"_qs, u"text"_qs, u"-"_qs}, {}, Options([](TCliOptions& o) {
         o.InputType = InputTypeText;
         o.Input = u"-"_qs;
     })},
    {"double_dash_ends_options", {u"--"_qs, u"-name.txt"_qs}, {}, Options([](TCliOptions& o) {
         o.Input = u"-name.txt"_qs;
     })},
    {"help_wins", {u"--prefix"_qs, u"a"_qs, u"--suffix"_qs, u"b"_qs, u"--help"_qs}, {}, Options([](TCliOptions& o) {
         o.Action = TCliAction::Help;
         o.SaltType = SaltTypeSuffix;
         o.SaltText = u"b"_qs;
     })},
    {"file_list_options",
     {u"-H"_qs, u"--tag"_qs, u"-r"_qs, u"-j3"_qs, u"-z"_qs, u"a"_qs, u"--"_qs, u"-b"_qs},
     {},
     Options([](TCliOptions& o) {
         o.WithName = o.Tag = o.Recursive = o.Zero = true;
         o.Jobs = 3;
         o.Input = u"a"_qs;
         o.Inputs = {u"a"_qs, u"-b"_qs};
         o.InputArguments = {5, 7};
     })},
    {"long_list_options",
     {u"--with-name"_qs, u"--recursive"_qs, u"--jobs"_qs, u"256"_qs, u"-0"_qs, u"a"_qs},
     {},
     Options([](TCliOptions& o) {
         o.WithName = o.Recursive = o.Zero = true;
         o.Jobs = 256;
         o.Input = u"a"_qs;
         o.Inputs = {u"a"_qs};
         o.InputArguments = {5};
     })},
    {"version", {u"--version"_qs}, {}, Options([](TCliOptions& o) { o.Action = TCliAction::Version; })},
    {"progress", {u"--progress"_qs, u"a"_qs}, {}, Options([](TCliOptions& o) {
         o.Progress = true;
         o.Input = u"a"_qs;
     })},
    {"prefix_and_suffix",
     {u"--prefix"_qs, u"a"_qs, u"--suffix"_qs, u"b"_qs, u"x"_qs},
     u"--prefix and --suffix cannot be used together"_qs,
     {}},
    {"stdin_for_file", {u"-"_qs}, {}, Options([](TCliOptions& o) {
         o.Input = u"-"_qs;
         o.Inputs = {u"-"_qs};
         o.InputArguments = {0};
     })},
    // As sha256sum: no INPUT is standard input.
    {"no_input", {u"-u"_qs}, {}, Options([](TCliOptions& o) {
         o.UpperHash = true;
         o.Input = u"-"_qs;
         o.Inputs = {u"-"_qs};
     })},
    // Long options shortened as getopt takes them, every command's alike.
    {"long_prefixes",
     {u"--algo"_qs, u"md5"_qs, u"--upp"_qs, u"--chec=900150983cd24fb0d6963f7d28e17f72"_qs, u"a"_qs},
     {},
     Options([](TCliOptions& o) {
         o.Algorithm = u"MD5"_qs;
         o.UpperHash = true;
         o.Check = true;
         o.Expected = u"900150983cd24fb0d6963f7d28e17f72"_qs;
         o.Input = u"a"_qs;
     })},
    {"long_prefix_of_a_files_option", {u"--rec"_qs, u"--with"_qs, u"d"_qs}, {}, Options([](TCliOptions& o) {
         o.Recursive = true;
         o.WithName = true;
         o.Input = u"d"_qs;
     })},
    {"ambiguous_prefix", {u"--ver"_qs, u"a"_qs}, u"option --ver is ambiguous: --version, --verify"_qs, {}},
    {"switch_given_a_value", {u"--upper=1"_qs, u"a"_qs}, u"option --upper takes no value"_qs, {}},
    {"two_text_inputs",
     {u"-t"_qs, u"text"_qs, u"a"_qs, u"b"_qs},
     u"-t text, hex and base64 take exactly one INPUT"_qs,
     {}},
    {"tag_with_base64",
     {u"--tag"_qs, u"-t"_qs, u"base64"_qs, u"YQ=="_qs},
     u"-H, --tag, --sfv and -r apply to file input only"_qs,
     {}},
    {"stdin_among_files", {u"a"_qs, u"-"_qs}, {}, Options([](TCliOptions& o) {
         o.Input = u"a"_qs;
         o.Inputs = {u"a"_qs, u"-"_qs};
         o.InputArguments = {0, 1};
     })},
    {"stdin_twice_with_tag", {u"--tag"_qs, u"-"_qs, u"-"_qs}, {}, Options([](TCliOptions& o) {
         o.Tag = true;
         o.Input = u"-"_qs;
         o.Inputs = {u"-"_qs, u"-"_qs};
         o.InputArguments = {1, 2};
     })},
    {"algorithm_list", {u"-a"_qs, u"md5, SHA-256,b2"_qs, u"a"_qs}, {}, Options([](TCliOptions& o) {
         o.Algorithm = u"MD5"_qs;
         o.Algorithms = {u"MD5"_qs, u"SHA256"_qs, u"BLAKE2b-512"_qs};
         o.Input = u"a"_qs;
     })},
    {"algorithm_list_repeats_count_once", {u"-amd5,MD5,sha256,md-5"_qs, u"a"_qs}, {}, Options([](TCliOptions& o) {
         o.Algorithm = u"MD5"_qs;
         o.Algorithms = {u"MD5"_qs, u"SHA256"_qs};
         o.Input = u"a"_qs;
     })},
    {"algorithm_list_of_one_repeated",
     {u"--sfv"_qs, u"-a"_qs, u"crc32,CRC-32"_qs, u"a"_qs},
     {},
     Options([](TCliOptions& o) {
         o.Algorithm = u"CRC32"_qs;
         o.Sfv = true;
         o.Input = u"a"_qs;
     })},
    {"unknown_algorithm_in_list",
     {u"-a"_qs, u"md5,whirlpool,sha1"_qs, u"a"_qs},
     u"unknown algorithm whirlpool; known: <table>"_qs,
     {}},
    {"algorithm_list_with_check",
     {u"-a"_qs, u"md5,sha1"_qs, u"-c"_qs, u"900150983cd24fb0d6963f7d28e17f72"_qs, u"a"_qs},
     u"--check compares one digest; -a names several algorithms"_qs,
     {}},
    {"algorithm_list_with_verify",
     {u"-a"_qs, u"md5,sha1"_qs, u"-C"_qs, u"SUMS"_qs},
     u"--verify takes one algorithm; the lists name theirs"_qs,
     {}},
    {"algorithm_list_with_sfv",
     {u"--sfv"_qs, u"-a"_qs, u"crc32,md5"_qs, u"a"_qs},
     u"--sfv writes CRC32 values, but -a asks for CRC32,MD5"_qs,
     {}},
    {"algorithm_list_with_binary",
     {u"-b"_qs, u"-a"_qs, u"md5,sha1"_qs, u"a"_qs},
     u"several algorithms print BSD lines, which -b cannot"_qs,
     {}},
    {"algorithm_list_with_text",
     {u"-t"_qs, u"text"_qs, u"-a"_qs, u"md5,sha1"_qs, u"abc"_qs},
     u"several algorithms apply to file input only"_qs,
     {}},
    {"check_with_two_files",
     {u"-c"_qs, u"00000000"_qs, u"a"_qs, u"b"_qs},
     u"--check takes one INPUT, without -H, --tag, --sfv or -r"_qs,
     {}},
    {"check_with_name",
     {u"-H"_qs, u"-c"_qs, u"00000000"_qs, u"a"_qs},
     u"--check takes one INPUT, without -H, --tag, --sfv or -r"_qs,
     {}},
    {"jobs_zero", {u"-j"_qs, u"0"_qs, u"a"_qs}, u"--jobs takes a number from 1 to 256, not 0"_qs, {}},
    {"jobs_too_many", {u"--jobs=257"_qs, u"a"_qs}, u"--jobs takes a number from 1 to 256, not 257"_qs, {}},
    {"jobs_not_a_number", {u"-jx"_qs, u"a"_qs}, u"--jobs takes a number from 1 to 256, not x"_qs, {}},
    {"unknown_option", {u"-x"_qs, u"a"_qs}, u"unknown option -x"_qs, {}},
    {"unknown_long_option", {u"--algorithmic"_qs, u"a"_qs}, u"unknown option --algorithmic"_qs, {}},
    {"missing_value", {u"a"_qs, u"-a"_qs}, u"option -a needs a value"_qs, {}},
    {"unknown_algorithm", {u"-a"_qs, u"whirlpool"_qs, u"a"_qs}, u"unknown algorithm whirlpool; known: <table>"_qs, {}},
    {"unknown_type", {u"-t"_qs, u"bytes"_qs, u"a"_qs}, u"unknown input type bytes"_qs, {}},
    {"bundled_switches", {u"-uHr"_qs, u"a"_qs}, {}, Options([](TCliOptions& o) {
         o.UpperHash = o.WithName = o.Recursive = true;
         o.Input = u"a"_qs;
         o.Inputs = {u"a"_qs};
         o.InputArguments = {1};
     })},
    {"bundle_ending_in_a_value_option", {u"-uamd5"_qs, u"-bj"_qs, u"2"_qs, u"a"_qs}, {}, Options([](TCliOptions& o) {
         o.UpperHash = o.Binary = true;
         o.Algorithm = u"MD5"_qs;
         o.Jobs = 2;
         o.Input = u"a"_qs;
         o.Inputs = {u"a"_qs};
         o.InputArguments = {3};
     })},
    {"text_after_binary", {u"--binary"_qs, u"--text"_qs, u"a"_qs}, {}, Options([](TCliOptions& o) {
         o.Input = u"a"_qs;
     })},
    {"bundle_with_an_unknown_letter", {u"-ux"_qs, u"a"_qs}, u"unknown option -x"_qs, {}},
    {"two_checks",
     {u"-c"_qs, u"00000000"_qs, u"--check"_qs, u"11111111"_qs, u"a"_qs},
     u"--check takes one digest; to check a checksum list, use -C"_qs,
     {}},
    {"unknown_algorithm_with_verify",
     {u"--algorithm=sha-0"_qs, u"-C"_qs, u"SUMS"_qs},
     u"unknown algorithm sha-0; known: <table>"_qs,
     {}},
};

class CliOptionsTest : public testing::TestWithParam<ParseCase> {};

TEST_P(CliOptionsTest, Parses) {
    const ParseCase& c = GetParam();
    const TCliParseResult result = ParseCliArguments(c.arguments);
    EXPECT_EQ(result.Error.toStdString(), QString(c.error).replace(u"<table>"_qs, KnownAlgorithms()).toStdString());
    if (!c.error.isEmpty())
        return;
    const TCliOptions& o = result.Options;
    EXPECT_EQ(o.Action, c.expected.Action);
    EXPECT_EQ(o.Algorithm, c.expected.Algorithm);
    if (o.Action != TCliAction::ListAlgorithms) {
        EXPECT_EQ(o.Algorithms, c.expected.Algorithms);
    }
    EXPECT_EQ(o.InputType, c.expected.InputType);
    EXPECT_EQ(o.TrimInput, c.expected.TrimInput);
    EXPECT_EQ(o.SaltType, c.expected.SaltType);
    EXPECT_EQ(o.SaltText, c.expected.SaltText);
    EXPECT_EQ(o.UpperHash, c.expected.UpperHash);
    EXPECT_EQ(o.Check, c.expected.Check);
    EXPECT_EQ(o.Expected, c.expected.Expected);
    EXPECT_EQ(o.Input, c.expected.Input);
    if (!c.expected.Inputs.isEmpty()) {
        EXPECT_EQ(o.Inputs, c.expected.Inputs);
        EXPECT_EQ(o.InputArguments, c.expected.InputArguments);
    }
    EXPECT_EQ(o.WithName, c.expected.WithName);
    EXPECT_EQ(o.Tag, c.expected.Tag);
    EXPECT_EQ(o.Recursive, c.expected.Recursive);
    EXPECT_EQ(o.Jobs, c.expected.Jobs);
    EXPECT_EQ(o.Zero, c.expected.Zero);
    EXPECT_EQ(o.Progress, c.expected.Progress);
    EXPECT_EQ(o.Binary, c.expected.Binary);
    EXPECT_EQ(o.Sfv, c.expected.Sfv);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliOptionsTest, testing::ValuesIn(ParseCases),
                         [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(CliRequestTest, AlgorithmIsTheOnlyItemOffered) {
    TCliOptions options;
    options.Algorithm = u"sha-1"_qs;
    options.InputType = InputTypeText;
    options.TrimInput = true;
    options.SaltType = SaltTypeSuffix;
    options.SaltText = u"s"_qs;
    options.UpperHash = true;
    const HashRequest request = MakeHashRequest(options, u"text"_qs);
    EXPECT_EQ(request.InputType, InputTypeText);
    EXPECT_EQ(request.InputText, u"text");
    EXPECT_TRUE(request.TrimInput);
    EXPECT_EQ(request.SaltType, SaltTypeSuffix);
    EXPECT_EQ(request.SaltText, u"s");
    EXPECT_EQ(request.HashItems, std::vector<std::u16string>{u"sha-1"});
    EXPECT_EQ(request.HashType, 0);
    EXPECT_TRUE(request.UpperHash);
}

TEST(CliRequestTest, DigestMatchesIgnoringCaseAndOuterWhitespace) {
    const QString md5 = u"900150983cd24fb0d6963f7d28e17f72"_qs;
    EXPECT_TRUE(DigestMatches(md5, md5.toUpper()));
    EXPECT_TRUE(DigestMatches(md5, u" \t"_qs + md5 + u"\r\n"_qs));
    EXPECT_TRUE(DigestMatches(md5, md5 + u"  abc.txt"_qs));
    EXPECT_FALSE(DigestMatches(md5, md5.left(31)));
    EXPECT_FALSE(DigestMatches(md5, md5.left(20) + u" "_qs + md5.mid(20)));
    EXPECT_FALSE(DigestMatches(u"ab12", u"ab12"));
    EXPECT_FALSE(DigestMatches(md5, u""));
}

TEST(CliVerifyOptionsTest, VerifyTakesItsSwitches) {
    const TCliParseResult result =
        ParseCliArguments({u"--status"_qs, u"--ignore-missing"_qs, u"--strict"_qs, u"-w"_qs, u"-CSUMS"_qs});
    ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    const TCliOptions& o = result.Options;
    EXPECT_EQ(o.Action, TCliAction::Verify);
    EXPECT_EQ(o.VerifyLists, QStringList{u"SUMS"_qs});
    EXPECT_TRUE(o.IgnoreMissing && o.Strict && o.Warn);
    EXPECT_FALSE(o.AlgorithmGiven);
}

// Of --quiet, --status and --warn the last one wins, as with sha256sum -c.
TEST(CliVerifyOptionsTest, LastOfQuietStatusAndWarnWins) {
    const struct {
        QStringList switches;
        bool quiet, status, warn;
    } cases[] = {
        {{u"--quiet"_qs, u"--status"_qs}, false, true, false}, {{u"--status"_qs, u"--quiet"_qs}, true, false, false},
        {{u"--status"_qs, u"-w"_qs}, false, false, true},      {{u"--warn"_qs, u"--quiet"_qs}, true, false, false},
        {{u"--quiet"_qs, u"--strict"_qs}, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.switches.join(u' ').toStdString());
        const TCliParseResult result = ParseCliArguments(c.switches + QStringList{u"-C"_qs, u"SUMS"_qs});
        ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
        EXPECT_EQ(result.Options.Quiet, c.quiet);
        EXPECT_EQ(result.Options.StatusOnly, c.status);
        EXPECT_EQ(result.Options.Warn, c.warn);
    }
}

// Every list is checked, in the order given: the values of -C and, with -C, the operands.
TEST(CliVerifyOptionsTest, EveryListInTheOrderGiven) {
    const struct {
        QStringList arguments;
        QStringList lists;
    } cases[] = {
        {{u"-C"_qs, u"A"_qs, u"-C"_qs, u"B"_qs}, {u"A"_qs, u"B"_qs}},
        {{u"-C"_qs, u"A"_qs, u"B"_qs, u"--verify=C"_qs, u"-"_qs}, {u"A"_qs, u"B"_qs, u"C"_qs, u"-"_qs}},
        {{u"B"_qs, u"-CA"_qs}, {u"B"_qs, u"A"_qs}},
        // As sha256sum -c takes them: -c or --check with a value that is no digest, or alone.
        {{u"-c"_qs, u"A"_qs}, {u"A"_qs}},
        {{u"--check"_qs, u"A"_qs, u"B"_qs}, {u"A"_qs, u"B"_qs}},
        {{u"A"_qs, u"-c"_qs, u"B"_qs}, {u"A"_qs, u"B"_qs}},
        {{u"-c"_qs, u"-w"_qs, u"A"_qs}, {u"A"_qs}},
        {{u"-cw"_qs, u"A"_qs}, {u"A"_qs}},
        {{u"-Cw"_qs, u"A"_qs}, {u"A"_qs}},
        {{u"--verif"_qs, u"A"_qs}, {u"A"_qs}},
        {{u"-c"_qs, u"-"_qs}, {u"-"_qs}},
        // No list: standard input.
        {{u"-c"_qs}, {u"-"_qs}},
        {{u"-C"_qs}, {u"-"_qs}},
        {{u"--quiet"_qs, u"--check"_qs}, {u"-"_qs}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const TCliParseResult result = ParseCliArguments(c.arguments);
        ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
        EXPECT_EQ(result.Options.Action, TCliAction::Verify);
        EXPECT_EQ(result.Options.VerifyLists, c.lists);
        EXPECT_TRUE(result.Options.Inputs.isEmpty());
    }
}

// "-Cw" and "-cw" bundle -C or -c with switches, as "-cw" does for sha256sum; -C with
// letters that are no switches is -C with an attached list.
TEST(CliVerifyOptionsTest, CheckBundlesWithSwitches) {
    const struct {
        QStringList arguments;
        QStringList lists;
        bool warn;
        bool quiet;
    } cases[] = {
        {{u"-Cw"_qs, u"L"_qs}, {u"L"_qs}, true, false},
        {{u"-cw"_qs, u"L"_qs}, {u"L"_qs}, true, false},
        {{u"-zCw"_qs, u"L"_qs}, {u"L"_qs}, true, false},
        {{u"-CSUMS"_qs}, {u"SUMS"_qs}, false, false},
        {{u"--qui"_qs, u"-Cz"_qs, u"L"_qs}, {u"L"_qs}, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const TCliParseResult result = ParseCliArguments(c.arguments);
        ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
        EXPECT_EQ(result.Options.Action, TCliAction::Verify);
        EXPECT_EQ(result.Options.VerifyLists, c.lists);
        EXPECT_EQ(result.Options.Warn, c.warn);
        EXPECT_EQ(result.Options.Quiet, c.quiet);
    }
}

// -b prints a checksum line for one file too, as sha256sum -b does.
TEST(CliVerifyOptionsTest, BinaryListsOneFile) {
    const TCliParseResult result = ParseCliArguments({u"-b"_qs, u"f"_qs});
    ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    EXPECT_TRUE(result.Options.ListsFiles());
}

TEST(CliVerifyOptionsTest, CheckWithoutAlgorithmTakesTheDigestsOwn) {
    const TCliParseResult result =
        ParseCliArguments({u"-c"_qs, u"a9993e364706816aba3e25717850c26c9cd0d89d"_qs, u"f"_qs});
    ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    EXPECT_EQ(result.Options.Algorithm, u"SHA1"_qs);
}

} // namespace

namespace {

// The help of -a names every row of the algorithm table, the default first and the others in
// the table's order, and each spelling it shows in parentheses is one -a takes for that row.
TEST(CliHelpTest, AlgorithmHelpNamesEveryRowOfTheTable) {
    const QString help = CliHelpText();
    const QString head = u"  -a, --algorithm ALGORITHM  "_qs;
    const qsizetype from = help.indexOf(head);
    ASSERT_GE(from, 0) << help.toStdString();
    const qsizetype to = help.indexOf(u';', from);
    const QStringList items = help.mid(from + head.size(), to - from - head.size())
                                  .simplified()
                                  .replace(u" or "_qs, u", "_qs)
                                  .split(u", "_qs);

    QStringList expected{TCliOptions().Algorithm};
    for (const TAlgorithmInfo& row : AlgorithmTable())
        if (Latin1(row.Name) != expected.front())
            expected.append(Latin1(row.Name));
    QStringList names;
    for (const QString& item : items) {
        const QString name = item.section(u' ', 0, 0);
        names.append(name);
        const QString spelling = item.section(u' ', 1).remove(u'(').remove(u')');
        if (spelling.isEmpty() || spelling == u"the default")
            continue;
        SCOPED_TRACE(item.toStdString());
        const TCliParseResult parsed = ParseCliArguments({u"-a"_qs, spelling, u"a"_qs});
        EXPECT_EQ(parsed.Error, u""_qs);
        EXPECT_EQ(parsed.Options.Algorithm, name);
    }
    EXPECT_EQ(names, expected);
}

// --list-algorithms: one line per row, its name and then every other name -a takes for it.
TEST(CliHelpTest, AlgorithmListHasALinePerRow) {
    const QStringList lines = CliAlgorithmList().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(AlgorithmTable().size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i].toStdString());
        const QStringList names = lines[i].split(u", "_qs);
        EXPECT_EQ(names.front(), Latin1(AlgorithmTable()[static_cast<std::size_t>(i)].Name));
        for (const QString& name : names)
            EXPECT_EQ(ParseCliArguments({u"-a"_qs, name, u"a"_qs}).Options.Algorithm, names.front());
    }
}

} // namespace

namespace {

// Every option a help line starts with ("  -a, --algorithm ALGORITHM  ..."), read from the help
// as a user reads it.
QStringList OptionsInHelp() {
    QStringList names;
    for (const QString& line : CliHelpText().split(u'\n')) {
        // Descriptions continue at a deeper indent; a head starts at the third or seventh column.
        if (!line.startsWith(u"  -"_qs) && !line.startsWith(u"      --"_qs))
            continue;
        const QString head = line.section(u"  "_qs, 0, 0, QString::SectionSkipEmpty);
        for (const QString& word : head.split(u' ', Qt::SkipEmptyParts))
            if (word.startsWith(u'-') && word.size() > 1)
                names.append(word.endsWith(u',') ? word.chopped(1) : word);
    }
    return names;
}

// The help and the parser read the same declarations: each name the help shows is one the parser
// takes (with a value where the help names one), and each name the parser takes the help shows.
TEST(CliHelpTest, HelpShowsExactlyTheOptionsTheParserTakes) {
    const QStringList shown = OptionsInHelp();
    ASSERT_FALSE(shown.isEmpty()) << CliHelpText().toStdString();
    for (const QString& name : shown) {
        SCOPED_TRACE(name.toStdString());
        const TCliParseResult parsed = ParseCliArguments({name, u"1"_qs, u"x"_qs});
        EXPECT_FALSE(parsed.Error.startsWith(u"unknown option"_qs)) << parsed.Error.toStdString();
    }
    // Every option quviro-cli has taken is still in the help.
    for (const QString& name :
         {u"-a"_qs,          u"--algorithm"_qs, u"-t"_qs,          u"--type"_qs,     u"--trim"_qs,
          u"--prefix"_qs,    u"--suffix"_qs,    u"-u"_qs,          u"--upper"_qs,    u"-H"_qs,
          u"--with-name"_qs, u"--tag"_qs,       u"-b"_qs,          u"--binary"_qs,   u"--text"_qs,
          u"--sfv"_qs,       u"-r"_qs,          u"--recursive"_qs, u"-j"_qs,         u"--jobs"_qs,
          u"-z"_qs,          u"-0"_qs,          u"--zero"_qs,      u"-c"_qs,         u"--check"_qs,
          u"-C"_qs,          u"--verify"_qs,    u"--quiet"_qs,     u"--status"_qs,   u"--ignore-missing"_qs,
          u"--strict"_qs,    u"-w"_qs,          u"--warn"_qs,      u"--progress"_qs, u"--list-algorithms"_qs,
          u"-h"_qs,          u"--help"_qs,      u"--version"_qs})
        EXPECT_TRUE(shown.contains(name)) << name.toStdString();
}

} // namespace
