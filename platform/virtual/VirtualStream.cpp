// VirtualStream: steps attached devices forward to its clock's time; the process-wide stream of
// the virtual devices.
#include "VirtualStream.h"

#include "../MmResult.h"

#include <algorithm>
#include <mutex>

namespace platform
{

namespace
{

constexpr uint64_t kFramesPerSecond = 44100;
constexpr int64_t kMicrosPerSecond = 1000000;
constexpr auto kWakeInterval = std::chrono::milliseconds(4);

} // namespace

VirtualStream::VirtualStream(std::shared_ptr<Clock> clock)
    : m_clock(std::move(clock)), m_origin(m_clock->now())
{
}

VirtualStream::~VirtualStream()
{
    // The pump thread goes before the slots and the loopback it uses.
    m_thread = std::jthread();
}

uint64_t VirtualStream::dueFrames() const
{
    return framesAt(m_clock->now() - m_origin);
}

uint64_t VirtualStream::framesAt(std::chrono::microseconds elapsed)
{
    if (elapsed.count() <= 0)
        return 0;
    // Whole seconds and the rest apart: exact, and no overflow in any run's length.
    const auto us = uint64_t(elapsed.count());
    return us / kMicrosPerSecond * kFramesPerSecond +
           us % kMicrosPerSecond * kFramesPerSecond / kMicrosPerSecond;
}

std::chrono::microseconds VirtualStream::timeAt(uint64_t frames)
{
    const uint64_t rest = frames % kFramesPerSecond * kMicrosPerSecond;
    return std::chrono::microseconds(int64_t(frames / kFramesPerSecond * kMicrosPerSecond +
                                             (rest + kFramesPerSecond - 1) / kFramesPerSecond));
}

int32_t VirtualStream::attach(VirtualDevice& device, bool isOutput)
{
    auto& slots = isOutput ? m_outputs : m_inputs;
    for (auto& slot : slots)
    {
        VirtualDevice* empty = nullptr;
        if (slot.compare_exchange_strong(empty, &device))
            return kMmNoError;
    }
    return kMmNoMem;
}

void VirtualStream::detach(VirtualDevice& device)
{
    for (auto* slots : {&m_outputs, &m_inputs})
    {
        for (auto& slot : *slots)
        {
            VirtualDevice* expected = &device;
            slot.compare_exchange_strong(expected, nullptr);
        }
    }
    // A step that loaded the device before it left its slot may still be running it.
    m_fence.waitForStep();
}

void VirtualStream::pump()
{
    runUpTo(dueFrames());
}

void VirtualStream::start()
{
    if (m_thread.joinable())
        return;
    m_thread = std::jthread(
        [this](std::stop_token stop)
        {
            while (!stop.stop_requested())
            {
                std::this_thread::sleep_for(kWakeInterval);
                pump();
            }
        });
}

void VirtualStream::runUpTo(uint64_t target)
{
    uint64_t now = m_now.load();
    while (now < target)
    {
        now = std::min(target, now + kVirtualStepFrames);
        m_fence.enter();
        for (auto* slots : {&m_outputs, &m_inputs})
        {
            for (auto& slot : *slots)
            {
                if (VirtualDevice* device = slot.load())
                    device->advanceTo(now);
            }
        }
        m_now.store(now);
        m_fence.leave();
    }
}

namespace
{

// Bookkeeping of open and close only; the devices' stepping never takes this lock.
std::mutex g_streamMutex;
std::shared_ptr<VirtualStream> g_chosenStream;
std::weak_ptr<VirtualStream> g_sharedStream;

} // namespace

std::shared_ptr<VirtualStream> acquireVirtualStream()
{
    std::lock_guard lock(g_streamMutex);
    if (g_chosenStream)
        return g_chosenStream;
    if (auto stream = g_sharedStream.lock())
        return stream;
    auto stream =
        std::make_shared<VirtualStream>(std::make_shared<SteadyClock>(virtualSpeedFromEnv()));
    stream->start();
    g_sharedStream = stream;
    return stream;
}

void setVirtualStream(std::shared_ptr<VirtualStream> stream)
{
    std::lock_guard lock(g_streamMutex);
    g_chosenStream = std::move(stream);
}

} // namespace platform
