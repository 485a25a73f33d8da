// Shorten codec: lossless round trips of the files a cabinet carries, FFmpeg's decoder reading
// the same samples back, and bad streams refused without a partial file.
#include "tools/cab/Shorten.h"

#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

using namespace vumo::cab;
using testwave::TempDir;

namespace
{

struct Signal
{
    const char* name;
    int frames;
    int channels;
    std::vector<int16_t> (*make)(int samples);
    std::vector<std::string> chunksBeforeData = {};
};

std::vector<int16_t> silence(int n)
{
    return std::vector<int16_t>(size_t(n), 0);
}

std::vector<int16_t> noise(int n)
{
    std::mt19937 random(7);
    std::vector<int16_t> s(static_cast<size_t>(n));
    for (auto& v : s) // the whole range, -32768 included
        v = int16_t(random() & 0xFFFF);
    return s;
}

std::vector<int16_t> square(int n)
{
    std::vector<int16_t> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[size_t(i)] = (i / 100) % 2 ? 32767 : -32768;
    return s;
}

std::vector<int16_t> music(int n) // two tones and a little noise, as a track might hold
{
    std::mt19937 random(3);
    std::vector<int16_t> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[size_t(i)] = int16_t(9000 * std::sin(i * 0.031) + 5000 * std::sin(i * 0.0071) +
                               int(random() % 64) - 32);
    return s;
}

std::vector<uint8_t> waveFile(const Signal& signal)
{
    testwave::WaveLayout layout;
    layout.channels = uint16_t(signal.channels);
    layout.chunksBeforeData = signal.chunksBeforeData;
    return testwave::waveBytes(signal.make(signal.frames * signal.channels), layout);
}

// FFmpeg's decode of a Shorten file as raw 16-bit little-endian samples.
std::vector<uint8_t> ffmpegDecode(const std::string& shn, const TempDir& dir)
{
    const std::string raw = dir.file("ffmpeg.raw");
    const std::string command = "ffmpeg -v error -y -f shn -i '" + shn + "' -f s16le '" + raw + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    return testwave::readBytes(raw);
}

const Signal kSignals[] = {
    {"silence", 100000, 2, silence},   {"full-scale noise", 20000, 2, noise},
    {"square wave", 44100, 2, square}, {"not a whole number of blocks", 1000, 2, music},
    {"mono", 3001, 1, music},          {"a chunk before the data", 700, 2, music, {"LIST"}},
    {"no samples", 0, 2, silence},
};

} // namespace

TEST(Shorten, RoundTripsByteForByteAndFfmpegReadsTheSameSamples)
{
    TempDir dir;
    for (const Signal& signal : kSignals)
    {
        SCOPED_TRACE(signal.name);
        const std::vector<uint8_t> wave = waveFile(signal);
        std::vector<uint8_t> stream, back;
        std::string error;
        ASSERT_TRUE(shortenEncode(wave, stream, error)) << error;
        ASSERT_TRUE(shortenDecode(stream, back, error)) << error;
        EXPECT_EQ(back, wave);

        if (signal.frames == 0)
            continue; // FFmpeg gives no stream for a file without samples
        const std::string shn = dir.file("signal.shn");
        testwave::writeBytes(shn, stream);
        const size_t dataStart = wave.size() - size_t(signal.frames) * signal.channels * 2;
        const std::vector<uint8_t> samples(wave.begin() + long(dataStart), wave.end());
        EXPECT_EQ(ffmpegDecode(shn, dir), samples);
    }
}

TEST(Shorten, CompressesSilenceAndMusicAndBarelyGrowsNoise)
{
    const struct
    {
        const char* name;
        std::vector<int16_t> (*make)(int);
        double maxRatio;
    } cases[] = {{"silence", silence, 0.01}, {"music", music, 0.6}, {"noise", noise, 1.05}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> wave = testwave::waveBytes(c.make(2 * 44100));
        std::vector<uint8_t> stream;
        std::string error;
        ASSERT_TRUE(shortenEncode(wave, stream, error));
        EXPECT_LT(double(stream.size()), c.maxRatio * double(wave.size()));
    }
}

TEST(Shorten, RefusesWhatItCannotCodeOrDecode)
{
    std::vector<uint8_t> stream, out;
    std::string error;
    testwave::WaveLayout eightBit;
    eightBit.bits = 8;
    EXPECT_FALSE(shortenEncode(testwave::waveBytes(music(100), eightBit), stream, error));
    EXPECT_NE(error.find("16-bit"), std::string::npos);
    const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(shortenEncode(text, stream, error));

    const Signal signal{"music", 3000, 2, music};
    ASSERT_TRUE(shortenEncode(waveFile(signal), stream, error));
    // Every cut of the stream and a flipped version byte are refused (tests/fuzz/FuzzShorten.cpp
    // feeds it damaged streams).
    for (size_t cut = 0; cut < stream.size(); cut += 7)
    {
        const std::vector<uint8_t> part(stream.begin(), stream.begin() + long(cut));
        EXPECT_FALSE(shortenDecode(part, out, error)) << "cut at " << cut;
    }
    std::vector<uint8_t> otherVersion = stream;
    otherVersion[4] = 1;
    EXPECT_FALSE(shortenDecode(otherVersion, out, error));
    EXPECT_NE(error.find("version 1"), std::string::npos);
}

TEST(Shorten, AFailedDecodeLeavesTheOldFileWholeAndNoPart)
{
    TempDir dir;
    const std::string target = dir.file("t1.wav");
    const std::vector<uint8_t> old = waveFile({"old", 500, 2, music});
    testwave::writeBytes(target, old);
    std::vector<uint8_t> stream;
    std::string error;
    ASSERT_TRUE(shortenEncode(waveFile({"new", 900, 2, square}), stream, error));
    stream.resize(stream.size() / 2);
    testwave::writeBytes(dir.file("t1.shn"), stream);

    EXPECT_FALSE(shortenDecodeFile(dir.file("t1.shn"), target, error));
    EXPECT_NE(error.find("t1.shn"), std::string::npos);
    EXPECT_EQ(testwave::readBytes(target), old);
    EXPECT_FALSE(std::filesystem::exists(target + ".vumo-part"));

    // The file-level round trip.
    ASSERT_TRUE(shortenEncodeFile(target, dir.file("t2.shn"), error)) << error;
    ASSERT_TRUE(shortenDecodeFile(dir.file("t2.shn"), dir.file("t2.wav"), error)) << error;
    EXPECT_EQ(testwave::readBytes(dir.file("t2.wav")), old);
    EXPECT_FALSE(shortenEncodeFile(dir.file("missing.wav"), dir.file("t3.shn"), error));
    EXPECT_FALSE(std::filesystem::exists(dir.file("t3.shn")));
}
