// The names of the MIDI input devices offered by the Options dialog.
#pragma once

#include <QStringList>

namespace vumo
{

// One name per MIDI input device, in device order; a device that cannot be queried is skipped.
QStringList midiInputNames();

} // namespace vumo
