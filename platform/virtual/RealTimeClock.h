// RealTimeClock: a virtual clock that follows real time × a speed factor on its own thread.
#pragma once

#include "VirtualClock.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace platform
{

class RealTimeClock : public VirtualClock
{
public:
    using TimeSource = std::function<std::chrono::nanoseconds()>;

    // `speed` multiplies real time (1 = 44100 frames per second); `now` reads a monotonic
    // time (the steady clock unless a test fakes it). The thread runs only after start().
    explicit RealTimeClock(double speed, TimeSource now = {});
    ~RealTimeClock() override;

    // Starts the thread that wakes every few milliseconds and calls pump().
    void start();
    // Moves the devices up to the stream frame that the time source says is due now.
    void pump();
    // The frame that real time says is due now (the devices get there at the next pump).
    uint64_t dueFrames() const override;

    double speed() const { return m_speed; }
    // Stream frames due after `elapsed` real time at `speed`.
    static uint64_t framesAfter(std::chrono::nanoseconds elapsed, double speed);

private:
    double m_speed;
    TimeSource m_timeSource;
    std::chrono::nanoseconds m_origin;
    std::atomic<bool> m_stop{false}; // written by the destructor, read by the thread
    std::thread m_thread;
};

// VUMO_VIRTUAL_SPEED as a speed factor: a positive number up to 1000; anything else is 1.
double virtualSpeedFromEnv();

} // namespace platform
