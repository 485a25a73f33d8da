// MIDI backend selection on Windows: VUMO_MIDI_BACKEND picks the Windows multimedia MIDI devices
// or the virtual ones; the built-in synthesizer is not part of this build.
#include "../MidiBackend.h"

#include "../virtual/VirtualMidiIn.h"
#include "../virtual/VirtualMidiOut.h"
#include "WinMmMidiIn.h"
#include "WinMmMidiOut.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mmsystem.h>

namespace platform
{

namespace
{

enum class Choice
{
    WinMm,
    Synth,
    Virtual,
    Auto
};

Choice chosenBackend()
{
    const char* text = std::getenv("VUMO_MIDI_BACKEND");
    if (text && std::strcmp(text, "winmm") == 0)
        return Choice::WinMm;
    if (text && std::strcmp(text, "synth") == 0)
        return Choice::Synth;
    if (text && std::strcmp(text, "virtual") == 0)
        return Choice::Virtual;
    return Choice::Auto;
}

// The device count is asked only for auto: asking loads the system's MIDI drivers.
MidiBackend choose(UINT (*devices)())
{
    switch (chosenBackend())
    {
    case Choice::WinMm:
        return MidiBackend::WinMm;
    case Choice::Virtual:
        return MidiBackend::Virtual;
    case Choice::Synth:
    case Choice::Auto:
        break;
    }
    return devices() > 0 ? MidiBackend::WinMm : MidiBackend::Virtual;
}

} // namespace

MidiBackend midiOutputBackend()
{
    if (chosenBackend() == Choice::Synth)
        return MidiBackend::Synth;
    return choose([] { return midiOutGetNumDevs(); });
}

MidiBackend midiInputBackend()
{
    return choose([] { return midiInGetNumDevs(); }); // the synthesizer has no input: as auto
}

const char* midiBackendName(MidiBackend b)
{
    switch (b)
    {
    case MidiBackend::WinMm:
        return "winmm";
    case MidiBackend::Synth:
        return "synth";
    case MidiBackend::RtMidi:
    case MidiBackend::Virtual:
        break;
    }
    return b == MidiBackend::RtMidi ? "rtmidi" : "virtual";
}

std::unique_ptr<MidiOut> makeMidiOut()
{
    switch (midiOutputBackend())
    {
    case MidiBackend::WinMm:
        return std::make_unique<WinMmMidiOut>();
    case MidiBackend::Synth:
        std::fputs("Vumo: the built-in synth is not available in this build; choose winmm or "
                   "virtual for VUMO_MIDI_BACKEND\n",
                   stderr);
        return nullptr;
    case MidiBackend::RtMidi:
    case MidiBackend::Virtual:
        break;
    }
    return std::make_unique<VirtualMidiOut>();
}

std::unique_ptr<MidiIn> makeMidiIn()
{
    if (midiInputBackend() == MidiBackend::WinMm)
        return std::make_unique<WinMmMidiIn>();
    return std::make_unique<VirtualMidiIn>();
}

std::vector<std::string> midiInputNames()
{
    if (midiInputBackend() != MidiBackend::WinMm)
        return {kVirtualMidiInName};
    std::vector<std::string> names;
    for (UINT device = 0, count = midiInGetNumDevs(); device < count; ++device)
    {
        MIDIINCAPSA caps{};
        const bool named = midiInGetDevCapsA(device, &caps, sizeof caps) == MMSYSERR_NOERROR;
        names.push_back(named ? std::string(caps.szPname)
                              : "MIDI input " + std::to_string(device + 1));
    }
    return names;
}

int32_t midiInputCount()
{
    return int32_t(midiInputNames().size());
}

} // namespace platform
