// RiffWalker: chunk headers, bodies and pad bytes of a RIFF file, read from a file or from memory.
#include "RiffWalker.h"

#include "../WaveHeader.h"

#include <algorithm>

namespace platform
{

namespace
{

constexpr uint64_t kHeaderBytes = 8;

bool seekTo(std::FILE* f, uint64_t offset)
{
    if (offset > uint64_t(INT64_MAX))
        return false;
#if defined(_WIN32)
    return _fseeki64(f, int64_t(offset), SEEK_SET) == 0; // long is 32 bits there
#else
    return fseeko(f, off_t(offset), SEEK_SET) == 0;
#endif
}

int64_t tellOf(std::FILE* f)
{
#if defined(_WIN32)
    return _ftelli64(f);
#else
    return int64_t(ftello(f));
#endif
}

} // namespace

RiffWalker::RiffWalker(std::FILE* f, uint64_t fileSize, RiffSizes sizes,
                       std::optional<RiffChunk> inside)
    : m_file(f), m_fileSize(fileSize), m_sizes(sizes), m_current(inside)
{
    const int64_t at = tellOf(f);
    m_pos = at < 0 ? fileSize : uint64_t(at); // a file that cannot tell its place ends the walk
}

RiffWalker::RiffWalker(std::span<const uint8_t> bytes, uint64_t fileSize, uint64_t start)
    : m_bytes(bytes), m_fileSize(fileSize), m_pos(start)
{
}

std::optional<RiffChunk> RiffWalker::next()
{
    if (m_current)
        m_pos = endOf(*m_current);
    m_current.reset();
    uint8_t header[kHeaderBytes];
    if (m_pos > m_fileSize || m_fileSize - m_pos < kHeaderBytes ||
        readAt(m_pos, header, kHeaderBytes) != kHeaderBytes)
        return std::nullopt;
    RiffChunk chunk;
    std::memcpy(chunk.id.data(), header, 4);
    chunk.size = readLe32(header + 4);
    chunk.offset = m_pos + kHeaderBytes;
    chunk.bytesInFile = std::min<uint64_t>(chunk.size, m_fileSize - chunk.offset);
    m_current = chunk;
    return chunk;
}

uint64_t RiffWalker::endOf(const RiffChunk& chunk)
{
    // What the caller read of the file: nothing, of a walk over memory.
    const int64_t read = m_file != nullptr ? tellOf(m_file) : 0;
    if (read < 0)
        return m_fileSize + 1; // a file that cannot tell its place ends the walk
    const bool skipped = m_sizes == RiffSizes::Unsigned || chunk.size <= uint32_t(INT32_MAX);
    const uint32_t size = skipped ? chunk.size : 0;
    uint64_t end = chunk.offset + size;
    if ((size & 1u) != 0)
    {
        uint8_t after[5];
        end += padBytes(size, after, readAt(end, after, sizeof after));
    }
    return std::max(end, uint64_t(read));
}

size_t RiffWalker::readAt(uint64_t offset, uint8_t* into, size_t count)
{
    if (m_file == nullptr)
    {
        if (offset >= m_bytes.size())
            return 0;
        const size_t n = size_t(std::min<uint64_t>(count, m_bytes.size() - offset));
        std::memcpy(into, m_bytes.data() + offset, n);
        return n;
    }
    if (offset >= m_fileSize || !seekTo(m_file, offset))
        return 0;
    return std::fread(into, 1, count, m_file);
}

bool readRiffWaveHead(std::FILE* f)
{
    uint8_t head[12];
    return std::fread(head, 1, sizeof head, f) == sizeof head && isRiffWave(head);
}

} // namespace platform
