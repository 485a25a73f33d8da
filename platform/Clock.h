// Clock: the one time base of the device layer: the periodic timer's ticks, the virtual wave
// devices' stream (virtual/VirtualStream.h), the virtual MIDI devices and MIDI input stamps.
//
// The product runs on steady clocks: real time, or VUMO_VIRTUAL_SPEED times real time for runs on
// the virtual devices, so that every virtual device and the timer keep one pace. Tests hand the
// devices clocks that move only when stepped (tests/platform/TestClocks.h), so they never wait.
#pragma once

#include <chrono>
#include <memory>
#include <stop_token>

namespace platform
{

class Clock
{
public:
    virtual ~Clock() = default;

    // Monotonic time since an arbitrary origin.
    virtual std::chrono::microseconds now() = 0;
    // Blocks until now() has reached `due` or a stop is requested on `stop`. Returns true when
    // `due` was reached, false when stopped.
    virtual bool sleepUntil(std::chrono::microseconds due, std::stop_token stop) = 0;
};

// The steady clock run at `speed` times real time: `speed` clock microseconds pass per real one.
class SteadyClock final : public Clock
{
public:
    // Speeds above 0 up to 1000; anything else runs at real time.
    explicit SteadyClock(double speed = 1.0);

    std::chrono::microseconds now() override;
    bool sleepUntil(std::chrono::microseconds due, std::stop_token stop) override;
    double speed() const { return m_speed; }

private:
    using Steady = std::chrono::steady_clock;
    double m_speed;
    Steady::time_point m_origin;
};

// VUMO_VIRTUAL_SPEED as a speed factor: a positive number up to 1000; anything else is 1.
double virtualSpeedFromEnv();

// The process-wide clock of the timer and the MIDI devices: a SteadyClock at
// virtualSpeedFromEnv(), read once, at the first call.
std::shared_ptr<Clock> steadyClock();

} // namespace platform
