// PortAudioWaveIn: the default input device through PortAudio.
//
// The stream callback copies captured frames into the block in place from frame 0 and stops
// filling it when it is full (onBlockDone then fires from the callback); the stream runs on,
// dropping what it captures, until reset() aborts it. While a capture source named by
// VUMO_CAPTURE_SOURCE (read at start(), media/CaptureStream.h) is active, the block is filled
// with its media instead of the device's frames, at the device's pace.
#pragma once

#include "../WaveDevice.h"
#include "../media/CaptureStream.h"

#include <atomic>
#include <memory>

namespace platform
{

class PortAudioSession;

class PortAudioWaveIn final : public WaveInDevice
{
public:
    PortAudioWaveIn();
    ~PortAudioWaveIn() override;

    // Takes one buffer of captured frames (called by the stream callback).
    void takeBuffer(const int16_t* in, unsigned long frames);

private:
    static constexpr int32_t kQueued = 1;

    bool deviceOpen() const override { return m_stream != nullptr; }
    int32_t openDevice() override;
    int32_t addToDevice() override;
    int32_t startDevice() override;
    int32_t readPosition(uint32_t& frames) override;
    int32_t resetDevice() override;
    int32_t closeDevice() override;
    void endMedia();

    // Application thread only; the callback reads the block while it is queued.
    std::unique_ptr<PortAudioSession> m_session;
    void* m_stream = nullptr;                      // PaStream
    std::shared_ptr<media::CaptureStream> m_media; // set by start() before the stream runs

    std::atomic<uint32_t> m_position{0}; // written by takeBuffer, zeroed by addBuffer()/reset()
};

} // namespace platform
