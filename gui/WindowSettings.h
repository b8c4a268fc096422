// What the window keeps between runs: its placement ("MainForm"), the salt text and type, the
// input type, the selected algorithm and the drop-down's, the trim and upper-case boxes in the
// settings store, and the input text and salt history as data sets. A value missing from the
// store, or outside the choices, restores to the first run's choice.
#pragma once

class QCheckBox;
class QComboBox;
class QWidget;
class TAlgorithmChoice;
class TRadioGroup;
class TStrings;

// The window and the controls whose state is kept.
struct TWindowSettingsControls {
    QWidget* Window;
    QComboBox* Salt;
    TRadioGroup* SaltType;
    TRadioGroup* InputType;
    TRadioGroup* Hashes;
    TAlgorithmChoice* Algorithms;
    QCheckBox* Trim;
    QCheckBox* Upper;
    // The input text box's lines and the salt box's history.
    TStrings* InputText;
    TStrings* SaltItems;
};

// Puts the stored settings into the controls and restores the window's placement. False when
// the stored other algorithm was not understood and the drop-down fell back to its default.
bool RestoreWindowSettings(const TWindowSettingsControls& controls);
// Stores the controls' state and the window's placement, and saves the two data sets.
void StoreWindowSettings(const TWindowSettingsControls& controls);
