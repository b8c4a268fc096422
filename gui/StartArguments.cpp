#include "gui/StartArguments.h"

#include <QDir>

TStartArguments ParseStartArguments(const QStringList& arguments, const QString& currentFolder) {
    TStartArguments result;
    QStringList files;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
            files.append(argument);
        } else if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"-h" || argument == u"--help") {
            result.Help = true;
            return result;
        } else {
            result.Error = QStringLiteral("unknown option ") + argument;
            return result;
        }
    }
    if (files.size() > 1) {
        result.Error = QStringLiteral("only one FILE may be given");
        return result;
    }
    // Made absolute without resolving "..": the kernel resolves it through links, text does not.
    if (!files.isEmpty())
        result.File = QDir(currentFolder).absoluteFilePath(files.front());
    return result;
}

bool AsksForHelp(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument == u"--")
            return false;
        if (argument == u"-h" || argument == u"--help")
            return true;
    }
    return false;
}

QString StartUsageText() {
    return QStringLiteral("Usage: quviro [FILE]\n"
                          "Opens the window; with FILE, hashes that file at once with the algorithm chosen last.\n");
}
