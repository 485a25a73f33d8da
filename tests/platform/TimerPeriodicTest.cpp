// Tests of the periodic timer, its clocks and the timer resolution requests.
#include "platform/MmResult.h"
#include "platform/PeriodicTimer.h"
#include "platform/TimerClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace platform;

namespace
{

using Times = std::vector<std::chrono::microseconds>;

// Runs a 10 ms timer on `clock` for `ticks` ticks, calling work(n) inside tick n; returns the
// clock time of each tick from the start.
Times tickTimes(std::shared_ptr<TimerClock> clock, int ticks, std::function<void(int)> work)
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

// Sleeps in 1 ms steps until `done` holds, for at most 2 s.
template <class Done> bool waitUntil(Done done)
{
    for (int i = 0; i < 2000 && !done(); ++i)
        std::this_thread::sleep_for(1ms);
    return done();
}

} // namespace

TEST(PeriodicTimer, KeepsATenMillisecondScheduleAgainstDrift)
{
    // Each tick costing 3 ms changes nothing. A 25 ms tick 1 makes ticks 2 and 3 (due at 20 and
    // 30) run at once and tick 4 is on time; far behind, the backlog is dropped.
    const struct
    {
        std::function<std::chrono::microseconds(int)> cost;
        Times times;
    } rows[] = {{[](int) { return 3ms; }, {10ms, 20ms, 30ms, 40ms, 50ms}},
                {[](int n) { return n == 1 ? 25ms : 0ms; }, {10ms, 35ms, 35ms, 40ms, 50ms}},
                {[](int n) { return n == 1 ? 1000ms : 0ms; }, {10ms, 1020ms, 1030ms}}};
    for (const auto& r : rows)
    {
        auto clock = std::make_shared<JumpClock>();
        const auto work = [&](int n) { clock->advance(r.cost(n)); };
        EXPECT_EQ(tickTimes(clock, int(r.times.size()), work), r.times);
    }
    // In real time the ticks never come early.
    const Times times = tickTimes(makeSteadyTimerClock(1.0), 5, [](int) {});
    for (size_t n = 0; n < times.size(); ++n)
        EXPECT_GE(times[n], int(n + 1) * 10ms) << "tick " << n + 1;
}

TEST(PeriodicTimer, CancelFromInsideTheTickStopsAllFurtherTicksAndItStartsAgain)
{
    auto timer = makePeriodicTimer(std::make_shared<JumpClock>());
    std::atomic<int> ticks{0};
    auto tick = [&](PeriodicTimer& self)
    {
        if (ticks.fetch_add(1) % 3 == 2)
            self.cancel();
    };
    ASSERT_EQ(timer->start(10, tick), kMmNoError);
    ASSERT_TRUE(waitUntil([&] { return !timer->running(); }));
    std::this_thread::sleep_for(
        30ms); // a JumpClock timer that went on would tick thousands of times
    EXPECT_EQ(ticks.load(), 3);
    ASSERT_EQ(timer->start(10, tick), kMmNoError);
    ASSERT_TRUE(waitUntil([&] { return ticks.load() >= 6; }));
    timer->cancel();
    EXPECT_EQ(ticks.load(), 6);
}

TEST(PeriodicTimer, CancelFromAnotherThreadWaitsForTheRunningTick)
{
    auto timer = makePeriodicTimer();
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
    ASSERT_EQ(timer->start(1,
                           [&](PeriodicTimer&)
                           {
                               if (entered.exchange(true))
                                   return;
                               std::this_thread::sleep_for(30ms);
                               finished.store(true);
                           }),
              kMmNoError);
    ASSERT_TRUE(waitUntil([&] { return entered.load(); }));
    timer->cancel();
    EXPECT_TRUE(finished.load());
    EXPECT_FALSE(timer->running());
}

TEST(PeriodicTimer, RefusesBadPeriodsEmptyTicksAndASecondStart)
{
    auto timer = makePeriodicTimer(std::make_shared<JumpClock>());
    auto idle = [](PeriodicTimer&) { std::this_thread::sleep_for(1ms); };
    for (const int32_t period : {0, -10, kMaxTimerPeriodMs + 1})
        EXPECT_EQ(timer->start(period, idle), kTimerError) << period;
    EXPECT_EQ(timer->start(10, nullptr), kTimerError);
    EXPECT_FALSE(timer->running());
    ASSERT_EQ(timer->start(10, idle), kMmNoError);
    EXPECT_TRUE(timer->running());
    EXPECT_EQ(timer->start(10, idle), kMmAllocated);
    timer->cancel();
    EXPECT_FALSE(timer->running());
    timer->cancel(); // a second cancel is harmless
}

TEST(TimerResolution, EachRequestInRangeIsReleasedOnceWithItsOwnPeriod)
{
    EXPECT_EQ(timerBeginPeriod(0), kTimerError);
    EXPECT_EQ(timerBeginPeriod(kMaxTimerPeriodMs + 1), kTimerError);
    const int32_t before = timerPeriodRequests();
    EXPECT_EQ(timerBeginPeriod(10), kMmNoError);
    EXPECT_EQ(timerPeriodRequests(), before + 1);
    EXPECT_EQ(timerEndPeriod(5), kTimerError);
    EXPECT_EQ(timerEndPeriod(10), kMmNoError);
    EXPECT_EQ(timerEndPeriod(10), kTimerError);
    EXPECT_EQ(timerPeriodRequests(), before);
}

TEST(TimerClock, ASpedUpClockRunsThatManyTimesFasterThanRealTime)
{
    auto clock = makeSteadyTimerClock(10.0);
    const auto start = clock->now();
    std::this_thread::sleep_for(20ms);
    EXPECT_GE(clock->now() - start, 200ms);
    // Sleeping 100 ms of clock time takes at least 10 ms of real time.
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(clock->sleepUntil(clock->now() + 100ms, std::stop_token()));
    EXPECT_GE(std::chrono::steady_clock::now() - before, 10ms);
}
