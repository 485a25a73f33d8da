// Clock: the steady clock of the product, optionally sped up for virtual-device runs.
#include "Clock.h"

#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace platform
{

namespace
{

constexpr double kMaxSpeed = 1000.0;

bool validSpeed(double speed)
{
    return std::isfinite(speed) && speed > 0.0 && speed <= kMaxSpeed;
}

} // namespace

SteadyClock::SteadyClock(double speed)
    : m_speed(validSpeed(speed) ? speed : 1.0), m_origin(Steady::now())
{
}

std::chrono::microseconds SteadyClock::now()
{
    const auto real = std::chrono::duration<double, std::micro>(Steady::now() - m_origin);
    return std::chrono::microseconds(int64_t(real.count() * m_speed));
}

bool SteadyClock::sleepUntil(std::chrono::microseconds due, std::stop_token stop)
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

double virtualSpeedFromEnv()
{
    const char* text = std::getenv("VUMO_VIRTUAL_SPEED");
    if (text == nullptr || *text == '\0')
        return 1.0;
    char* end = nullptr;
    const double speed = std::strtod(text, &end);
    return end != text && *end == '\0' && validSpeed(speed) ? speed : 1.0;
}

std::shared_ptr<Clock> steadyClock()
{
    static const std::shared_ptr<Clock> clock =
        std::make_shared<SteadyClock>(virtualSpeedFromEnv());
    return clock;
}

} // namespace platform
