// Wave output device: plays one whole block of interleaved 16-bit frames in place.
//
// The block is prepared once (it must stay at the same address until it is unprepared), then
// written; the device reads it from frame 0 while it plays, counts the frames it has handed to
// the hardware, and calls onBlockDone once when the last frame of the block has been handed
// over. reset() stops at once and returns the block (the done notification then fires, inside
// reset(), for a block that was still playing, as the platform's wave interface does); once
// reset() returns the device never touches the block again. onBlockDone must not call back
// into the device.
//
// Every call returns an MmResult number (0 = success). Calls come from one thread; only
// onBlockDone runs on the device's own thread.
#pragma once

#include "MmResult.h"
#include "WaveFormat.h"

#include <cstdint>
#include <functional>
#include <span>

namespace platform
{

class WaveOut
{
public:
    virtual ~WaveOut() = default;

    // Opens the device for format f. Fails with kWaveBadFormat for any other format than
    // 16-bit stereo 44100, kMmAllocated when already open, kMmNoDriver when there is no device.
    virtual int32_t open(const WaveFormat& f, std::function<void()> onBlockDone) = 0;
    // Registers block (whole frames) as the one output block; kMmInvalidHandle when not open,
    // kWaveStillPlaying while a block plays.
    virtual int32_t prepare(std::span<const int16_t> block) = 0;
    // Starts playing the prepared block from frame 0; kWaveUnprepared without prepare(),
    // kWaveStillPlaying while it already plays.
    virtual int32_t write() = 0;
    // Frames handed to the device since the block began (0 before the first write).
    virtual int32_t positionFrames(uint32_t& frames) = 0;
    // Stops playback at once; the position returns to 0 and the block is done.
    virtual int32_t reset() = 0;
    // Forgets the block; kWaveStillPlaying while it plays.
    virtual int32_t unprepare() = 0;
    // Closes the device; kWaveStillPlaying while a block plays (reset first).
    virtual int32_t close() = 0;
};

} // namespace platform
