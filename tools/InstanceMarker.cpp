#include "tools/InstanceMarker.h"

#include "platform/InstanceLock.h"
#include "platform/Process.h"
#include "tools/TextUtils.h"
#include "tools/XdgFolders.h"

#include <QFile>
#include <QStandardPaths>

#include <utility>

namespace {

// A plain descriptor, not a handle: nothing runs from static destructors, so the marker stays
// held until ReleaseInstanceAtoms or the end of the process.
int& HeldMarker() {
    static int fd = -1;
    return fd;
}

TFileHandle OpenMarker(const QString& instanceName, bool create) {
    return OpenInstanceLock(QFile::encodeName(InstanceMarkerPath(instanceName)).toStdString(), create);
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
    if (HeldMarker() >= 0)
        return;
    TFileHandle marker = OpenMarker(instanceName, true);
    if (!marker.IsOpen())
        return;
    if (HoldSharedLock(marker.Get()))
        HeldMarker() = marker.Release();
}

void ReleaseInstanceAtoms() {
    // Closing drops the lock. The file stays: removing it could pull it from under another
    // instance that holds the same file, and a new instance would then lock a different one.
    TFileHandle(std::exchange(HeldMarker(), -1)).Reset();
}

bool IsInstanceRunning(const QString& instanceName) {
    const TFileHandle marker = OpenMarker(instanceName, false);
    if (!marker.IsOpen())
        return false;
    // Closing the marker at the end also drops the exclusive lock if it was taken.
    return IsLockedByOthers(marker.Get());
}
