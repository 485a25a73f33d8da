// The one audio format the whole system uses: 16-bit stereo PCM at 44100 frames per second.
#pragma once

#include <cstdint>

namespace platform
{

struct WaveFormat
{
    int32_t framesPerSecond = 44100;
    int32_t channels = 2;
    int32_t bitsPerSample = 16;

    int32_t bytesPerFrame() const { return channels * bitsPerSample / 8; }
    int32_t bytesPerSecond() const { return framesPerSecond * bytesPerFrame(); }
    // The only format the devices accept: 16-bit stereo at 44100 frames per second.
    bool isStereo16At44100() const
    {
        return framesPerSecond == 44100 && channels == 2 && bitsPerSample == 16;
    }
};

} // namespace platform
