// Tests of the virtual MIDI output (the message log) and the virtual MIDI input (the events
// file played back at its times).
#include "PlatformTestSupport.h"
#include "platform/MmResult.h"
#include "platform/TimerClock.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace platform;
using platform::test::fileLines;
using platform::test::Lines;
using platform::test::ScopedEnv;
using platform::test::writeText;

namespace
{

constexpr uint32_t pack(uint32_t status, uint32_t data1, uint32_t data2)
{
    return status | data1 << 8 | data2 << 16;
}

struct Received
{
    MidiInNotice notice;
    uint32_t message;
    uint32_t timeMs;
    int64_t clockMs; // the clock when it arrived, relative to startMs
    bool operator==(const Received&) const = default;
};

// A virtual input on `clock` playing an events file, and what it delivers (from its thread).
class MidiInTest : public ::testing::Test
{
protected:
    // Opens the input on `c`, playing `text` as its events file.
    void open(std::shared_ptr<TimerClock> c, const char* text)
    {
        clock = std::move(c);
        writeText(events, text);
        in = std::make_unique<VirtualMidiIn>(clock, events);
        ASSERT_EQ(in->open(0,
                           [this](MidiInNotice n, uint32_t message, uint32_t timeMs)
                           {
                               std::lock_guard lock(mutex);
                               got.push_back({n, message, timeMs, nowMs() - startMs});
                           }),
                  kMmNoError);
    }
    int64_t nowMs() const { return clock->now().count() / 1000; }

    // What has arrived once `count` events have, or after 5 s.
    std::vector<Received> waitFor(size_t count)
    {
        const auto end = std::chrono::steady_clock::now() + 5s;
        for (;;)
        {
            {
                std::lock_guard lock(mutex);
                if (got.size() >= count || std::chrono::steady_clock::now() >= end)
                    return got;
            }
            std::this_thread::sleep_for(1ms);
        }
    }

    testwave::TempDir dir;
    std::string events = dir.file("in.txt");
    std::shared_ptr<TimerClock> clock;
    int64_t startMs = 0;
    std::mutex mutex;
    std::vector<Received> got;
    std::unique_ptr<VirtualMidiIn> in; // last, so its thread ends before the rest goes
};

} // namespace

TEST(VirtualMidiOut, AppendsEachMessageToItsLogWithItsMillisecondsSinceOpen)
{
    testwave::TempDir dir;
    const std::string log = dir.file("out.txt");
    writeText(log, "0 176 7 100\n");
    auto clock = std::make_shared<JumpClock>();
    clock->advance(5ms);
    VirtualMidiOut out(clock, log);
    ASSERT_EQ(out.open(), kMmNoError);
    clock->advance(7ms);
    EXPECT_EQ(out.shortMsg(pack(0x90, 60, 100)), kMmNoError);
    clock->advance(3500us);
    EXPECT_EQ(out.shortMsg(pack(0x80, 60, 0)), kMmNoError);
    EXPECT_EQ(out.close(), kMmNoError);
    EXPECT_EQ(fileLines(log), (Lines{"0 176 7 100", "7 144 60 100", "10 128 60 0"}));
    EXPECT_EQ(out.sentCount(), 2);
}

TEST(VirtualMidiOut, WithoutALogOnlyCountsAndCallsOutOfOrderGiveDeviceErrors)
{
    ScopedEnv noLog("VUMO_VIRTUAL_MIDI_OUT", std::nullopt);
    VirtualMidiOut out(std::make_shared<JumpClock>());
    EXPECT_EQ(out.shortMsg(pack(0x90, 60, 100)), kMmInvalidHandle);
    EXPECT_EQ(out.close(), kMmInvalidHandle);
    ASSERT_EQ(out.open(), kMmNoError);
    EXPECT_EQ(out.open(), kMmAllocated);
    EXPECT_EQ(out.shortMsg(pack(0x90, 1, 2)), kMmNoError);
    EXPECT_EQ(out.sentCount(), 1);
    EXPECT_EQ(out.close(), kMmNoError);
    EXPECT_EQ(out.close(), kMmInvalidHandle);
}

TEST(VirtualMidiIn, OffersExactlyOneDevice)
{
    VirtualMidiIn in(std::make_shared<JumpClock>());
    auto ignore = [](MidiInNotice, uint32_t, uint32_t) {};
    EXPECT_EQ(in.open(1, ignore), kMmBadDeviceId);
    EXPECT_EQ(in.open(-1, ignore), kMmBadDeviceId);
    EXPECT_EQ(in.open(0, nullptr), kMmInvalidParam);
    EXPECT_EQ(in.open(0, ignore), kMmNoError);
    EXPECT_EQ(in.open(0, ignore), kMmAllocated);
    EXPECT_EQ(in.close(), kMmNoError);
    EXPECT_EQ(in.close(), kMmInvalidHandle);
    EXPECT_EQ(in.start(), kMmInvalidHandle);
    EXPECT_EQ(in.stop(), kMmInvalidHandle);
    EXPECT_EQ(in.reset(), kMmInvalidHandle);
}

TEST_F(MidiInTest, DeliversTheFileEventsAtTheirTimesWithThoseTimeStamps)
{
    auto jump = std::make_shared<JumpClock>();
    jump->advance(1000ms);
    startMs = 1000;
    open(jump, "0 144 60 100\n5 254 0 0\n10 128 60 0\n");
    ASSERT_EQ(in->reset(), kMmNoError);
    ASSERT_EQ(in->start(), kMmNoError);
    const auto e = waitFor(3);
    EXPECT_EQ(in->stop(), kMmNoError);
    EXPECT_EQ(in->close(), kMmNoError);
    // Each stamped with its time and delivered when the clock reached it.
    EXPECT_EQ(e, (std::vector<Received>{{MidiInNotice::Data, pack(0x90, 60, 100), 0, 0},
                                        {MidiInNotice::Data, pack(0xFE, 0, 0), 5, 5},
                                        {MidiInNotice::Data, pack(0x80, 60, 0), 10, 10}}));
}

TEST_F(MidiInTest, WaitsInRealTimeForAnEventNotYetDueAndStopEndsTheWaitAtOnce)
{
    open(makeSteadyTimerClock(1.0), "0 144 60 100\n30 128 60 0\n600000 128 61 0\n");
    startMs = nowMs();
    ASSERT_EQ(in->start(), kMmNoError);
    const auto e = waitFor(2);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].timeMs, 30u);
    EXPECT_GE(e[1].clockMs, 29); // whole milliseconds on both sides of the subtraction
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(in->stop(), kMmNoError);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 60s);
    EXPECT_EQ(waitFor(0).size(), 2u);
    EXPECT_EQ(in->close(), kMmNoError);
}

TEST_F(MidiInTest, NothingArrivesBeforeStartAndEachStartPlaysTheFileAgain)
{
    open(std::make_shared<JumpClock>(), "2 144 64 90\n");
    std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(waitFor(0).empty());
    ASSERT_EQ(in->start(), kMmNoError);
    ASSERT_EQ(waitFor(1).size(), 1u);
    in->stop();
    startMs = nowMs();
    ASSERT_EQ(in->start(), kMmNoError);
    const auto e = waitFor(2);
    in->close();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1], (Received{MidiInNotice::Data, pack(0x90, 64, 90), 2, 2}));
}

TEST(VirtualMidiIn, EventsFileSkipsLinesThatAreNotFourNumbers)
{
    testwave::TempDir dir;
    writeText(dir.file("in.txt"), "# header\n0 144 60 100\n12 128 60\n\n7 128 60 0 extra\nx 1 2 3\n"
                                  "4294967296 144 1 1\n4294967295 300 1 1\n");
    const auto e = readMidiEventsFile(dir.file("in.txt"));
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].timeMs, 0u);
    EXPECT_EQ(e[0].message, pack(0x90, 60, 100));
    EXPECT_EQ(e[1].timeMs, 7u);
    EXPECT_EQ(e[2].timeMs, 4294967295u);
    EXPECT_EQ(e[2].message, pack(300 & 0xFF, 1, 1));
    EXPECT_TRUE(readMidiEventsFile(dir.file("missing.txt")).empty());
}
