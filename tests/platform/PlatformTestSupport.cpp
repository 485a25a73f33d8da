// Helpers for the device tests.
#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace platform::test
{

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name)
{
    if (const char* old = std::getenv(name))
        m_old = old;
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (m_old)
        setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

std::string scratchPath(const std::string& name)
{
    static std::atomic<int> counter{0};
    const auto dir = std::filesystem::temp_directory_path() /
                     ("vumo_platform_tests_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / (std::to_string(counter++) + "_" + name);
    std::filesystem::remove(path);
    return path.string();
}

std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
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

uint32_t get32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

} // namespace

std::vector<uint8_t> waveImage(const std::vector<int16_t>& samples)
{
    const auto dataBytes = uint32_t(samples.size() * 2);
    std::vector<uint8_t> b;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(b, 36 + dataBytes);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, 1);
    put16(b, 2);
    put32(b, 44100);
    put32(b, 176400);
    put16(b, 4);
    put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, dataBytes);
    for (int16_t s : samples)
        put16(b, uint16_t(s));
    return b;
}

std::vector<int16_t> samplesOfCanonicalWave(const std::vector<uint8_t>& bytes)
{
    EXPECT_GE(bytes.size(), 44u);
    if (bytes.size() < 44)
        return {};
    const uint32_t dataBytes = get32(bytes, 40);
    EXPECT_EQ(bytes.size(), 44u + dataBytes) << "file length disagrees with its data size";
    EXPECT_EQ(get32(bytes, 4), 36u + dataBytes) << "RIFF size";
    // Apart from the two sizes the header must be the canonical one.
    const std::vector<uint8_t> expected = waveImage({});
    for (size_t i = 0; i < 44; ++i)
    {
        if ((i >= 4 && i < 8) || i >= 40)
            continue;
        EXPECT_EQ(bytes[i], expected[i]) << "header byte " << i;
    }
    std::vector<int16_t> samples((bytes.size() - 44) / 2);
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

std::vector<int16_t> rampFrames(uint32_t frames, int16_t first)
{
    std::vector<int16_t> samples(size_t(frames) * 2);
    for (uint32_t k = 0; k < frames; ++k)
    {
        samples[2 * k] = int16_t(first + int(k));
        samples[2 * k + 1] = int16_t(-(first + int(k)));
    }
    return samples;
}

} // namespace platform::test
