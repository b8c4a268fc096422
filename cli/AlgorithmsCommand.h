// quviro-cli --list-algorithms (and -a help): the algorithms -a takes.
#pragma once

#include "cli/CliOptionTable.h"
#include "cli/CliOutput.h"

// --list-algorithms.
const TCliCommand& AlgorithmsCommand();

// The algorithms -a takes, one per line: the name, then the other names it accepts.
QString CliAlgorithmList();

// Prints CliAlgorithmList; answers the exit status.
int RunAlgorithmsCommand(TCliOutput& out);
