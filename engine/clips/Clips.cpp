// Clip operations: copy or cut a range of the current track to a wave file, paste a wave file
// over a range. Every range is clamped to the track first (a reversed range is empty), so no
// argument reaches outside trackBuf or playBuf.
#include "Clips.h"

#include "PasteModes.h"

#include "engine/api/Engine.h"
#include "engine/wave/Buffers.h"
#include "engine/wave/WaveFile.h"

namespace wavorn
{

namespace
{

constexpr int32_t kNotWritten = -1;

} // namespace

int32_t copyTo(int32_t start, int32_t end, const char* fileName)
{
    Engine& e = engine();
    if (!e.trackBuf)
        return kNotWritten;
    const FrameRange r = clampRange(start, end, e.trackLen);
    return saveBufToWave(r.first, r.last, fileName, e.trackBuf.get());
}

int32_t cutTo(int32_t start, int32_t end, const char* fileName)
{
    Engine& e = engine();
    if (!e.trackBuf)
        return kNotWritten;
    const FrameRange r = clampRange(start, end, e.trackLen);
    // The range is silenced only once the clip is safely in its file: a failed write leaves
    // the track (and its edited state) as it was, so the cut audio is not lost.
    if (saveBufToWave(r.first, r.last, fileName, e.trackBuf.get()) != 0)
        return kNotWritten;
    deleteBuf(e.trackBuf.get(), r.first, r.last);
    e.dirty = true;
    return 0;
}

int32_t pasteFrom(int32_t start, int32_t end, const char* fileName, int32_t mode)
{
    Engine& e = engine();
    if (mode < 0 || mode > 3)
        return kNotWritten; // nothing is loaded or changed
    const TrackSlot* slot = e.currentSlot();
    // No track buffer, no load buffer or no current track to take the gains from: nothing to
    // paste into or with, and nothing is changed.
    if (!e.trackBuf || !e.playBuf || !slot)
        return int32_t(LoadResult::CannotOpen);
    const LoadResult loaded = loadWavToBuf(fileName, e.playBuf.get(), e.trackLen);
    // A refused file leaves the track as it was (the paste would otherwise run over whatever
    // playBuf held before).
    if (!isLoaded(loaded))
        return int32_t(loaded);

    const FrameRange r = clampRange(start, end, e.trackLen);
    const int32_t n = r.frames();
    int16_t* src = e.playBuf.get();
    int16_t* dst = e.trackBuf.get();
    switch (mode)
    {
    case 0:
        cpyBufToBuf(src, dst, 0, n, r.first, slot->gainLeft, slot->gainRight, false);
        break;
    case 1:
        cpyBufToBuf(src, dst, 0, n, r.first, slot->gainLeft, slot->gainRight, true);
        break;
    case 2:
        ringBufToBuf(src, dst, 0, n, r.first, slot->gainLeft, slot->gainRight);
        break;
    default:
        negBufToBuf(src, dst, 0, n, r.first);
        break;
    }
    e.dirty = true;
    return int32_t(loaded);
}

} // namespace wavorn
