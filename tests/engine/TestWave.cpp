// Test helpers: temporary folders and hand-built wave files.
#include "TestWave.h"

#include "platform/WaveHeader.h"

#include <atomic>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace testwave
{

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("vumo-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

namespace
{

void put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

void put16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void putId(std::vector<uint8_t>& b, const char* id)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(id[i]));
}

} // namespace

std::vector<uint8_t> waveBytes(const std::vector<int16_t>& samples, const WaveLayout& layout)
{
    std::vector<uint8_t> b;
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    putId(b, "RIFF");
    put32(b, 0); // patched below
    putId(b, "WAVE");
    putId(b, "fmt ");
    put32(b, layout.fmtSize);
    put16(b, layout.formatTag);
    put16(b, layout.channels);
    put32(b, layout.rate);
    put32(b, layout.rate * layout.channels * layout.bits / 8);
    put16(b, uint16_t(layout.channels * layout.bits / 8));
    put16(b, layout.bits);
    for (uint32_t i = 16; i < layout.fmtSize; ++i)
        b.push_back(0);
    for (const std::string& id : layout.chunksBeforeData)
    {
        putId(b, id.c_str());
        put32(b, 4);
        put32(b, 0xDEADBEEF);
    }
    putId(b, "data");
    put32(b, layout.declaredDataBytes < 0 ? dataBytes : uint32_t(layout.declaredDataBytes));
    const size_t at = b.size();
    b.resize(at + dataBytes);
    if (dataBytes > 0)
        std::memcpy(b.data() + at, samples.data(), dataBytes);
    const uint32_t riff = uint32_t(b.size() - 8);
    std::memcpy(b.data() + 4, &riff, 4);
    return b;
}

std::vector<uint8_t> withOddListChunk(std::vector<uint8_t> bytes)
{
    const uint8_t list[] = {'L', 'I', 'S', 'T', 5, 0, 0, 0, 'I', 'N', 'F', 'O', 'x', 0};
    bytes.insert(bytes.begin() + 36, std::begin(list), std::end(list));
    platform::writeLe32(bytes.data() + 4, uint32_t(bytes.size() - 8));
    return bytes;
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!f)
        throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void writeStereo(const std::string& path, const std::vector<int16_t>& samples)
{
    const auto header = platform::waveHeader(uint32_t(samples.size() / 2));
    std::vector<uint8_t> b(header.begin(), header.end());
    b.resize(header.size() + 2 * (samples.size() / 2 * 2));
    if (b.size() > header.size())
        std::memcpy(b.data() + header.size(), samples.data(), b.size() - header.size());
    writeBytes(path, b);
}

std::vector<int16_t> readSamples(const std::string& path)
{
    const std::vector<uint8_t> b = readBytes(path);
    if (b.size() < 44 || !platform::readWaveHeader(b.data()).isCanonical())
        return {};
    std::vector<int16_t> s((b.size() - 44) / 2);
    if (!s.empty())
        std::memcpy(s.data(), b.data() + 44, s.size() * 2);
    return s;
}

std::vector<int16_t> ramp(int32_t frames, int32_t base)
{
    std::vector<int16_t> s(size_t(frames) * 2);
    for (int32_t k = 0; k < frames; ++k)
    {
        const int32_t v = (base + k) % 32767;
        s[2 * size_t(k)] = int16_t(v);
        s[2 * size_t(k) + 1] = int16_t(-v);
    }
    return s;
}

uint32_t le32(const std::vector<uint8_t>& b, size_t o)
{
    return platform::readLe32(b.data() + o);
}

} // namespace testwave
