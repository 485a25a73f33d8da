// WinMmWaveOut: the default wave output (the wave mapper) through the Windows multimedia API.
//
// The block is prepared in place (waveOutPrepareHeader) and played with waveOutWrite, followed
// by a quarter second of silence: a driver says WOM_DONE once it has taken a block, while the
// sound system may still hold its last milliseconds, and a reset right then would drop them. So
// the silence's WOM_DONE, on the driver's own thread, ends the block and runs onBlockDone, once
// the block's end has been heard. reset() is waveOutReset, which hands both back at once: when
// the notice has not arrived by the time the reset returns, the block is ended here and the late
// notice changes nothing, so onBlockDone runs exactly once per written block. Positions are
// waveOutGetPosition's, in frames counted from the block's write(), up to the block's length.
#pragma once

#include "../WaveOut.h"

#include <windows.h>

#include <atomic>
#include <mmsystem.h>
#include <vector>

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

    // Frames of silence played after each block.
    static constexpr uint32_t kTailFrames = 11025;

    // A notice of the driver (WOM_OPEN, WOM_DONE, WOM_CLOSE) and the header it concerns; only
    // WOM_DONE of the silence after the block (of the block when there is none) counts. Called
    // by the driver's callback on its thread.
    void notify(UINT message, const WAVEHDR* header);

private:
    // Ends the block if it still plays: runs onBlockDone once.
    void endBlock();
    // The device's position in frames since it was opened or last reset.
    uint32_t devicePosition() const;

    HWAVEOUT m_device = nullptr;
    WAVEHDR m_header{}; // the one block's header; stays put while the device may use it
    bool m_prepared = false;
    std::vector<int16_t> m_silence; // the tail, prepared from open() to close()
    WAVEHDR m_tailHeader{};
    bool m_tailPrepared = false;
    uint32_t m_blockFrames = 0;
    uint32_t m_startFrames = 0;                  // the device position when the block was written
    std::atomic<const WAVEHDR*> m_last{nullptr}; // the header whose WOM_DONE ends the block;
                                                 // set by write(), read by notify()
    std::function<void()> m_onBlockDone;
    std::atomic<int32_t> m_playing{0}; // set by write(); cleared by notify(WOM_DONE) or reset()
};

} // namespace platform
