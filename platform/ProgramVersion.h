// The file version the build puts in each of the project's programs, read back from a program's
// file: on POSIX systems the version record in the ELF section ".quviro_version"
// (platform/VersionRecord.h, cmake/VersionRecord.cmake), on Windows the version resource's fixed
// file information (made by windres from the same project version).
#pragma once

#include "platform/VersionRecord.h"

#include <string>

// Reads the four numbers of program's version; an empty program means the running executable.
// Answers false with all four numbers 0 when the file cannot be opened, is not a regular file,
// is no well-formed program of the system's format (ELF of 32 or 64 bits in either byte order;
// a Windows module) or carries no version. Never throws; truncated or garbage files only give false.
bool ReadProgramVersion(const std::string& program, VersionRecord::TNumbers& numbers);
