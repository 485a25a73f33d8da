// TimerClock: the steady clock of the product, optionally sped up for virtual-device runs.
#include "TimerClock.h"

#include "virtual/RealTimeClock.h"

#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace platform
{

namespace
{

constexpr double kMaxSpeed = 1000.0;

class SteadyTimerClock final : public TimerClock
{
public:
    explicit SteadyTimerClock(double speed) : m_speed(speed), m_origin(Steady::now()) {}

    std::chrono::microseconds now() override
    {
        const auto real = std::chrono::duration<double, std::micro>(Steady::now() - m_origin);
        return std::chrono::microseconds(int64_t(real.count() * m_speed));
    }

    bool sleepUntil(std::chrono::microseconds due, std::stop_token stop) override
    {
        const auto realOffset =
            std::chrono::duration<double, std::micro>(double(due.count()) / m_speed);
        const auto wake = m_origin + std::chrono::duration_cast<Steady::duration>(
                                         std::chrono::ceil<std::chrono::nanoseconds>(realOffset));
        std::mutex mutex;
        std::condition_variable_any wakeUp;
        std::unique_lock lock(mutex);
        // Nothing notifies but the stop request: the wait ends at `wake` or on stop.
        wakeUp.wait_until(lock, stop, wake, [] { return false; });
        return !stop.stop_requested();
    }

private:
    using Steady = std::chrono::steady_clock;
    double m_speed;
    Steady::time_point m_origin;
};

} // namespace

std::shared_ptr<TimerClock> makeSteadyTimerClock(double speed)
{
    if (!std::isfinite(speed) || speed <= 0.0 || speed > kMaxSpeed)
        speed = 1.0;
    return std::make_shared<SteadyTimerClock>(speed);
}

std::shared_ptr<TimerClock> steadyTimerClock()
{
    static const std::shared_ptr<TimerClock> clock = makeSteadyTimerClock(virtualSpeedFromEnv());
    return clock;
}

} // namespace platform
