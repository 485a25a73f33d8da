// VirtualClock: the time base of the virtual wave devices, counted in stream frames.
//
// A clock moves its attached devices forward: each step takes the stream time up by at most
// kVirtualStepFrames and lets every output, then every input, process up to the new time, so an
// input in loopback mode captures what the outputs handed over in the same step. The product
// uses a RealTimeClock (real time × VUMO_VIRTUAL_SPEED, on its own thread); unit tests use a
// SteppedClock that only moves when the test calls advance(frames), on the test's thread.
#pragma once

#include "StepFence.h"
#include "VirtualLoopback.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace platform
{

constexpr uint64_t kVirtualStepFrames = 1024;

// A device driven by a VirtualClock.
class VirtualDevice
{
public:
    virtual ~VirtualDevice() = default;
    // Processes everything due up to stream frame `now`; runs on the clock's stepping thread.
    virtual void advanceTo(uint64_t now) = 0;
};

class VirtualClock
{
public:
    VirtualClock() = default;
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;
    virtual ~VirtualClock() = default;

    // The stream frame up to which every attached device has been moved.
    uint64_t nowFrames() const { return m_now.load(); }
    // The stream frame that is due at this moment: nowFrames() for a clock that moves only
    // when told to; a real-time clock may be up to one wake-up ahead of what it has stepped.
    // Any thread may ask.
    virtual uint64_t dueFrames() const { return nowFrames(); }

    // Attaches a device (outputs move before inputs). kMmNoMem when all slots are taken.
    int32_t attach(VirtualDevice& device, bool isOutput);
    // Detaches a device; once this returns the clock never calls it again.
    void detach(VirtualDevice& device);

    // What the outputs on this clock handed over, by stream frame, for inputs in loopback mode.
    VirtualLoopback& loopback() { return *m_loopback; }

protected:
    // Moves every attached device up to stream frame `target`, in steps. Called from one
    // thread at a time (the clock's thread, or the test's thread for a stepped clock).
    void runUpTo(uint64_t target);

private:
    static constexpr size_t kSlots = 8;
    std::array<std::atomic<VirtualDevice*>, kSlots> m_outputs{};
    std::array<std::atomic<VirtualDevice*>, kSlots> m_inputs{};
    std::atomic<uint64_t> m_now{0}; // written by runUpTo
    StepFence m_fence;              // brackets each step of runUpTo
    std::unique_ptr<VirtualLoopback> m_loopback = std::make_unique<VirtualLoopback>();
};

// The clock that virtual devices opened without a clock of their own use from open() to
// close(): the one given to setVirtualClock(), else a process-wide RealTimeClock running at
// VUMO_VIRTUAL_SPEED (read when it is created), which lives while any device holds it.
std::shared_ptr<VirtualClock> acquireVirtualClock();
// Makes every virtual device opened from now on use `clock` (a SteppedClock in tests);
// nullptr returns to the real-time clock. Devices already open keep theirs.
void setVirtualClock(std::shared_ptr<VirtualClock> clock);

} // namespace platform
