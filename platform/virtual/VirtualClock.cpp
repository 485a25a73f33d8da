// VirtualClock: steps attached devices forward; the process-wide clock of the virtual devices.
#include "VirtualClock.h"

#include "../MmResult.h"
#include "RealTimeClock.h"

#include <algorithm>
#include <mutex>

namespace platform
{

int32_t VirtualClock::attach(VirtualDevice& device, bool isOutput)
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

void VirtualClock::detach(VirtualDevice& device)
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

void VirtualClock::runUpTo(uint64_t target)
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
std::mutex g_clockMutex;
std::shared_ptr<VirtualClock> g_chosenClock;
std::weak_ptr<VirtualClock> g_sharedRealTime;

} // namespace

std::shared_ptr<VirtualClock> acquireVirtualClock()
{
    std::lock_guard lock(g_clockMutex);
    if (g_chosenClock)
        return g_chosenClock;
    if (auto clock = g_sharedRealTime.lock())
        return clock;
    auto clock = std::make_shared<RealTimeClock>(virtualSpeedFromEnv());
    clock->start();
    g_sharedRealTime = clock;
    return clock;
}

void setVirtualClock(std::shared_ptr<VirtualClock> clock)
{
    std::lock_guard lock(g_clockMutex);
    g_chosenClock = std::move(clock);
}

} // namespace platform
