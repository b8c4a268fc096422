// The XDG Base Directory variables, read by the rules: a value that is not an absolute path is
// ignored, as if the variable were unset.
#pragma once

#include <QString>

// The value of an XDG Base Directory variable (e.g. "XDG_RUNTIME_DIR") when it is an absolute
// path, else the empty text: the XDG rules say a relative path is to be ignored.
QString XdgFolder(const char* variable);

// Removes the XDG Base Directory variables that hold a relative path from the process
// environment, and the relative entries of the folder lists (XDG_CONFIG_DIRS,
// XDG_DATA_DIRS), so that no library reads them either. Call it first in main, before any
// thread or application object exists: changing the environment is not thread-safe.
void IgnoreRelativeXdgFolders();
