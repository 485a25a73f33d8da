// Shorten: round trips that FFmpeg decodes alike, what it cannot code refused, damaged streams
// and streams past their limits refused without a part file.
#include "shorten/Shorten.h"

#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>

using namespace vumo::cab;
using testwave::TempDir;
namespace fs = std::filesystem;

namespace
{

using Samples = std::vector<int16_t>;

struct Signal
{
    const char* name;
    int frames;
    int channels;
    Samples (*make)(int samples);
    std::vector<std::string> chunksBeforeData = {};
};

// Silence, full-scale noise (-32768 included), a square wave between the limits, a pure tone (which
// the third-order predictor codes best), or two tones and a little noise as a track might hold.
template <char kind> Samples make(int n)
{
    std::mt19937 random(7);
    Samples s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[size_t(i)] = kind == '0'   ? int16_t(0)
                       : kind == 'n' ? int16_t(random() & 0xFFFF)
                       : kind == 't' ? int16_t(30000 * std::sin(i * 0.03))
                       : kind == 's'
                           ? int16_t((i / 100) % 2 ? 32767 : -32768)
                           : int16_t(9000 * std::sin(i * 0.031) + 5000 * std::sin(i * 0.0071) +
                                     int(random() % 64) - 32);
    return s;
}
constexpr auto silence = make<'0'>, noise = make<'n'>, square = make<'s'>, tone = make<'t'>,
               music = make<'m'>;

std::vector<uint8_t> waveFile(const Signal& signal)
{
    return testwave::waveBytes(
        signal.make(signal.frames * signal.channels),
        {.channels = uint16_t(signal.channels), .chunksBeforeData = signal.chunksBeforeData});
}

} // namespace

TEST(Shorten, RoundTripsByteForByteFfmpegReadsTheSameSamplesAndBadStreamsAreRefusedWithoutAPart)
{
    const Signal signals[] = {
        {"silence", 100000, 2, silence},   {"full-scale noise", 20000, 2, noise},
        {"square wave", 44100, 2, square}, {"not a whole number of blocks", 44100 + 100, 2, music},
        {"mono", 3001, 1, music},          {"a chunk before the data", 700, 2, music, {"LIST"}},
        {"pure tone", 4000, 2, tone},      {"no samples", 0, 2, silence},
    };
    TempDir dir;
    for (const Signal& signal : signals)
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
        // FFmpeg's decode, raw 16-bit little-endian samples, against the file's data chunk.
        testwave::writeBytes(dir.file("signal.shn"), stream);
        ASSERT_EQ(std::system(("ffmpeg -v error -y -f shn -i '" + dir.file("signal.shn") +
                               "' -f s16le '" + dir.file("ffmpeg.raw") + "'")
                                  .c_str()),
                  0);
        const size_t dataStart = wave.size() - size_t(signal.frames) * signal.channels * 2;
        EXPECT_EQ(testwave::readBytes(dir.file("ffmpeg.raw")),
                  std::vector<uint8_t>(wave.begin() + long(dataStart), wave.end()));
    }
    // What it cannot code or decode is refused.
    std::vector<uint8_t> stream, out;
    std::string error;
    EXPECT_FALSE(shortenEncode(testwave::waveBytes(music(100), {.bits = 8, .chunksBeforeData = {}}),
                               stream, error));
    EXPECT_NE(error.find("16-bit"), std::string::npos);
    EXPECT_FALSE(shortenEncode(std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}, stream, error));

    const Signal signal{"music", 3000, 2, music};
    // A file whose writer left out the pad byte after an odd chunk codes and decodes whole.
    const std::vector<uint8_t> unpadded = testwave::withOddListChunk(waveFile(signal), -1);
    ASSERT_TRUE(shortenEncode(unpadded, stream, error)) << error;
    ASSERT_TRUE(shortenDecode(stream, out, error)) << error;
    EXPECT_EQ(out, unpadded);
    ASSERT_TRUE(shortenEncode(waveFile(signal), stream, error));
    // Every cut of the stream and a flipped version byte are refused.
    for (size_t cut = 0; cut < stream.size(); cut += 7)
        EXPECT_FALSE(shortenDecode({stream.data(), cut}, out, error)) << "cut at " << cut;
    std::vector<uint8_t> otherVersion = stream;
    otherVersion[4] = 1;
    EXPECT_FALSE(shortenDecode(otherVersion, out, error));
    EXPECT_NE(error.find("version 1"), std::string::npos);
    // A cut stream or one past its frame or byte limit leaves the previous file whole; a part left
    // by a killed run (a link to a decoy) is replaced, never written through.
    const std::string target = dir.file("t1.wav"), part = target + ".vumo-part";
    const std::vector<uint8_t> old = waveFile({"old", 500, 2, music}), previous = {'p'};
    testwave::writeBytes(dir.file("old.wav"), old);
    ASSERT_TRUE(shortenEncodeFile(dir.file("old.wav"), dir.file("t2.shn"), error)) << error;
    EXPECT_FALSE(shortenEncodeFile(dir.file("missing.wav"), dir.file("t3.shn"), error));
    EXPECT_FALSE(fs::exists(dir.file("t3.shn")));
    ASSERT_TRUE(shortenEncode(waveFile({"new", 900, 2, square}), stream, error));
    stream.resize(stream.size() / 2);
    testwave::writeBytes(dir.file("t1.shn"), stream);
    const std::tuple<const char*, uint64_t, uint64_t, const char*> rows[] = {
        {"t1.shn", UINT64_MAX, UINT64_MAX, "t1.shn"},
        {"t2.shn", 499, UINT64_MAX, "more than 499 sample frames"},
        {"t2.shn", UINT64_MAX, 1000, "more than 1000 bytes"},
        {"t2.shn", 500, old.size(), nullptr},
    };
    for (const auto& [shn, frames, bytes, refusal] : rows)
    {
        testwave::writeBytes(target, previous);
        testwave::writeBytes(dir.file("decoy"), {'d'});
        fs::create_symlink(dir.file("decoy"), part);
        EXPECT_EQ(shortenDecodeFile(dir.file(shn), target, error, {frames, bytes, {}, {}}),
                  refusal == nullptr);
        EXPECT_NE(error.find(refusal ? refusal : ""), std::string::npos) << error;
        EXPECT_EQ(testwave::readBytes(target), refusal ? previous : old);
        EXPECT_EQ(testwave::readBytes(dir.file("decoy")), std::vector<uint8_t>{'d'});
        EXPECT_FALSE(fs::exists(fs::symlink_status(part)));
    }
}
