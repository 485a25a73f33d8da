// The wave loader's acceptance rules and result codes, the piecewise reader, the writer's bytes
// and its failures, and the gain arithmetic of the track table, copy and mix.
#include "engine/wave/WaveFile.h"
#include "engine/api/Engine.h"
#include "engine/api/Lifecycle.h"
#include "engine/wave/Buffers.h"
#include "platform/WaveHeader.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <array>
#include <unistd.h>

using namespace wavorn;
using namespace testwave;

namespace fs = std::filesystem;

constexpr int32_t kFrames = 64;

TEST(WaveLoader, LoadsConvertsOrRefusesEachKindOfFile)
{
    const WaveLayout mono{.channels = 1}, mono8k{.channels = 1, .rate = 8000},
        oddFmtLayout{.fmtSize = 17}, longFmt{.fmtSize = 18, .chunksBeforeData = {"LIST", "fact"}},
        shortData{.declaredDataBytes = 4000};
    auto oddFmt = waveBytes(ramp(3, 100), oddFmtLayout);
    oddFmt.insert(oddFmt.begin() + 37, uint8_t(0)); // the pad byte after a 17-byte chunk
    platform::writeLe32(oddFmt.data() + 4, uint32_t(oddFmt.size() - 8));
    auto noData = waveBytes(ramp(4));
    noData.resize(36); // the header up to the format chunk's end
    auto pastTheEnd = noData;
    pastTheEnd.insert(pastTheEnd.end(), {'L', 'I', 'S', 'T', 0xFF, 0xFF, 0xFF, 0x7F});
    const auto noPad = withOddListChunk(waveBytes(ramp(3, 100)), -1);
    std::vector<uint8_t> noRiff = waveBytes(ramp(4)), noWave = noRiff, fmtLater = noRiff;
    noRiff[0] = noWave[8] = 'X';
    fmtLater[12] = 'L'; // a chunk before the format chunk
    const std::vector<int16_t> three = ramp(3, 100), loaded = {100, -100, 101, -101, 102, -102};
    std::vector<int16_t> longMono(3 * kFrames), cut(2 * kFrames); // cut at the buffer's end
    for (size_t i = 0; i < longMono.size(); ++i)
        longMono[i] = int16_t(i + 1), cut[i % cut.size()] = int16_t(i % cut.size() / 2 + 1);
    const std::vector<int16_t> longStereo(longMono.begin(), longMono.begin() + 2 * kFrames);
    // (what, bytes, result, the buffer's first samples; silence after them)
    const std::tuple<const char*, std::vector<uint8_t>, LoadResult, std::vector<int16_t>> rows[] = {
        {"stereo", waveBytes(three), LoadResult::Loaded, loaded},
        {"mono expanded", waveBytes({5, -6, 7}, mono), LoadResult::NotStereo, {5, 5, -6, -6, 7, 7}},
        {"other rate unchanged", waveBytes(three, {.rate = 22050}), LoadResult::OtherRate, loaded},
        {"long mono", waveBytes(longMono, mono), LoadResult::NotStereo, cut},
        {"long stereo", waveBytes(longMono), LoadResult::Loaded, longStereo},
        {"mono, other rate", waveBytes({9}, mono8k), LoadResult::NotStereoOtherRate, {9, 9}},
        {"long fmt, chunks before data", waveBytes(three, longFmt), LoadResult::Loaded, loaded},
        {"5-byte LIST, pad byte", withOddListChunk(waveBytes(three)), LoadResult::Loaded, loaded},
        {"17-byte fmt and its pad byte", oddFmt, LoadResult::Loaded, loaded},
        // Some writers leave the pad byte out; one that is not 0 is still a pad.
        {"5-byte LIST, no pad byte", noPad, LoadResult::Loaded, loaded},
        {"no pad byte, data size 64 (\"ata@\" reads as an id)",
         withOddListChunk(waveBytes(ramp(16, 100)), -1), LoadResult::Loaded, ramp(16, 100)},
        {"17-byte fmt, no pad byte", waveBytes(three, oddFmtLayout), LoadResult::Loaded, loaded},
        {"5-byte LIST, pad byte 'x'", withOddListChunk(waveBytes(three), 'x'), LoadResult::Loaded,
         loaded},
        {"data shorter than declared", waveBytes(three, shortData), LoadResult::Loaded, loaded},
        // Refused files leave the buffer unchanged.
        {"no RIFF", noRiff, LoadResult::NoRiff, {}},
        {"empty", {}, LoadResult::NoRiff, {}},
        {"no WAVE", noWave, LoadResult::NoWave, {}},
        {"no fmt first", fmtLater, LoadResult::NoFmt, {}},
        {"float", waveBytes(three, {.formatTag = 3}), LoadResult::NotPcm, {}},
        {"8-bit", waveBytes(three, {.bits = 8}), LoadResult::Not16Bit, {}},
        {"no data chunk", noData, LoadResult::NoData, {}},
        {"chunk size past the end", pastTheEnd, LoadResult::NoData, {}},
    };
    TempDir dir;
    for (const auto& [what, bytes, result, start] : rows)
    {
        SCOPED_TRACE(what);
        writeBytes(dir.file("in.wav"), bytes);
        std::vector<int16_t> buffer(2 * kFrames, 1234); // stale content
        EXPECT_EQ(loadWavToBuf(dir.file("in.wav").c_str(), buffer.data(), kFrames), result);
        std::vector<int16_t> expected(2 * kFrames, start.empty() ? 1234 : 0);
        std::copy(start.begin(), start.end(), expected.begin());
        EXPECT_EQ(buffer, expected);
    }
    writeBytes(dir.file("in.wav"), noPad); // the frame count walks the chunks the same way
    EXPECT_EQ(waveFileFrames(dir.file("in.wav").c_str()), 3);
    std::vector<int16_t> buffer(2 * kFrames);
    EXPECT_EQ(loadWavToBuf(dir.file("none.wav").c_str(), buffer.data(), kFrames),
              LoadResult::CannotOpen);
    EXPECT_EQ(loadWavToBuf(nullptr, buffer.data(), kFrames), LoadResult::CannotOpen);
    writeStereo(dir.file("ro.wav"), three);
    fs::permissions(dir.file("ro.wav"), fs::perms::owner_read); // read-only files load
    EXPECT_EQ(loadWavToBuf(dir.file("ro.wav").c_str(), buffer.data(), kFrames), LoadResult::Loaded);
}

TEST(WaveReader, CompletesAFrameTheDataEndsInsideWithSilence)
{
    TempDir dir;
    auto bytes = waveBytes(ramp(4, 10));
    bytes.resize(bytes.size() - 2); // the right sample of the last frame is missing
    writeBytes(dir.file("odd.wav"), bytes);
    std::vector<int16_t> piece(16, 5);
    EXPECT_EQ(WaveReader(dir.file("odd.wav").c_str()).read(piece.data(), 8), 4);
    EXPECT_EQ(std::pair(piece[6], piece[7]), std::pair(int16_t(13), int16_t(0)));
}

TEST(WaveWriter, WritesTheCanonicalHeaderAndTheRangeAndRoundTripsExactly)
{
    TempDir dir;
    auto samples = ramp(500);
    samples[3] = -32768;
    ASSERT_EQ(saveBufToWave(10, 20, dir.file("out.wav").c_str(), samples.data()), 0);
    const auto bytes = readBytes(dir.file("out.wav"));
    ASSERT_EQ(bytes.size(), 84u);
    const auto canonical = waveBytes(std::vector<int16_t>(20)); // RIFF size 76, data 40
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 44, canonical.begin()));
    EXPECT_EQ(readSamples(dir.file("out.wav")),
              std::vector<int16_t>(samples.begin() + 20, samples.begin() + 40));
    ASSERT_EQ(saveBufToWave(0, 500, dir.file("out.wav").c_str(), samples.data()), 0); // over it
    std::vector<int16_t> back(1000, 77);
    EXPECT_EQ(loadWavToBuf(dir.file("out.wav").c_str(), back.data(), 500), LoadResult::Loaded);
    EXPECT_EQ(back, samples);
    EXPECT_EQ(waveFileFrames(dir.file("out.wav").c_str()), 500);
    ASSERT_EQ(saveBufToWave(3, 3, dir.file("e.wav").c_str(), samples.data()), 0);
    EXPECT_EQ(readBytes(dir.file("e.wav")).size(), 44u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2); // no working file left
}

TEST(WaveWriter, ReportsFilesThatCannotBeWrittenAndWritesInPlaceWhereNoPartCanBeMade)
{
    TempDir dir;
    const auto s = ramp(100);
    EXPECT_EQ(saveBufToWave(0, 100, dir.file("no/such/folder.wav").c_str(), s.data()), -1);
    EXPECT_EQ(saveBufToWave(0, 100, "", s.data()), -1);
    // A device that accepts the open but fails every write: the error is caught at flush.
    EXPECT_EQ(fs::exists("/dev/full") ? saveBufToWave(0, 100, "/dev/full", s.data()) : -1, -1);
    // A folder where nothing can be made, whose file can be written: the file is written in place.
    const std::string target = dir.file("t.wav");
    writeStereo(target, ramp(3));
    fs::permissions(target, fs::perms::all);
    fs::permissions(dir.path(),
                    fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(!root || ::seteuid(65534) == 0); // root would make the part anyway
    const int32_t inPlace = saveBufToWave(0, 10, target.c_str(), s.data());
    ASSERT_TRUE(!root || ::seteuid(0) == 0);
    EXPECT_EQ(inPlace, 0);
    EXPECT_EQ(readSamples(target), std::vector<int16_t>(s.begin(), s.begin() + 20));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

TEST(TrackGains, FollowVolumeAndTheAsymmetricPanLawWithinSixteenBits)
{
    using R = std::array<int32_t, 4>; // volume, pan, left, right
    for (const auto& [volume, pan, left, right] :
         {R{255, 128, 254, 254}, R{255, 0, 254, 127}, R{255, 255, 137, 254}, R{255, 138, 254, 254},
          R{0, 128, 0, 0}, R{INT32_MAX, 128, 32767, 32767}, R{INT32_MIN, 128, -32767, -32767},
          R{100, INT32_MIN, 99, -32767}})
    {
        ASSERT_EQ(setTrackAttr(256 + 5, volume, pan), 0); // low 8 bits name slot 5
        EXPECT_EQ(std::pair(engine().tracks[5].gainLeft, engine().tracks[5].gainRight),
                  std::pair(left, right))
            << volume << " " << pan;
    }
    for (int32_t slot : {32, 255, -1})
        EXPECT_EQ(setTrackAttr(slot, 255, 128), -1) << slot;
}

TEST(GainMix, EveryGainAndSampleFollowsTheFormulaAndTheClampIsSymmetric)
{
    // clamp((s * g + d * 256) >> 8, -32767, 32767): the shift rounds toward minus infinity.
    // Over 37 frames, so the fast paths and the tail both run: a gain from each range the track
    // table can hold (s, d, gain, merge, result).
    using M = std::array<int32_t, 5>;
    const M rows[] = {M{-32768, 0, -256, 0, 32767},     M{-32768, 0, -255, 0, 32640},
                      M{100, 7, 1000, 1, 397},          M{1, 5, -32767, 1, -123},
                      M{32767, 32767, 257, 1, 32767},   M{-3, 9, 127, 0, -2},
                      M{-32768, -32768, 256, 1, -32767}};
    for (const auto& [src, dst, gain, merge, result] : rows)
    {
        const std::vector<int16_t> s(2 * 37, int16_t(src));
        std::vector<int16_t> d(2 * 37, int16_t(dst));
        cpyBufToBuf(s.data(), d.data(), 0, 37, 0, gain, gain, merge);
        EXPECT_EQ(d, std::vector<int16_t>(2 * 37, int16_t(result))) << src << " * " << gain;
    }
}
