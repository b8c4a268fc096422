#include "cli/CliOptionTable.h"

#include "cli/AlgorithmsCommand.h"
#include "cli/CheckCommand.h"
#include "cli/CommonOptions.h"
#include "cli/FilesCommand.h"
#include "cli/HashCommand.h"

#include <algorithm>

QStringView TCliOption::LongName() const {
    const auto last = std::find_if(Names.rbegin(), Names.rend(), [](QStringView name) { return !name.isEmpty(); });
    return *last;
}

bool TCliOption::IsNamed(QStringView argument) const {
    return !argument.isEmpty() && std::find(Names.begin(), Names.end(), argument) != Names.end();
}

std::span<const TCliCommand> CliCommands() {
    static const TCliCommand commands[] = {CommonOptions(), HashCommand(), FilesCommand(), CheckCommand(),
                                           AlgorithmsCommand()};
    return commands;
}
