#include "tools/ConfigStore.h"

#include "tools/DataSet.h"
#include "tools/KeyedList.h"

#include <memory>
#include <stdexcept>

namespace {

const QString SystemConfigName = QStringLiteral("SystemConfig");
const QString SystemGlobalsName = QStringLiteral("SystemGlobals");

struct TStoreState {
    std::unique_ptr<TStringList> scratch;
    std::unique_ptr<TStringList> globals;
    std::unique_ptr<TStringList> config;
    bool configDirty = false;
    bool globalsDirty = false;
    bool scratchInUse = false;
};

TStoreState& State() {
    static TStoreState state;
    return state;
}

TStringList& Existing(const std::unique_ptr<TStringList>& list) {
    if (!list)
        throw std::logic_error("The settings store is not set up");
    return *list;
}

} // namespace

void CreateStoreLists() {
    DestroyStoreLists();
    TStoreState& state = State();
    state.scratch = std::make_unique<TStringList>();
    state.globals = std::make_unique<TStringList>();
    state.config = std::make_unique<TStringList>();
}

void LoadStores() {
    LoadDataSet(ConfigList(), SystemConfigName);
    LoadDataSet(GlobalsList(), SystemGlobalsName);
}

void DestroyStoreLists() {
    TStoreState& state = State();
    state.config.reset();
    state.globals.reset();
    state.scratch.reset();
    state.configDirty = false;
    state.globalsDirty = false;
}

TStringList& ScratchList() {
    return Existing(State().scratch);
}
TScratchListUse::TScratchListUse() : m_list(ScratchList()) {
    bool& inUse = State().scratchInUse;
    if (inUse)
        throw std::logic_error("The scratch list is in use by an unfinished call");
    inUse = true;
}

TScratchListUse::~TScratchListUse() {
    State().scratchInUse = false;
}

TStringList& ConfigList() {
    return Existing(State().config);
}
TStringList& GlobalsList() {
    return Existing(State().globals);
}

bool ConfigDirty() {
    return State().configDirty;
}
bool GlobalsDirty() {
    return State().globalsDirty;
}
void MarkConfigDirty() {
    State().configDirty = true;
}
void MarkGlobalsDirty() {
    State().globalsDirty = true;
}

void ConfigSetValue(const QString& key, const QString& value) {
    ListSetValue(ConfigList(), key, value);
    MarkConfigDirty();
}

void ConfigSetFloat(const QString& key, double value) {
    ListSetFloat(ConfigList(), key, value);
    MarkConfigDirty();
}

void ConfigSetBool(const QString& key, bool value) {
    ListSetBool(ConfigList(), key, value);
    MarkConfigDirty();
}

QString ConfigGetValue(const QString& key, const QString& defaultValue) {
    return ListGetValue(ConfigList(), key, defaultValue);
}

int ConfigGetInt(const QString& key, int defaultValue, int min, int max) {
    return ListGetInt(ConfigList(), key, defaultValue, min, max);
}

bool ConfigGetBool(const QString& key, bool defaultValue) {
    return ListGetBool(ConfigList(), key, defaultValue);
}

void FlushConfig() {
    if (ConfigDirty())
        SaveDataSet(ConfigList(), SystemConfigName);
    State().configDirty = false;
}

void FlushGlobals() {
    if (GlobalsDirty())
        SaveDataSet(GlobalsList(), SystemGlobalsName);
    State().globalsDirty = false;
}
