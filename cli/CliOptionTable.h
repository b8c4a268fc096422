// How quviro-cli declares its options: each command (cli/*Command.h, cli/CommonOptions.h) holds a
// table of them, and both ParseCliArguments and --help read those tables, so an option's help
// line cannot drift from what parsing it does.
#pragma once

#include "cli/CliOptions.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>
#include <span>

// What one parse has gathered beyond the options themselves.
struct TCliParse {
    TCliOptions Options;
    // The values of -C and the other operands, in the order given: with -C they are all lists.
    QStringList Operands;
    bool PrefixGiven = false;
    bool SuffixGiven = false;
};

enum class TCliOptionValue {
    None,         // a switch; short switches bundle ("-uH")
    Required,     // the next argument, or attached: "--name=VALUE", "-xVALUE"
    AttachedOnly, // a switch when alone, an option with a value only when it is attached (-C)
    // the next argument unless that is an option or there is none, then a switch; or attached (-c)
    NextUnlessOption,
    Final, // ends the parse: what it asks for wins over every argument after it
};

struct TCliOption {
    // The short names, then the long one: {"-z", "-0", "--zero"}; unused places stay empty.
    std::array<QStringView, 3> Names;
    TCliOptionValue Value = TCliOptionValue::None;
    // The value's name in the help ("ALGORITHM"); empty for a switch.
    QStringView ValueName;
    // The description in the help. A no-break space (U+00A0) keeps two words on one line and is
    // printed as a space.
    QStringView Help;
    // Applies the option to parse: value is the option's value, nothing for a switch or an
    // AttachedOnly option given alone. Answers why the value is wrong, or empty text.
    QString (*Apply)(TCliParse& parse, const std::optional<QString>& value) = nullptr;
    // Words put before Help that are made when the help is shown (-a's algorithm names); may be
    // null.
    QStringList (*HelpWordsBefore)() = nullptr;

    QStringView LongName() const;
    bool IsNamed(QStringView argument) const;
};

// A command and the options that belong to it, as the help groups them.
struct TCliCommand {
    // The help's heading of the group ("Hashing files (FILE...):").
    QStringView Title;
    // What follows the options in the command's usage line ("FILE..."); empty for the options
    // every command shares, which have no line of their own.
    QStringView Operands;
    std::span<const TCliOption> Options;
};

// Every command's declarations in the order the help shows them: the shared options first.
std::span<const TCliCommand> CliCommands();
