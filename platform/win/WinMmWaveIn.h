// WinMmWaveIn: the default wave input (the wave mapper) through the Windows multimedia API.
//
// The block is prepared in place (waveInPrepareHeader), handed over with waveInAddBuffer and
// filled from frame 0 after waveInStart; the driver's WIM_DATA notice, on its own thread, says
// it is full (or was returned by a reset) and runs onBlockDone, once per added block. A capture
// source named by VUMO_CAPTURE_SOURCE (media/CaptureStream.h) is refused with a message at
// start() when this build cannot decode it.
#pragma once

#include "../WaveIn.h"

#include <windows.h>

#include <atomic>
#include <mmsystem.h>

namespace platform
{

class WinMmWaveIn final : public WaveIn
{
public:
    WinMmWaveIn() = default;
    ~WinMmWaveIn() override;
    WinMmWaveIn(const WinMmWaveIn&) = delete;
    WinMmWaveIn& operator=(const WinMmWaveIn&) = delete;

    int32_t open(const WaveFormat& f, std::function<void()> onBlockDone) override;
    int32_t prepare(std::span<int16_t> block) override;
    int32_t addBuffer() override;
    int32_t start() override;
    int32_t positionFrames(uint32_t& frames) override;
    int32_t reset() override;
    int32_t unprepare() override;
    int32_t close() override;

    // A notice of the driver (WIM_OPEN, WIM_DATA, WIM_CLOSE); only WIM_DATA counts. Called by
    // the driver's callback on its thread.
    void notify(UINT message);

private:
    void endBlock();

    HWAVEIN m_device = nullptr;
    WAVEHDR m_header{}; // the one block's header; stays put while the device may use it
    bool m_prepared = false;
    uint32_t m_blockFrames = 0;
    std::function<void()> m_onBlockDone;
    std::atomic<int32_t> m_queued{0}; // set by addBuffer(); cleared by WIM_DATA or reset()
};

} // namespace platform
