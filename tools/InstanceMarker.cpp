#include "tools/InstanceMarker.h"

#include "tools/TextUtils.h"
#include "tools/XdgFolders.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

int& HeldMarker() {
    static int fd = -1;
    return fd;
}

// Opens the marker without following a link and without truncating, and keeps it only when
// it is a regular file of this user with one name, so that no one can make the program
// lock, create or change a file of their choice.
int OpenMarker(const QString& instanceName, bool create) {
    const QByteArray path = QFile::encodeName(InstanceMarkerPath(instanceName));
    const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | (create ? O_CREAT : 0);
    const int fd = ::open(path.constData(), flags, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_nlink != 1) {
        ::close(fd);
        return -1;
    }
    return fd;
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
    const int fd = OpenMarker(instanceName, true);
    if (fd < 0)
        return;
    // A program asking IsInstanceRunning holds the exclusive lock for an instant; wait out a
    // few of those, but never hang on a lock that someone keeps.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (LockInterrupted(fd, LOCK_SH | LOCK_NB) == 0) {
            HeldMarker() = fd;
            return;
        }
        if (errno != EWOULDBLOCK)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::close(fd);
}

void ReleaseInstanceAtoms() {
    int& fd = HeldMarker();
    if (fd < 0)
        return;
    // Closing drops the lock. The file stays: removing it could pull it from under another
    // instance that holds the same file, and a new instance would then lock a different one.
    ::close(fd);
    fd = -1;
}

bool IsInstanceRunning(const QString& instanceName) {
    const int fd = OpenMarker(instanceName, false);
    if (fd < 0)
        return false;
    const bool running = LockInterrupted(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd); // also drops the exclusive lock if it was taken
    return running;
}
