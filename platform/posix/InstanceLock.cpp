#include "platform/InstanceLock.h"

#include "platform/Files.h"

#include <cerrno>
#include <chrono>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

int LockInterrupted(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

TFileHandle OpenInstanceLock(const std::string& path, bool create) {
    TRegularFile marker = OpenRegularFile(path, {.FollowLinks = false, .Create = create});
    struct stat info {};
    if (!marker.IsOpen() || ::fstat(marker.Handle.Get(), &info) != 0 || info.st_uid != ::geteuid() ||
        info.st_nlink != 1)
        return {};
    return std::move(marker.Handle);
}

bool HoldSharedLock(int fd) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (LockInterrupted(fd, LOCK_SH | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool IsLockedByOthers(int fd) {
    return LockInterrupted(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}
