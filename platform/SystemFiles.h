// The steps each system's Files.cpp gives the one regular-file open (platform/Files.cpp), which
// keeps the order of looking, opening and checking the same on every system. For platform/ only.
#pragma once

#include "platform/Files.h"

// Opens name read-only, close-on-exec and without blocking (relative to name.Folder where the
// system can), creating it owner-only when options.Create says so. A handle that is not open on
// failure, error its reason.
TFileHandle OpenFileForReading(const TFileName& name, TOpenOptions options, int& error) noexcept;
