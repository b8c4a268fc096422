#include "gui/WindowSettings.h"

#include "desktop/FormPlacement.h"
#include "gui/AlgorithmChoice.h"
#include "gui/RadioGroup.h"
#include "pipeline/HashPipeline.h"
#include "tools/ConfigStore.h"
#include "tools/DataSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QWidget>

namespace {

// The last index of a group's items, the upper end of what a stored index may be.
int LastItem(const TRadioGroup* group) {
    return static_cast<int>(group->Items().size()) - 1;
}

} // namespace

bool RestoreWindowSettings(const TWindowSettingsControls& c) {
    ConfigRestoreFormPlacement(QStringLiteral("MainForm"), c.Window, false);
    c.Salt->setEditText(ConfigGetValue(QStringLiteral("SaltText"), QString()));
    c.SaltType->SetItemIndex(
        ConfigGetInt(QStringLiteral("SaltType"), SaltTypePrefix, SaltTypeNone, LastItem(c.SaltType)));
    c.InputType->SetItemIndex(
        ConfigGetInt(QStringLiteral("InputType"), InputTypeText, InputTypeFile, LastItem(c.InputType)));
    c.Hashes->SetItemIndex(ConfigGetInt(QStringLiteral("HashType"), 1, 0, LastItem(c.Hashes)));
    const bool otherUnderstood = c.Algorithms->RestoreOther(
        ConfigGetValue(QStringLiteral("OtherAlgorithm"), QLatin1StringView(TAlgorithmChoice::DefaultOther)));
    c.Trim->setChecked(ConfigGetBool(QStringLiteral("TrimInput"), c.Trim->isChecked()));
    c.Upper->setChecked(ConfigGetBool(QStringLiteral("UpperHash"), c.Upper->isChecked()));
    LoadDataSet(*c.InputText, QStringLiteral("InputText"));
    LoadDataSet(*c.SaltItems, QStringLiteral("SaltItems"));
    return otherUnderstood;
}

void StoreWindowSettings(const TWindowSettingsControls& c) {
    ConfigSaveFormPlacement(QStringLiteral("MainForm"), c.Window);
    ConfigSetValue(QStringLiteral("SaltText"), c.Salt->currentText());
    ConfigSetFloat(QStringLiteral("SaltType"), c.SaltType->ItemIndex());
    ConfigSetFloat(QStringLiteral("InputType"), c.InputType->ItemIndex());
    ConfigSetFloat(QStringLiteral("HashType"), c.Hashes->ItemIndex());
    ConfigSetValue(QStringLiteral("OtherAlgorithm"), c.Algorithms->Other());
    ConfigSetBool(QStringLiteral("TrimInput"), c.Trim->isChecked());
    ConfigSetBool(QStringLiteral("UpperHash"), c.Upper->isChecked());
    SaveDataSet(*c.InputText, QStringLiteral("InputText"));
    SaveDataSet(*c.SaltItems, QStringLiteral("SaltItems"));
}
