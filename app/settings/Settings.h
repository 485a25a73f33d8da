// LoadSettings / SaveSettings: the per-user settings of the studio, stored as text.
#pragma once

#include "model/ModVumo.h"

class QSettings;

namespace vumo
{

// Programs started by the Tools menu when the settings name none.
QString defaultMixerPath();
QString defaultSequencerPath();

// The settings at their defaults, each replaced by the stored value where one exists. A stored
// number that is not a whole number of the setting's type leaves the default in place. Besides
// the five of old, "Own File Browser" ("1" or "0", default "0") chooses the studio's own file
// browser over the system's file dialog.
StudioSettings LoadSettings(QSettings& store);

// Writes the settings, numbers as decimal text.
void SaveSettings(const StudioSettings& settings, QSettings& store);

} // namespace vumo
