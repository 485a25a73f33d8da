// Test helpers that write and read plain 16-bit stereo 44100 wave files without the engine.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fxtest
{

// Writes interleaved stereo samples as a 16-bit 44100 wave file with the 44-byte header.
inline void writeWave(const std::filesystem::path& path, const std::vector<int16_t>& samples)
{
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t bytes = uint32_t(samples.size() * 2);
    out.write("RIFF", 4);
    u32(bytes + 36);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(176400);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(bytes));
}

// The samples of a wave file written by the engine (header skipped), or empty.
inline std::vector<int16_t> readWaveSamples(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 44)
        return {};
    std::vector<int16_t> samples((bytes.size() - 44) / 2);
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

} // namespace fxtest
