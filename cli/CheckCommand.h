// quviro-cli -C LIST...: the files checksum lists name, checked against the lists' digests
// (cli/ChecksumVerify.h), list after list.
#pragma once

#include "cli/CliOptionTable.h"
#include "cli/CliOutput.h"

// -C and the switches that shape its report: --quiet, --status, -w, --ignore-missing, --strict.
const TCliCommand& CheckCommand();

// The checks that involve --verify once every argument is read, which make the operands its
// lists; empty text when they pass.
QString FinishVerifyOptions(TCliParse& parse);

// Checks each list in the order given; answers the exit status, the worst of them.
int RunCheckCommand(const TCliOptions& options, TCliOutput& out);
