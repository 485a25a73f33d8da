// PortAudioWaveOut: plays one whole block on the default output device from the stream callback.
#include "PortAudioWaveOut.h"

#include "PortAudioSession.h"

#include <algorithm>
#include <cstring>

namespace platform
{

namespace
{

int onOutputBuffer(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                   PaStreamCallbackFlags, void* user)
{
    auto* device = static_cast<PortAudioWaveOut*>(user);
    return device->fillBuffer(static_cast<int16_t*>(output), frames) == 0 ? paContinue : paComplete;
}

void onOutputFinished(void* user)
{
    static_cast<PortAudioWaveOut*>(user)->streamFinished();
}

} // namespace

PortAudioWaveOut::PortAudioWaveOut() = default;

PortAudioWaveOut::~PortAudioWaveOut()
{
    shutDown();
}

int32_t PortAudioWaveOut::openDevice()
{
    auto session = std::make_unique<PortAudioSession>();
    if (session->result() != kMmNoError)
        return session->result();
    PaStream* stream = nullptr;
    if (const int32_t rc = openDefaultStream(true, &onOutputBuffer, this, &stream);
        rc != kMmNoError)
        return rc;
    Pa_SetStreamFinishedCallback(stream, &onOutputFinished);
    const PaStreamInfo* info = Pa_GetStreamInfo(stream);
    m_tailFrames =
        uint32_t(std::clamp(info != nullptr ? info->outputLatency : 0.0, 0.0, 2.0) * 44100.0) + 1;
    m_session = std::move(session);
    m_stream = stream;
    m_position.store(0);
    return kMmNoError;
}

int32_t PortAudioWaveOut::writeDevice()
{
    stopStream(m_stream); // a block that finished leaves its stream completed, not stopped
    m_position.store(0);
    m_media = media::activeCapture();
    m_tailDone.store(0);
    setBlockState(kPlaying); // publishes the block to the callback
    if (const PaError e = Pa_StartStream(m_stream); e != paNoError)
    {
        setBlockState(kIdle);
        return mmResultFromPortAudio(e);
    }
    return kMmNoError;
}

int32_t PortAudioWaveOut::readPosition(uint32_t& frames)
{
    frames = m_position.load();
    return kMmNoError;
}

int32_t PortAudioWaveOut::resetDevice()
{
    // Pa_AbortStream returns once the callback has left, so the block is ours again.
    stopStream(m_stream);
    m_position.store(0);
    m_media.reset();
    return kMmNoError;
}

int32_t PortAudioWaveOut::closeDevice()
{
    stopStream(m_stream);
    const int32_t rc = mmResultFromPortAudio(Pa_CloseStream(m_stream));
    m_stream = nullptr;
    m_session.reset();
    m_media.reset();
    return rc;
}

int PortAudioWaveOut::fillBuffer(int16_t* out, unsigned long frames)
{
    if (blockState() != kPlaying)
    {
        std::memset(out, 0, size_t(frames) * 4);
        return 0;
    }
    const uint32_t from = m_position.load();
    const uint32_t count = uint32_t(std::min<uint64_t>(frames, blockFrames() - from));
    if (count > 0)
    {
        std::memcpy(out, block() + size_t(from) * 2, size_t(count) * 4);
        if (m_media)
            m_media->mixInto(from, out, count);
    }
    std::memset(out + size_t(count) * 2, 0, size_t(frames - count) * 4);
    m_position.store(from + count);
    if (from + count < blockFrames())
        return 0;
    // The last frames are still on their way to the device: silence follows them out, then
    // the stream completes and streamFinished() ends the block.
    const uint32_t tail = m_tailDone.load() + uint32_t(frames - count);
    m_tailDone.store(tail);
    return tail < m_tailFrames ? 0 : 1;
}

void PortAudioWaveOut::streamFinished()
{
    // After reset() the block has ended already; the abort's notice changes nothing.
    if (endBlock(kPlaying))
        notifyBlockDone();
}

} // namespace platform
