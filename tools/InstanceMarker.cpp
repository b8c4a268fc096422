#include "tools/InstanceMarker.h"

#include "crypt/FileHandle.h"
#include "tools/TextUtils.h"
#include "tools/XdgFolders.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

// A plain descriptor, not a handle: nothing runs from static destructors, so the marker stays
// held until ReleaseInstanceAtoms or the end of the process.
int& HeldMarker() {
    static int fd = -1;
    return fd;
}

// Opens the marker without following a link and without truncating, and keeps it only when
// it is a regular file of this user with one name, so that no one can make the program
// lock, create or change a file of their choice.
TFileHandle OpenMarker(const QString& instanceName, bool create) {
    const QByteArray path = QFile::encodeName(InstanceMarkerPath(instanceName));
    TRegularFile marker = OpenRegularFile(path.toStdString(), {.FollowLinks = false, .Create = create});
    if (!marker.IsOpen() || marker.Info.st_uid != ::geteuid() || marker.Info.st_nlink != 1)
        return {};
    return std::move(marker.Handle);
}

int LockInterrupted(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
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
           QLatin1Char('-') + QString::number(::geteuid());
}

void RegisterInstance(const QString& instanceName) {
    if (HeldMarker() >= 0)
        return;
    TFileHandle marker = OpenMarker(instanceName, true);
    if (!marker.IsOpen())
        return;
    // A program asking IsInstanceRunning holds the exclusive lock for an instant; wait out a
    // few of those, but never hang on a lock that someone keeps.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (LockInterrupted(marker.Get(), LOCK_SH | LOCK_NB) == 0) {
            HeldMarker() = marker.Release();
            return;
        }
        if (errno != EWOULDBLOCK)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
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
    return LockInterrupted(marker.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}
