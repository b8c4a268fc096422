// POSIX systems only: the lock file that stands for the atom table behind the instance marker
// (platform/InstanceAtom.h). Every running instance holds a shared lock on it,
// and another program sees an instance running when its own exclusive lock is refused. The
// system drops a process's lock when it ends, also when it is killed.
#pragma once

#include "platform/Descriptors.h"

#include <string>

// Opens the lock file at path without following a link and without truncating (created 0600
// when create is true and it is missing), and keeps it only when it is a regular file of the
// effective user with a single name, so that no one can make the program lock, create or
// change a file of their choice. An unopened handle otherwise.
TFileHandle OpenInstanceLock(const std::string& path, bool create);

// Takes a shared lock on the open lock file, waiting out a few brief exclusive locks of programs
// that ask whether an instance runs, but never hanging on a lock that someone keeps. True when
// the lock is held; it lasts until the descriptor is closed.
bool HoldSharedLock(int fd);

// True when another process holds a lock on the open lock file: an exclusive lock is refused
// without waiting. An exclusive lock that was granted lasts until the descriptor is closed.
bool IsLockedByOthers(int fd);
