// Gain copy and gain mix, silencing, the premix of the other tracks and interpolated reads.
#include "Buffers.h"

#include "WaveFile.h"
#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace wavorn
{
namespace
{

inline int32_t clampSample(int32_t v) { return std::clamp(v, -kSampleLimit, kSampleLimit); }

} // namespace

void cpyBufToBuf(const int16_t* src, int16_t* dst, int32_t fromFrame, int32_t toFrame,
                 int32_t dstFrame, int32_t gainLeft, int32_t gainRight, bool merge)
{
    logText("cpyBufToBuf\n");
    if (toFrame <= fromFrame)
        return;
    const int16_t* s = src + 2 * size_t(fromFrame);
    int16_t* d = dst + 2 * size_t(dstFrame);
    const size_t frames = size_t(toFrame - fromFrame);
    // Gains are kept within +-32767 (SetTrackAttr), so every product fits 32 bits. The shift
    // rounds toward minus infinity. With gains below 256 the copy's clamp never acts.
    if (merge)
    {
        for (size_t k = 0; k < frames; ++k)
        {
            d[2 * k] = int16_t(clampSample((s[2 * k] * gainLeft + d[2 * k] * 256) >> 8));
            d[2 * k + 1] =
                int16_t(clampSample((s[2 * k + 1] * gainRight + d[2 * k + 1] * 256) >> 8));
        }
    }
    else
    {
        for (size_t k = 0; k < frames; ++k)
        {
            d[2 * k] = int16_t(clampSample((s[2 * k] * gainLeft) >> 8));
            d[2 * k + 1] = int16_t(clampSample((s[2 * k + 1] * gainRight) >> 8));
        }
    }
}

void deleteBuf(int16_t* buffer, int32_t fromFrame, int32_t toFrame)
{
    logText("deleteBuf\n");
    if (toFrame > fromFrame)
        std::memset(buffer + 2 * size_t(fromFrame), 0, size_t(toFrame - fromFrame) * 4);
}

void mergeMaster()
{
    logText("mergeMaster\n");
    Engine& e = engine();
    if (!e.masterBuf || !e.playBuf)
        return;
    deleteBuf(e.masterBuf.get(), 0, e.trackLen);
    for (int32_t t = 0; t < kTrackSlots; ++t)
    {
        const TrackSlot& slot = e.tracks[size_t(t)];
        if (t == e.curTrack || slot.volume <= 0)
            continue;
        // A refused or missing file is left out, never mixed from what playBuf held before.
        if (isLoaded(loadWavToBuf(slot.name, e.playBuf.get(), e.trackLen)))
            cpyBufToBuf(e.playBuf.get(), e.masterBuf.get(), 0, e.trackLen, 0, slot.gainLeft,
                        slot.gainRight, true);
        else
            logText("Bad wave file.\n");
    }
}

double interpSample(int32_t firstFrame, int32_t lastFrame, double fraction, int32_t channel)
{
    const Engine& e = engine();
    const double p = double(lastFrame - firstFrame) * fraction;
    const double i = std::trunc(p);
    const float f = float(p - i);
    const int64_t w = 2 * (int64_t(firstFrame) + int64_t(i)) + channel;
    const int64_t samples = e.trackBuf ? 2 * int64_t(e.trackLen) : 0;
    // Reads outside the buffer count as silence.
    auto at = [&](int64_t index) {
        return index >= 0 && index < samples ? double(e.trackBuf[size_t(index)]) : 0.0;
    };
    return at(w) * (1.0 - f) + at(w + 2) * f;
}

} // namespace wavorn
