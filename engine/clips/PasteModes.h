// The two paste modes that the gain copy and gain mix lack: ring modulation and subtraction.
// Both work in place on dst over frames [fromFrame, toFrame) of src, like cpyBufToBuf; neither
// checks its range.
#pragma once

#include <cstdint>

namespace wavorn
{

// ringBufToBuf: d = trunc(gain * s * d / 8192) per channel, limited to +-32767. The divisor is
// 2^13, so two signals of amplitude 1000 at gain 254 already give 31005.
void ringBufToBuf(const int16_t* src, int16_t* dst, int32_t fromFrame, int32_t toFrame,
                  int32_t dstFrame, int32_t gainLeft, int32_t gainRight);
// negBufToBuf: d = d - s per channel, limited to +-32767; no gains.
void negBufToBuf(const int16_t* src, int16_t* dst, int32_t fromFrame, int32_t toFrame,
                 int32_t dstFrame);

} // namespace wavorn
