// The names of the MIDI input devices, from the device layer.
#include "settings/MidiInputs.h"

#ifdef VUMO_HAVE_PLATFORM_MIDI
#include "platform/MidiBackend.h"
#endif

namespace vumo
{

QStringList midiInputNames()
{
    QStringList names;
#ifdef VUMO_HAVE_PLATFORM_MIDI
    for (const std::string& name : platform::midiInputNames())
        names.append(QString::fromStdString(name));
#endif
    return names;
}

} // namespace vumo
