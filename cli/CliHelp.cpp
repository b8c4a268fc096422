#include "cli/CliHelp.h"

#include "cli/CliOptionTable.h"
#include "text/VersionInfo.h"

namespace {

// The option's names and value as the help's line starts: "  -a, --algorithm ALGORITHM"; the
// long names of options without a short one line up with the others' ("      --trim").
QString OptionHead(const TCliOption& option) {
    QString head = QStringLiteral("  ");
    for (const QStringView name : option.Names) {
        if (name.isEmpty())
            break;
        if (name.startsWith(u"--") && head.size() == 2)
            head += QStringLiteral("    ");
        head += name.toString() + (name.startsWith(u"--") ? QString() : QStringLiteral(", "));
    }
    if (!option.ValueName.isEmpty())
        head += u' ' + option.ValueName.toString();
    return head;
}

QString OptionHelp(const TCliOption& option) {
    QString head = OptionHead(option);
    // A head too long for its column gets its description on the next line.
    head = head.size() + 2 > HelpColumn ? head + u'\n' + QString(HelpColumn, u' ') : head.leftJustified(HelpColumn);
    QStringList words = option.HelpWordsBefore ? option.HelpWordsBefore() : QStringList();
    return head + HelpParagraph(words << Words(option.Help));
}

} // namespace

QStringList Words(QStringView text) {
    QStringList words;
    for (const QStringView word : text.split(u' ', Qt::SkipEmptyParts))
        words.append(word.toString().replace(QChar(0x00A0), u' '));
    return words;
}

QString HelpParagraph(const QStringList& words, qsizetype column) {
    QString lines;
    qsizetype width = column;
    for (const QString& word : words) {
        if (width > column && width + 1 + word.size() > HelpWidth) {
            lines += u'\n' + QString(column, u' ');
            width = column;
        } else if (width > column) {
            lines += u' ';
            ++width;
        }
        lines += word;
        width += word.size();
    }
    return lines + u'\n';
}

QString CliUsageText() {
    QString usage;
    QStringList finals;
    for (const TCliCommand& command : CliCommands()) {
        if (!command.Operands.isEmpty())
            usage += (usage.isEmpty() ? QStringLiteral("Usage: ") : QStringLiteral("       ")) +
                     QStringLiteral("quviro-cli [OPTION]... ") + command.Operands.toString() + u'\n';
        for (const TCliOption& option : command.Options)
            if (option.Value == TCliOptionValue::Final)
                finals.append(option.LongName().toString());
    }
    return usage + QStringLiteral("       quviro-cli ") + finals.join(QStringLiteral(" | ")) + u'\n';
}

QString CliHelpText() {
    QString help =
        CliUsageText() +
        QStringLiteral("\n"
                       "Prints the digest of INPUT as hexadecimal text. For several files, or with -H, --tag or -r,\n"
                       "prints one checksum line per file as sha256sum, sha1sum and md5sum do; with several\n"
                       "algorithms (-a md5,sha256), one BSD line per algorithm and file.\n");
    for (const TCliCommand& command : CliCommands()) {
        help += u'\n' + command.Title.toString() + u'\n';
        for (const TCliOption& option : command.Options)
            help += OptionHelp(option);
    }
    return help +
           QStringLiteral("\n"
                          "INPUT - reads standard input: with -t file (the default) its bytes are hashed as given,\n"
                          "a pipe too, as by INPUT /dev/stdin, and among several files its line is named -; with\n"
                          "-t text its bytes must be UTF-8. Several INPUTs are files; -t text, hex and base64 take\n"
                          "exactly one.\n"
                          "A file that fails prints its name and the reason on standard error; the others are\n"
                          "still hashed, and the lines come in the order of the INPUTs.\n"
                          "\n"
                          "Short switches bundle: -uH is -u -H.\n"
                          "\n"
                          "Exit status: 0 digest printed or OK, 1 failure or MISMATCH, 2 wrong usage.\n"
                          "With -C: 0 every listed file matched, 1 otherwise, 2 wrong usage.\n");
}

QString CliVersionText() {
    return QString::fromStdString(GetVersionText());
}
