// The Windows MIDI devices and timer: the input's notices, the devices Wine offers
// (VUMO_MIDI_SEQUENCER from tests/windows/run.sh), the timer and resolution requests.
#include "PlatformTestSupport.h"
#include "platform/PeriodicTimer.h"
#include "platform/win/WinMmMidiIn.h"
#include "platform/win/WinMmMidiOut.h"
#include "platform/win/WinMmTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <tuple>

using namespace platform;
using namespace std::chrono_literals;
using platform::test::Results;

TEST(MidiInGate, PassesShortLongAndErrorNoticesOnWithTheirTimeOnlyWhileOpen)
{
    using Heard = std::tuple<MidiInNotice, uint32_t, uint32_t>;
    std::vector<Heard> heard;
    MidiInGate gate([&](MidiInNotice n, uint32_t message, uint32_t timeMs)
                    { heard.emplace_back(n, message, timeMs); });
    // Notices with their first and second parameter; a long message's first is an address.
    const std::tuple<UINT, DWORD_PTR, DWORD_PTR> notices[] = {
        {MIM_OPEN, 0, 0},         {MIM_DATA, 0x403C90, 5}, {MIM_MOREDATA, 0x3C80, 6},
        {MIM_LONGDATA, 0xAB0, 7}, {MIM_ERROR, 0x12F4, 8},  {MIM_LONGERROR, 0xAB0, 9},
        {MIM_CLOSE, 0, 0}};
    const auto deliverAll = [&]
    {
        for (const auto& [message, first, second] : notices)
            gate.deliver(message, first, second);
    };
    deliverAll(); // before open
    gate.open();
    deliverAll();
    gate.shut();
    deliverAll();
    EXPECT_EQ(heard, (std::vector<Heard>{{MidiInNotice::Data, 0x403C90, 5},
                                         {MidiInNotice::MoreData, 0x3C80, 6},
                                         {MidiInNotice::LongData, 0, 7},
                                         {MidiInNotice::Error, 0x12F4, 8},
                                         {MidiInNotice::Error, 0, 9}}));
}

TEST(WinMmMidi, OpensTheMapperAndTheInputsTheSystemOffersAndRefusesWhatItLacks)
{
    const char* sequencer = std::getenv("VUMO_MIDI_SEQUENCER");
    if (sequencer == nullptr)
        GTEST_SKIP() << "tests/windows/run.sh says whether this machine has a MIDI sequencer";
    WinMmMidiOut out;
    WinMmMidiIn in;
    const auto ignore = [](MidiInNotice, uint32_t, uint32_t) {};
    EXPECT_EQ((Results{out.shortMsg(0x90), in.start(), in.open(-1, ignore), in.close()}),
              (Results{kMmInvalidHandle, kMmInvalidHandle, kMmBadDeviceId, kMmInvalidHandle}));
    if (std::string(sequencer) == "absent")
    {
        // Wine's MIDI devices are the ALSA sequencer's ports: without it there are none.
        EXPECT_EQ((Results{int32_t(midiOutGetNumDevs()), int32_t(midiInGetNumDevs())}),
                  (Results{0, 0}));
        EXPECT_EQ((Results{out.open(), in.open(0, ignore)}),
                  (Results{kMidiNoDevice, kMmBadDeviceId}));
        return;
    }
    ASSERT_GT(midiOutGetNumDevs(), 0u) << "the sequencer's ports should be MIDI devices";
    ASSERT_GT(midiInGetNumDevs(), 0u);
    EXPECT_EQ((Results{out.open(), out.open(), out.shortMsg(0x403C90), out.shortMsg(0x3C80),
                       out.close()}),
              (Results{kMmNoError, kMmAllocated, kMmNoError, kMmNoError, kMmNoError}));
    EXPECT_EQ((Results{in.open(0, ignore), in.open(0, ignore), in.start(), in.stop(), in.reset(),
                       in.close()}),
              (Results{kMmNoError, kMmAllocated, kMmNoError, kMmNoError, kMmNoError, kMmNoError}));
}

TEST(MultimediaTimer, TicksUntilCancelledFromItsTickOrFromOutsideAndThenNeverAgain)
{
    for (const bool fromTick : {true, false})
    {
        SCOPED_TRACE(fromTick ? "cancelled by its fifth tick" : "cancelled from outside");
        const auto timer = makeMultimediaTimer();
        std::atomic<int> ticks{0};
        ASSERT_EQ(timer->start(10,
                               [&](PeriodicTimer& t)
                               {
                                   if (ticks.fetch_add(1) + 1 == 5 && fromTick)
                                       t.cancel();
                               }),
                  kMmNoError);
        EXPECT_EQ(timer->start(10, [](PeriodicTimer&) {}), kMmAllocated);
        ASSERT_TRUE(platform::test::waitUntil([&] { return ticks.load() >= 5; }));
        if (!fromTick)
            timer->cancel();
        EXPECT_TRUE(platform::test::waitUntil([&] { return !timer->running(); }));
        const int seen = ticks.load();
        std::this_thread::sleep_for(100ms); // ten periods
        EXPECT_EQ(ticks.load(), seen);
        EXPECT_TRUE(ticks.load() == 5 || !fromTick) << "a tick after the fifth cancelled it";
    }
    EXPECT_EQ(makeMultimediaTimer()->start(0, [](PeriodicTimer&) {}), kTimerError);
}

TEST(MultimediaTimer, ResolutionRequestsAreTheSystemsAndEachEndsOnce)
{
    const int32_t before = timerPeriodRequests();
    EXPECT_EQ((Results{timerBeginPeriod(10), timerPeriodRequests() - before, timerEndPeriod(10),
                       timerEndPeriod(10), timerBeginPeriod(0), timerPeriodRequests() - before}),
              (Results{kMmNoError, 1, kMmNoError, kTimerError, kTimerError, 0}));
}
