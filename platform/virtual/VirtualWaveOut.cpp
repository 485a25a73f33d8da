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
    shutDown();
}

int32_t VirtualWaveOut::openDevice()
{
    const char* path = std::getenv("VUMO_VIRTUAL_OUTPUT");
    if (path != nullptr && *path != '\0')
    {
        if (const int32_t rc = m_sink.open(path); rc != kMmNoError)
            return rc;
    }
    m_stream = m_fixedStream ? m_fixedStream : acquireVirtualStream();
    if (const int32_t rc = m_stream->attach(*this, true); rc != kMmNoError)
    {
        m_stream.reset();
        m_sink.close();
        return rc;
    }
    m_position.store(0);
    return kMmNoError;
}

int32_t VirtualWaveOut::writeDevice()
{
    m_position.store(0);
    m_media = media::activeCapture();
    m_startFrame.store(m_stream->nowFrames());
    setBlockState(kPlaying); // publishes the block to advanceTo
    return kMmNoError;
}

int32_t VirtualWaveOut::readPosition(uint32_t& frames)
{
    frames = m_position.load();
    return kMmNoError;
}

int32_t VirtualWaveOut::resetDevice()
{
    m_fence.waitForStep(); // from here on no step touches the block or the sink
    m_position.store(0);
    m_media.reset();
    m_sink.flush();
    return kMmNoError;
}

int32_t VirtualWaveOut::closeDevice()
{
    m_stream->detach(*this);
    m_stream.reset();
    m_media.reset();
    m_sink.close();
    return kMmNoError;
}

void VirtualWaveOut::advanceTo(uint64_t now)
{
    m_fence.enter();
    bool finished = false;
    if (blockState() == kPlaying)
    {
        const uint64_t start = m_startFrame.load();
        const uint32_t from = m_position.load();
        uint32_t to = uint32_t(std::min<uint64_t>(now > start ? now - start : 0, blockFrames()));
        if (m_media && to > from) // frames whose media is not decoded yet play at a later step
            to = from + m_media->readyCount(from, to - from);
        if (to > from)
        {
            const int16_t* frames = block() + size_t(from) * 2;
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
        if (to == blockFrames() && endBlock(kPlaying))
        {
            m_sink.flush();
            finished = true;
        }
    }
    // Inside the fence, so reset() and close() also wait for the notification to finish.
    if (finished)
        notifyBlockDone();
    m_fence.leave();
}

} // namespace platform
