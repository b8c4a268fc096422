#include "tools/Environment.h"

#include "platform/DataFiles.h"
#include "platform/Executable.h"
#include "text/PlainText.h"
#include "tools/ConfigStore.h"
#include "tools/InstanceMarker.h"
#include "tools/ProcessValues.h"
#include "tools/TextUtils.h"
#include "tools/UserFolders.h"

#include <QFileInfo>
#include <QLocale>

#include <clocale>

namespace {

bool startedUp = false;
bool shutDown = false;

void PinNumberFormat() {
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace

QString ExecutablePath() {
    return ToQString(NameFromSystem(RunningExecutablePath()));
}

QString AppNameFor(const QString& executablePath) {
    const QString fileName = QFileInfo(executablePath).fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

QString DataFolderFor(const QString& appDataFolder, const QString& appName) {
    QString folder = appDataFolder + appName;
    if (!folder.endsWith(PathDelimiter()))
        folder += PathDelimiter();
    return folder;
}

bool CreateDataFolder(const QString& folder) {
    // The folders may hold input text and salts: owner-only.
    return CreateOwnerOnlyFolders(SystemName(folder));
}

void StartUpEnvironment() {
    StartUpEnvironment(ExecutablePath());
}

void StartUpEnvironment(const QString& executablePath) {
    if (startedUp)
        return;
    startedUp = true;

    RegisterInstance(InstanceNameFor(QFileInfo(executablePath).fileName()));
    PinNumberFormat();
    CreateStoreLists();
    SetAppName(AppNameFor(executablePath));
    // Without a folder of its own the program keeps no settings, rather than put them in the
    // current folder.
    const QString appData = GetSpecialFolder(CSIDL_APPDATA);
    if (!appData.isEmpty()) {
        SetDataFolder(DataFolderFor(appData, AppName()));
        CreateDataFolder(DataFolder());
    }
    LoadStores();
}

void ShutDownEnvironment() {
    if (shutDown || !startedUp)
        return;
    shutDown = true;

    FlushConfig();
    FlushGlobals();
    DestroyStoreLists();
    ReleaseInstanceAtoms();
}
