// VirtualWaveOut: a wave output without hardware that plays its block against a virtual stream.
//
// After write() the block is consumed at the stream's pace (44100 frames per second × the
// speed factor in the product, or as far as a test steps the stream's clock); the position
// counts the frames consumed, and onBlockDone fires once when the last frame has gone. When
// VUMO_VIRTUAL_OUTPUT (read at open) names a file, every frame played is appended to it as a
// 16-bit stereo 44100 wave file (see VirtualWaveSink), whose header is brought up to date at
// the end of each block, at reset() and at close(). Every frame played is also offered to
// virtual inputs in loopback mode on the same stream. A block written while a capture is active
// (media/CaptureStream.h) plays with the capture's media mixed in, each frame once it is decoded.
#pragma once

#include "../WaveDevice.h"
#include "../media/CaptureStream.h"
#include "StepFence.h"
#include "VirtualStream.h"
#include "VirtualWaveSink.h"

#include <atomic>
#include <memory>
#include <vector>

namespace platform
{

class VirtualWaveOut final : public WaveOutDevice, private VirtualDevice
{
public:
    // Uses acquireVirtualStream() from each open() to its close().
    VirtualWaveOut() = default;
    // Always uses `stream` (for example one a test steps by hand).
    explicit VirtualWaveOut(std::shared_ptr<VirtualStream> stream);
    ~VirtualWaveOut() override;

private:
    bool deviceOpen() const override { return m_stream != nullptr; }
    int32_t openDevice() override;
    int32_t writeDevice() override;
    int32_t readPosition(uint32_t& frames) override;
    int32_t resetDevice() override;
    int32_t closeDevice() override;
    void advanceTo(uint64_t now) override;

    // Application thread only (the stream reads the block and the sink only inside a step while
    // playing).
    std::shared_ptr<VirtualStream> m_fixedStream;
    std::shared_ptr<VirtualStream> m_stream; // the stream in use while open
    VirtualWaveSink m_sink;
    std::shared_ptr<media::CaptureStream> m_media; // heard with the block; set by write()
    std::vector<int16_t> m_mixed;                  // the stream's: block frames with the media

    std::atomic<uint64_t> m_startFrame{0}; // stream frame at write(); read by advanceTo
    std::atomic<uint32_t> m_position{0};   // written by advanceTo, zeroed by write()/reset()
    StepFence m_fence;                     // brackets advanceTo
};

} // namespace platform
