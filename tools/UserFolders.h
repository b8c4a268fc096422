// The per-user folders the program keeps its data in, behind the shell-folder interface.
#pragma once

#include <QChar>
#include <QString>

// Shell folder identifiers understood by GetSpecialFolder.
inline constexpr int CSIDL_APPDATA = 0x001A; // the per-user application-data folder

// The separator of folders in paths, which ends every folder GetSpecialFolder gives: "\" on
// Windows, "/" elsewhere.
QChar PathDelimiter();

// The path of a shell folder, ending in PathDelimiter(): CSIDL_APPDATA is the system's roaming
// application-data folder on Windows, elsewhere the XDG config folder ($XDG_CONFIG_HOME when it
// is an absolute path, else ~/.config). The folder is not created.
// Unknown identifiers, and a folder that cannot be determined or is not an absolute path,
// give the empty text.
QString GetSpecialFolder(int csidl);
