// The effect processor: FXIt applies one effect code to a range of the current track in place.
#include "Fx.h"

#include "FxTable.h"
#include "Spectral.h"

#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"

namespace wavorn::fx
{

int32_t fxIt(int32_t code, int32_t firstFrame, int32_t lastFrame, int32_t p1, int32_t p2,
             int32_t p3)
{
    Engine& e = engine();
    code &= 0xFF;
    logText("FXIt\n");
    logHex(uint32_t(code));
    e.dirty = true;
    // Without an input device there is no track buffer to change.
    if (!e.trackBuf)
        return 0;

    // Any int32 range is clamped to the buffer; a reversed range is empty.
    const FrameRange range = clampRange(firstFrame, lastFrame, e.trackLen);
    const SampleSpan track = e.trackSamples();
    const FxParams params{range.first, range.last, p1 & 0xFF, p2 & 0xFF, p3 & 0xFF};
    if (const FxEntry* entry = findEffect(code))
    {
        if (range.frames() > 0)
            entry->apply(track, params);
        return 0;
    }
    spectralEffect(spectralOperationNumber(code), track, params.first, params.last, params.p1,
                   params.p2, params.p3);
    return 0;
}

} // namespace wavorn::fx
