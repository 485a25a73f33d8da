// Tests of the MIDI record list: what midiInData keeps, the capacity rule, reading the list,
// the trace log entries and calls on a closed list.
#include "MidiTestDevices.h"

#include "engine/api/Engine.h"

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using namespace wavorn::midi;
using namespace wavorn::midi::test;
using platform::MidiInNotice;

namespace
{

class MidiRecord : public MidiFixture
{
protected:
    void note(uint32_t status, uint32_t data1, uint32_t data2, uint32_t timeMs,
              MidiInNotice notice = MidiInNotice::Data)
    {
        input->deliver(notice, uint32_t(pack(status, data1, data2)), timeMs);
    }
};

} // namespace

TEST_F(MidiRecord, NoteOnActiveSensingAndNoteOffStoreTwoEvents)
{
    ASSERT_EQ(openMidiRec(64, 0), 0);
    ASSERT_EQ(recordMidi(), 0);
    note(0x90, 60, 100, 0);
    note(0xFE, 0, 0, 150);
    note(0x80, 60, 0, 300);
    ASSERT_EQ(stopMidiRec(), 0);
    EXPECT_EQ(getRecordLength(), 3);
    const int32_t words[] = {0, pack(0x90, 60, 100), 300, pack(0x80, 60, 0), 0};
    for (int32_t n = 0; n < 5; ++n)
        EXPECT_EQ(getRecordData(n), words[n]) << n;
    EXPECT_EQ(getRecordData(-1), 0);
    EXPECT_EQ(getRecordData(INT32_MIN), 0);
}

TEST_F(MidiRecord, OpenResetsTheInputRecordStartsItOpeningAgainClosesItAndClosedCallsAreHarmless)
{
    ASSERT_EQ(openMidiRec(64, 0), 0);
    note(0x90, 60, 100, 0);
    EXPECT_EQ(getRecordLength(), -1) << "nothing arrives before RecordMidi";
    recordMidi();
    note(0x90, 60, 100, 5);
    stopMidiRec();
    EXPECT_EQ(getRecordLength(), 1);
    ASSERT_EQ(openMidiRec(64, 0), 0);
    EXPECT_EQ(getRecordLength(), -1) << "the new list starts empty";
    closeMidiRec();
    EXPECT_EQ(inputCalls, (Lines{"open 0", "reset", "stop", "start", "stop", "close", "open 0",
                                 "reset", "close"}));
    EXPECT_EQ(getRecordLength(), -1);
    EXPECT_EQ(getRecordData(0), 0);
    EXPECT_EQ(openMidiRec(64, 3), platform::kMmBadDeviceId + platform::kMmInvalidHandle);
    EXPECT_EQ(getRecordLength(), -1);
    EXPECT_EQ(recordMidi(), platform::kMmInvalidHandle);
    EXPECT_EQ(stopMidiRec(), platform::kMmInvalidHandle);
    EXPECT_EQ(closeMidiRec(), platform::kMmInvalidHandle);
    EXPECT_EQ(closeMidiRec(), platform::kMmInvalidHandle);
}

TEST_F(MidiRecord, ACapacityKeepsTheEventsThatFitBeforeTheScratchPairAndBelowFourNone)
{
    const std::pair<int32_t, int32_t> rows[] = {{-8, 0}, {0, 0}, {3, 0}, {4, 0}, {7, 2}, {10, 3}};
    for (const auto& [capacity, kept] : rows)
    {
        ASSERT_EQ(openMidiRec(capacity, 0), 0) << capacity;
        recordMidi();
        for (uint32_t n = 0; n < 6; ++n)
            note(0x90, 60 + n, 100, n * 10);
        EXPECT_EQ(getRecordLength(), 2 * kept - 1) << capacity;
        if (kept > 0)
        {
            EXPECT_EQ(getRecordData(2 * kept - 1), pack(0x90, 60 + uint32_t(kept) - 1, 100));
        }
        EXPECT_EQ(getRecordData(2 * kept), 0) << "a dropped event is not written";
        EXPECT_EQ(getRecordData(2 * kept + 1), 0) << capacity;
        EXPECT_EQ(closeMidiRec(), 0);
    }
}

TEST_F(MidiRecord, OnlyShortChannelMessagesAreKept)
{
    ASSERT_EQ(openMidiRec(1024, 0), 0);
    recordMidi();
    note(0x90, 60, 100, 1, MidiInNotice::LongData);
    note(0x90, 60, 100, 2, MidiInNotice::Error);
    for (uint32_t status = 0xF0; status <= 0xFF; ++status)
        note(status, 0, 0, status);
    EXPECT_EQ(getRecordLength(), -1);
    note(0x90, 60, 100, 3, MidiInNotice::MoreData);
    for (uint32_t status = 0x80; status <= 0xEF; status += 0x10)
        note(status, 1, 2, status);
    EXPECT_EQ(getRecordLength(), 2 * 8 - 1);
    EXPECT_EQ(getRecordData(0), 3);
    EXPECT_EQ(getRecordData(2), 0x80);
    EXPECT_EQ(getRecordData(15), pack(0xE0, 1, 2));
}

TEST_F(MidiRecord, RecordMidiEmptiesTheListAndStopMidiRecKeepsItReadable)
{
    ASSERT_EQ(openMidiRec(64, 0), 0);
    recordMidi();
    note(0x90, 60, 100, 500);
    EXPECT_EQ(getRecordLength(), 1);
    recordMidi();
    EXPECT_EQ(getRecordLength(), -1);
    note(0x90, 64, 100, 7);
    stopMidiRec();
    note(0x90, 61, 100, 9);
    EXPECT_EQ(getRecordLength(), 1);
    EXPECT_EQ(getRecordData(0), 7);
    EXPECT_EQ(getRecordData(1), pack(0x90, 64, 100));
}

TEST_F(MidiRecord, EachRecordingExportAndTheOutputInUseAreWrittenToTheTraceLog)
{
    platform::test::ScopedEnv log("VUMO_LOG", dir.file("trace.txt"));
    wavorn::engine().logging = true;
    openMidiRec(64, 0);
    recordMidi();
    getRecordLength();
    getRecordData(0);
    stopMidiRec();
    closeMidiRec();
    openMidiPlay(16);
    addMidi(0, 0x90);
    cmdMidi(0x90, 1, 1);
    closeMidiPlay();
    wavorn::engine().logging = false;
    EXPECT_EQ(platform::test::fileLines(dir.file("trace.txt")),
              (Lines{"OpenMidiRec", "RecordMidi", "StopMidiRec", "CloseMidiRec",
                     "MIDI output: Vumo Virtual MIDI Out"}));
}

TEST_F(MidiRecord, ClosingWhileTheInputDeliversIsSafe)
{
    std::string events;
    for (int t = 0; t < 3000; ++t)
        events += std::to_string(t) + " 144 " + std::to_string(t % 128) + " 100\n";
    useVirtualInput(events);
    for (int round = 0; round < 20; ++round)
    {
        ASSERT_EQ(openMidiRec(1024, 0), 0);
        ASSERT_EQ(recordMidi(), 0);
        if (round % 2 == 0)
            std::this_thread::sleep_for(1ms);
        if (round % 3 == 0)
            recordMidi();
        EXPECT_LE(getRecordLength(), 1024 - 4 - 1);
        EXPECT_EQ(closeMidiRec(), 0);
    }
}
