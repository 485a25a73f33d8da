// VirtualStream: the stream time of the virtual wave devices, in frames, taken from a Clock.
//
// A stream moves its attached devices forward: each step takes the stream time up by at most
// kVirtualStepFrames and lets every output, then every input, process up to the new time, so an
// input in loopback mode captures what the outputs handed over in the same step. The stream's
// time is its clock's time since the stream began, at 44100 frames per second. In the product
// the clock is a SteadyClock at VUMO_VIRTUAL_SPEED and a thread of the stream's own pumps it
// every few milliseconds; unit tests step a clock by hand and pump on their own thread.
#pragma once

#include "../Clock.h"
#include "StepFence.h"
#include "VirtualLoopback.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

namespace platform
{

constexpr uint64_t kVirtualStepFrames = 1024;

// A device driven by a VirtualStream.
class VirtualDevice
{
public:
    virtual ~VirtualDevice() = default;
    // Processes everything due up to stream frame `now`; runs on the stream's stepping thread.
    virtual void advanceTo(uint64_t now) = 0;
};

class VirtualStream
{
public:
    // The stream's frame 0 is `clock`'s time now.
    explicit VirtualStream(std::shared_ptr<Clock> clock);
    VirtualStream(const VirtualStream&) = delete;
    VirtualStream& operator=(const VirtualStream&) = delete;
    virtual ~VirtualStream();

    // The stream frame up to which every attached device has been moved.
    uint64_t nowFrames() const { return m_now.load(); }
    // The stream frame that the clock says is due at this moment; up to one pump ahead of
    // nowFrames(). Any thread may ask.
    uint64_t dueFrames() const;

    // Attaches a device (outputs move before inputs). kMmNoMem when all slots are taken.
    int32_t attach(VirtualDevice& device, bool isOutput);
    // Detaches a device; once this returns the stream never calls it again.
    void detach(VirtualDevice& device);

    // Moves every attached device up to dueFrames(), in steps. Called from one thread at a time
    // (the stream's own thread once started, else the caller's).
    void pump();
    // Starts the thread that wakes every few milliseconds of real time and pumps.
    void start();

    // What the outputs on this stream handed over, by stream frame, for inputs in loopback mode.
    VirtualLoopback& loopback() { return *m_loopback; }
    const Clock& clock() const { return *m_clock; }

    // Stream frames in `elapsed` clock time (44100 a second, none before the start), and the
    // earliest clock time at which `frames` are due.
    static uint64_t framesAt(std::chrono::microseconds elapsed);
    static std::chrono::microseconds timeAt(uint64_t frames);

private:
    void runUpTo(uint64_t target);

    static constexpr size_t kSlots = 8;
    std::shared_ptr<Clock> m_clock;
    std::chrono::microseconds m_origin;
    std::array<std::atomic<VirtualDevice*>, kSlots> m_outputs{};
    std::array<std::atomic<VirtualDevice*>, kSlots> m_inputs{};
    std::atomic<uint64_t> m_now{0}; // written by runUpTo
    StepFence m_fence;              // brackets each step of runUpTo
    std::unique_ptr<VirtualLoopback> m_loopback = std::make_unique<VirtualLoopback>();
    std::jthread m_thread; // the pump of start(); stopped and joined first on destruction
};

// The stream that virtual devices opened without a stream of their own use from open() to
// close(): the one given to setVirtualStream(), else a process-wide stream on a SteadyClock at
// VUMO_VIRTUAL_SPEED (read when it is made), pumped by its own thread, which lives while any
// device holds it.
std::shared_ptr<VirtualStream> acquireVirtualStream();
// Makes every virtual device opened from now on use `stream` (one stepped by hand in tests);
// nullptr returns to the real-time stream. Devices already open keep theirs.
void setVirtualStream(std::shared_ptr<VirtualStream> stream);

} // namespace platform
