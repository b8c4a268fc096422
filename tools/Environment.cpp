#include "tools/Environment.h"

#include "tools/ConfigStore.h"
#include "tools/InstanceMarker.h"
#include "tools/ProcessValues.h"
#include "tools/UserFolders.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <clocale>
#include <sys/stat.h>

namespace {

bool startedUp = false;
bool shutDown = false;

bool IsFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

void PinNumberFormat() {
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace

QString ExecutablePath() {
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
}

QString AppNameFor(const QString& executablePath) {
    const QString fileName = QFileInfo(executablePath).fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

QString DataFolderFor(const QString& appDataFolder, const QString& appName) {
    QString folder = appDataFolder + appName;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

bool CreateDataFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (path.isEmpty())
        return false;
    if (IsFolder(path))
        return true;
    // Walk down from the root, creating each missing level owner-only: the folders may hold
    // input text and salts.
    for (qsizetype slash = path.indexOf('/', 1); slash != -1; slash = path.indexOf('/', slash + 1)) {
        const QByteArray level = path.left(slash);
        if (::mkdir(level.constData(), S_IRWXU) != 0 && !IsFolder(level))
            return false;
    }
    if (::mkdir(path.constData(), S_IRWXU) != 0 && !IsFolder(path))
        return false;
    return true;
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
