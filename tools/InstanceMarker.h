// The instance marker: tells other programs that an instance of this executable runs, counted
// across instances (platform/InstanceAtom.h). On Windows it is the global atom of the instance
// name. On POSIX systems it is a per-user lock file: every running instance holds a shared flock
// on it, so the lock itself counts the instances; the kernel drops a process's lock when it ends,
// also when it is killed. The file may stay behind: whether an instance runs is decided by the
// lock alone, never by the file's existence.
//
// The file is "<instance name>" in the user's runtime folder ($XDG_RUNTIME_DIR through
// QStandardPaths::RuntimeLocation) or, without one, "<instance name>-<uid>" in the temp
// folder. It is created 0600 and opened without following links, without truncating, and
// only if it is a regular file owned by this user with a single link; anything else is left
// alone and the program runs without a marker.
#pragma once

#include <QString>

// "ZTAppInstanceCheck_" followed by fileName's letters and digits, upper-cased:
// "quviro" gives "ZTAppInstanceCheck_QUVIRO", "Checker 2" gives "ZTAppInstanceCheck_CHECKER2".
QString InstanceNameFor(const QString& fileName);

// The path of the lock file for instanceName.
QString InstanceMarkerPath(const QString& instanceName);

// Takes a shared lock on the marker of instanceName (the start-up sequence passes the one of
// the running executable) and holds it until ReleaseInstanceAtoms. A second call while a
// marker is held does nothing. Any failure leaves the process without a marker, silently.
void RegisterInstance(const QString& instanceName);

// Drops the marker taken by RegisterInstance; does nothing when none is held.
void ReleaseInstanceAtoms();

// True while some process holds the marker of instanceName: the atom is found, or a
// non-blocking exclusive lock on the marker file fails. Missing or foreign files answer false.
bool IsInstanceRunning(const QString& instanceName);
