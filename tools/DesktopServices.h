// Thin services over the desktop: the clipboard, shell folders, and (through the headers
// below) the version record and the pulse timer.
#pragma once

#include "PulseTimer.h"
#include "VersionInfo.h"

#include <QString>

// Shell folder identifiers understood by GetSpecialFolder.
inline constexpr int CSIDL_APPDATA = 0x001A; // the per-user application-data folder

// Replaces the clipboard's content with text (the empty text too). Throws std::runtime_error
// "Cannot open clipboard." when there is no QGuiApplication; the platform's own clipboard
// failures are not caught here either.
void CopyTextToClipboard(const QString& text);

// The path of a shell folder, ending in "/": CSIDL_APPDATA is the XDG config folder
// ($XDG_CONFIG_HOME when it is an absolute path, else ~/.config). The folder is not created.
// Unknown identifiers, and a folder that cannot be determined or is not an absolute path,
// give the empty text.
QString GetSpecialFolder(int csidl);
