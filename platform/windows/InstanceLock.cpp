// The lock file's locks are the system's byte-range locks on its first byte: shared locks stand
// together, an exclusive one is refused while any other handle holds one, and the system drops
// a process's locks when it ends.
#include "platform/InstanceLock.h"

#include "platform/Files.h"
#include "platform/windows/SystemNames.h"

#include <chrono>
#include <thread>

namespace {

bool LockFirstByte(int fd, DWORD flags) {
    OVERLAPPED first{};
    return ::LockFileEx(HandleOf(fd), flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &first);
}

} // namespace

// The file lies in the user's own profile folder, which no other user may write, so only the
// link check and the single name are left to make.
TFileHandle OpenInstanceLock(const std::string& path, bool create) {
    TRegularFile marker = OpenRegularFile(path, {.FollowLinks = false, .Create = create});
    BY_HANDLE_FILE_INFORMATION info{};
    if (!marker.IsOpen() || !::GetFileInformationByHandle(HandleOf(marker.Handle.Get()), &info) ||
        info.nNumberOfLinks != 1)
        return {};
    return std::move(marker.Handle);
}

bool HoldSharedLock(int fd) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (LockFirstByte(fd, 0))
            return true;
        if (::GetLastError() != ERROR_LOCK_VIOLATION)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool IsLockedByOthers(int fd) {
    return !LockFirstByte(fd, LOCKFILE_EXCLUSIVE_LOCK) && ::GetLastError() == ERROR_LOCK_VIOLATION;
}
