// FilterGraph: the effect chain window's work-buffer operations. Ranges are clamped to
// trackBuf, and playBuf has the same length, so every operation stays inside both buffers.
#include "FilterGraph.h"

#include "engine/api/Engine.h"
#include "engine/transport/Transport.h"

#include <algorithm>

namespace wavorn::fx
{

namespace
{

constexpr int32_t kLongestFade = 16834; // samples: a fade lasts at most 8417 frames

enum Operation : int32_t
{
    kCopyOut = 1,
    kMixBack = 2,
    kSwap = 3,
    kCopyBack = 4,
    kPlay = 5,
    kStop = 6,
};

// The saved sample scaled by a track gain; the division rounds toward minus infinity.
int64_t scaledByGain(int16_t sample, int32_t gain)
{
    const int64_t product = int64_t(sample) * gain;
    return product >= 0 ? product / 256 : -((-product + 255) / 256);
}

int16_t limited(double value)
{
    return int16_t(std::clamp(value, -32767.0, 32767.0));
}

int32_t bufferOperation(int32_t operation, int32_t firstFrame, int32_t lastFrame)
{
    Engine& e = engine();
    const FrameRange range = clampRange(firstFrame, lastFrame, e.trackLen);
    const std::span<int16_t> trackBuf = e.trackSamples();
    const std::span<int16_t> playBuf = e.playSamples();
    if (range.frames() <= 0 || trackBuf.empty() || playBuf.empty())
        return 0;
    const size_t n = 2 * size_t(range.frames());
    const std::span<int16_t> track = trackBuf.subspan(2 * size_t(range.first), n);
    const std::span<int16_t> saved = playBuf.first(n);
    switch (operation)
    {
    case kCopyOut:
        std::copy(track.begin(), track.end(), saved.begin());
        break;
    case kMixBack:
    {
        const TrackSlot* slot = e.currentSlot();
        mixBack(track, saved, slot ? slot->gainLeft : 0, slot ? slot->gainRight : 0);
        break;
    }
    case kSwap:
        std::swap_ranges(track.begin(), track.end(), saved.begin());
        break;
    case kCopyBack:
        std::copy(saved.begin(), saved.end(), track.begin());
        break;
    default:
        break;
    }
    return 0;
}

} // namespace

void mixBack(std::span<int16_t> track, std::span<const int16_t> saved, int32_t gainLeft,
             int32_t gainRight)
{
    const auto n = int32_t(std::min(track.size(), saved.size()) & ~size_t(1));
    if (n == 0)
        return;
    const int32_t fade = n >= 2 * kLongestFade ? kLongestFade : n / 2; // c, in samples
    const float step = 2.0f / float(fade);
    float level = 0.0f;
    const auto mixPair = [&](int32_t i, double trackLevel)
    {
        const auto left = size_t(i);
        const auto right = size_t(i + 1);
        track[left] =
            limited(double(scaledByGain(saved[left], gainLeft)) + trackLevel * track[left]);
        track[right] =
            limited(double(scaledByGain(saved[right], gainRight)) + trackLevel * track[right]);
    };
    int32_t i = 0;
    for (; i < fade; i += 2, level += step)
        mixPair(i, double(level));
    // Between the fades the track is at full level and every value is a whole number: the
    // shift is the gain's floor division (gains are kept within +-32767, so the product fits
    // 32 bits), which lets the compiler vectorise the loop.
    const int32_t fullEnd = n - fade;
    int16_t* t = track.data();
    const int16_t* v = saved.data();
    for (; i < fullEnd; i += 2)
    {
        t[i] = int16_t(std::clamp((int32_t(v[i]) * gainLeft >> 8) + t[i], -32767, 32767));
        t[i + 1] =
            int16_t(std::clamp((int32_t(v[i + 1]) * gainRight >> 8) + t[i + 1], -32767, 32767));
    }
    for (; i < n; i += 2, level -= step)
        mixPair(i, double(level));
}

int32_t filterGraph(int32_t operation, int32_t firstFrame, int32_t lastFrame)
{
    switch (operation)
    {
    case kCopyOut:
    case kMixBack:
    case kSwap:
    case kCopyBack:
        return bufferOperation(operation, firstFrame, lastFrame);
    case kPlay:
        return replayOutputBlock();
    case kStop:
        return stopOutputBlock();
    default:
        return 0;
    }
}

} // namespace wavorn::fx
