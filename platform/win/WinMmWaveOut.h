// WinMmWaveOut: the default wave output (the wave mapper) through the Windows multimedia API.
//
// The block is prepared in place (waveOutPrepareHeader) and played with waveOutWrite; the
// driver's WOM_DONE notice, on the driver's own thread, ends it and runs onBlockDone. reset() is
// waveOutReset, which hands the block back at once: when its WOM_DONE has not arrived by the time
// the reset returns, the block is ended here and the late notice changes nothing, so onBlockDone
// runs exactly once per written block. Positions are waveOutGetPosition's, in frames, counted
// from the block's write().
#pragma once

#include "../WaveOut.h"

#include <windows.h>

#include <atomic>
#include <mmsystem.h>

namespace platform
{

class WinMmWaveOut final : public WaveOut
{
public:
    WinMmWaveOut() = default;
    ~WinMmWaveOut() override;
    WinMmWaveOut(const WinMmWaveOut&) = delete;
    WinMmWaveOut& operator=(const WinMmWaveOut&) = delete;

    int32_t open(const WaveFormat& f, std::function<void()> onBlockDone) override;
    int32_t prepare(std::span<const int16_t> block) override;
    int32_t write() override;
    int32_t positionFrames(uint32_t& frames) override;
    int32_t reset() override;
    int32_t unprepare() override;
    int32_t close() override;

    // A notice of the driver (WOM_OPEN, WOM_DONE, WOM_CLOSE); only WOM_DONE counts. Called by
    // the driver's callback on its thread.
    void notify(UINT message);

private:
    // Ends the block if it still plays: runs onBlockDone once.
    void endBlock();
    // The device's position in frames since it was opened or last reset.
    uint32_t devicePosition() const;

    HWAVEOUT m_device = nullptr;
    WAVEHDR m_header{}; // the one block's header; stays put while the device may use it
    bool m_prepared = false;
    uint32_t m_startFrames = 0; // the device position when the block was written
    std::function<void()> m_onBlockDone;
    std::atomic<int32_t> m_playing{0}; // set by write(); cleared by notify(WOM_DONE) or reset()
};

} // namespace platform
