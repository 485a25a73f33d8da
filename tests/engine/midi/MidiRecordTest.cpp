// Tests of the MIDI record list: what midiInData keeps, the capacity rule, reading the list,
// the trace log entries and calls on a closed list.
#include "MidiTestDevices.h"

#include "engine/api/Engine.h"
#include "engine/midi/Midi.h"
#include "platform/MmResult.h"

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace std::chrono_literals;
using namespace wavorn::midi;
using platform::MidiInNotice;
using wavorn::midi::test::pack;

namespace
{

class MidiRecord : public wavorn::midi::test::MidiFixture
{
protected:
    void note(uint32_t status, uint32_t data1, uint32_t data2, uint32_t timeMs,
              MidiInNotice notice = MidiInNotice::Data)
    {
        input->deliver(notice, pack(status, data1, data2), timeMs);
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
    EXPECT_EQ(getRecordData(0), 0);
    EXPECT_EQ(getRecordData(1), int32_t(pack(0x90, 60, 100)));
    EXPECT_EQ(getRecordData(2), 300);
    EXPECT_EQ(getRecordData(3), int32_t(pack(0x80, 60, 0)));
    EXPECT_EQ(getRecordData(4), 0);
    EXPECT_EQ(getRecordData(-1), 0);
    EXPECT_EQ(getRecordData(INT32_MIN), 0);
}

TEST_F(MidiRecord, OpenResetsTheDeviceAndRecordStartsIt)
{
    ASSERT_EQ(openMidiRec(64, 0), 0);
    EXPECT_EQ(getRecordLength(), -1);
    note(0x90, 60, 100, 0);
    EXPECT_EQ(getRecordLength(), -1) << "nothing arrives before RecordMidi";
    recordMidi();
    stopMidiRec();
    closeMidiRec();
    EXPECT_EQ(inputCalls,
              (std::vector<std::string>{"open 0", "reset", "stop", "start", "stop", "close"}));
}

TEST_F(MidiRecord, CapacityTenKeepsThreeEvents)
{
    ASSERT_EQ(openMidiRec(10, 0), 0);
    recordMidi();
    for (uint32_t n = 0; n < 6; ++n)
        note(0x90, 60 + n, 100, n * 10);
    EXPECT_EQ(getRecordLength(), 5);
    EXPECT_EQ(getRecordData(5), int32_t(pack(0x90, 62, 100)));
    EXPECT_EQ(getRecordData(6), 0) << "the fourth event was dropped, not written";
    EXPECT_EQ(getRecordData(7), 0);
}

TEST_F(MidiRecord, CapacitiesBelowFourRecordNothing)
{
    for (int32_t capacity : {4, 3, 0, -8})
    {
        ASSERT_EQ(openMidiRec(capacity, 0), 0) << capacity;
        recordMidi();
        note(0x90, 60, 100, 0);
        EXPECT_EQ(getRecordLength(), -1) << capacity;
        EXPECT_EQ(getRecordData(0), 0);
        EXPECT_EQ(closeMidiRec(), 0);
    }
}

TEST_F(MidiRecord, OnlyShortMessageNotificationsAreKept)
{
    ASSERT_EQ(openMidiRec(64, 0), 0);
    recordMidi();
    note(0x90, 60, 100, 1, MidiInNotice::LongData);
    note(0x90, 61, 100, 2, MidiInNotice::Error);
    note(0x90, 62, 100, 3, MidiInNotice::MoreData);
    note(0x90, 63, 100, 4, MidiInNotice::Data);
    EXPECT_EQ(getRecordLength(), 3);
    EXPECT_EQ(getRecordData(0), 3);
    EXPECT_EQ(getRecordData(2), 4);
}

TEST_F(MidiRecord, EverySystemMessageIsDroppedAndEveryChannelMessageKept)
{
    ASSERT_EQ(openMidiRec(1024, 0), 0);
    recordMidi();
    for (uint32_t status = 0xF0; status <= 0xFF; ++status)
        note(status, 0, 0, status);
    EXPECT_EQ(getRecordLength(), -1);
    for (uint32_t status = 0x80; status <= 0xEF; status += 0x10)
        note(status, 1, 2, status);
    EXPECT_EQ(getRecordLength(), 2 * 7 - 1);
    EXPECT_EQ(getRecordData(13), int32_t(pack(0xE0, 1, 2)));
}

TEST_F(MidiRecord, RecordMidiEmptiesTheListAndTimesStartAgain)
{
    ASSERT_EQ(openMidiRec(64, 0), 0);
    recordMidi();
    note(0x90, 60, 100, 500);
    EXPECT_EQ(getRecordLength(), 1);
    recordMidi();
    EXPECT_EQ(getRecordLength(), -1);
    note(0x90, 64, 100, 7);
    EXPECT_EQ(getRecordLength(), 1);
    EXPECT_EQ(getRecordData(0), 7);
}

TEST_F(MidiRecord, StopMidiRecKeepsTheListReadableAndDropsLaterInput)
{
    ASSERT_EQ(openMidiRec(64, 0), 0);
    recordMidi();
    note(0x90, 60, 100, 5);
    stopMidiRec();
    note(0x90, 61, 100, 6);
    EXPECT_EQ(getRecordLength(), 1);
    EXPECT_EQ(getRecordData(1), int32_t(pack(0x90, 60, 100)));
}

TEST_F(MidiRecord, CallsOnAClosedListAreHarmless)
{
    EXPECT_EQ(getRecordLength(), -1);
    EXPECT_EQ(getRecordData(0), 0);
    EXPECT_EQ(recordMidi(), platform::kMmInvalidHandle);
    EXPECT_EQ(stopMidiRec(), platform::kMmInvalidHandle);
    EXPECT_EQ(closeMidiRec(), platform::kMmInvalidHandle);
    ASSERT_EQ(openMidiRec(64, 0), 0);
    recordMidi();
    note(0x90, 60, 100, 5);
    EXPECT_EQ(closeMidiRec(), 0);
    EXPECT_EQ(getRecordLength(), -1);
    EXPECT_EQ(getRecordData(0), 0);
    EXPECT_EQ(closeMidiRec(), platform::kMmInvalidHandle);
}

TEST_F(MidiRecord, ADeviceNumberThatOpensNothingFailsOpenAndReset)
{
    EXPECT_EQ(openMidiRec(64, 3), platform::kMmBadDeviceId + platform::kMmInvalidHandle);
    EXPECT_EQ(getRecordLength(), -1);
    EXPECT_EQ(recordMidi(), platform::kMmInvalidHandle);
    EXPECT_EQ(stopMidiRec(), platform::kMmInvalidHandle);
    EXPECT_EQ(closeMidiRec(), platform::kMmInvalidHandle);
}

TEST_F(MidiRecord, OpeningAgainClosesTheFirstInput)
{
    const int32_t before = wavorn::midi::test::ManualMidiIn::openCount();
    ASSERT_EQ(openMidiRec(64, 0), 0);
    recordMidi();
    note(0x90, 60, 100, 5);
    EXPECT_EQ(wavorn::midi::test::ManualMidiIn::openCount(), before + 1);
    ASSERT_EQ(openMidiRec(64, 0), 0);
    EXPECT_EQ(wavorn::midi::test::ManualMidiIn::openCount(), before + 1);
    EXPECT_EQ(getRecordLength(), -1);
    EXPECT_EQ(closeMidiRec(), 0);
    EXPECT_EQ(wavorn::midi::test::ManualMidiIn::openCount(), before);
}

TEST_F(MidiRecord, EachRecordingExportWritesItsNameToTheTraceLog)
{
    wavorn::midi::test::TempFile log("trace");
    setenv("VUMO_LOG", log.path().c_str(), 1);
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
    unsetenv("VUMO_LOG");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"OpenMidiRec", "RecordMidi", "StopMidiRec",
                                                     "CloseMidiRec"}));
}

TEST_F(MidiRecord, AVirtualInputRecordsItsFileWithTheFileTimes)
{
    wavorn::midi::test::TempFile events("in");
    events.write("0 144 60 100\n5 254 0 0\n120 128 60 0\n");
    useVirtualInput(events.path());
    ASSERT_EQ(openMidiRec(256, 0), 0);
    ASSERT_EQ(recordMidi(), 0);
    for (int i = 0; i < 5000 && getRecordLength() < 3; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(stopMidiRec(), 0);
    EXPECT_EQ(getRecordLength(), 3);
    EXPECT_EQ(getRecordData(0), 0);
    EXPECT_EQ(getRecordData(2), 120);
    EXPECT_EQ(getRecordData(3), int32_t(pack(0x80, 60, 0)));
    EXPECT_EQ(closeMidiRec(), 0);
}

TEST_F(MidiRecord, ClosingWhileTheInputDeliversIsSafe)
{
    wavorn::midi::test::TempFile events("in");
    std::string text;
    for (int t = 0; t < 3000; ++t)
        text += std::to_string(t) + " 144 " + std::to_string(t % 128) + " 100\n";
    events.write(text);
    useVirtualInput(events.path());
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
