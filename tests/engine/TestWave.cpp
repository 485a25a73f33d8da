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

namespace
{

// Removes a folder and everything in it, read-only files too (Windows keeps those otherwise).
void removeFolder(const std::filesystem::path& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
}

} // namespace

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("vumo-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    removeFolder(m_path); // left by an earlier process of the same number
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir()
{
    removeFolder(m_path);
}

std::vector<uint8_t> waveBytes(const std::vector<int16_t>& samples, const WaveLayout& layout)
{
    std::vector<uint8_t> b;
    const auto put = [&b](uint32_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    };
    const auto putId = [&put](const char* id)
    { put(uint32_t(id[0] | id[1] << 8 | id[2] << 16 | id[3] << 24), 4); };
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    putId("RIFF"), put(0, 4), putId("WAVE"); // the RIFF size is patched below
    putId("fmt "), put(layout.fmtSize, 4), put(layout.formatTag, 2), put(layout.channels, 2);
    put(layout.rate, 4), put(layout.rate * layout.channels * layout.bits / 8, 4);
    put(uint16_t(layout.channels * layout.bits / 8), 2), put(layout.bits, 2);
    b.resize(b.size() + (layout.fmtSize > 16 ? layout.fmtSize - 16 : 0), 0);
    for (const std::string& id : layout.chunksBeforeData)
        putId(id.c_str()), put(4, 4), put(0xDEADBEEF, 4);
    putId("data");
    put(layout.declaredDataBytes < 0 ? dataBytes : uint32_t(layout.declaredDataBytes), 4);
    b.resize(b.size() + dataBytes);
    if (dataBytes > 0)
        std::memcpy(b.data() + b.size() - dataBytes, samples.data(), dataBytes);
    platform::writeLe32(b.data() + 4, uint32_t(b.size() - 8));
    return b;
}

std::vector<uint8_t> withOddListChunk(std::vector<uint8_t> bytes, int padByte)
{
    std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 5, 0, 0, 0, 'I', 'N', 'F', 'O', 'x'};
    if (padByte >= 0)
        list.push_back(uint8_t(padByte));
    bytes.insert(bytes.begin() + 36, list.begin(), list.end());
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
    b.resize(header.size() + 4 * (samples.size() / 2));
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
    for (size_t k = 0; k < size_t(frames); ++k)
        s[2 * k] = int16_t((base + int32_t(k)) % 32767), s[2 * k + 1] = int16_t(-s[2 * k]);
    return s;
}

} // namespace testwave
