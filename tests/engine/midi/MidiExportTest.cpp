// The MIDI exports through libwavorn over the virtual MIDI devices, in real time.
#include "tests/engine/TestWave.h"
#include "tests/platform/PlatformTestSupport.h"
#include "wavorn.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using platform::test::ScopedEnv;

namespace
{

constexpr int32_t pack(int32_t status, int32_t data1, int32_t data2)
{
    return status | data1 << 8 | data2 << 16;
}

class MidiExports : public ::testing::Test
{
protected:
    void TearDown() override
    {
        StopMidi();
        CloseMidiPlay();
        CloseMidiRec();
    }

    // The lines the virtual output has logged: "<ms since open> <status> <data1> <data2>".
    platform::test::Lines sent() const { return platform::test::fileLines(dir.file("out.txt")); }
    static std::string message(const std::string& line) { return line.substr(line.find(' ') + 1); }

    // Sleeps in 1 ms steps until `done` holds, for at most 5 s.
    template <class F> static bool waitUntil(F done)
    {
        for (int i = 0; i < 5000 && !done(); ++i)
            std::this_thread::sleep_for(1ms);
        return done();
    }

    testwave::TempDir dir;
    ScopedEnv audio{"VUMO_AUDIO_BACKEND", "virtual"};
    ScopedEnv midi{"VUMO_MIDI_BACKEND", "virtual"};
    ScopedEnv out{"VUMO_VIRTUAL_MIDI_OUT", dir.file("out.txt")};
    ScopedEnv in{"VUMO_VIRTUAL_MIDI_IN", dir.file("in.txt")};
};

} // namespace

TEST_F(MidiExports, OpenMidiPlayOfTenKeepsThreeEventsAndCmdMidiSendsAtOnce)
{
    ASSERT_EQ(OpenMidiPlay(10), 0);
    EXPECT_EQ(CmdMidi(0xB0, 123, 0), 0);
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(message(sent()[0]), "176 123 0");
    const int notes[] = {60, 64, 67, 72};
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(AddMidi(0, pack(0x90, notes[n], 100)), std::min(2 * n + 2, 6)) << n;
    EXPECT_EQ(PlayMidi(), 6);
    ASSERT_TRUE(waitUntil([] { return MidiPlaying() == 0; }));
    const auto log = sent();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(message(log[3]), "144 67 100");
}

TEST_F(MidiExports, EventsAtFiveAndNineGoOutOnTheFirstTickAndTenOnTheSecond)
{
    ASSERT_EQ(OpenMidiPlay(64), 0);
    AddMidi(5, pack(0x99, 36, 100));
    AddMidi(9, pack(0x99, 42, 90));
    AddMidi(10, pack(0x99, 38, 80));
    EXPECT_EQ(PlayMidi(), 6);
    EXPECT_EQ(MidiPlaying(), 1);
    ASSERT_TRUE(waitUntil([] { return MidiPlaying() == 0; }));
    EXPECT_EQ(GetMidiTimer(), 0);
    EXPECT_EQ(CloseMidiPlay(), 0);
    // In real time only lower bounds hold: tick n comes no sooner than n periods after PlayMidi
    // (and the output opened before that).
    const auto log = sent();
    ASSERT_EQ(log.size(), 3u);
    const char* messages[] = {"153 36 100", "153 42 90", "153 38 80"};
    const int earliest[] = {10, 10, 20};
    for (size_t n = 0; n < 3; ++n)
    {
        EXPECT_EQ(message(log[n]), messages[n]);
        EXPECT_GE(std::stoi(log[n]), earliest[n]);
    }
}

TEST_F(MidiExports, StopMidiEmptiesTheQueue)
{
    ASSERT_EQ(OpenMidiPlay(64), 0);
    AddMidi(0, pack(0x90, 60, 100));
    AddMidi(60000, pack(0x80, 60, 0));
    PlayMidi();
    ASSERT_TRUE(waitUntil([this] { return sent().size() == 1; }));
    EXPECT_EQ(StopMidi(), 0);
    EXPECT_EQ(MidiPlaying(), 0);
    EXPECT_EQ(PlayMidi(), 0);
    ASSERT_TRUE(waitUntil([] { return MidiPlaying() == 0; }));
    EXPECT_EQ(sent().size(), 1u);
}

TEST_F(MidiExports, ARecordingOfNoteOnActiveSensingAndNoteOffHoldsTwoEvents)
{
    platform::test::writeText(dir.file("in.txt"), "0 144 60 100\n5 254 0 0\n40 128 60 0\n");
    ASSERT_EQ(OpenMidiRec(1024, 0), 0);
    ASSERT_EQ(RecordMidi(), 0);
    ASSERT_TRUE(waitUntil([] { return GetRecordLength() >= 3; }));
    std::this_thread::sleep_for(20ms);
    ASSERT_EQ(StopMidiRec(), 0);
    EXPECT_EQ(GetRecordLength(), 3);
    const int32_t words[] = {0, pack(0x90, 60, 100), 40, pack(0x80, 60, 0), 0};
    for (int32_t n = 0; n < 5; ++n)
        EXPECT_EQ(GetRecordData(n), words[n]) << n;
    EXPECT_EQ(GetRecordData(-1), 0);
    EXPECT_EQ(CloseMidiRec(), 0);
}

TEST_F(MidiExports, CallsBeforeAnyOpenAreHarmlessAndTheVirtualInputHasOnlyDeviceZero)
{
    EXPECT_EQ(AddMidi(0, 0x90), 0);
    EXPECT_EQ(PlayMidi(), 0);
    EXPECT_EQ(MidiPlaying(), 0);
    EXPECT_EQ(StopMidi(), 0);
    EXPECT_EQ(CmdMidi(0x90, 60, 100), 5);
    EXPECT_EQ(CloseMidiPlay(), 5);
    EXPECT_EQ(GetRecordLength(), -1);
    EXPECT_EQ(GetRecordData(0), 0);
    EXPECT_EQ(RecordMidi(), 5);
    EXPECT_EQ(StopMidiRec(), 5);
    EXPECT_EQ(CloseMidiRec(), 5);
    EXPECT_EQ(OpenMidiRec(1024, 1), 2 + 5);
    EXPECT_EQ(CloseMidiRec(), 5);
}

TEST_F(MidiExports, CapacitiesAbove16MWordsAreRefusedWith11AndChangeNothing)
{
    ASSERT_EQ(OpenMidiPlay(16 * 1024 * 1024), 0); // the limit itself is accepted
    ASSERT_EQ(OpenMidiPlay(10), 0);
    ASSERT_EQ(OpenMidiRec(64, 0), 0);
    EXPECT_EQ(OpenMidiPlay(16 * 1024 * 1024 + 1), 11);
    EXPECT_EQ(OpenMidiPlay(INT32_MAX), 11);
    EXPECT_EQ(OpenMidiRec(1111638594, 0), 11); // a fuzzer's: 4.4 GB asked for
    // The open queue (capacity 10: three events) and list are still there.
    for (int n = 0; n < 4; ++n)
        AddMidi(0, pack(0x90, 60, 100));
    EXPECT_EQ(AddMidi(0, pack(0x90, 60, 100)), 6);
    EXPECT_EQ(CloseMidiPlay(), 0);
    EXPECT_EQ(CloseMidiRec(), 0);
}
