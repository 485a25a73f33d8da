// RealTimeClock: real time × speed, pumped every few milliseconds by its own thread.
#include "RealTimeClock.h"

#include <cmath>
#include <cstdlib>

namespace platform
{

namespace
{

constexpr auto kWakeInterval = std::chrono::milliseconds(4);
constexpr double kFramesPerSecond = 44100.0;
constexpr double kMaxSpeed = 1000.0;

std::chrono::nanoseconds steadyNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace

RealTimeClock::RealTimeClock(double speed, TimeSource now)
    : m_speed(speed), m_timeSource(now ? std::move(now) : TimeSource(&steadyNow)),
      m_origin(m_timeSource())
{
}

RealTimeClock::~RealTimeClock()
{
    m_stop.store(true);
    if (m_thread.joinable())
        m_thread.join();
}

void RealTimeClock::start()
{
    if (m_thread.joinable())
        return;
    m_thread = std::thread(
        [this]
        {
            while (!m_stop.load())
            {
                std::this_thread::sleep_for(kWakeInterval);
                pump();
            }
        });
}

void RealTimeClock::pump()
{
    runUpTo(dueFrames());
}

uint64_t RealTimeClock::dueFrames() const
{
    return framesAfter(m_timeSource() - m_origin, m_speed);
}

uint64_t RealTimeClock::framesAfter(std::chrono::nanoseconds elapsed, double speed)
{
    if (elapsed.count() <= 0 || !(speed > 0.0))
        return 0;
    // Whole seconds and the rest apart, so long runs keep full precision.
    const int64_t ns = elapsed.count();
    const int64_t seconds = ns / 1000000000;
    const int64_t rest = ns % 1000000000;
    const double frames = (double(seconds) + double(rest) / 1e9) * kFramesPerSecond * speed;
    return uint64_t(std::floor(frames));
}

double virtualSpeedFromEnv()
{
    const char* text = std::getenv("VUMO_VIRTUAL_SPEED");
    if (text == nullptr || *text == '\0')
        return 1.0;
    char* end = nullptr;
    const double speed = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(speed) || speed <= 0.0 || speed > kMaxSpeed)
        return 1.0;
    return speed;
}

} // namespace platform
