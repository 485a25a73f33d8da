// Chooses between the rtmidi, built-in synth and virtual MIDI devices by VUMO_MIDI_BACKEND.
#include "MidiBackend.h"

#include "rtmidi/RtMidiDevices.h"
#include "synth/SoundFont.h"
#include "synth/SynthMidiOut.h"
#include "synth/SynthModule.h"
#include "virtual/VirtualMidiIn.h"
#include "virtual/VirtualMidiOut.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform
{

namespace
{

enum class Choice
{
    RtMidi,
    Synth,
    Virtual,
    Auto
};

Choice chosenBackend()
{
    const char* text = std::getenv("VUMO_MIDI_BACKEND");
    if (text && std::strcmp(text, "rtmidi") == 0)
        return Choice::RtMidi;
    if (text && std::strcmp(text, "synth") == 0)
        return Choice::Synth;
    if (text && std::strcmp(text, "virtual") == 0)
        return Choice::Virtual;
    return Choice::Auto;
}

} // namespace

MidiBackend midiOutputBackend()
{
    switch (chosenBackend())
    {
    case Choice::RtMidi:
        return MidiBackend::RtMidi;
    case Choice::Synth:
        return MidiBackend::Synth;
    case Choice::Virtual:
        return MidiBackend::Virtual;
    case Choice::Auto:
        break;
    }
    if (rtMidiHasRealOutput())
        return MidiBackend::RtMidi;
    std::string moduleError;
    return findSoundFont().path.empty() || synthModule(moduleError) == nullptr
               ? MidiBackend::Virtual
               : MidiBackend::Synth;
}

MidiBackend midiInputBackend()
{
    switch (chosenBackend())
    {
    case Choice::RtMidi:
        return MidiBackend::RtMidi;
    case Choice::Virtual:
        return MidiBackend::Virtual;
    case Choice::Synth: // the synthesizer has no input: inputs as with auto
    case Choice::Auto:
        break;
    }
    return rtMidiHasInput() ? MidiBackend::RtMidi : MidiBackend::Virtual;
}

const char* midiBackendName(MidiBackend b)
{
    switch (b)
    {
    case MidiBackend::RtMidi:
        return "rtmidi";
    case MidiBackend::Synth:
        return "synth";
    case MidiBackend::WinMm:
        return "winmm";
    case MidiBackend::Virtual:
        break;
    }
    return "virtual";
}

std::unique_ptr<MidiOut> makeMidiOut()
{
    switch (midiOutputBackend())
    {
    case MidiBackend::RtMidi:
        return makeRtMidiOut();
    case MidiBackend::Synth: // the synthesizer reports its SoundFont's troubles at open()
        return std::make_unique<SynthMidiOut>();
    case MidiBackend::Virtual:
    case MidiBackend::WinMm: // never chosen here
        break;
    }
    if (chosenBackend() == Choice::Auto)
    {
        // Say why the built-in synth was passed over when the machine seems to have it.
        std::string moduleError;
        const SoundFontChoice soundFont = findSoundFont();
        if (!soundFont.problem.empty())
            std::fprintf(stderr, "Vumo: %s; MIDI goes to the virtual device\n",
                         soundFont.problem.c_str());
        if (!soundFont.path.empty() && synthModule(moduleError) == nullptr)
            std::fprintf(stderr,
                         "Vumo: the built-in synth is not available: %s; MIDI goes to the virtual "
                         "device\n",
                         moduleError.c_str());
    }
    return std::make_unique<VirtualMidiOut>();
}

std::unique_ptr<MidiIn> makeMidiIn()
{
    if (midiInputBackend() == MidiBackend::RtMidi)
        return makeRtMidiIn();
    return std::make_unique<VirtualMidiIn>();
}

std::vector<std::string> midiInputNames()
{
    if (midiInputBackend() == MidiBackend::RtMidi)
        return rtMidiInputNames();
    return {kVirtualMidiInName};
}

int32_t midiInputCount()
{
    return int32_t(midiInputNames().size());
}

} // namespace platform
