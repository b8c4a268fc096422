// quviro-cli INPUT: the digest of one input: a file (anything readable but a folder) through
// the one named-file unit (hashing/NamedFileDigest.h), a text or Base64 text through the same
// pipeline as the window; with -c, compared with an expected digest, and without -a with every
// algorithm of its length when the length is all that tells its algorithm.
#pragma once

#include "cli/CliOptionTable.h"
#include "cli/CliOutput.h"
#include "pipeline/HashPipeline.h"

// -t, --trim, --prefix, --suffix and -c.
const TCliCommand& HashCommand();

// --prefix and --suffix together: their error, else empty text.
QString FinishSaltOptions(const TCliParse& parse);

// The checks on the INPUT operands and --check once every argument is read; empty text when they
// pass. --check without -a takes the algorithm its digest names.
QString FinishInputOptions(TCliOptions& options);

// The request for options and the input text (the INPUT argument or standard input): the
// algorithm is the single item offered, so the pipeline's own name normalisation applies.
HashRequest MakeHashRequest(const TCliOptions& options, const QString& inputText);

// True when expected, in any form ParseExpectedDigest reads, is digest ignoring ASCII case.
bool DigestMatches(QStringView digest, QStringView expected);

// Hashes the one input and prints its digest, or with --check OK or MISMATCH; answers the exit
// status. A --check digest of a length several algorithms share, without -a, is compared with
// each of them from one read: a match of another than the length's common meaning is named on
// standard error ("digest read as BLAKE3; -a blake3 skips the others"), and a mismatch names
// every algorithm tried.
int RunHashCommand(const TCliOptions& options, TCliOutput& out);
