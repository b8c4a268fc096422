// The folders the system names for a user's data, and how it writes a folder's end. On Windows
// the roaming application-data folder is the shell's (SHGetSpecialFolderPathW with CSIDL_APPDATA)
// and "\" ends folders; POSIX systems name no such folder (the program takes the XDG config
// folder there, tools/UserFolders.h) and "/" ends folders.
#pragma once

#include <string>

// The separator the system writes between folders and at a folder's end: '\' or '/'.
char SystemPathDelimiter();

// The user's application-data folder as the system names it, in UTF-8 and ending in
// SystemPathDelimiter(); empty where the system names none or cannot say. The folder is not created.
std::string SystemAppDataFolder();
