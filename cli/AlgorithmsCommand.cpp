#include "cli/AlgorithmsCommand.h"

#include "cli/CliCommand.h"
#include "crypt/HashAlgorithm.h"
#include "text/PlainText.h"
#include "tools/TextUtils.h"

#include <string_view>

namespace {

QString ApplyListAlgorithms(TCliParse& parse, const std::optional<QString>&) {
    parse.Options.Action = TCliAction::ListAlgorithms;
    return {};
}

constexpr TCliOption Options[] = {
    {{u"--list-algorithms"},
     TCliOptionValue::Final,
     {},
     u"list the algorithms and the names -a accepts for them",
     ApplyListAlgorithms},
};

} // namespace

const TCliCommand& AlgorithmsCommand() {
    static constexpr TCliCommand command{u"Listing the algorithms:", {}, Options};
    return command;
}

QString CliAlgorithmList() {
    QString list;
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        list += ToQString(Latin1(row.Name));
        for (const std::string_view name : row.Typed)
            list += QStringLiteral(", ") + ToQString(Latin1(name));
        list += u'\n';
    }
    return list;
}

int RunAlgorithmsCommand(TCliOutput& out) {
    Write(out, CliAlgorithmList());
    return ExitSuccess;
}
