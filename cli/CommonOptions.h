// The options every command takes: -a, -u, -z, --progress, --help and --version.
#pragma once

#include "cli/CliOptionTable.h"

const TCliCommand& CommonOptions();

// Puts -a's row names in place of what was typed ("-a help" asks for the algorithm list);
// answers empty text, or why -a names no algorithm or does not fit --tag/--sfv.
QString FinishAlgorithmOption(TCliOptions& options);

// The checks on several algorithms, each of which needs a line that names it: empty text when
// they pass.
QString FinishAlgorithmList(const TCliOptions& options);
