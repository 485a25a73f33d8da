// WinMmWaveIn: the default wave input (the wave mapper) through the Windows multimedia API.
//
// The block is prepared in place (waveInPrepareHeader), handed over with waveInAddBuffer and
// filled from frame 0 after waveInStart; the driver's WIM_DATA notice, on its own thread, says
// it is full and runs onBlockDone. reset() takes the block back itself first, so the notice of a
// reset changes nothing and onBlockDone runs once per added block. A capture
// source named by VUMO_CAPTURE_SOURCE (media/CaptureStream.h) is refused with a message at
// start() when this build cannot decode it.
#pragma once

#include "../WaveDevice.h"

#include <windows.h>

#include <atomic>
#include <mmsystem.h>

namespace platform
{

class WinMmWaveIn final : public WaveInDevice
{
public:
    WinMmWaveIn() = default;
    ~WinMmWaveIn() override;
    WinMmWaveIn(const WinMmWaveIn&) = delete;
    WinMmWaveIn& operator=(const WinMmWaveIn&) = delete;

    // A notice of the driver (WIM_OPEN, WIM_DATA, WIM_CLOSE); only WIM_DATA counts. Called by
    // the driver's callback on its thread.
    void notify(UINT message);

private:
    static constexpr int32_t kQueued = 1;

    bool deviceOpen() const override { return m_device != nullptr; }
    int32_t openDevice() override;
    int32_t prepareDevice(std::span<int16_t> block) override;
    int32_t addToDevice() override;
    int32_t startDevice() override;
    int32_t readPosition(uint32_t& frames) override;
    int32_t resetDevice() override;
    int32_t unprepareDevice() override;
    int32_t closeDevice() override;
    // A header's length is a 32-bit count of bytes.
    uint64_t maxBlockFrames() const override { return MAXDWORD / 4; }

    HWAVEIN m_device = nullptr;
    WAVEHDR m_header{}; // the one block's header; stays put while the device may use it
};

} // namespace platform
