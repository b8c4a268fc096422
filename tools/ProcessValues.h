// Process-wide values fixed once by the start-up sequence and read everywhere after it.
#pragma once

#include <QString>

// The executable's file name without its extension, e.g. "quviro". Empty before start-up.
const QString& AppName();
void SetAppName(const QString& name);

// The per-user data folder, ending in "/", e.g. "/home/ann/.config/quviro/". Empty before
// start-up, and data set files are then neither read nor written. Tests set it directly.
const QString& DataFolder();
void SetDataFolder(const QString& folder);
