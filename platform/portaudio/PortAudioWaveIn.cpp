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
    if (m_stream != nullptr)
    {
        reset();
        close();
    }
}

int32_t PortAudioWaveIn::open(const WaveFormat& f, std::function<void()> onBlockDone)
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
    if (const int32_t rc = openDefaultStream(false, &onInputBuffer, this, &stream);
        rc != kMmNoError)
        return rc;
    m_session = std::move(session);
    m_stream = stream;
    m_queued.store(0);
    m_position.store(0);
    m_prepared = false;
    return kMmNoError;
}

int32_t PortAudioWaveIn::prepare(std::span<int16_t> block)
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    if (m_queued.load() != 0)
        return kWaveStillPlaying;
    if (block.size() % 2 != 0 || block.size() / 2 > UINT32_MAX)
        return kMmInvalidParam;
    m_block = block.data();
    m_blockFrames = uint32_t(block.size() / 2);
    m_prepared = true;
    return kMmNoError;
}

int32_t PortAudioWaveIn::addBuffer()
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    if (!m_prepared)
        return kWaveUnprepared;
    if (m_queued.load() != 0)
        return kWaveStillPlaying;
    m_position.store(0);
    m_queued.store(1); // publishes the block to the callback
    return kMmNoError;
}

int32_t PortAudioWaveIn::start()
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    if (Pa_IsStreamActive(m_stream) == 1)
        return kMmNoError;
    endMedia();
    media::CaptureStart capture =
        media::startCaptureFromEnvironment(m_prepared ? m_blockFrames : UINT32_MAX);
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

int32_t PortAudioWaveIn::positionFrames(uint32_t& frames)
{
    frames = 0;
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    frames = m_position.load();
    return kMmNoError;
}

int32_t PortAudioWaveIn::reset()
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    const bool hadBlock = m_queued.exchange(0) != 0;
    // Pa_AbortStream returns once the callback has left, so the block is ours again.
    stopStream(m_stream);
    m_position.store(0);
    endMedia();
    if (hadBlock && m_onBlockDone)
        m_onBlockDone();
    return kMmNoError;
}

int32_t PortAudioWaveIn::unprepare()
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    if (m_queued.load() != 0)
        return kWaveStillPlaying;
    m_prepared = false;
    m_block = nullptr;
    m_blockFrames = 0;
    return kMmNoError;
}

int32_t PortAudioWaveIn::close()
{
    if (m_stream == nullptr)
        return kMmInvalidHandle;
    if (m_queued.load() != 0)
        return kWaveStillPlaying;
    stopStream(m_stream);
    const int32_t rc = mmResultFromPortAudio(Pa_CloseStream(m_stream));
    m_stream = nullptr;
    m_session.reset();
    m_prepared = false;
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
    if (m_queued.load() == 0)
        return; // no block with the device: captured frames are dropped
    const uint32_t from = m_position.load();
    const uint32_t count = uint32_t(std::min<uint64_t>(frames, m_blockFrames - from));
    if (count > 0)
    {
        // Media not decoded in time would be silence; decoding runs far ahead of real time.
        if (m_media)
            m_media->copyTo(from, m_block + size_t(from) * 2, count);
        else if (in != nullptr)
            std::memcpy(m_block + size_t(from) * 2, in, size_t(count) * 4);
        else
            std::memset(m_block + size_t(from) * 2, 0, size_t(count) * 4);
    }
    m_position.store(from + count);
    if (from + count < m_blockFrames)
        return;
    int32_t queued = 1;
    if (m_queued.compare_exchange_strong(queued, 0) && m_onBlockDone)
        m_onBlockDone();
}

} // namespace platform
