// PortAudioWaveIn: the default input device through PortAudio.
//
// The stream callback copies captured frames into the block in place from frame 0 and stops
// filling it when it is full (onBlockDone then fires from the callback); the stream runs on,
// dropping what it captures, until reset() aborts it. While a capture source named by
// VUMO_CAPTURE_SOURCE (read at start(), media/CaptureStream.h) is active, the block is filled
// with its media instead of the device's frames, at the device's pace.
#pragma once

#include "../WaveIn.h"
#include "../media/CaptureStream.h"

#include <atomic>
#include <memory>

namespace platform
{

class PortAudioSession;

class PortAudioWaveIn : public WaveIn
{
public:
    PortAudioWaveIn();
    ~PortAudioWaveIn() override;

    int32_t open(const WaveFormat& f, std::function<void()> onBlockDone) override;
    int32_t prepare(std::span<int16_t> block) override;
    int32_t addBuffer() override;
    int32_t start() override;
    int32_t positionFrames(uint32_t& frames) override;
    int32_t reset() override;
    int32_t unprepare() override;
    int32_t close() override;

    // Takes one buffer of captured frames (called by the stream callback).
    void takeBuffer(const int16_t* in, unsigned long frames);

private:
    void endMedia();

    // Application thread only; the callback reads the block and onBlockDone while it is queued.
    std::unique_ptr<PortAudioSession> m_session;
    void* m_stream = nullptr; // PaStream
    std::function<void()> m_onBlockDone;
    int16_t* m_block = nullptr;
    uint32_t m_blockFrames = 0;
    bool m_prepared = false;
    std::shared_ptr<media::CaptureStream> m_media; // set by start() before the stream runs

    std::atomic<int32_t> m_queued{0};    // 1 from addBuffer() until full (callback) or reset()
    std::atomic<uint32_t> m_position{0}; // written by takeBuffer, zeroed by addBuffer()/reset()
};

} // namespace platform
