// Tests of the MIDI backend choice and of the input device list.
#include "platform/MidiBackend.h"
#include "platform/MmResult.h"
#include "platform/rtmidi/RtMidiDevices.h"
#include "platform/virtual/VirtualMidiIn.h"

#include <gtest/gtest.h>

#include <cstdlib>

using platform::MidiBackend;

namespace
{

class MidiBackendChoice : public ::testing::Test
{
protected:
    void TearDown() override { unsetenv("VUMO_MIDI_BACKEND"); }
    static void choose(const char* name) { setenv("VUMO_MIDI_BACKEND", name, 1); }
};

} // namespace

TEST_F(MidiBackendChoice, VirtualGivesTheOneVirtualInputAndAWorkingOutput)
{
    choose("virtual");
    EXPECT_EQ(platform::midiOutputBackend(), MidiBackend::Virtual);
    EXPECT_EQ(platform::midiInputBackend(), MidiBackend::Virtual);
    EXPECT_EQ(platform::midiInputNames(), (std::vector<std::string>{platform::kVirtualMidiInName}));
    EXPECT_EQ(platform::midiInputCount(), 1);
    auto out = platform::makeMidiOut();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->open(), platform::kMmNoError);
    EXPECT_EQ(out->shortMsg(0x643C90), platform::kMmNoError);
    EXPECT_EQ(out->close(), platform::kMmNoError);
    auto in = platform::makeMidiIn();
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->open(0, [](platform::MidiInNotice, uint32_t, uint32_t) {}), platform::kMmNoError);
    EXPECT_EQ(in->close(), platform::kMmNoError);
}

TEST_F(MidiBackendChoice, RtMidiIsUsedWhenAskedForEvenWithoutPorts)
{
    choose("rtmidi");
    EXPECT_EQ(platform::midiOutputBackend(), MidiBackend::RtMidi);
    EXPECT_EQ(platform::midiInputBackend(), MidiBackend::RtMidi);
    EXPECT_EQ(platform::midiInputNames(), platform::rtMidiInputNames());
}

TEST_F(MidiBackendChoice, AutoUsesRtMidiOnlyWhereItHasPorts)
{
    for (const char* name : {"auto", "something else"})
    {
        choose(name);
        EXPECT_EQ(platform::midiOutputBackend(),
                  platform::rtMidiHasOutput() ? MidiBackend::RtMidi : MidiBackend::Virtual);
        EXPECT_EQ(platform::midiInputBackend(),
                  platform::rtMidiHasInput() ? MidiBackend::RtMidi : MidiBackend::Virtual);
        EXPECT_GE(platform::midiInputCount(), 1) << "the virtual input stands in for none";
    }
    unsetenv("VUMO_MIDI_BACKEND");
    EXPECT_EQ(platform::midiOutputBackend(),
              platform::rtMidiHasOutput() ? MidiBackend::RtMidi : MidiBackend::Virtual);
}

TEST(MidiBackendName, NamesTheTwoBackends)
{
    EXPECT_STREQ(platform::midiBackendName(MidiBackend::RtMidi), "rtmidi");
    EXPECT_STREQ(platform::midiBackendName(MidiBackend::Virtual), "virtual");
}

TEST(RtMidiDevices, AnOutputWithoutAnyPortReportsNoDevice)
{
    if (platform::rtMidiHasOutput())
        GTEST_SKIP() << "this machine has a MIDI output port";
    auto out = platform::makeRtMidiOut();
    EXPECT_EQ(out->open(), platform::kMidiNoDevice);
    EXPECT_EQ(out->shortMsg(0x643C90), platform::kMmInvalidHandle);
    EXPECT_EQ(out->close(), platform::kMmInvalidHandle);
}

TEST(RtMidiDevices, InputNumbersBeyondThePortsAreBadDeviceIds)
{
    auto in = platform::makeRtMidiIn();
    auto ignore = [](platform::MidiInNotice, uint32_t, uint32_t) {};
    const auto count = int32_t(platform::rtMidiInputNames().size());
    EXPECT_EQ(in->open(count, ignore), platform::kMmBadDeviceId);
    EXPECT_EQ(in->open(-1, ignore), platform::kMmBadDeviceId);
    EXPECT_EQ(in->open(INT32_MAX, ignore), platform::kMmBadDeviceId);
    EXPECT_EQ(in->start(), platform::kMmInvalidHandle);
    EXPECT_EQ(in->close(), platform::kMmInvalidHandle);
}

TEST(RtMidiDevices, AnUnopenedOutputRefusesToSend)
{
    auto out = platform::makeRtMidiOut();
    EXPECT_EQ(out->shortMsg(0x643C90), platform::kMmInvalidHandle);
}
