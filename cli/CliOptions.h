// The options of quviro-cli as one parse of its arguments gives them; each command reads its own.
#pragma once

#include "pipeline/HashPipeline.h"

#include <QString>
#include <QStringList>

enum class TCliAction { Hash, Verify, Help, Version, ListAlgorithms };

struct TCliOptions {
    TCliAction Action = TCliAction::Hash;
    // The name of a row of the algorithm table ("SHA256", "BLAKE2b-512"); -a's value is replaced
    // by its row's name once the arguments are parsed.
    QString Algorithm = QStringLiteral("SHA256");
    // Every row -a names ("-a md5,sha256"), in the order given without repeats; the first is
    // Algorithm. Several are computed from one read of each file, one BSD line each.
    QStringList Algorithms{QStringLiteral("SHA256")};
    // -a was given; without it --check and --verify take the algorithm from the digests.
    bool AlgorithmGiven = false;
    // One of the pipeline's input types (HashPipeline.h).
    int InputType = InputTypeFile;
    bool TrimInput = false;
    // One of the pipeline's salt types.
    int SaltType = SaltTypeNone;
    QString SaltText;
    bool UpperHash = false;
    bool Check = false;
    // Draw the progress on standard error even when it is no terminal (--progress).
    bool Progress = false;
    // As given: a digest or a line of a checksum list (see ExpectedDigest.h).
    QString Expected;
    // --verify: the checksum lists in the order given ("-" standard input): the values of -C and,
    // with -C, the other operands; and how their report reads.
    QStringList VerifyLists;
    bool Quiet = false;
    bool StatusOnly = false;
    bool IgnoreMissing = false;
    bool Strict = false;
    bool Warn = false;
    // The first INPUT argument; "-" stands for standard input (its bytes for -t file, else its
    // UTF-8 text).
    QString Input;
    // Every INPUT argument, and where each stands among the arguments parsed (file names are
    // taken from the raw arguments, which need not be UTF-8).
    QStringList Inputs;
    QList<qsizetype> InputArguments;
    // -H: a checksum line with the name even for one input.
    bool WithName = false;
    // --tag: BSD lines ("SHA256 (NAME) = DIGEST").
    bool Tag = false;
    // -b/--binary: "DIGEST *NAME" lines; --text: "DIGEST  NAME" (the default). Files are read as
    // bytes either way.
    bool Binary = false;
    // -b or --text was given: the mode of GNU lines, which SFV lines do not have.
    bool ModeGiven = false;
    // --sfv: an SFV list of CRC32 values ("NAME 352441C2") after a comment line.
    bool Sfv = false;
    // -r: folders among the inputs are walked.
    bool Recursive = false;
    // -j: files hashed at a time; 0 means one per online processor.
    int Jobs = 0;
    // -0/-z: lines end with NUL and names are written unescaped.
    bool Zero = false;

    bool ReadsStandardInput() const { return Input == u"-"; }
    // Several inputs or algorithms, -H, --tag, -r or -b: checksum lines instead of a bare digest.
    bool ListsFiles() const {
        return Inputs.size() > 1 || Algorithms.size() > 1 || WithName || Tag || Sfv || Recursive ||
               (Binary && InputType == InputTypeFile && !Check);
    }
};

// The most files -j may hash at a time.
inline constexpr int MaxJobs = 256;

struct TCliParseResult {
    TCliOptions Options;
    // Empty when the arguments were understood, else what is wrong with them.
    QString Error;
};

// Parses the arguments after the program name against the commands' option declarations
// (cli/CliOptionTable.h). Options take their value as the next argument or after "=" (long) or
// directly attached (short); a long option may be shortened to any beginning that no other
// long option shares ("--chec"); short switches bundle ("-uH", and "-Cw" is -C -w); "--" ends
// the options. -C and --verify take a value only when it is attached; alone they make every
// operand a list, and without one standard input is the list. -c and --check take the next
// argument unless it is an option; a value that is no digest names a list, as sha256sum -c
// reads it, and so does every operand. Without an INPUT, standard input is hashed. --help,
// --version and --list-algorithms win over everything after them.
TCliParseResult ParseCliArguments(const QStringList& arguments);
