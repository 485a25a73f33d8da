// TimerClock: the time base of the periodic timer and the virtual MIDI devices.
//
// The product uses steadyTimerClock(): the steady clock, run at VUMO_VIRTUAL_SPEED times real
// time when that is set (so virtual MIDI keeps pace with virtual wave devices). Unit tests use
// a JumpClock, whose time moves only when stepped by hand or when a sleeper asks for a later
// time: sleeping jumps the clock to the wake time at once, so timers and virtual devices run
// through fake time without waiting.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <stop_token>

namespace platform
{

class TimerClock
{
public:
    virtual ~TimerClock() = default;

    // Monotonic time since an arbitrary origin.
    virtual std::chrono::microseconds now() = 0;
    // Blocks until now() has reached `due` or a stop is requested on `stop`. Returns true when
    // `due` was reached, false when stopped.
    virtual bool sleepUntil(std::chrono::microseconds due, std::stop_token stop) = 0;
};

// The process-wide clock of the product (see above). VUMO_VIRTUAL_SPEED is read once, as
// the virtual devices read it (virtualSpeedFromEnv), so drums keep pace with them.
std::shared_ptr<TimerClock> steadyTimerClock();

// A TimerClock scaled by `speed`: `speed` clock microseconds pass per real microsecond.
std::shared_ptr<TimerClock> makeSteadyTimerClock(double speed);

class JumpClock final : public TimerClock
{
public:
    std::chrono::microseconds now() override { return std::chrono::microseconds(m_nowUs.load()); }

    // Jumps to `due` (never back) unless already stopped; never blocks.
    bool sleepUntil(std::chrono::microseconds due, std::stop_token stop) override
    {
        if (stop.stop_requested())
            return false;
        advanceTo(due);
        return true;
    }

    void advance(std::chrono::microseconds step) { m_nowUs.fetch_add(step.count()); }

    void advanceTo(std::chrono::microseconds when)
    {
        int64_t seen = m_nowUs.load();
        while (seen < when.count() && !m_nowUs.compare_exchange_weak(seen, when.count()))
        {
        }
    }

private:
    std::atomic<int64_t> m_nowUs{0}; // moved by every thread that sleeps on this clock
};

} // namespace platform
