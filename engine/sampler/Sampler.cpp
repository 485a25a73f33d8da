// The sample keyboard: LoadSK1 puts the clip into playBuf, SK1 renders one note of it into
// trackBuf by linear interpolation at a pitch ratio and a gain, in single precision.
#include "Sampler.h"

#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"
#include "engine/wave/WaveFile.h"
#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

namespace wavorn
{

namespace
{

// A note ends before the last two frames of the track.
constexpr int32_t kTailFrames = 2;
// Canonical header bytes that the RIFF size field does not count plus the 8 it does not cover.
constexpr int64_t kHeaderBytes = int64_t(platform::kWaveHeaderBytes);
constexpr int64_t kFrameBytes = 4;

// The RIFF size field (bytes 4 to 7, little-endian) of a file, or -1 when it cannot be read.
int64_t riffSizeField(const char* fileName)
{
    // Opened again after the load: only a regular file, should the path have changed meanwhile.
    const platform::FilePtr f =
        platform::openRegularFile(fileName, platform::kMaxTrackFileBytes).file;
    if (!f)
        return -1;
    uint8_t head[8];
    if (std::fread(head, 1, sizeof head, f.get()) != sizeof head)
        return -1;
    return int32_t(platform::readLe32(head + 4)); // read as a signed 32-bit number
}

// A double that converts to a finite float (larger ones have no float value at all).
bool finiteSingle(double x)
{
    return std::isfinite(x) && std::fabs(x) <= double(FLT_MAX);
}

// Stores a mixed sample: clamped to +-32767 when its truncation leaves that range, truncated
// toward zero otherwise.
int16_t storeSample(float x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 32768.0f)
        return kSampleLimit;
    if (x <= -32768.0f)
        return -kSampleLimit;
    return int16_t(x);
}

} // namespace

int32_t loadSK1(const char* fileName)
{
    logText("LoadSK1\n");
    Engine& e = engine();
    if (fileName == nullptr || !e.playBuf)
        return 0;
    if (loadWavToBuf(fileName, e.playBuf.get(), e.trackLen) != LoadResult::Loaded)
        return 0;
    const int64_t size = riffSizeField(fileName);
    if (size < 0)
        return 0;
    const int64_t frames = (size - kHeaderBytes) / kFrameBytes; // truncates toward zero
    return int32_t(std::clamp<int64_t>(frames, 0, std::max(e.trackLen - kTailFrames, 0)));
}

int32_t sk1(int32_t startFrame, int32_t length, double step, double gain)
{
    logText("SK1\n");
    Engine& e = engine();
    if (!e.trackBuf || !e.playBuf || !finiteSingle(step) || !finiteSingle(gain) || step < 0.0)
        return 0;
    const int32_t endFrame = e.trackLen - kTailFrames;
    if (startFrame < 0 || startFrame >= endFrame)
        return 0;
    // Frames i and i + 1 of the clip must both lie in playBuf.
    const float clipLength = float(std::min(length, e.trackLen - 1));
    if (!(clipLength > 0.0f))
        return 0;

    const float f = float(step);
    const float g = float(gain);
    const int16_t* clip = e.playBuf.get();
    int16_t* track = e.trackBuf.get();
    float position = 0.0f;
    for (int32_t d = startFrame; d < endFrame; ++d)
    {
        const int32_t i = int32_t(position); // 0 <= position < clipLength here
        const float frac = position - float(i);
        const int16_t* a = clip + 2 * size_t(i);
        int16_t* out = track + 2 * size_t(d);
        const float left = g * (float(a[0]) * (1.0f - frac) + float(a[2]) * frac) + float(out[0]);
        const float right = g * (float(a[1]) * (1.0f - frac) + float(a[3]) * frac) + float(out[1]);
        position = position + f;
        out[0] = storeSample(left);
        out[1] = storeSample(right);
        if (!(position < clipLength))
            break;
    }
    return 0;
}

} // namespace wavorn
