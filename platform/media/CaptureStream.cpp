// CaptureStream: decodes a capture's media ahead on its own thread into fixed-size chunks.
#include "CaptureStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform::media
{

namespace
{

std::mutex g_activeMutex;
std::shared_ptr<CaptureStream> g_active;

} // namespace

CaptureStream::CaptureStream(std::unique_ptr<MediaReader> reader, uint64_t maxFrames)
    : m_reader(std::move(reader)), m_maxFrames(maxFrames),
      m_chunks(size_t((maxFrames + kChunkFrames - 1) >> kChunkBits))
{
    m_thread = std::thread([this] { decode(); });
}

CaptureStream::~CaptureStream()
{
    m_stop.store(true);
    m_thread.join();
}

void CaptureStream::decode()
{
    std::vector<int16_t> samples;
    uint64_t ready = 0;
    while (ready < m_maxFrames && !m_stop.load())
    {
        samples.clear();
        std::string error;
        if (!m_reader->read(samples, error))
        {
            m_error = std::move(error);
            break;
        }
        if (samples.empty())
            break;
        const uint64_t frames = std::min<uint64_t>(samples.size() / 2, m_maxFrames - ready);
        for (uint64_t done = 0; done < frames;)
        {
            const uint64_t at = ready + done;
            auto& chunk = m_chunks[size_t(at >> kChunkBits)];
            if (!chunk)
                chunk = std::make_unique<int16_t[]>(size_t(kChunkFrames) * 2);
            const uint64_t offset = at & (kChunkFrames - 1);
            const uint64_t n = std::min(frames - done, kChunkFrames - offset);
            std::memcpy(chunk.get() + offset * 2, samples.data() + done * 2, size_t(n) * 4);
            done += n;
        }
        ready += frames;
        m_ready.store(ready); // publishes the frames to the devices
    }
    m_reader.reset(); // the file or the drive is released as soon as decoding ends
    m_done.store(true);
}

const int16_t* CaptureStream::frame(uint64_t k) const
{
    return m_chunks[size_t(k >> kChunkBits)].get() + (k & (kChunkFrames - 1)) * 2;
}

uint32_t CaptureStream::readyCount(uint64_t first, uint32_t count) const
{
    if (m_done.load())
        return count;
    const uint64_t ready = m_ready.load();
    return first >= ready ? 0 : uint32_t(std::min<uint64_t>(count, ready - first));
}

void CaptureStream::copyTo(uint64_t first, int16_t* frames, uint32_t count) const
{
    const uint64_t ready = m_ready.load();
    for (uint32_t i = 0; i < count; ++i)
    {
        if (first + i < ready)
            std::memcpy(frames + size_t(i) * 2, frame(first + i), 4);
        else
            frames[size_t(i) * 2] = frames[size_t(i) * 2 + 1] = 0;
    }
}

void CaptureStream::mixInto(uint64_t first, int16_t* frames, uint32_t count) const
{
    const uint64_t ready = m_ready.load();
    const uint32_t n = first >= ready ? 0 : uint32_t(std::min<uint64_t>(count, ready - first));
    for (uint32_t i = 0; i < n; ++i)
    {
        const int16_t* media = frame(first + i);
        for (size_t c = 0; c < 2; ++c)
        {
            int16_t& x = frames[size_t(i) * 2 + c];
            x = int16_t(std::clamp(int32_t(x) + int32_t(media[c]), -32768, 32767));
        }
    }
}

std::string CaptureStream::error() const
{
    return m_done.load() ? m_error : std::string();
}

CaptureStart startCaptureFromEnvironment(uint64_t maxFrames)
{
    CaptureStart start;
    const char* source = std::getenv(kCaptureSourceVariable);
    if (source == nullptr || *source == '\0')
        return start;
    start.requested = true;
    MediaOpenResult opened = openMedia(source);
    if (!opened.reader)
    {
        start.error = std::move(opened.error);
        return start;
    }
    start.stream = std::make_shared<CaptureStream>(std::move(opened.reader), maxFrames);
    std::lock_guard lock(g_activeMutex);
    g_active = start.stream;
    return start;
}

std::shared_ptr<CaptureStream> activeCapture()
{
    std::lock_guard lock(g_activeMutex);
    return g_active;
}

void endCapture(const CaptureStream* stream)
{
    std::lock_guard lock(g_activeMutex);
    if (g_active.get() == stream)
        g_active.reset();
}

} // namespace platform::media
