// PortAudioWaveIn: fills one whole block from the default input device in the stream callback.
#include "PortAudioWaveIn.h"

#include "PortAudioSession.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform
{

namespace
{

int onInputBuffer(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                  PaStreamCallbackFlags, void* user)
{
    // The stream runs on after the block is full, as a started input does, until reset.
    static_cast<PortAudioWaveIn*>(user)->takeBuffer(static_cast<const int16_t*>(input), frames);
    return paContinue;
}

} // namespace

PortAudioWaveIn::PortAudioWaveIn() = default;

PortAudioWaveIn::~PortAudioWaveIn()
{
    shutDown();
}

int32_t PortAudioWaveIn::openDevice()
{
    auto session = std::make_unique<PortAudioSession>();
    if (session->result() != kMmNoError)
        return session->result();
    PaStream* stream = nullptr;
    if (const int32_t rc = openDefaultStream(false, &onInputBuffer, this, &stream);
        rc != kMmNoError)
        return rc;
    m_session = std::move(session);
    m_stream = stream;
    m_position.store(0);
    return kMmNoError;
}

int32_t PortAudioWaveIn::addToDevice()
{
    m_position.store(0);
    setBlockState(kQueued); // publishes the block to the callback
    return kMmNoError;
}

int32_t PortAudioWaveIn::startDevice()
{
    if (Pa_IsStreamActive(m_stream) == 1)
        return kMmNoError;
    endMedia();
    media::CaptureStart capture =
        media::startCaptureFromEnvironment(prepared() ? blockFrames() : UINT32_MAX);
    if (capture.requested && !capture.stream)
    {
        std::fprintf(stderr, "Vumo: %s\n", capture.error.c_str());
        return kMmError;
    }
    m_media = std::move(capture.stream);
    const int32_t rc = mmResultFromPortAudio(Pa_StartStream(m_stream));
    if (rc != kMmNoError)
        endMedia();
    return rc;
}

int32_t PortAudioWaveIn::readPosition(uint32_t& frames)
{
    frames = m_position.load();
    return kMmNoError;
}

int32_t PortAudioWaveIn::resetDevice()
{
    // Pa_AbortStream returns once the callback has left, so the block is ours again.
    stopStream(m_stream);
    m_position.store(0);
    endMedia();
    return kMmNoError;
}

int32_t PortAudioWaveIn::closeDevice()
{
    stopStream(m_stream);
    const int32_t rc = mmResultFromPortAudio(Pa_CloseStream(m_stream));
    m_stream = nullptr;
    m_session.reset();
    endMedia();
    return rc;
}

void PortAudioWaveIn::endMedia()
{
    if (!m_media)
        return;
    media::endCapture(m_media.get());
    m_media.reset();
}

void PortAudioWaveIn::takeBuffer(const int16_t* in, unsigned long frames)
{
    if (blockState() != kQueued)
        return; // no block with the device: captured frames are dropped
    const uint32_t from = m_position.load();
    const uint32_t count = uint32_t(std::min<uint64_t>(frames, blockFrames() - from));
    if (count > 0)
    {
        // Media not decoded in time would be silence; decoding runs far ahead of real time.
        if (m_media)
            m_media->copyTo(from, block() + size_t(from) * 2, count);
        else if (in != nullptr)
            std::memcpy(block() + size_t(from) * 2, in, size_t(count) * 4);
        else
            std::memset(block() + size_t(from) * 2, 0, size_t(count) * 4);
    }
    m_position.store(from + count);
    if (from + count < blockFrames())
        return;
    if (endBlock(kQueued))
        notifyBlockDone();
}

} // namespace platform
