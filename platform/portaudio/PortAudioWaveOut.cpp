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
    if (m_stream != nullptr)
    {
        reset();
        close();
    }
}

int32_t PortAudioWaveOut::open(const WaveFormat& f, std::function<void()> onBlockDone)
{
    if (m_stream != nullptr)
        return kMmAllocated;
    if (!f.isStereo16At44100())
        return kWaveBadFormat;
    auto session = std::make_unique<PortAudioSession>();
    if (session->result() != kMmNoError)
        return session->result();
    m_onBlockDone = std::move(onBlockDone);
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
    m_state.store(kIdle);
    m_position.store(0);
    m_prepared = false;
    return kMmNoError;
}

int32_t PortAudioWaveOut::prepare(std::span<const int16_t> block)
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    if (m_state.load() == kPlaying)
        return kWaveStillPlaying;
    if (block.size() % 2 != 0 || block.size() / 2 > UINT32_MAX)
        return kMmInvalidParam;
    m_block = block.data();
    m_blockFrames = uint32_t(block.size() / 2);
    m_prepared = true;
    return kMmNoError;
}

int32_t PortAudioWaveOut::write()
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    if (!m_prepared)
        return kWaveUnprepared;
    if (m_state.load() == kPlaying)
        return kWaveStillPlaying;
    stopStream(m_stream); // a block that finished leaves its stream completed, not stopped
    m_position.store(0);
    m_media = media::activeCapture();
    m_tailDone.store(0);
    m_state.store(kPlaying); // publishes the block to the callback
    if (const PaError e = Pa_StartStream(m_stream); e != paNoError)
    {
        m_state.store(kIdle);
        return mmResultFromPortAudio(e);
    }
    return kMmNoError;
}

int32_t PortAudioWaveOut::positionFrames(uint32_t& frames)
{
    frames = 0;
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    frames = m_position.load();
    return kMmNoError;
}

int32_t PortAudioWaveOut::reset()
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    int32_t playing = kPlaying;
    const bool stopped = m_state.compare_exchange_strong(playing, kIdle);
    // Pa_AbortStream returns once the callback has left, so the block is ours again.
    stopStream(m_stream);
    m_position.store(0);
    m_media.reset();
    if (stopped && m_onBlockDone)
        m_onBlockDone();
    return kMmNoError;
}

int32_t PortAudioWaveOut::unprepare()
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    if (m_state.load() == kPlaying)
        return kWaveStillPlaying;
    m_prepared = false;
    m_block = nullptr;
    m_blockFrames = 0;
    return kMmNoError;
}

int32_t PortAudioWaveOut::close()
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    if (m_state.load() == kPlaying)
        return kWaveStillPlaying;
    stopStream(m_stream);
    const int32_t rc = mmResultFromPortAudio(Pa_CloseStream(m_stream));
    m_stream = nullptr;
    m_session.reset();
    m_prepared = false;
    m_media.reset();
    return rc;
}

int PortAudioWaveOut::fillBuffer(int16_t* out, unsigned long frames)
{
    if (m_state.load() != kPlaying)
    {
        std::memset(out, 0, size_t(frames) * 4);
        return 0;
    }
    const uint32_t from = m_position.load();
    const uint32_t count = uint32_t(std::min<uint64_t>(frames, m_blockFrames - from));
    if (count > 0)
    {
        std::memcpy(out, m_block + size_t(from) * 2, size_t(count) * 4);
        if (m_media)
            m_media->mixInto(from, out, count);
    }
    std::memset(out + size_t(count) * 2, 0, size_t(frames - count) * 4);
    m_position.store(from + count);
    if (from + count < m_blockFrames)
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
    int32_t playing = kPlaying;
    if (m_state.compare_exchange_strong(playing, kIdle) && m_onBlockDone)
        m_onBlockDone();
}

} // namespace platform
