// PortAudioWaveOut: the default output device through PortAudio.
//
// The stream callback copies the block in place, buffer by buffer; the position counts the
// frames handed to PortAudio, and onBlockDone fires from the callback once the last frame of
// the block has been handed over. reset() aborts the stream at once. A block written while a
// capture is active (media/CaptureStream.h) plays with the capture's media mixed in.
#pragma once

#include "../WaveOut.h"
#include "../media/CaptureStream.h"

#include <atomic>
#include <memory>

namespace platform
{

class PortAudioSession;

class PortAudioWaveOut : public WaveOut
{
public:
    PortAudioWaveOut();
    ~PortAudioWaveOut() override;

    int32_t open(const WaveFormat& f, std::function<void()> onBlockDone) override;
    int32_t prepare(std::span<const int16_t> block) override;
    int32_t write() override;
    int32_t positionFrames(uint32_t& frames) override;
    int32_t reset() override;
    int32_t unprepare() override;
    int32_t close() override;

    // Fills one buffer of the stream (called by the stream callback); 0 to go on, 1 once the
    // block is done.
    int fillBuffer(int16_t* out, unsigned long frames);

private:
    enum State : int32_t
    {
        kIdle,
        kPlaying
    };

    // Application thread only; the callback reads the block and onBlockDone while playing.
    std::unique_ptr<PortAudioSession> m_session;
    void* m_stream = nullptr; // PaStream
    std::function<void()> m_onBlockDone;
    const int16_t* m_block = nullptr;
    uint32_t m_blockFrames = 0;
    bool m_prepared = false;
    std::shared_ptr<media::CaptureStream> m_media; // heard with the block; set by write()

    std::atomic<int32_t> m_state{kIdle}; // set by write(); cleared by fillBuffer and reset()
    std::atomic<uint32_t> m_position{0}; // written by fillBuffer, zeroed by write()/reset()
};

} // namespace platform
