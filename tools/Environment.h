// The process environment: the start-up and shut-down sequences that the main routine calls
// explicitly, first thing after the application object exists and last thing after the event
// loop has ended. Nothing here runs from static initialisers or destructors.
//
// Start-up, in this order:
//   1. RegisterInstance: take the instance marker (InstanceMarker.h).
//   2. Pin the number format: "." as the decimal separator whatever the user's locale
//      (QLocale default and the C library's LC_NUMERIC are both set to C).
//   3. CreateStoreLists: ScratchList, GlobalsList, ConfigList, empty.
//   4. AppName: the executable's file name without its extension.
//   5. DataFolder: GetSpecialFolder(CSIDL_APPDATA) + AppName + "/"; it stays empty (no
//      settings are read or written) when GetSpecialFolder gives the empty text.
//   6. Create DataFolder (0700, missing parents too) unless it names a folder already; a
//      failure is ignored and the data sets then simply fail to save.
//   7. LoadStores: SystemConfig, then SystemGlobals; a missing file leaves a store empty.
// Shut-down, in this order:
//   1. FlushConfig, FlushGlobals: each store is written back only if it changed.
//   2. DestroyStoreLists: ConfigList, GlobalsList, ScratchList.
//   3. ReleaseInstanceAtoms.
//
// Call StartUpEnvironment after constructing the Q(Gui)Application: its constructor resets
// the C library's locale to the user's.
#pragma once

#include <QString>

// Each sequence runs once per process; later calls do nothing. The overload taking a path
// stands in for the executable's real path (/proc/self/exe), for tests.
void StartUpEnvironment();
void StartUpEnvironment(const QString& executablePath);
void ShutDownEnvironment();

// The running executable's real path, links resolved (/proc/self/exe).
QString ExecutablePath();

// The file name of path without folder and without extension: the part before the last
// full stop, or the whole name without one. "/opt/my.tool.bin" gives "my.tool".
QString AppNameFor(const QString& executablePath);

// appDataFolder (which ends in the path delimiter unless empty) + appName + the delimiter ("/",
// "\" on Windows: tools/UserFolders.h), the trailing one not doubled. An empty appDataFolder
// gives a folder relative to the current folder.
QString DataFolderFor(const QString& appDataFolder, const QString& appName);

// Creates folder and its missing parents, each owner-only (0700). True when folder then names
// a folder (a link to one counts). Existing folders keep their permissions.
bool CreateDataFolder(const QString& folder);
