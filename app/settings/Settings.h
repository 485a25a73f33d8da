// LoadSettings / SaveSettings: the five per-user settings of the studio, stored as text.
#pragma once

#include "model/ModVumo.h"

class QSettings;

namespace vumo
{

// Programs started by the Tools menu when the settings name none.
QString defaultMixerPath();
QString defaultSequencerPath();

// The five settings at their defaults, each replaced by the stored value where one exists. A
// stored number that is not a whole number of the setting's type leaves the default in place.
StudioSettings LoadSettings(QSettings& store);

// Writes the five settings, numbers as decimal text.
void SaveSettings(const StudioSettings& settings, QSettings& store);

} // namespace vumo
