// Tests of the periodic timer, its clocks and the timer resolution requests.
#include "platform/MmResult.h"
#include "platform/PeriodicTimer.h"
#include "platform/TimerClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using platform::JumpClock;
using platform::PeriodicTimer;

namespace
{

// Runs a timer on a JumpClock until `ticks` ticks have run; the tick before each record moves
// the clock by cost(n) to stand for the work of tick n. Returns the clock time at each tick, in ms.
std::vector<int64_t> tickTimes(int ticks, std::function<std::chrono::microseconds(int)> cost)
{
    auto clock = std::make_shared<JumpClock>();
    auto timer = platform::makePeriodicTimer(clock);
    std::vector<int64_t> times;
    std::promise<void> done;
    const int32_t rc = timer->start(10,
                                    [&](PeriodicTimer& self)
                                    {
                                        times.push_back(clock->now().count() / 1000);
                                        clock->advance(cost(int(times.size())));
                                        if (int(times.size()) == ticks)
                                        {
                                            self.cancel();
                                            done.set_value();
                                        }
                                    });
    EXPECT_EQ(rc, platform::kMmNoError);
    EXPECT_EQ(done.get_future().wait_for(10s), std::future_status::ready);
    timer->cancel();
    return times;
}

} // namespace

TEST(PeriodicTimer, TicksFollowTheScheduleWhateverEachTickCosts)
{
    const auto times = tickTimes(5, [](int) { return 3ms; });
    EXPECT_EQ(times, (std::vector<int64_t>{10, 20, 30, 40, 50}));
}

TEST(PeriodicTimer, ATickThatOverrunsIsFollowedAtOnceAndTheScheduleHolds)
{
    // Tick 1 takes 25 ms: ticks 2 and 3 (due at 20 and 30) run at once, tick 4 is on time.
    const auto times = tickTimes(5, [](int n) { return n == 1 ? 25ms : 0ms; });
    EXPECT_EQ(times, (std::vector<int64_t>{10, 35, 35, 40, 50}));
}

TEST(PeriodicTimer, FarBehindItDropsTheBacklogAndStartsAgainFromNow)
{
    const auto times = tickTimes(3, [](int n) { return n == 1 ? 1000ms : 0ms; });
    EXPECT_EQ(times, (std::vector<int64_t>{10, 1020, 1030}));
}

TEST(PeriodicTimer, CancelFromInsideTheTickStopsAllFurtherTicks)
{
    auto timer = platform::makePeriodicTimer();
    std::atomic<int> ticks{0};
    ASSERT_EQ(timer->start(1,
                           [&](PeriodicTimer& self)
                           {
                               if (ticks.fetch_add(1) + 1 == 3)
                                   self.cancel();
                           }),
              platform::kMmNoError);
    for (int i = 0; i < 2000 && ticks.load() < 3; ++i)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(ticks.load(), 3);
    EXPECT_FALSE(timer->running());
}

TEST(PeriodicTimer, StartsAgainAfterCancellingItself)
{
    auto timer = platform::makePeriodicTimer(std::make_shared<JumpClock>());
    std::atomic<int> ticks{0};
    auto tick = [&](PeriodicTimer& self)
    {
        ticks.fetch_add(1);
        self.cancel();
    };
    ASSERT_EQ(timer->start(10, tick), platform::kMmNoError);
    for (int i = 0; i < 2000 && ticks.load() < 1; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(timer->start(10, tick), platform::kMmNoError);
    for (int i = 0; i < 2000 && ticks.load() < 2; ++i)
        std::this_thread::sleep_for(1ms);
    timer->cancel();
    EXPECT_EQ(ticks.load(), 2);
}

TEST(PeriodicTimer, CancelFromAnotherThreadWaitsForTheRunningTick)
{
    auto timer = platform::makePeriodicTimer();
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
              platform::kMmNoError);
    for (int i = 0; i < 2000 && !entered.load(); ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(entered.load());
    timer->cancel();
    EXPECT_TRUE(finished.load());
    EXPECT_FALSE(timer->running());
}

TEST(PeriodicTimer, TicksNeverComeEarlyInRealTime)
{
    auto clock = platform::makeSteadyTimerClock(1.0);
    auto timer = platform::makePeriodicTimer(clock);
    std::vector<int64_t> times;
    std::promise<void> done;
    const auto started = clock->now();
    ASSERT_EQ(timer->start(10,
                           [&](PeriodicTimer& self)
                           {
                               times.push_back((clock->now() - started).count());
                               if (times.size() == 5)
                               {
                                   self.cancel();
                                   done.set_value();
                               }
                           }),
              platform::kMmNoError);
    ASSERT_EQ(done.get_future().wait_for(10s), std::future_status::ready);
    timer->cancel();
    for (size_t n = 0; n < times.size(); ++n)
        EXPECT_GE(times[n], int64_t(n + 1) * 10000) << "tick " << n + 1;
}

TEST(PeriodicTimer, RefusesBadPeriodsEmptyTicksAndASecondStart)
{
    auto timer = platform::makePeriodicTimer(std::make_shared<JumpClock>());
    auto idle = [](PeriodicTimer&) { std::this_thread::sleep_for(1ms); };
    EXPECT_EQ(timer->start(0, idle), platform::kTimerError);
    EXPECT_EQ(timer->start(-10, idle), platform::kTimerError);
    EXPECT_EQ(timer->start(platform::kMaxTimerPeriodMs + 1, idle), platform::kTimerError);
    EXPECT_EQ(timer->start(10, nullptr), platform::kTimerError);
    EXPECT_FALSE(timer->running());
    ASSERT_EQ(timer->start(10, idle), platform::kMmNoError);
    EXPECT_TRUE(timer->running());
    EXPECT_EQ(timer->start(10, idle), platform::kMmAllocated);
    timer->cancel();
    EXPECT_FALSE(timer->running());
    timer->cancel(); // a second cancel is harmless
}

TEST(PeriodicTimer, DestroyingARunningTimerStopsIt)
{
    std::atomic<int> ticks{0};
    {
        auto timer = platform::makePeriodicTimer();
        ASSERT_EQ(timer->start(1, [&](PeriodicTimer&) { ticks.fetch_add(1); }),
                  platform::kMmNoError);
        std::this_thread::sleep_for(5ms);
    }
    const int after = ticks.load();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ticks.load(), after);
}

TEST(TimerResolution, EachRequestIsReleasedOnceWithItsOwnPeriod)
{
    const int32_t before = platform::timerPeriodRequests();
    EXPECT_EQ(platform::timerBeginPeriod(10), platform::kMmNoError);
    EXPECT_EQ(platform::timerPeriodRequests(), before + 1);
    EXPECT_EQ(platform::timerEndPeriod(5), platform::kTimerError);
    EXPECT_EQ(platform::timerEndPeriod(10), platform::kMmNoError);
    EXPECT_EQ(platform::timerEndPeriod(10), platform::kTimerError);
    EXPECT_EQ(platform::timerPeriodRequests(), before);
}

TEST(TimerResolution, PeriodsOutsideTheRangeAreRefused)
{
    EXPECT_EQ(platform::timerBeginPeriod(0), platform::kTimerError);
    EXPECT_EQ(platform::timerBeginPeriod(platform::kMaxTimerPeriodMs + 1), platform::kTimerError);
}

TEST(TimerClock, AJumpClockMovesOnlyForwardAndRefusesToSleepOnceStopped)
{
    JumpClock clock;
    std::stop_source stop;
    EXPECT_TRUE(clock.sleepUntil(40ms, stop.get_token()));
    EXPECT_EQ(clock.now(), 40ms);
    EXPECT_TRUE(clock.sleepUntil(10ms, stop.get_token()));
    EXPECT_EQ(clock.now(), 40ms);
    clock.advance(5ms);
    EXPECT_EQ(clock.now(), 45ms);
    stop.request_stop();
    EXPECT_FALSE(clock.sleepUntil(100ms, stop.get_token()));
    EXPECT_EQ(clock.now(), 45ms);
}

TEST(TimerClock, ASteadySleepEndsEarlyWhenStopped)
{
    auto clock = platform::makeSteadyTimerClock(1.0);
    std::stop_source stop;
    std::thread stopper(
        [&]
        {
            std::this_thread::sleep_for(20ms);
            stop.request_stop();
        });
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(clock->sleepUntil(clock->now() + 60s, stop.get_token()));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 30s);
}

TEST(TimerClock, ASpedUpClockRunsThatManyTimesFasterThanRealTime)
{
    auto clock = platform::makeSteadyTimerClock(10.0);
    const auto start = clock->now();
    std::this_thread::sleep_for(20ms);
    EXPECT_GE(clock->now() - start, 200ms);
    // Sleeping 100 ms of clock time takes at least 10 ms of real time.
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(clock->sleepUntil(clock->now() + 100ms, std::stop_token()));
    EXPECT_GE(std::chrono::steady_clock::now() - before, 10ms);
}

TEST(TimerClock, SpeedFromTheEnvironmentAcceptsOnlySensibleFactors)
{
    const std::pair<const char*, double> cases[] = {{"10", 10.0}, {"0.5", 0.5},  {"0", 1.0},
                                                    {"-2", 1.0},  {"2000", 1.0}, {"fast", 1.0},
                                                    {"", 1.0}};
    for (const auto& [text, speed] : cases)
    {
        setenv("VUMO_VIRTUAL_SPEED", text, 1);
        EXPECT_DOUBLE_EQ(platform::timerSpeedFromEnv(), speed) << text;
    }
    unsetenv("VUMO_VIRTUAL_SPEED");
    EXPECT_DOUBLE_EQ(platform::timerSpeedFromEnv(), 1.0);
}
