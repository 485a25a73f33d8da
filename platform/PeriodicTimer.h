// PeriodicTimer: calls a tick every period on a thread of its own, like the platform's periodic
// multimedia timer, and the process-wide timer resolution requests.
//
// Ticks follow a fixed schedule: the n-th tick is due n periods after start(), whatever the
// ticks themselves cost, so time does not drift. A tick that comes late runs at once; when the
// timer falls more than kMaxLatePeriods behind (a suspended machine), it drops the backlog and
// starts a new schedule from now.
#pragma once

#include "Clock.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace platform
{

constexpr int32_t kMinTimerPeriodMs = 1;
constexpr int32_t kMaxTimerPeriodMs = 1000000;
constexpr int32_t kMaxLatePeriods = 20;

class PeriodicTimer
{
public:
    // Runs on the timer's thread; `timer` is the timer that called it, so the tick can cancel
    // it (the way a multimedia timer callback kills its own event).
    using Tick = std::function<void(PeriodicTimer& timer)>;

    virtual ~PeriodicTimer() = default;

    // Starts ticking every periodMs milliseconds, the first tick one period from now.
    // kTimerError for a period outside kMinTimerPeriodMs ... kMaxTimerPeriodMs or an empty tick,
    // kMmAllocated while the timer still runs (cancel it first).
    virtual int32_t start(int32_t periodMs, Tick tick) = 0;
    // Stops the ticks. From inside a tick: no further tick follows and the call returns at
    // once. From any other thread: returns when no tick is running and none will run. Safe to
    // call when the timer is not running.
    virtual void cancel() = 0;
    // True from start() until a cancel.
    virtual bool running() const = 0;
};

// A timer on its own thread, timed by `clock` (steadyClock() when null). On Windows a null
// clock, without VUMO_VIRTUAL_SPEED, gives the system's multimedia timer instead
// (win/WinMmTimer.h).
std::unique_ptr<PeriodicTimer> makePeriodicTimer(std::shared_ptr<Clock> clock = nullptr);

// The system timer resolution request (timeBeginPeriod): kMmNoError, or kTimerError for a
// period outside kMinTimerPeriodMs ... kMaxTimerPeriodMs. The threads' sleeps here are as fine
// as the system allows anyway, so a request only counts; each must be released by
// timerEndPeriod with the same period, which returns kTimerError when none is outstanding. On
// Windows both also make the system's request, timeBeginPeriod and timeEndPeriod, and return
// its result when that fails.
int32_t timerBeginPeriod(int32_t periodMs);
int32_t timerEndPeriod(int32_t periodMs);
// Requests not yet released, summed over all periods (for tests).
int32_t timerPeriodRequests();

} // namespace platform
