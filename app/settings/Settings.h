// LoadSettings / SaveSettings: the five per-user settings of the studio, stored as text.
#pragma once

#include "model/ModVumo.h"

class QSettings;

namespace vumo
{

// Programs started by the Tools menu when the settings name none.
QString defaultMixerPath();
QString defaultSequencerPath();

// Sets the five setting variables to their defaults, then replaces each by the stored value
// where one exists. A stored number that is not a whole number of the variable's type
// leaves the default in place.
void LoadSettings(ModVumo& mod, QSettings& store);

// Writes the five setting variables, numbers as decimal text.
void SaveSettings(const ModVumo& mod, QSettings& store);

} // namespace vumo
