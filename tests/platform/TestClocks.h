// Clocks for tests that must not wait: a clock moved by hand, and a virtual stream moved by frames.
#pragma once

#include "platform/Clock.h"
#include "platform/virtual/VirtualStream.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace platform::test
{

// A clock moved by hand or by a sleeper, which jumps it to its wake time at once.
class JumpClock final : public Clock
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

// A virtual stream moved by advance(frames), its devices on the calling thread (their done
// notifications fire from inside advance()).
class SteppedStream : public VirtualStream
{
public:
    SteppedStream() : SteppedStream(std::make_shared<JumpClock>()) {}

    void advance(uint64_t frames)
    {
        m_clock->advanceTo(timeAt(nowFrames() + frames));
        pump();
    }

private:
    explicit SteppedStream(std::shared_ptr<JumpClock> clock)
        : VirtualStream(clock), m_clock(std::move(clock))
    {
    }

    std::shared_ptr<JumpClock> m_clock;
};

} // namespace platform::test
