#include "tools/InstanceMarker.h"

#include "platform/InstanceAtom.h"
#include "platform/Process.h"
#include "tools/TextUtils.h"
#include "tools/XdgFolders.h"

#include <QStandardPaths>

#include <string>

namespace {

std::string LockFileOf(const QString& instanceName) {
    return SystemName(InstanceMarkerPath(instanceName));
}

} // namespace

QString InstanceNameFor(const QString& fileName) {
    return QStringLiteral("ZTAppInstanceCheck_") + Upper(RemoveSpaces(KeepNameChars(fileName)));
}

QString InstanceMarkerPath(const QString& instanceName) {
    // Qt would take (and even create) a relative XDG_RUNTIME_DIR in the current folder.
    const QString runtime = XdgFolder("XDG_RUNTIME_DIR").isEmpty()
                                ? QString()
                                : QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime + QLatin1Char('/') + instanceName;
    // The temp folder is shared by all users: the user id in the name keeps the markers apart.
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation) + QLatin1Char('/') + instanceName +
           QLatin1Char('-') + QString::number(CurrentUserId());
}

void RegisterInstance(const QString& instanceName) {
    AddInstanceAtom(instanceName.toStdString(), LockFileOf(instanceName));
}

void ReleaseInstanceAtoms() {
    DeleteInstanceAtom();
}

bool IsInstanceRunning(const QString& instanceName) {
    return FindInstanceAtom(instanceName.toStdString(), LockFileOf(instanceName));
}
