// VirtualWaveOut: consumes its block at the virtual stream's pace, into the output file and the
// loopback.
#include "VirtualWaveOut.h"

#include <algorithm>
#include <cstdlib>

namespace platform
{

namespace
{

uint32_t packFrame(const int16_t* frame)
{
    return uint32_t(uint16_t(frame[0])) | uint32_t(uint16_t(frame[1])) << 16;
}

} // namespace

VirtualWaveOut::VirtualWaveOut(std::shared_ptr<VirtualStream> stream)
    : m_fixedStream(std::move(stream))
{
}

VirtualWaveOut::~VirtualWaveOut()
{
    if (m_open)
    {
        reset();
        close();
    }
}

int32_t VirtualWaveOut::open(const WaveFormat& f, std::function<void()> onBlockDone)
{
    if (m_open)
        return kMmAllocated;
    if (!f.isStereo16At44100())
        return kWaveBadFormat;
    const char* path = std::getenv("VUMO_VIRTUAL_OUTPUT");
    if (path != nullptr && *path != '\0')
    {
        if (const int32_t rc = m_sink.open(path); rc != kMmNoError)
            return rc;
    }
    m_onBlockDone = std::move(onBlockDone);
    m_stream = m_fixedStream ? m_fixedStream : acquireVirtualStream();
    if (const int32_t rc = m_stream->attach(*this, true); rc != kMmNoError)
    {
        m_stream.reset();
        m_sink.close();
        return rc;
    }
    m_state.store(kIdle);
    m_position.store(0);
    m_prepared = false;
    m_open = true;
    return kMmNoError;
}

int32_t VirtualWaveOut::prepare(std::span<const int16_t> block)
{
    if (!m_open)
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

int32_t VirtualWaveOut::write()
{
    if (!m_open)
        return kMmInvalidHandle;
    if (!m_prepared)
        return kWaveUnprepared;
    if (m_state.load() == kPlaying)
        return kWaveStillPlaying;
    m_position.store(0);
    m_media = media::activeCapture();
    m_startFrame.store(m_stream->nowFrames());
    m_state.store(kPlaying); // publishes the block to advanceTo
    return kMmNoError;
}

int32_t VirtualWaveOut::positionFrames(uint32_t& frames)
{
    frames = 0;
    if (!m_open)
        return kMmInvalidHandle;
    frames = m_position.load();
    return kMmNoError;
}

int32_t VirtualWaveOut::reset()
{
    if (!m_open)
        return kMmInvalidHandle;
    int32_t playing = kPlaying;
    const bool stopped = m_state.compare_exchange_strong(playing, kIdle);
    m_fence.waitForStep(); // from here on no step touches the block or the sink
    m_position.store(0);
    m_media.reset();
    m_sink.flush();
    if (stopped && m_onBlockDone)
        m_onBlockDone();
    return kMmNoError;
}

int32_t VirtualWaveOut::unprepare()
{
    if (!m_open)
        return kMmInvalidHandle;
    if (m_state.load() == kPlaying)
        return kWaveStillPlaying;
    m_prepared = false;
    m_block = nullptr;
    m_blockFrames = 0;
    return kMmNoError;
}

int32_t VirtualWaveOut::close()
{
    if (!m_open)
        return kMmInvalidHandle;
    if (m_state.load() == kPlaying)
        return kWaveStillPlaying;
    m_stream->detach(*this);
    m_stream.reset();
    m_media.reset();
    m_sink.close();
    m_prepared = false;
    m_open = false;
    return kMmNoError;
}

void VirtualWaveOut::advanceTo(uint64_t now)
{
    m_fence.enter();
    bool finished = false;
    if (m_state.load() == kPlaying)
    {
        const uint64_t start = m_startFrame.load();
        const uint32_t from = m_position.load();
        uint32_t to = uint32_t(std::min<uint64_t>(now > start ? now - start : 0, m_blockFrames));
        if (m_media && to > from) // frames whose media is not decoded yet play at a later step
            to = from + m_media->readyCount(from, to - from);
        if (to > from)
        {
            const int16_t* frames = m_block + size_t(from) * 2;
            if (m_media)
            {
                m_mixed.assign(frames, frames + size_t(to - from) * 2);
                m_media->mixInto(from, m_mixed.data(), to - from);
                frames = m_mixed.data();
            }
            m_sink.append({frames, size_t(to - from) * 2});
            VirtualLoopback& loopback = m_stream->loopback();
            for (uint32_t k = from; k < to; ++k)
                loopback.publish(start + k, packFrame(frames + size_t(k - from) * 2));
            m_position.store(to);
        }
        int32_t playing = kPlaying;
        if (to == m_blockFrames && m_state.compare_exchange_strong(playing, kIdle))
        {
            m_sink.flush();
            finished = true;
        }
    }
    // Inside the fence, so reset() and close() also wait for the notification to finish.
    if (finished && m_onBlockDone)
        m_onBlockDone();
    m_fence.leave();
}

} // namespace platform
