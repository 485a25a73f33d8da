// VirtualWaveSink: appends frames to a canonical wave file and keeps its header valid.
#include "VirtualWaveSink.h"

#include "../MmResult.h"
#include "../WaveHeader.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace platform
{

namespace
{

constexpr uint64_t kHeaderBytes = kWaveHeaderBytes;
// The RIFF size field counts 36 header bytes plus the data and must fit 32 bits.
constexpr uint64_t kMaxDataBytes = uint64_t(kWaveHeaderMaxFrames) * 4;

// The frames' byte count of an existing canonical wave file, or -1 when it is not one.
int64_t existingDataBytes(std::FILE* f, uint64_t fileBytes)
{
    std::array<uint8_t, kHeaderBytes> h{};
    if (fileBytes < kHeaderBytes || std::fread(h.data(), 1, h.size(), f) != h.size())
        return -1;
    const WaveHeaderFields fields = readWaveHeader(h.data());
    // Everything but the two size fields must be exactly the canonical header.
    if (!fields.isCanonical())
        return -1;
    const uint64_t dataBytes = fields.dataBytes;
    if (dataBytes % 4 != 0 || kHeaderBytes + dataBytes > fileBytes)
        return -1;
    return int64_t(dataBytes);
}

} // namespace

int32_t VirtualWaveSink::open(const std::string& path)
{
    close();
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (!exists)
    {
        m_file = std::fopen(path.c_str(), "w+b");
        if (m_file == nullptr)
            return kMmError;
        m_dataBytes = 0;
        flush();
        return kMmNoError;
    }
    const uint64_t fileBytes = std::filesystem::file_size(path, ec);
    if (ec)
        return kMmError;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return kMmError;
    const int64_t dataBytes = existingDataBytes(f, fileBytes);
    std::fclose(f);
    if (dataBytes < 0)
        return kMmError;
    // Bytes past the declared frames (a pass cut short before its header was written) are
    // outside the wave: they go, and new frames follow the declared ones.
    if (fileBytes > kHeaderBytes + uint64_t(dataBytes))
        std::filesystem::resize_file(path, kHeaderBytes + uint64_t(dataBytes), ec);
    m_file = ec ? nullptr : std::fopen(path.c_str(), "r+b");
    if (m_file == nullptr || std::fseek(m_file, 0, SEEK_END) != 0)
    {
        if (m_file != nullptr)
            std::fclose(m_file);
        m_file = nullptr;
        return kMmError;
    }
    m_dataBytes = uint64_t(dataBytes);
    return kMmNoError;
}

void VirtualWaveSink::append(std::span<const int16_t> samples)
{
    if (m_file == nullptr)
        return;
    uint64_t bytes = samples.size() / 2 * 4;
    bytes = std::min(bytes, kMaxDataBytes - m_dataBytes);
    std::array<uint8_t, 4096> chunk{};
    size_t done = 0;
    while (done < bytes)
    {
        const auto n = size_t(std::min<uint64_t>(chunk.size(), bytes - done));
        for (size_t i = 0; i < n; i += 2)
            writeLe16(&chunk[i], samples[(done + i) / 2]);
        if (std::fwrite(chunk.data(), 1, n, m_file) != n)
            break;
        done += n;
    }
    m_dataBytes += done;
}

void VirtualWaveSink::flush()
{
    if (m_file == nullptr)
        return;
    const std::array<uint8_t, kHeaderBytes> header = waveHeader(uint32_t(m_dataBytes / 4));
    std::fseek(m_file, 0, SEEK_SET);
    std::fwrite(header.data(), 1, header.size(), m_file);
    std::fseek(m_file, long(kHeaderBytes + m_dataBytes), SEEK_SET);
    std::fflush(m_file);
}

void VirtualWaveSink::close()
{
    if (m_file == nullptr)
        return;
    flush();
    std::fclose(m_file);
    m_file = nullptr;
    m_dataBytes = 0;
}

} // namespace platform
