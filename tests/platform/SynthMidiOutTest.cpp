// Tests of the built-in synthesizer: what it renders on a stepped virtual clock, and when the
// MIDI output choice lands on it.
#include "platform/synth/SynthMidiOut.h"
#include "PlatformTestSupport.h"
#include "platform/MidiBackend.h"
#include "platform/MmResult.h"
#include "platform/rtmidi/RtMidiDevices.h"
#include "platform/synth/SoundFont.h"
#include "platform/virtual/SteppedClock.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace platform;
using platform::test::ScopedEnv;

namespace
{

constexpr int64_t kFramesPerMs = 44;
// Anything louder than -50 dBFS is sound (a note's tail ends below it); before the first note
// every sample must be exactly zero.
constexpr int kSoundLevel = 100;

int64_t frameAt(int64_t ms)
{
    return ms * 441 / 10;
}

struct Note
{
    int64_t ms;
    uint32_t message;
};

// Sends the messages at their times through a synthesizer on a stepped clock and returns the
// interleaved samples of `lengthMs` of its wave file.
std::vector<int16_t> render(const std::vector<Note>& notes, int64_t lengthMs)
{
    testwave::TempDir dir;
    ScopedEnv audio("VUMO_VIRTUAL_MIDI_AUDIO", dir.file("synth.wav"));
    auto clock = std::make_shared<SteppedClock>();
    SynthMidiOut synth(clock);
    EXPECT_EQ(synth.open(), kMmNoError);
    for (const Note& n : notes)
    {
        clock->advance(uint64_t(frameAt(n.ms)) - clock->nowFrames());
        EXPECT_EQ(synth.shortMsg(n.message), kMmNoError);
    }
    clock->advance(uint64_t(frameAt(lengthMs)) - clock->nowFrames());
    EXPECT_EQ(synth.close(), kMmNoError);
    return testwave::readSamples(dir.file("synth.wav"));
}

// The first frame in [fromMs, toMs) louder than `level`, or -1.
int64_t firstSoundFrame(const std::vector<int16_t>& s, int64_t fromMs, int64_t toMs,
                        int level = kSoundLevel)
{
    const size_t end = std::min(s.size(), size_t(frameAt(toMs)) * 2);
    for (size_t i = size_t(frameAt(fromMs)) * 2; i < end; ++i)
    {
        if (std::abs(s[i]) > level)
            return int64_t(i / 2);
    }
    return -1;
}

bool soundBetween(const std::vector<int16_t>& s, int64_t fromMs, int64_t toMs)
{
    return firstSoundFrame(s, fromMs, toMs) >= 0;
}

class SynthMidiOutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Without a SoundFont the synthesizer cannot be heard: that is a failure here, never a
        // silent pass.
        ASSERT_FALSE(findSoundFont().path.empty())
            << "no General MIDI SoundFont installed (the timgm6mb-soundfont package)";
    }
    ScopedEnv m_soundFont{"VUMO_SOUNDFONT", std::nullopt};
};

} // namespace

TEST_F(SynthMidiOutTest, ANoteSoundsFromItsFrameOnAndNotBefore)
{
    // A bass drum and a snare on the percussion channel, 400 ms apart.
    const std::vector<int16_t> s = render({{100, 0x642499}, {500, 0x642699}}, 700);
    ASSERT_EQ(s.size(), size_t(frameAt(700)) * 2);
    EXPECT_EQ(firstSoundFrame(s, 0, 100, 0), -1);
    for (const int64_t ms : {100, 500})
    {
        const int64_t onset = firstSoundFrame(s, ms - 50, ms + 50);
        EXPECT_GE(onset, frameAt(ms)) << ms;
        EXPECT_LE(onset, frameAt(ms) + 10 * kFramesPerMs) << ms;
    }
}

TEST_F(SynthMidiOutTest, ANoteOffEndsASustainedNoteAndDrumsEndByThemselves)
{
    const uint32_t organ = 0x13C0; // program 20, church organ: sounds while the key is held
    const struct
    {
        const char* name;
        std::vector<Note> notes;
        bool soundAfterRelease;
    } rows[] = {
        {"held", {{0, organ}, {10, 0x643C90}}, true},
        {"note-off", {{0, organ}, {10, 0x643C90}, {300, 0x003C80}}, false},
        {"note-on at velocity 0", {{0, organ}, {10, 0x643C90}, {300, 0x003C90}}, false},
        // Channel 10 plays the percussion set: its bass drum dies away while the key is held,
        // where the same key on channel 1 is a piano note that still sounds.
        {"key 36 held on channel 10", {{10, 0x642499}}, false},
        {"key 36 held on channel 1", {{10, 0x642490}}, true},
    };
    for (const auto& r : rows)
    {
        const std::vector<int16_t> s = render(r.notes, 2500);
        EXPECT_TRUE(soundBetween(s, 20, 120)) << r.name;
        EXPECT_EQ(soundBetween(s, 2300, 2500), r.soundAfterRelease) << r.name;
    }
}

TEST_F(SynthMidiOutTest, MessagesAreRefusedUnlessOpenAndWellFormed)
{
    auto clock = std::make_shared<SteppedClock>();
    SynthMidiOut synth(clock);
    EXPECT_EQ(synth.shortMsg(0x643C90), kMmInvalidHandle);
    EXPECT_EQ(synth.close(), kMmInvalidHandle);
    ASSERT_EQ(synth.open(), kMmNoError);
    EXPECT_EQ(synth.open(), kMmAllocated);
    EXPECT_EQ(synth.deviceName(), "built-in synth (" + findSoundFont().path + ")");
    for (const uint32_t message : {0x3Cu, 0x7F7Fu, 0xF0u, 0xF7u})
        EXPECT_EQ(synth.shortMsg(message), kMmInvalidParam) << message;
    EXPECT_EQ(synth.close(), kMmNoError);
}

TEST_F(SynthMidiOutTest, TheSettingChoosesTheBackendsAndAutoFollowsPortsAndSoundFonts)
{
    const std::string installed = findSoundFont().path;
    const std::string missing = "/nonexistent/vumo-test.sf2";
    const bool port = rtMidiHasRealOutput();
    const auto orSynth = port ? MidiBackend::RtMidi : MidiBackend::Synth;
    const auto orVirtual = port ? MidiBackend::RtMidi : MidiBackend::Virtual;
    const auto autoIn = rtMidiHasInput() ? MidiBackend::RtMidi : MidiBackend::Virtual;
    const auto rtMidi = MidiBackend::RtMidi, virt = MidiBackend::Virtual;
    const struct
    {
        std::optional<std::string> setting, soundFontEnv;
        bool usualPlaces; // false: nothing installed at the usual places
        MidiBackend out, in;
        std::string path; // the SoundFont found
        bool problem;
    } rows[] = {
        {"synth", std::nullopt, true, MidiBackend::Synth, autoIn, installed, false},
        {"virtual", std::nullopt, true, virt, virt, installed, false},
        {"rtmidi", std::nullopt, false, rtMidi, rtMidi, "", false},
        {std::nullopt, std::nullopt, true, orSynth, autoIn, installed, false},
        {"something else", std::nullopt, false, orVirtual, autoIn, "", false},
        {"auto", std::nullopt, false, orVirtual, autoIn, "", false},
        {"auto", installed, false, orSynth, autoIn, installed, false},
        {"auto", missing, true, orSynth, autoIn, installed, true},
        {"auto", missing, false, orVirtual, autoIn, "", true},
    };
    for (const auto& r : rows)
    {
        const std::string name = r.setting.value_or("(unset)") + " / " +
                                 r.soundFontEnv.value_or("(unset)") + " / " +
                                 (r.usualPlaces ? "installed" : "none installed");
        ScopedEnv backend("VUMO_MIDI_BACKEND", r.setting);
        ScopedEnv soundFont("VUMO_SOUNDFONT", r.soundFontEnv);
        if (!r.usualPlaces)
            setSoundFontSearchPaths({});
        const SoundFontChoice choice = findSoundFont();
        EXPECT_EQ(midiOutputBackend(), r.out) << name;
        EXPECT_EQ(midiInputBackend(), r.in) << name;
        EXPECT_EQ(choice.path, r.path) << name;
        EXPECT_EQ(choice.problem.find(missing) != std::string::npos, r.problem) << name;
        const auto out = makeMidiOut();
        EXPECT_EQ(!!dynamic_cast<SynthMidiOut*>(out.get()), r.out == MidiBackend::Synth) << name;
        EXPECT_EQ(!!dynamic_cast<VirtualMidiOut*>(out.get()), r.out == virt) << name;
        EXPECT_EQ(!!dynamic_cast<VirtualMidiIn*>(makeMidiIn().get()), r.in == virt) << name;
        EXPECT_EQ(midiInputNames(),
                  r.in == virt ? std::vector<std::string>{kVirtualMidiInName} : rtMidiInputNames())
            << name;
        EXPECT_EQ(midiInputCount(), int32_t(midiInputNames().size())) << name;
        resetSoundFontSearchPaths();
    }
}

TEST_F(SynthMidiOutTest, WithoutAUsableSoundFontTheSynthDoesNotOpen)
{
    testwave::TempDir dir;
    platform::test::writeText(dir.file("notes.sf2"), "not a SoundFont");
    setSoundFontSearchPaths({});
    for (const std::string& named : {dir.file("missing.sf2"), dir.file("notes.sf2")})
    {
        ScopedEnv soundFont("VUMO_SOUNDFONT", named);
        SynthMidiOut synth(std::make_shared<SteppedClock>());
        EXPECT_EQ(synth.open(), kMidiNoDevice) << named;
        EXPECT_EQ(synth.shortMsg(0x643C90), kMmInvalidHandle) << named;
    }
    resetSoundFontSearchPaths();
}
