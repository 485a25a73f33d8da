// WinMmWaveOut: the default wave output (the wave mapper) through the Windows multimedia API.
//
// The block is prepared in place (waveOutPrepareHeader) and played with waveOutWrite, followed
// by a quarter second of silence: a driver says WOM_DONE once it has taken a block, while the
// sound system may still hold its last milliseconds, and a reset right then would drop them. So
// the silence's WOM_DONE, on the driver's own thread, ends the block and runs onBlockDone, once
// the block's end has been heard. reset() ends the block itself and then calls waveOutReset,
// which hands both back at once: a notice that comes during or after it changes nothing, so
// onBlockDone runs exactly once per written block. Positions are
// waveOutGetPosition's, in frames counted from the block's write(), up to the block's length.
#pragma once

#include "../WaveDevice.h"

#include <windows.h>

#include <atomic>
#include <mmsystem.h>
#include <vector>

namespace platform
{

class WinMmWaveOut final : public WaveOutDevice
{
public:
    WinMmWaveOut() = default;
    ~WinMmWaveOut() override;
    WinMmWaveOut(const WinMmWaveOut&) = delete;
    WinMmWaveOut& operator=(const WinMmWaveOut&) = delete;

    // Frames of silence played after each block.
    static constexpr uint32_t kTailFrames = 11025;

    // A notice of the driver (WOM_OPEN, WOM_DONE, WOM_CLOSE) and the header it concerns; only
    // WOM_DONE of the silence after the block (of the block when there is none) counts. Called
    // by the driver's callback on its thread.
    void notify(UINT message, const WAVEHDR* header);

private:
    bool deviceOpen() const override { return m_device != nullptr; }
    int32_t openDevice() override;
    int32_t prepareDevice(std::span<const int16_t> block) override;
    int32_t writeDevice() override;
    int32_t readPosition(uint32_t& frames) override;
    int32_t resetDevice() override;
    int32_t unprepareDevice() override;
    int32_t closeDevice() override;
    // A header's length is a 32-bit count of bytes.
    uint64_t maxBlockFrames() const override { return MAXDWORD / 4; }
    // The device's position in frames since it was opened or last reset.
    uint32_t deviceFrames() const;

    HWAVEOUT m_device = nullptr;
    WAVEHDR m_header{};             // the one block's header; stays put while the device may use it
    std::vector<int16_t> m_silence; // the tail, prepared from open() to close()
    WAVEHDR m_tailHeader{};
    bool m_tailPrepared = false;
    uint32_t m_startFrames = 0;                  // the device position when the block was written
    std::atomic<const WAVEHDR*> m_last{nullptr}; // the header whose WOM_DONE ends the block;
                                                 // set by write(), read by notify()
};

} // namespace platform
