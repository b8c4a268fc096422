// quviro-cli FILE...: one checksum line per file and algorithm, for several files, -H, --tag,
// --sfv or -r, in the order of the arguments.
#pragma once

#include "cli/CliOptionTable.h"
#include "cli/CliOutput.h"

#include <string>
#include <vector>

// -H, --tag, -b, --text, --sfv, -r and -j.
const TCliCommand& FilesCommand();

// Hashes the files the INPUT arguments name (their raw bytes in rawArguments, which need not be
// UTF-8) and writes their lines; answers the exit status.
int RunFilesCommand(const TCliOptions& options, const std::vector<std::string>& rawArguments, TCliOutput& out);
