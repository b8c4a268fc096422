// The mark that instances of a program run, counted across processes. On Windows it is the
// global atom table: each instance adds one to the atom's count (GlobalAddAtomW) and takes it
// away when it ends (GlobalDeleteAtom); a killed instance's share stays until the session ends.
// On POSIX systems it is a lock file every instance holds a shared lock on
// (platform/InstanceLock.h), whose share the system drops when the process ends, killed too.
#pragma once

#include <string>

// Adds this process's share of the mark name; lockFile is where the mark lies on systems without
// an atom table (unused on Windows). Held until DeleteInstanceAtom or the end of the process; a
// second call while a share is held does nothing. False when no share could be taken.
bool AddInstanceAtom(const std::string& name, const std::string& lockFile);

// Takes away this process's share; does nothing when none is held.
void DeleteInstanceAtom();

// True while any process, this one included, holds a share of the mark name.
bool FindInstanceAtom(const std::string& name, const std::string& lockFile);
