// The running process and the user it runs for, by the numbers the system knows them by.
#pragma once

#include <cstdint>

// This process's id.
std::int64_t CurrentProcessId();

// True only when the system says that no process of this id exists; a process that runs (as
// another user too) or an id that cannot be asked about answers false.
bool ProcessIsGone(std::int64_t id);

// The effective user's id, for names that must differ between users of one folder.
std::uint64_t CurrentUserId();
