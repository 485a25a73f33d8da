// The MIDI exports through libwavorn over the virtual MIDI devices, in real time.
#include "wavorn.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace
{

struct LogLine
{
    int64_t ms;
    int status, data1, data2;
};

class MidiExports : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string stem = (std::filesystem::temp_directory_path() /
                                  ("vumo_midi_export_" + std::to_string(getpid())))
                                     .string();
        m_outLog = stem + "_out.txt";
        m_events = stem + "_in.txt";
        std::filesystem::remove(m_outLog);
        setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
        setenv("VUMO_MIDI_BACKEND", "virtual", 1);
        setenv("VUMO_VIRTUAL_MIDI_OUT", m_outLog.c_str(), 1);
        setenv("VUMO_VIRTUAL_MIDI_IN", m_events.c_str(), 1);
    }

    void TearDown() override
    {
        StopMidi();
        CloseMidiPlay();
        CloseMidiRec();
        std::filesystem::remove(m_outLog);
        std::filesystem::remove(m_events);
    }

    std::vector<LogLine> outLog() const
    {
        std::vector<LogLine> lines;
        std::ifstream file(m_outLog);
        for (std::string text; std::getline(file, text);)
        {
            LogLine l{};
            std::istringstream(text) >> l.ms >> l.status >> l.data1 >> l.data2;
            lines.push_back(l);
        }
        return lines;
    }

    void writeEvents(const std::string& text) const { std::ofstream(m_events) << text; }

    template <class F> static bool waitUntil(F done)
    {
        for (int i = 0; i < 5000; ++i)
        {
            if (done())
                return true;
            std::this_thread::sleep_for(1ms);
        }
        return done();
    }

    std::string m_outLog;
    std::string m_events;
};

constexpr int32_t pack(int32_t status, int32_t data1, int32_t data2)
{
    return status | data1 << 8 | data2 << 16;
}

} // namespace

TEST_F(MidiExports, OpenMidiPlayOfTenKeepsThreeEvents)
{
    ASSERT_EQ(OpenMidiPlay(10), 0);
    EXPECT_EQ(AddMidi(0, pack(0x90, 60, 100)), 2);
    EXPECT_EQ(AddMidi(0, pack(0x90, 64, 100)), 4);
    EXPECT_EQ(AddMidi(0, pack(0x90, 67, 100)), 6);
    EXPECT_EQ(AddMidi(0, pack(0x90, 72, 100)), 6);
    EXPECT_EQ(PlayMidi(), 6);
    ASSERT_TRUE(waitUntil([] { return MidiPlaying() == 0; }));
    const auto log = outLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2].data1, 67);
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
    const auto log = outLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].data1, 36);
    EXPECT_EQ(log[1].data1, 42);
    EXPECT_EQ(log[2].data1, 38);
    EXPECT_GE(log[0].ms, 10);
    EXPECT_GE(log[1].ms, 10);
    EXPECT_GE(log[2].ms, 20);
}

TEST_F(MidiExports, StopMidiEmptiesTheQueue)
{
    ASSERT_EQ(OpenMidiPlay(64), 0);
    AddMidi(0, pack(0x90, 60, 100));
    AddMidi(60000, pack(0x80, 60, 0));
    PlayMidi();
    ASSERT_TRUE(waitUntil([this] { return outLog().size() == 1; }));
    EXPECT_EQ(StopMidi(), 0);
    EXPECT_EQ(MidiPlaying(), 0);
    EXPECT_EQ(PlayMidi(), 0);
    ASSERT_TRUE(waitUntil([] { return MidiPlaying() == 0; }));
    EXPECT_EQ(outLog().size(), 1u);
}

TEST_F(MidiExports, CmdMidiSendsAtOnce)
{
    ASSERT_EQ(OpenMidiPlay(64), 0);
    EXPECT_EQ(CmdMidi(0xB0, 123, 0), 0);
    const auto log = outLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].status, 0xB0);
    EXPECT_EQ(log[0].data1, 123);
}

TEST_F(MidiExports, ARecordingOfNoteOnActiveSensingAndNoteOffHoldsTwoEvents)
{
    writeEvents("0 144 60 100\n5 254 0 0\n40 128 60 0\n");
    ASSERT_EQ(OpenMidiRec(1024, 0), 0);
    ASSERT_EQ(RecordMidi(), 0);
    ASSERT_TRUE(waitUntil([] { return GetRecordLength() >= 3; }));
    std::this_thread::sleep_for(20ms);
    ASSERT_EQ(StopMidiRec(), 0);
    EXPECT_EQ(GetRecordLength(), 3);
    EXPECT_EQ(GetRecordData(0), 0);
    EXPECT_EQ(GetRecordData(1), pack(0x90, 60, 100));
    EXPECT_EQ(GetRecordData(2), 40);
    EXPECT_EQ(GetRecordData(3), pack(0x80, 60, 0));
    EXPECT_EQ(GetRecordData(-1), 0);
    EXPECT_EQ(GetRecordData(4), 0);
    EXPECT_EQ(CloseMidiRec(), 0);
}

TEST_F(MidiExports, TheVirtualInputHasOnlyDeviceZero)
{
    EXPECT_EQ(OpenMidiRec(1024, 1), 2 + 5);
    EXPECT_EQ(CloseMidiRec(), 5);
}

TEST_F(MidiExports, CallsBeforeAnyOpenAreHarmless)
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
}

TEST_F(MidiExports, ClosingDuringAPassIsSafe)
{
    for (int round = 0; round < 5; ++round)
    {
        ASSERT_EQ(OpenMidiPlay(1024), 0);
        for (int32_t t = 0; t < 400; t += 2)
            AddMidi(t, pack(0x90, t % 128, 1));
        PlayMidi();
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * round));
        EXPECT_EQ(CloseMidiPlay(), 0);
    }
}
