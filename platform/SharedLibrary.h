// POSIX systems only: a library of the system loaded while the program runs, for a library that
// only some runs need (libcrypto, for the digests the project does not compute itself), so that
// a run that does not need it neither maps nor relocates it at start. On Windows the digest
// libraries are linked into the programs.
#pragma once

#include <string>

struct TSharedLibrary {
    void* Handle = nullptr; // the loaded library; nullptr when it did not load
    std::string Failure;    // the system's reason when it did not load
};

// Loads the library of file name soname ("libcrypto.so.3") from the system's library path,
// resolving all its symbols now, so that a missing one is a failure here and not a crash later.
// The library stays loaded to the end of the process.
TSharedLibrary LoadSharedLibrary(const char* soname);

// The address of the function or object name in library; nullptr when it has none or did not load.
void* SharedLibrarySymbol(const TSharedLibrary& library, const char* name);
