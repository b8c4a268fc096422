// The running program's own file.
#pragma once

#include <string>

// A name that opens the running executable's file, even when it was renamed or moved since the
// program started.
std::string RunningExecutableFile();

// The running executable's path as it was started from, links resolved; empty when the system
// cannot tell.
std::string RunningExecutablePath();
