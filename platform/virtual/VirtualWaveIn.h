// VirtualWaveIn: a wave input without hardware that fills its block against a virtual stream.
//
// Once a block is added and input started, frame k of the block is captured when the stream
// has moved k + 1 frames past start(); capture stops when the block is full (onBlockDone then
// fires) or at reset(). What it captures is chosen by VUMO_VIRTUAL_INPUT, read at start():
// unset or empty = silence; "loopback" = the frames the virtual outputs on the same stream hand
// over at the same moment; anything else = the path of a 16-bit stereo wave file, read at
// start(), whose frames are captured from its first one, then silence after its end. A capture
// source named by VUMO_CAPTURE_SOURCE (media/CaptureStream.h) comes before all of these: its
// media is captured, each frame once it is decoded. start() gives kMmError, and nothing starts,
// when VUMO_VIRTUAL_INPUT names a file that is not a readable 16-bit stereo wave file, or
// VUMO_CAPTURE_SOURCE a source that cannot be opened.
#pragma once

#include "../WaveDevice.h"
#include "../media/CaptureStream.h"
#include "StepFence.h"
#include "VirtualStream.h"

#include <atomic>
#include <memory>
#include <vector>

namespace platform
{

class VirtualWaveIn final : public WaveInDevice, private VirtualDevice
{
public:
    // Uses acquireVirtualStream() from each open() to its close().
    VirtualWaveIn() = default;
    // Always uses `stream` (for example one a test steps by hand).
    explicit VirtualWaveIn(std::shared_ptr<VirtualStream> stream);
    ~VirtualWaveIn() override;

private:
    enum State : int32_t
    {
        kQueued = 1,    // block added, input not started
        kCapturing = 2, // block added and input started
    };
    enum class Source
    {
        Silence,
        File,
        Loopback,
        Media
    };

    bool deviceOpen() const override { return m_stream != nullptr; }
    int32_t openDevice() override;
    int32_t addToDevice() override;
    int32_t startDevice() override;
    int32_t readPosition(uint32_t& frames) override;
    int32_t resetDevice() override;
    int32_t closeDevice() override;
    void advanceTo(uint64_t now) override;
    int32_t chooseSource();
    void beginCapture();
    void endMedia();

    // Application thread only; the stream reads the block, source and samples only while
    // capturing.
    std::shared_ptr<VirtualStream> m_fixedStream;
    std::shared_ptr<VirtualStream> m_stream; // the stream in use while open
    bool m_started = false;
    Source m_source = Source::Silence;
    std::vector<int16_t> m_fileSamples;
    std::shared_ptr<media::CaptureStream> m_media;

    std::atomic<uint64_t> m_startFrame{0}; // stream frame when capture began; read by advanceTo
    std::atomic<uint32_t> m_position{0};   // written by advanceTo, zeroed by start()/reset()
    StepFence m_fence;                     // brackets advanceTo
};

} // namespace platform
