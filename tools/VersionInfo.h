// The file version of an executable, read from the version record that the build places in
// the executable's ELF section ".quviro_version" (see VersionRecord.h).
#pragma once

#include <QString>

// Reads the four numbers of module's version record; an empty module means the running
// executable. Answers false with all four numbers 0 when the file cannot be opened, is not
// a regular file, is not a well-formed ELF file (32 or 64 bits, either byte order) or has no
// record. Never throws; truncated or garbage files only give false.
bool GetVersionNumbers(const QString& module, int& major, int& minor, int& release, int& build);
bool GetVersionNumbers(int& major, int& minor, int& release, int& build);

// "major.minor.release.build" in decimal, e.g. "1.0.1.1"; empty text when there is no version.
QString GetVersionText();
QString GetVersionText(const QString& module);
