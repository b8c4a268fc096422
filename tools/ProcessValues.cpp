#include "tools/ProcessValues.h"

namespace {

QString& AppNameValue() {
    static QString value;
    return value;
}

QString& DataFolderValue() {
    static QString value;
    return value;
}

} // namespace

const QString& AppName() {
    return AppNameValue();
}

void SetAppName(const QString& name) {
    AppNameValue() = name;
}

const QString& DataFolder() {
    return DataFolderValue();
}

void SetDataFolder(const QString& folder) {
    DataFolderValue() = folder;
}
