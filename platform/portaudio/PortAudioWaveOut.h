// PortAudioWaveOut: the default output device through PortAudio.
//
// The stream callback copies the block in place, buffer by buffer; the position counts the
// frames handed to PortAudio. After the last frame the callback goes on with silence for as long
// as the stream's output latency, since a host may drop what is still queued when a stream
// completes (ALSA through PulseAudio drops the last 30 ms or so), and then completes the stream;
// onBlockDone fires when it has stopped, so that the block's end has been heard before anything
// stops or replaces the stream. reset() aborts the stream at once. A block written while a
// capture is active (media/CaptureStream.h) plays with the capture's media mixed in.
#pragma once

#include "../WaveDevice.h"
#include "../media/CaptureStream.h"

#include <atomic>
#include <memory>

namespace platform
{

class PortAudioSession;

class PortAudioWaveOut final : public WaveOutDevice
{
public:
    PortAudioWaveOut();
    ~PortAudioWaveOut() override;

    // Fills one buffer of the stream (called by the stream callback); 0 to go on, 1 once the
    // whole block and the silence after it have been handed over.
    int fillBuffer(int16_t* out, unsigned long frames);
    // Ends the block once the stream has played it out (called by PortAudio when it stops).
    void streamFinished();

private:
    bool deviceOpen() const override { return m_stream != nullptr; }
    int32_t openDevice() override;
    int32_t writeDevice() override;
    int32_t readPosition(uint32_t& frames) override;
    int32_t resetDevice() override;
    int32_t closeDevice() override;

    // Application thread only; the callback reads the block while playing.
    std::unique_ptr<PortAudioSession> m_session;
    void* m_stream = nullptr;                      // PaStream
    std::shared_ptr<media::CaptureStream> m_media; // heard with the block; set by write()
    uint32_t m_tailFrames = 0; // the silence after a block: the output latency in frames

    std::atomic<uint32_t> m_position{0}; // written by fillBuffer, zeroed by write()/reset()
    std::atomic<uint32_t> m_tailDone{0}; // silent frames after the block; as m_position
};

} // namespace platform
