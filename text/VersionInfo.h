// The file version of an executable as text and numbers, read from what the build places in
// the executable (platform/ProgramVersion.h: the ELF version record, or the Windows version resource).
#pragma once

#include <string>

// Reads the four numbers of module's version (a file name in UTF-8); an empty module means the
// running executable. Answers false with all four numbers 0 when the file cannot be opened, is
// not a regular file, is no well-formed program of the system's format or has no version.
// Never throws; truncated or garbage files only give false.
bool GetVersionNumbers(const std::string& module, int& major, int& minor, int& release, int& build);
bool GetVersionNumbers(int& major, int& minor, int& release, int& build);

// "major.minor.release.build" in decimal, e.g. "1.0.1.1"; empty text when there is no version.
std::string GetVersionText();
std::string GetVersionText(const std::string& module);
