// The entries of a folder, as its listing gives them.
#pragma once

#include "platform/Files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TFolderEntry {
    std::string Name;
    // The entry's kind as the listing tells it (a link is a Link); nothing where the file system
    // puts no types in its listings, so that the caller looks at the entry itself.
    std::optional<TFileKind> Kind;
    // The entry's inode number on the folder's device.
    std::uint64_t Inode = 0;
};

// Appends the entries of folder except "." and ".." to entries, in the listing's order; false
// with error set when the folder cannot be opened or read. The listing is closed before this
// returns. When hold is given, the folder is kept open in it for opening its entries
// (TFileName::Folder) where the system opens names relative to a folder; elsewhere, or when no
// descriptor is left for it, hold is left empty and the listing succeeds all the same.
bool ListFolder(const std::string& folder, std::vector<TFolderEntry>& entries, int& error, TFolderHold* hold = nullptr);
