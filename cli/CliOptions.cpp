#include "cli/CliOptions.h"

#include "cli/CheckCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CommonOptions.h"
#include "cli/HashCommand.h"

namespace {

// The declared option argument names exactly.
const TCliOption* OptionNamed(QStringView argument) {
    for (const TCliCommand& command : CliCommands())
        for (const TCliOption& option : command.Options)
            if (option.IsNamed(argument))
                return &option;
    return nullptr;
}

// The option that takes a value attached to it in argument, "--name=VALUE" or "-xVALUE", with
// value filled.
const TCliOption* OptionWithAttachedValue(QStringView argument, std::optional<QString>& value) {
    for (const TCliCommand& command : CliCommands())
        for (const TCliOption& option : command.Options) {
            if (option.Value != TCliOptionValue::Required && option.Value != TCliOptionValue::AttachedOnly)
                continue;
            for (const QStringView name : option.Names) {
                if (name.isEmpty())
                    continue;
                const bool isLong = name.startsWith(u"--");
                if (isLong && argument.startsWith(name) && argument.mid(name.size()).startsWith(u'=')) {
                    value = argument.mid(name.size() + 1).toString();
                    return &option;
                }
                if (!isLong && !argument.startsWith(u"--") && argument.startsWith(name)) {
                    value = argument.mid(name.size()).toString();
                    return &option;
                }
            }
        }
    return nullptr;
}

bool IsSwitch(const TCliOption* option) {
    return option && option->Value == TCliOptionValue::None;
}

} // namespace

TCliParseResult ParseCliArguments(const QStringList& arguments) {
    TCliParse parse;
    TCliParseResult result;
    TCliOptions& options = parse.Options;
    bool optionsEnded = false;
    const auto answer = [&](const QString& error) {
        result.Options = parse.Options;
        result.Error = error;
        return result;
    };

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (optionsEnded || argument == u"-" || !argument.startsWith(u'-')) {
            options.Inputs.append(argument);
            options.InputArguments.append(i);
            parse.Operands.append(argument);
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
            continue;
        }
        // "-uH": each short switch before the last letter stands alone; what follows the last
        // one is a switch or a short option with its value ("-uamd5").
        while (argument.size() > 2 && !argument.startsWith(u"--")) {
            const TCliOption* bundled = OptionNamed(QStringView(argument).left(2));
            if (!IsSwitch(bundled))
                break;
            bundled->Apply(parse, std::nullopt);
            argument.remove(1, 1);
        }
        std::optional<QString> value;
        const TCliOption* option = OptionNamed(argument);
        if (!option)
            option = OptionWithAttachedValue(argument, value);
        if (!option)
            return answer(QStringLiteral("unknown option ") + argument);
        if (option->Value == TCliOptionValue::Required && !value) {
            if (i + 1 >= arguments.size())
                return answer(QStringLiteral("option ") + argument + QStringLiteral(" needs a value"));
            value = arguments[++i];
        }
        if (const QString error = option->Apply(parse, value); !error.isEmpty())
            return answer(error);
        if (option->Value == TCliOptionValue::Final) {
            result.Options = parse.Options;
            return result;
        }
    }

    QString error = FinishAlgorithmOption(options);
    if (error.isEmpty() && options.Action == TCliAction::ListAlgorithms)
        return answer({});
    if (error.isEmpty())
        error = FinishAlgorithmList(options);
    if (error.isEmpty())
        error = FinishSaltOptions(parse);
    if (error.isEmpty())
        error = FinishVerifyOptions(parse);
    if (error.isEmpty() && options.Action == TCliAction::Verify)
        return answer({});
    if (error.isEmpty())
        error = FinishInputOptions(options);
    if (error.isEmpty())
        options.Input = options.Inputs.front();
    return answer(error);
}
