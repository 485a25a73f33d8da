// Tests of the MIDI backend choice and of the input device list.
#include "platform/MidiBackend.h"
#include "PlatformTestSupport.h"
#include "platform/MmResult.h"
#include "platform/rtmidi/RtMidiDevices.h"
#include "platform/synth/SoundFont.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"

#include <gtest/gtest.h>

using namespace platform;
using platform::test::ScopedEnv;

TEST(MidiBackend, TheSettingChoosesTheBackendAndAutoUsesRtMidiOnlyWhereItHasPorts)
{
    // No SoundFont: auto output has only the ports and the virtual device to choose from
    // (SynthMidiOutTest covers the built-in synthesizer's part in the choice).
    ScopedEnv soundFont("VUMO_SOUNDFONT", std::nullopt);
    setSoundFontSearchPaths({});
    const auto autoOut = rtMidiHasRealOutput() ? MidiBackend::RtMidi : MidiBackend::Virtual;
    const auto autoIn = rtMidiHasInput() ? MidiBackend::RtMidi : MidiBackend::Virtual;
    const struct
    {
        std::optional<std::string> setting;
        MidiBackend out, in;
    } rows[] = {{"virtual", MidiBackend::Virtual, MidiBackend::Virtual},
                {"rtmidi", MidiBackend::RtMidi, MidiBackend::RtMidi},
                {"synth", MidiBackend::Synth, autoIn},
                {"auto", autoOut, autoIn},
                {"something else", autoOut, autoIn},
                {std::nullopt, autoOut, autoIn}};
    for (const auto& r : rows)
    {
        ScopedEnv env("VUMO_MIDI_BACKEND", r.setting);
        const std::string name = r.setting.value_or("(unset)");
        EXPECT_EQ(midiOutputBackend(), r.out) << name;
        EXPECT_EQ(midiInputBackend(), r.in) << name;
        EXPECT_EQ(midiInputNames(), r.in == MidiBackend::Virtual
                                        ? std::vector<std::string>{kVirtualMidiInName}
                                        : rtMidiInputNames())
            << name;
        EXPECT_EQ(midiInputCount(), int32_t(midiInputNames().size())) << name;
        EXPECT_EQ(!!dynamic_cast<VirtualMidiOut*>(makeMidiOut().get()),
                  r.out == MidiBackend::Virtual)
            << name;
        EXPECT_EQ(!!dynamic_cast<VirtualMidiIn*>(makeMidiIn().get()), r.in == MidiBackend::Virtual)
            << name;
    }
    resetSoundFontSearchPaths();
    EXPECT_STREQ(midiBackendName(MidiBackend::RtMidi), "rtmidi");
    EXPECT_STREQ(midiBackendName(MidiBackend::Synth), "synth");
    EXPECT_STREQ(midiBackendName(MidiBackend::Virtual), "virtual");
}

TEST(RtMidiDevices, AnOutputWithoutAnyPortReportsNoDevice)
{
    if (rtMidiHasOutput())
        GTEST_SKIP() << "this machine has a MIDI output port";
    auto out = makeRtMidiOut();
    EXPECT_EQ(out->open(), kMidiNoDevice);
    EXPECT_EQ(out->shortMsg(0x643C90), kMmInvalidHandle);
    EXPECT_EQ(out->close(), kMmInvalidHandle);
}

TEST(RtMidiDevices, UnopenedDevicesAndInputNumbersBeyondThePortsAreRefused)
{
    EXPECT_EQ(makeRtMidiOut()->shortMsg(0x643C90), kMmInvalidHandle);
    auto in = makeRtMidiIn();
    auto ignore = [](MidiInNotice, uint32_t, uint32_t) {};
    for (const int32_t device : {int32_t(rtMidiInputNames().size()), -1, INT32_MAX})
        EXPECT_EQ(in->open(device, ignore), kMmBadDeviceId) << device;
    EXPECT_EQ(in->start(), kMmInvalidHandle);
    EXPECT_EQ(in->close(), kMmInvalidHandle);
}
