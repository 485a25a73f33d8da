// The engine's one state instance and the small helpers every area uses on it.
#include "Engine.h"

#include <algorithm>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace wavorn
{

Engine& engine()
{
    static Engine instance;
    return instance;
}

namespace
{

#if defined(__linux__)
constexpr size_t kHugePageBytes = size_t(2) << 20;

// A zeroed mapping of whole huge pages, aligned to one, that asks for huge pages; null when the
// memory cannot be had.
SampleBuffer mapHugePages(size_t bytes)
{
    const size_t mapped = (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    void* raw = ::mmap(nullptr, mapped + kHugePageBytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    // Only the aligned part stays mapped.
    const uintptr_t start = uintptr_t(raw);
    const uintptr_t aligned = (start + kHugePageBytes - 1) & ~uintptr_t(kHugePageBytes - 1);
    if (aligned > start)
        ::munmap(raw, aligned - start);
    if (const uintptr_t end = aligned + mapped; end < start + mapped + kHugePageBytes)
        ::munmap(reinterpret_cast<void*>(end), start + mapped + kHugePageBytes - end);
    ::madvise(reinterpret_cast<void*>(aligned), mapped, MADV_HUGEPAGE); // a hint: may be refused
    return SampleBuffer(reinterpret_cast<int16_t*>(aligned), BufferDeleter{mapped});
}
#endif

} // namespace

void BufferDeleter::operator()(int16_t* p) const
{
#if defined(__linux__)
    if (mappedBytes != 0)
    {
        ::munmap(p, mappedBytes);
        return;
    }
#endif
    std::free(p);
}

SampleBuffer allocateFrames(int32_t frames)
{
    if (frames <= 0)
        return nullptr;
    const size_t bytes = size_t(frames) * 4;
#if defined(__linux__)
    if (bytes >= kHugePageBytes)
        return mapHugePages(bytes);
#endif
    // calloc hands back untouched pages, so a large zeroed buffer costs nothing up front.
    return SampleBuffer(static_cast<int16_t*>(std::calloc(bytes / 2, sizeof(int16_t))));
}

TrackSlot* Engine::currentSlot()
{
    return curTrack >= 0 && curTrack < kTrackSlots ? &tracks[size_t(curTrack)] : nullptr;
}

TrackSlot* slotOf(int32_t track)
{
    const int32_t t = track & 0xFF;
    return t < kTrackSlots ? &engine().tracks[size_t(t)] : nullptr;
}

FrameRange clampRange(int32_t first, int32_t last, int32_t trackLen)
{
    const int32_t f = std::clamp(first, 0, std::max(trackLen, 0));
    const int32_t l = std::clamp(last, f, std::max(trackLen, 0));
    return {f, l};
}

} // namespace wavorn
