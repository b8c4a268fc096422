// The options every command takes: -a, -u, -z, --progress, --help and --version.
#pragma once

#include "cli/CliOptionTable.h"
#include "crypt/HashAlgorithm.h"

const TCliCommand& CommonOptions();

// A spelling -a takes for row that is shorter than its name without punctuation ("b3" for
// BLAKE3), in lower case, as -a's help shows it; empty when it has none.
QString ShortSpelling(const TAlgorithmInfo& row);

// Puts -a's row names in place of what was typed ("-a help" asks for the algorithm list);
// answers empty text, or why -a names no algorithm or does not fit --tag/--sfv.
QString FinishAlgorithmOption(TCliOptions& options);

// The checks on several algorithms, each of which needs a line that names it: empty text when
// they pass.
QString FinishAlgorithmList(const TCliOptions& options);
