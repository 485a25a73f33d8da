// The wave format and positions in the Windows multimedia API's own records.
#pragma once

#include "../WaveFormat.h"

#include <windows.h>

#include <mmsystem.h>

namespace platform
{

// PCM in format f (always 16-bit stereo at 44100 frames per second here), no extra bytes.
inline WAVEFORMATEX waveFormatOf(const WaveFormat& f)
{
    WAVEFORMATEX w{};
    w.wFormatTag = WAVE_FORMAT_PCM;
    w.nChannels = WORD(f.channels);
    w.nSamplesPerSec = DWORD(f.framesPerSecond);
    w.nAvgBytesPerSec = DWORD(f.bytesPerSecond());
    w.nBlockAlign = WORD(f.bytesPerFrame());
    w.wBitsPerSample = WORD(f.bitsPerSample);
    return w;
}

// A device position in frames: drivers that cannot count samples answer in bytes.
inline uint32_t framesOf(const MMTIME& time)
{
    if (time.wType == TIME_SAMPLES)
        return time.u.sample;
    if (time.wType == TIME_BYTES)
        return time.u.cb / 4;
    return 0;
}

} // namespace platform
