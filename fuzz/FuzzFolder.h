// A private temporary data folder for a fuzz target, on a memory file system when there is
// one (the data set saves flush to disk on every run), removed when the process ends.
#pragma once

#include <QString>

// The folder, ending in "/", created on the first call.
const QString& FuzzDataFolder();

// The names in the folder, sorted.
QStringList FuzzFolderEntries();
