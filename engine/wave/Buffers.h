// Buffer primitives over interleaved stereo frames: gain copy and gain mix with a track's
// gains, silencing, the premix of all other tracks, and the interpolated read the effects use.
// None of them checks its range: callers clamp first (clampRange in engine/api/Engine.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace wavorn
{

// cpyBufToBuf: dst frames from dstFrame take src frames [fromFrame, toFrame) scaled by the
// track's gains (x * gain >> 8); with merge the scaled frame is added to dst and clamped to
// +-32767.
void cpyBufToBuf(const int16_t* src, int16_t* dst, int32_t fromFrame, int32_t toFrame,
                 int32_t dstFrame, int32_t gainLeft, int32_t gainRight, bool merge);
// The gain mix of cpyBufToBuf with the sum written elsewhere: d = clamp((s * g + base * 256)
// >> 8) per sample, over whole frames; base may be d itself.
void gainMix(const int16_t* s, const int16_t* base, int16_t* d, size_t frames, int32_t gainLeft,
             int32_t gainRight);
// deleteBuf: silences frames [fromFrame, toFrame).
void deleteBuf(int16_t* buffer, int32_t fromFrame, int32_t toFrame);
// mergeMaster: rebuilds masterBuf from every audible track but the current one, in slot
// order. The files are read through the start of playBuf, whose contents are then undefined.
void mergeMaster();
// interpSample: channel of trackBuf at frame firstFrame + (lastFrame - firstFrame) * fraction,
// read linearly between the two neighbouring frames. The caller keeps both inside trackBuf.
double interpSample(int32_t firstFrame, int32_t lastFrame, double fraction, int32_t channel);

} // namespace wavorn
