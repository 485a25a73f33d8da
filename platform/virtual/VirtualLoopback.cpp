// VirtualLoopback: a ring of the latest frames handed over by virtual outputs.
#include "VirtualLoopback.h"

namespace platform
{

VirtualLoopback::VirtualLoopback() : m_slots(std::make_unique<std::atomic<uint64_t>[]>(kFrames)) {}

void VirtualLoopback::publish(uint64_t time, uint32_t frame)
{
    m_slots[time % kFrames].store((time / kFrames + 1) << 32 | frame);
}

uint32_t VirtualLoopback::frameAt(uint64_t time) const
{
    const uint64_t slot = m_slots[time % kFrames].load();
    return (slot >> 32) == time / kFrames + 1 ? uint32_t(slot) : 0;
}

} // namespace platform
