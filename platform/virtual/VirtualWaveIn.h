// VirtualWaveIn: a wave input without hardware that fills its block against a virtual stream.
//
// Once a block is added and input started, frame k of the block is captured when the stream
// has moved k + 1 frames past start(); capture stops when the block is full (onBlockDone then
// fires) or at reset(). What it captures is chosen by VUMO_VIRTUAL_INPUT, read at start():
// unset or empty = silence; "loopback" = the frames the virtual outputs on the same stream hand
// over at the same moment; anything else = the path of a 16-bit stereo wave file, read at
// start(), whose frames are captured from its first one, then silence after its end. A capture
// source named by VUMO_CAPTURE_SOURCE (media/CaptureStream.h) comes before all of these: its
// media is captured, each frame once it is decoded.
#pragma once

#include "../WaveIn.h"
#include "../media/CaptureStream.h"
#include "StepFence.h"
#include "VirtualStream.h"

#include <atomic>
#include <memory>
#include <vector>

namespace platform
{

class VirtualWaveIn : public WaveIn, private VirtualDevice
{
public:
    // Uses acquireVirtualStream() from each open() to its close().
    VirtualWaveIn() = default;
    // Always uses `stream` (for example one a test steps by hand).
    explicit VirtualWaveIn(std::shared_ptr<VirtualStream> stream);
    ~VirtualWaveIn() override;

    int32_t open(const WaveFormat& f, std::function<void()> onBlockDone) override;
    int32_t prepare(std::span<int16_t> block) override;
    int32_t addBuffer() override;
    // kMmError, and nothing started, when VUMO_VIRTUAL_INPUT names a file that is not a
    // readable 16-bit stereo wave file, or VUMO_CAPTURE_SOURCE a source that cannot be opened.
    int32_t start() override;
    int32_t positionFrames(uint32_t& frames) override;
    int32_t reset() override;
    int32_t unprepare() override;
    int32_t close() override;

private:
    enum State : int32_t
    {
        kIdle,      // no block with the device
        kQueued,    // block added, input not started
        kCapturing, // block added and input started
    };
    enum class Source
    {
        Silence,
        File,
        Loopback,
        Media
    };

    void advanceTo(uint64_t now) override;
    int32_t chooseSource();
    void beginCapture();
    void endMedia();

    // Application thread only; the stream reads the block, source and samples only while
    // capturing.
    std::shared_ptr<VirtualStream> m_fixedStream;
    std::shared_ptr<VirtualStream> m_stream;
    std::function<void()> m_onBlockDone;
    int16_t* m_block = nullptr;
    uint32_t m_blockFrames = 0;
    bool m_open = false;
    bool m_prepared = false;
    bool m_started = false;
    Source m_source = Source::Silence;
    std::vector<int16_t> m_fileSamples;
    std::shared_ptr<media::CaptureStream> m_media;

    std::atomic<int32_t> m_state{kIdle};   // set by addBuffer/start; cleared by advanceTo, reset
    std::atomic<uint64_t> m_startFrame{0}; // stream frame when capture began; read by advanceTo
    std::atomic<uint32_t> m_position{0};   // written by advanceTo, zeroed by start()/reset()
    StepFence m_fence;                     // brackets advanceTo
};

} // namespace platform
