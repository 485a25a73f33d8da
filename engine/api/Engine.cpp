// The engine's one state instance and the small helpers every area uses on it.
#include "Engine.h"

#include <algorithm>

namespace wavorn
{

Engine& engine()
{
    static Engine instance;
    return instance;
}

SampleBuffer allocateFrames(int32_t frames)
{
    if (frames <= 0)
        return nullptr;
    // calloc hands back untouched pages, so a large zeroed buffer costs nothing up front.
    return SampleBuffer(static_cast<int16_t*>(std::calloc(size_t(frames) * 2, sizeof(int16_t))));
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
