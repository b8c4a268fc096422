// The per-user settings stores: SystemConfig (ConfigList) and SystemGlobals (GlobalsList),
// keyed value lists (KeyedList.h) loaded from their data sets at start-up and written back at
// exit only when changed, and the shared work list ScratchList.
//
// Lifecycle, driven by the start-up and shut-down code: CreateStoreLists, LoadStores, ...,
// FlushConfig, FlushGlobals, DestroyStoreLists. Single-threaded; nothing is locked.
#pragma once

#include "tools/Strings.h"

#include <QString>

// Creates ScratchList, GlobalsList and ConfigList empty, in this order, and clears both
// changed flags. Lists that exist already are destroyed first.
void CreateStoreLists();
// LoadDataSet(ConfigList, "SystemConfig"), then LoadDataSet(GlobalsList, "SystemGlobals");
// a missing or unreadable file leaves its store empty.
void LoadStores();
// Destroys ConfigList, GlobalsList and ScratchList, in this order, and clears both flags.
void DestroyStoreLists();

// The stores. Each accessor throws std::logic_error while the lists do not exist.
TStringList& ConfigList();
TStringList& GlobalsList();

// The process-wide work list of ListGetItems and the window placement operations; what it
// holds means something only during one call. Throws std::logic_error while the lists do not
// exist.
TStringList& ScratchList();

// Marks ScratchList() as worked on for the object's lifetime. Its users are not re-entrant:
// a TScratchListUse made while another exists throws std::logic_error, so a nested call fails
// at once instead of overwriting the items of the call it is nested in. Throws
// std::logic_error while the lists do not exist, too.
class TScratchListUse {
public:
    TScratchListUse();
    ~TScratchListUse();
    TScratchListUse(const TScratchListUse&) = delete;
    TScratchListUse& operator=(const TScratchListUse&) = delete;

    TStringList& List() const { return m_list; }

private:
    TStringList& m_list;
};

// Changed flags: false after CreateStoreLists; set by the Config setters (and by whoever
// changes a store by other means through the Mark functions); cleared only by the flushes.
bool ConfigDirty();
bool GlobalsDirty();
void MarkConfigDirty();
void MarkGlobalsDirty();

// The keyed list operations on ConfigList. Each setter marks the store changed after the
// list operation has returned, whether or not the value changed and even for a key that
// normalises to nothing. The getters never touch the flag.
void ConfigSetValue(const QString& key, const QString& value);
void ConfigSetFloat(const QString& key, double value);
void ConfigSetBool(const QString& key, bool value);
QString ConfigGetValue(const QString& key, const QString& defaultValue);
int ConfigGetInt(const QString& key, int defaultValue, int min, int max);
bool ConfigGetBool(const QString& key, bool defaultValue);

// If the store is marked changed, SaveDataSet it ("SystemConfig" / "SystemGlobals"), which
// refuses a file that did not load or is read-only; then clear the flag in any case. A failed
// or refused write is not retried.
void FlushConfig();
void FlushGlobals();
