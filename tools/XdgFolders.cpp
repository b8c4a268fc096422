#include "tools/XdgFolders.h"
#include "tools/TextUtils.h"

#include <QStringList>

QString XdgFolder(const char* variable) {
    const QString value = qEnvironmentVariable(variable);
    return value.startsWith(QLatin1Char('/')) ? value : QString();
}

void IgnoreRelativeXdgFolders() {
    for (const char* variable :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        if (qEnvironmentVariableIsSet(variable) && XdgFolder(variable).isEmpty())
            qunsetenv(variable);
    }
    for (const char* variable : {"XDG_CONFIG_DIRS", "XDG_DATA_DIRS"}) {
        if (!qEnvironmentVariableIsSet(variable))
            continue;
        QStringList folders = qEnvironmentVariable(variable).split(QLatin1Char(':'));
        folders.removeIf([](const QString& folder) { return !folder.startsWith(QLatin1Char('/')); });
        // An empty list means the defaults, as an unset variable does.
        if (folders.isEmpty())
            qunsetenv(variable);
        else
            qputenv(variable, QByteArray::fromStdString(SystemName(folders.join(QLatin1Char(':')))));
    }
}
