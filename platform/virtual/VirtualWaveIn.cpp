// VirtualWaveIn: fills its block at the virtual stream's pace from silence, a file or loopback.
#include "VirtualWaveIn.h"

#include "VirtualWaveSource.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform
{

VirtualWaveIn::VirtualWaveIn(std::shared_ptr<VirtualStream> stream)
    : m_fixedStream(std::move(stream))
{
}

VirtualWaveIn::~VirtualWaveIn()
{
    shutDown();
}

int32_t VirtualWaveIn::openDevice()
{
    m_stream = m_fixedStream ? m_fixedStream : acquireVirtualStream();
    if (const int32_t rc = m_stream->attach(*this, false); rc != kMmNoError)
    {
        m_stream.reset();
        return rc;
    }
    m_position.store(0);
    m_started = false;
    return kMmNoError;
}

int32_t VirtualWaveIn::addToDevice()
{
    m_position.store(0);
    if (m_started)
        beginCapture();
    else
        setBlockState(kQueued);
    return kMmNoError;
}

int32_t VirtualWaveIn::startDevice()
{
    if (const int32_t rc = chooseSource(); rc != kMmNoError)
        return rc;
    m_started = true;
    if (blockState() == kQueued)
        beginCapture();
    return kMmNoError;
}

int32_t VirtualWaveIn::chooseSource()
{
    if (m_started)
        return kMmNoError; // already capturing from the source chosen then
    m_fileSamples.clear();
    endMedia();
    media::CaptureStart capture =
        media::startCaptureFromEnvironment(prepared() ? blockFrames() : UINT32_MAX);
    if (capture.requested)
    {
        if (!capture.stream)
        {
            std::fprintf(stderr, "Vumo: %s\n", capture.error.c_str());
            return kMmError;
        }
        m_media = std::move(capture.stream);
        m_source = Source::Media;
        return kMmNoError;
    }
    const char* input = std::getenv("VUMO_VIRTUAL_INPUT");
    if (input == nullptr || *input == '\0')
        m_source = Source::Silence;
    else if (std::strcmp(input, "loopback") == 0)
        m_source = Source::Loopback;
    else if (readWaveFrames(input, prepared() ? blockFrames() : SIZE_MAX, m_fileSamples))
        m_source = Source::File;
    else
        return kMmError;
    return kMmNoError;
}

void VirtualWaveIn::endMedia()
{
    if (!m_media)
        return;
    media::endCapture(m_media.get());
    m_media.reset();
}

void VirtualWaveIn::beginCapture()
{
    m_startFrame.store(m_stream->nowFrames());
    setBlockState(kCapturing); // publishes block, source and samples to advanceTo
}

int32_t VirtualWaveIn::readPosition(uint32_t& frames)
{
    frames = m_position.load();
    return kMmNoError;
}

int32_t VirtualWaveIn::resetDevice()
{
    m_fence.waitForStep(); // from here on no step touches the block
    m_position.store(0);
    m_started = false;
    endMedia();
    return kMmNoError;
}

int32_t VirtualWaveIn::closeDevice()
{
    m_stream->detach(*this);
    m_stream.reset();
    m_fileSamples.clear();
    endMedia();
    m_started = false;
    return kMmNoError;
}

void VirtualWaveIn::advanceTo(uint64_t now)
{
    m_fence.enter();
    bool full = false;
    if (blockState() == kCapturing)
    {
        const uint64_t start = m_startFrame.load();
        const uint32_t from = m_position.load();
        uint32_t to = uint32_t(std::min<uint64_t>(now > start ? now - start : 0, blockFrames()));
        if (m_source == Source::Media && to > from)
        {
            // Frames not decoded yet are captured at a later step; the block waits for them.
            to = from + m_media->readyCount(from, to - from);
            m_media->copyTo(from, block() + size_t(from) * 2, to - from);
        }
        for (uint32_t k = from; k < to && m_source != Source::Media; ++k)
        {
            int16_t* frame = block() + size_t(k) * 2;
            if (m_source == Source::Loopback)
            {
                const uint32_t packed = m_stream->loopback().frameAt(start + k);
                frame[0] = int16_t(uint16_t(packed & 0xFFFF));
                frame[1] = int16_t(uint16_t(packed >> 16));
            }
            else if (m_source == Source::File && size_t(k) * 2 < m_fileSamples.size())
            {
                frame[0] = m_fileSamples[size_t(k) * 2];
                frame[1] = m_fileSamples[size_t(k) * 2 + 1];
            }
            else
            {
                frame[0] = 0;
                frame[1] = 0;
            }
        }
        m_position.store(std::max(from, to));
        full = to == blockFrames() && endBlock(kCapturing);
    }
    // Inside the fence, so reset() and close() also wait for the notification to finish.
    if (full)
        notifyBlockDone();
    m_fence.leave();
}

} // namespace platform
