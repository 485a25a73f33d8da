// The virtual streams (steps, device order, frames of clock time), the speed setting and the
// periodic timer on its clocks.
#include "PlatformTestSupport.h"
#include "TestClocks.h"
#include "platform/MmResult.h"
#include "platform/PeriodicTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>

using namespace platform;
using namespace std::chrono;
using namespace platform::test;
using Log = std::vector<std::string>;
using Times = std::vector<microseconds>;

namespace
{

// Records each call as "<name>@<now>" into a shared log.
struct LoggingDevice : VirtualDevice
{
    LoggingDevice(std::string n, Log& l) : name(n), log(l) {}
    void advanceTo(uint64_t now) override { log.push_back(name + "@" + std::to_string(now)); }
    std::string name;
    Log& log;
};

// The clock times from its start of `ticks` ticks of a 10 ms timer on `clock`; tick n runs work(n).
Times tickTimes(std::shared_ptr<Clock> clock, int ticks, std::function<void(int)> work)
{
    auto timer = makePeriodicTimer(clock);
    Times times;
    std::promise<void> done;
    const auto started = clock->now();
    EXPECT_EQ(timer->start(10,
                           [&](PeriodicTimer& self)
                           {
                               times.push_back(clock->now() - started);
                               work(int(times.size()));
                               if (int(times.size()) == ticks)
                               {
                                   self.cancel();
                                   done.set_value();
                               }
                           }),
              kMmNoError);
    EXPECT_EQ(done.get_future().wait_for(10s), std::future_status::ready);
    timer->cancel();
    return times;
}

} // namespace

TEST(VirtualStreams, SteppedMovesDevicesBy1024FramesAndStreamsFollowTheClock)
{
    SteppedStream stream;
    Log log;
    LoggingDevice in("in", log), out("out", log);
    ASSERT_EQ(stream.attach(in, false), kMmNoError);
    ASSERT_EQ(stream.attach(out, true), kMmNoError);
    stream.advance(300);
    stream.advance(1800);
    EXPECT_EQ(stream.nowFrames(), 2100u);
    EXPECT_EQ(log, (Log{"out@300", "in@300", "out@1324", "in@1324", "out@2100", "in@2100"}));
    stream.detach(out);
    stream.advance(10);
    EXPECT_EQ(log,
              (Log{"out@300", "in@300", "out@1324", "in@1324", "out@2100", "in@2100", "in@2110"}));
    stream.detach(in);
    // Attach fails with "no memory" when all eight slots are taken.
    std::vector<std::unique_ptr<LoggingDevice>> devices;
    for (int i = 0; i < 9; ++i)
    {
        devices.push_back(std::make_unique<LoggingDevice>("d", log));
        EXPECT_EQ(stream.attach(*devices.back(), true), i < 8 ? kMmNoError : kMmNoMem) << i;
    }
    for (auto& d : devices)
        stream.detach(*d);
    // Frames are the time since the stream began at 44100/s; a frame's time is when it is due.
    const std::tuple<microseconds, uint64_t> rows[] = {
        {seconds(1), 44100},   {milliseconds(10), 441}, {microseconds(22), 0},
        {microseconds(23), 1}, {hours(10), 1587600000}, {microseconds(-5), 0}};
    for (const auto& [elapsed, frames] : rows)
        EXPECT_EQ(VirtualStream::framesAt(elapsed), frames) << elapsed.count() << " us";
    for (const uint64_t frames : {uint64_t(1), uint64_t(44099), uint64_t(1587600001)})
        EXPECT_EQ(VirtualStream::framesAt(VirtualStream::timeAt(frames)), frames);
    EXPECT_EQ(VirtualStream::framesAt(VirtualStream::timeAt(44099) - microseconds(1)), 44098u);
    auto clock = std::make_shared<JumpClock>();
    clock->advance(seconds(5)); // the stream starts at its clock's time
    VirtualStream onClock(clock);
    log.clear();
    ASSERT_EQ(onClock.attach(in, true), kMmNoError);
    clock->advance(milliseconds(20));
    EXPECT_EQ(std::pair(onClock.dueFrames(), onClock.nowFrames()),
              std::pair(uint64_t(882), uint64_t(0)));
    onClock.pump();
    EXPECT_EQ(onClock.nowFrames(), 882u);
    EXPECT_EQ(log, (Log{"in@882"}));
    onClock.detach(in);
    // Speeds above 0 up to 1000 are taken, anything else is 1.
    const std::pair<std::optional<std::string>, double> speeds[] = {
        {std::nullopt, 1.0}, {"8", 8.0},   {"0.5", 0.5},  {"1000", 1000.0},
        {"0", 1.0},          {"-3", 1.0},  {"5000", 1.0}, {"fast", 1.0},
        {"2x", 1.0},         {"nan", 1.0}, {"inf", 1.0},  {"", 1.0}};
    for (const auto& [text, speed] : speeds)
    {
        ScopedEnv env("VUMO_VIRTUAL_SPEED", text);
        EXPECT_EQ(virtualSpeedFromEnv(), speed) << text.value_or("(unset)");
    }
}

TEST(PeriodicTimer, KeepsATenMillisecondScheduleAgainstDrift)
{
    // Each tick costing 3 ms changes nothing. A 25 ms tick 1 makes ticks 2 and 3 (due at 20 and
    // 30) run at once and tick 4 is on time; far behind, the backlog is dropped.
    const std::pair<std::function<microseconds(int)>, Times> rows[] = {
        {[](int) { return 3ms; }, {10ms, 20ms, 30ms, 40ms, 50ms}},
        {[](int n) { return n == 1 ? 25ms : 0ms; }, {10ms, 35ms, 35ms, 40ms, 50ms}},
        {[](int n) { return n == 1 ? 1000ms : 0ms; }, {10ms, 1020ms, 1030ms}}};
    for (const auto& row : rows) // (clang 14 lambdas cannot capture structured bindings)
    {
        auto clock = std::make_shared<JumpClock>();
        EXPECT_EQ(
            tickTimes(clock, int(row.second.size()), [&](int n) { clock->advance(row.first(n)); }),
            row.second);
    }
    // In real time the ticks never come early.
    const Times times = tickTimes(std::make_shared<SteadyClock>(1.0), 5, [](int) {});
    for (size_t n = 0; n < times.size(); ++n)
        EXPECT_GE(times[n], int(n + 1) * 10ms) << "tick " << n + 1;
}

TEST(PeriodicTimer, CancelStopsAllFurtherTicksOrWaitsForTheRunningOneAndBadStartsAreRefused)
{
    auto timer = makePeriodicTimer(std::make_shared<JumpClock>());
    std::atomic<int> ticks{0};
    auto tick = [&](PeriodicTimer& self)
    {
        if (ticks.fetch_add(1) % 3 == 2)
            self.cancel();
    };
    ASSERT_EQ(timer->start(10, tick), kMmNoError);
    ASSERT_TRUE(platform::test::waitUntil([&] { return !timer->running(); }));
    // A JumpClock timer that went on would tick thousands of times.
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(ticks.load(), 3);
    ASSERT_EQ(timer->start(10, tick), kMmNoError);
    ASSERT_TRUE(platform::test::waitUntil([&] { return ticks.load() >= 6; }));
    timer->cancel();
    EXPECT_EQ(ticks.load(), 6);
    // Cancel from another thread waits for the running tick.
    auto steady = makePeriodicTimer();
    std::atomic<bool> entered{false}, finished{false};
    const auto slowTick = [&](PeriodicTimer&)
    {
        if (entered.exchange(true))
            return;
        std::this_thread::sleep_for(30ms);
        finished.store(true);
    };
    ASSERT_EQ(steady->start(1, slowTick), kMmNoError);
    ASSERT_TRUE(platform::test::waitUntil([&] { return entered.load(); }));
    steady->cancel();
    EXPECT_TRUE(finished.load());
    EXPECT_FALSE(steady->running());
    // Bad periods, empty ticks and a second start are refused.
    auto idling = makePeriodicTimer(std::make_shared<JumpClock>());
    auto idle = [](PeriodicTimer&) { std::this_thread::sleep_for(1ms); };
    EXPECT_EQ((Results{idling->start(0, idle), idling->start(-10, idle),
                       idling->start(kMaxTimerPeriodMs + 1, idle), idling->start(10, nullptr),
                       idling->running(), idling->start(10, idle), idling->running(),
                       idling->start(10, idle)}),
              (Results{kTimerError, kTimerError, kTimerError, kTimerError, false, kMmNoError, true,
                       kMmAllocated}));
    idling->cancel();
    EXPECT_FALSE(idling->running());
    idling->cancel(); // a second cancel is harmless
}
