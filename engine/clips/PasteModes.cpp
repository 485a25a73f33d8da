// Ring-modulated and subtracted paste.
#include "PasteModes.h"

#include "engine/api/TraceLog.h"

#include <algorithm>

namespace wavorn
{

namespace
{

inline int16_t limit(int64_t v)
{
    return int16_t(std::clamp<int64_t>(v, -32767, 32767));
}

} // namespace

void ringBufToBuf(const int16_t* src, int16_t* dst, int32_t fromFrame, int32_t toFrame,
                  int32_t dstFrame, int32_t gainLeft, int32_t gainRight)
{
    logText("ringBufToBuf\n");
    if (toFrame <= fromFrame)
        return;
    const int16_t* s = src + 2 * size_t(fromFrame);
    int16_t* d = dst + 2 * size_t(dstFrame);
    const size_t frames = size_t(toFrame - fromFrame);
    // The product of a gain and two samples needs more than 32 bits; / truncates toward zero.
    for (size_t k = 0; k < frames; ++k)
    {
        d[2 * k] = limit(int64_t(gainLeft) * s[2 * k] * d[2 * k] / 8192);
        d[2 * k + 1] = limit(int64_t(gainRight) * s[2 * k + 1] * d[2 * k + 1] / 8192);
    }
}

void negBufToBuf(const int16_t* src, int16_t* dst, int32_t fromFrame, int32_t toFrame,
                 int32_t dstFrame)
{
    logText("negBufToBuf\n");
    if (toFrame <= fromFrame)
        return;
    const int16_t* s = src + 2 * size_t(fromFrame);
    int16_t* d = dst + 2 * size_t(dstFrame);
    const size_t samples = 2 * size_t(toFrame - fromFrame);
    for (size_t k = 0; k < samples; ++k)
        d[k] = limit(int32_t(d[k]) - int32_t(s[k]));
}

} // namespace wavorn
