#include "platform/InstanceAtom.h"

#include "platform/InstanceLock.h"

#include <utility>

namespace {

// A plain descriptor, not a handle: nothing runs from static destructors, so the share stays
// held until DeleteInstanceAtom or the end of the process.
int& HeldLock() {
    static int fd = -1;
    return fd;
}

} // namespace

bool AddInstanceAtom(const std::string&, const std::string& lockFile) {
    if (HeldLock() >= 0)
        return true;
    TFileHandle lock = OpenInstanceLock(lockFile, true);
    if (!lock.IsOpen() || !HoldSharedLock(lock.Get()))
        return false;
    HeldLock() = lock.Release();
    return true;
}

void DeleteInstanceAtom() {
    // Closing drops the lock. The file stays: removing it could pull it from under another
    // instance that holds the same file, and a new instance would then lock a different one.
    TFileHandle(std::exchange(HeldLock(), -1)).Reset();
}

bool FindInstanceAtom(const std::string&, const std::string& lockFile) {
    const TFileHandle lock = OpenInstanceLock(lockFile, false);
    // Closing the file at the end also drops the exclusive lock if it was taken.
    return lock.IsOpen() && IsLockedByOthers(lock.Get());
}
