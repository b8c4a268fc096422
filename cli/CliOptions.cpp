#include "cli/CliOptions.h"

#include "cli/CheckCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CommonOptions.h"
#include "cli/HashCommand.h"

#include <vector>

namespace {

// The declared option argument names exactly.
const TCliOption* OptionNamed(QStringView argument) {
    for (const TCliCommand& command : CliCommands())
        for (const TCliOption& option : command.Options)
            if (option.IsNamed(argument))
                return &option;
    return nullptr;
}

// The long option name names, or the only one it begins ("--chec" for --check), as getopt
// takes them, so every command's long options may be shortened; error says why there is none.
const TCliOption* LongOptionNamed(QStringView name, QString& error) {
    if (const TCliOption* exact = OptionNamed(name))
        return exact;
    std::vector<const TCliOption*> candidates;
    for (const TCliCommand& command : CliCommands())
        for (const TCliOption& option : command.Options)
            if (option.LongName().startsWith(u"--") && option.LongName().startsWith(name))
                candidates.push_back(&option);
    if (candidates.size() == 1)
        return candidates.front();
    if (candidates.empty()) {
        error = QStringLiteral("unknown option ") + name.toString();
        return nullptr;
    }
    QStringList names;
    for (const TCliOption* option : candidates)
        names.append(option->LongName().toString());
    error = QStringLiteral("option ") + name.toString() + QStringLiteral(" is ambiguous: ") +
            names.join(QStringLiteral(", "));
    return nullptr;
}

// The short option that takes a value attached to it in argument ("-xVALUE"), with value filled.
const TCliOption* ShortOptionWithValue(QStringView argument, std::optional<QString>& value) {
    const TCliOption* option = OptionNamed(argument.left(2));
    if (!option || option->Value == TCliOptionValue::None || option->Value == TCliOptionValue::Final)
        return nullptr;
    value = argument.mid(2).toString();
    return option;
}

bool IsSwitch(const TCliOption* option) {
    return option && option->Value == TCliOptionValue::None;
}

// -C and -c may stand alone as switches; bundled with switches only ("-Cw", "-cw"), they are.
bool MayStandAlone(const TCliOption* option) {
    return option &&
           (option->Value == TCliOptionValue::AttachedOnly || option->Value == TCliOptionValue::NextUnlessOption);
}

bool AreShortSwitches(QStringView letters) {
    for (const QChar letter : letters)
        if (!IsSwitch(OptionNamed(QString(u'-') + letter)))
            return false;
    return !letters.isEmpty();
}

bool IsOption(QStringView argument) {
    return argument.startsWith(u'-') && argument != u"-";
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
        // one is a switch or a short option with its value ("-uamd5"). "-Cw" is -C -w.
        while (argument.size() > 2 && !argument.startsWith(u"--")) {
            const TCliOption* bundled = OptionNamed(QStringView(argument).left(2));
            if (!IsSwitch(bundled) && !(MayStandAlone(bundled) && AreShortSwitches(QStringView(argument).mid(2))))
                break;
            if (const QString error = bundled->Apply(parse, std::nullopt); !error.isEmpty())
                return answer(error);
            argument.remove(1, 1);
        }
        std::optional<QString> value;
        const TCliOption* option = nullptr;
        if (argument.startsWith(u"--")) {
            const qsizetype equals = argument.indexOf(u'=');
            QString error;
            option = LongOptionNamed(QStringView(argument).left(equals), error);
            if (!option)
                return answer(error);
            if (equals >= 0 && (option->Value == TCliOptionValue::None || option->Value == TCliOptionValue::Final))
                return answer(QStringLiteral("option ") + option->LongName().toString() +
                              QStringLiteral(" takes no value"));
            if (equals >= 0)
                value = argument.mid(equals + 1);
        } else {
            option = OptionNamed(argument);
            if (!option)
                option = ShortOptionWithValue(argument, value);
        }
        if (!option)
            return answer(QStringLiteral("unknown option ") + argument);
        if (option->Value == TCliOptionValue::Required && !value) {
            if (i + 1 >= arguments.size())
                return answer(QStringLiteral("option ") + argument + QStringLiteral(" needs a value"));
            value = arguments[++i];
        }
        if (option->Value == TCliOptionValue::NextUnlessOption && !value && i + 1 < arguments.size() &&
            !IsOption(arguments[i + 1]))
            value = arguments[++i];
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
