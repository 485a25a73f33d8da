// The header probe that sizes the engine for an input file.
#include "tools/fx/WaveProbe.h"

#include "tests/engine/fx/WaveFileHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace vumo::fxtool;

namespace
{

std::filesystem::path tempFile(const char* name)
{
    return std::filesystem::temp_directory_path() /
           ("vumo-fx-probe-" + std::to_string(::getpid()) + "-" + name);
}

// A wave header with the given fields followed by dataBytes of zeros.
void writeHeader(const std::filesystem::path& p, uint16_t channels, uint16_t bits,
                 uint32_t declared, uint32_t dataBytes, const char* riff = "RIFF")
{
    std::ofstream out(p, std::ios::binary);
    const auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write(riff, 4);
    u32(declared + 36);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(channels);
    u32(44100);
    u32(44100u * channels * bits / 8);
    u16(uint16_t(channels * bits / 8));
    u16(bits);
    out.write("LIST", 4);
    u32(4);
    out.write("INFO", 4);
    out.write("data", 4);
    u32(declared);
    out.write(std::string(dataBytes, '\0').data(), dataBytes);
}

} // namespace

TEST(WaveProbe, CountsStereoFramesPastOtherChunks)
{
    const auto p = tempFile("stereo.wav");
    writeHeader(p, 2, 16, 4000, 4000);
    const WaveInfo w = probeWave(p.string());
    EXPECT_TRUE(w.error.empty()) << w.error;
    EXPECT_EQ(w.frames, 1000);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, 44100);
    std::filesystem::remove(p);
}

TEST(WaveProbe, CountsMonoSamplesAsFrames)
{
    const auto p = tempFile("mono.wav");
    writeHeader(p, 1, 16, 4000, 4000);
    EXPECT_EQ(probeWave(p.string()).frames, 2000);
    std::filesystem::remove(p);
}

TEST(WaveProbe, CutsADataSizeLargerThanTheFile)
{
    const auto p = tempFile("short.wav");
    writeHeader(p, 2, 16, 0xFFFFFFF0u, 400);
    EXPECT_EQ(probeWave(p.string()).frames, 100);
    std::filesystem::remove(p);
}

TEST(WaveProbe, RefusesOtherSampleSizes)
{
    const auto p = tempFile("8bit.wav");
    writeHeader(p, 2, 8, 400, 400);
    EXPECT_NE(probeWave(p.string()).error.find("8 bits per sample"), std::string::npos);
    std::filesystem::remove(p);
}

TEST(WaveProbe, RefusesAFileWithoutRiff)
{
    const auto p = tempFile("norf.wav");
    writeHeader(p, 2, 16, 400, 400, "RIFX");
    EXPECT_NE(probeWave(p.string()).error.find("not a RIFF WAVE"), std::string::npos);
    std::filesystem::remove(p);
}

TEST(WaveProbe, ReportsAFileThatCannotBeOpened)
{
    const WaveInfo w = probeWave(tempFile("missing.wav").string());
    EXPECT_NE(w.error.find("cannot open it"), std::string::npos);
}

TEST(WaveProbe, ReportsAMissingDataChunk)
{
    const auto p = tempFile("nodata.wav");
    {
        std::ofstream out(p, std::ios::binary);
        const uint32_t sizes[] = {28, 16};
        out.write("RIFF", 4);
        out.write(reinterpret_cast<const char*>(&sizes[0]), 4);
        out.write("WAVEfmt ", 8);
        out.write(reinterpret_cast<const char*>(&sizes[1]), 4);
        const uint16_t fmt[8] = {1, 2, 44100, 0, 0, 0, 4, 16};
        out.write(reinterpret_cast<const char*>(fmt), 16);
    }
    EXPECT_NE(probeWave(p.string()).error.find("no data chunk"), std::string::npos);
    std::filesystem::remove(p);
}

TEST(WaveProbe, NamesEveryRefusalOfTheEngine)
{
    EXPECT_EQ(loadResultText(10), "it has no RIFF header");
    EXPECT_EQ(loadResultText(14), "it is not 16 bits per sample");
    EXPECT_NE(loadResultText(99).find("99"), std::string::npos);
}
