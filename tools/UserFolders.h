// The per-user folders the program keeps its data in, behind the shell-folder interface.
#pragma once

#include <QString>

// Shell folder identifiers understood by GetSpecialFolder.
inline constexpr int CSIDL_APPDATA = 0x001A; // the per-user application-data folder

// The path of a shell folder, ending in "/": CSIDL_APPDATA is the XDG config folder
// ($XDG_CONFIG_HOME when it is an absolute path, else ~/.config). The folder is not created.
// Unknown identifiers, and a folder that cannot be determined or is not an absolute path,
// give the empty text.
QString GetSpecialFolder(int csidl);
