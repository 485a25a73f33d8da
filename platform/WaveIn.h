// Wave input device: fills one whole block of interleaved 16-bit frames in place.
//
// The block is prepared, added and then input is started; the device writes captured frames
// into the block from frame 0 and stops filling it when it is full. reset() stops capture at
// once and returns the block. Every call returns an MmResult number (0 = success).
#pragma once

#include "MmResult.h"
#include "WaveFormat.h"

#include <cstdint>
#include <functional>
#include <span>

namespace platform
{

class WaveIn
{
public:
    virtual ~WaveIn() = default;

    // onBlockDone (may be empty) runs once per added block: on the device's thread when the
    // block is full, or inside reset() when reset takes the block back first. It must not call
    // back into the device.
    virtual int32_t open(const WaveFormat& f, std::function<void()> onBlockDone) = 0;
    virtual int32_t prepare(std::span<int16_t> block) = 0;
    // Hands the prepared block to the device; kWaveUnprepared without prepare().
    virtual int32_t addBuffer() = 0;
    // Starts capturing into the added block.
    virtual int32_t start() = 0;
    // Frames captured into the block so far.
    virtual int32_t positionFrames(uint32_t& frames) = 0;
    // Stops capture at once and returns the block.
    virtual int32_t reset() = 0;
    virtual int32_t unprepare() = 0;
    // Closes the device; kWaveStillPlaying while capturing (reset first).
    virtual int32_t close() = 0;
};

} // namespace platform
