// The wave loader's acceptance rules and result codes, and the writer's bytes.
#include "engine/wave/WaveFile.h"
#include "engine/api/Engine.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace wavorn;
using namespace testwave;

namespace
{

constexpr int32_t kFrames = 64;

class WaveFileTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::vector<int16_t> buffer = std::vector<int16_t>(kFrames * 2, 1234); // stale content

    LoadResult load(const std::vector<uint8_t>& bytes)
    {
        writeBytes(dir.file("in.wav"), bytes);
        return loadWavToBuf(dir.file("in.wav").c_str(), buffer.data(), kFrames);
    }
    bool unchanged() const
    {
        for (int16_t s : buffer)
            if (s != 1234)
                return false;
        return true;
    }
};

TEST_F(WaveFileTest, StereoFileLoadsWithCode0AndSilenceAfterIt)
{
    const auto samples = ramp(10);
    EXPECT_EQ(load(waveBytes(samples)), LoadResult::Loaded);
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(buffer[i], samples[i]) << i;
    for (size_t i = samples.size(); i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 0) << i;
}

TEST_F(WaveFileTest, LongerFileIsCutAtTheBufferLength)
{
    const auto samples = ramp(kFrames + 50);
    EXPECT_EQ(load(waveBytes(samples)), LoadResult::Loaded);
    EXPECT_EQ(buffer[2 * kFrames - 2], samples[2 * kFrames - 2]);
    EXPECT_EQ(buffer[2 * kFrames - 1], samples[2 * kFrames - 1]);
}

TEST_F(WaveFileTest, MonoFileIsExpandedToBothChannelsWithCode1)
{
    WaveLayout mono;
    mono.channels = 1;
    EXPECT_EQ(load(waveBytes({5, -6, 7}, mono)), LoadResult::NotStereo);
    const std::vector<int16_t> expected{5, 5, -6, -6, 7, 7, 0, 0};
    EXPECT_EQ(std::vector<int16_t>(buffer.begin(), buffer.begin() + 8), expected);
}

TEST_F(WaveFileTest, MonoFileLongerThanTheTrackIsCutAtTrackLenFrames)
{
    WaveLayout mono;
    mono.channels = 1;
    std::vector<int16_t> samples(kFrames * 3);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(i + 1);
    EXPECT_EQ(load(waveBytes(samples, mono)), LoadResult::NotStereo);
    EXPECT_EQ(buffer[2 * kFrames - 1], kFrames);
    EXPECT_EQ(buffer[2 * kFrames - 2], kFrames);
}

TEST_F(WaveFileTest, OtherRatesLoadUnchangedWithCode2And3)
{
    WaveLayout slow;
    slow.rate = 22050;
    EXPECT_EQ(load(waveBytes(ramp(4), slow)), LoadResult::OtherRate);
    EXPECT_EQ(buffer[0], 1);
    slow.channels = 1;
    EXPECT_EQ(load(waveBytes({9, 9}, slow)), LoadResult::NotStereoOtherRate);
}

TEST_F(WaveFileTest, LongFormatChunkAndChunksBeforeDataAreSkipped)
{
    WaveLayout layout;
    layout.fmtSize = 18;
    layout.chunksBeforeData = {"LIST", "fact"};
    EXPECT_EQ(load(waveBytes(ramp(3, 100), layout)), LoadResult::Loaded);
    EXPECT_EQ(buffer[0], 100);
    EXPECT_EQ(buffer[5], -102);
}

TEST_F(WaveFileTest, ChunksOfOddSizeAreFollowedByAPadByte)
{
    // Reproducers: a 5-byte "LIST" chunk (as other tools write it) and a 17-byte format chunk,
    // each with its pad byte before the next chunk.
    auto withList = withOddListChunk(waveBytes(ramp(3, 100)));
    WaveLayout longFmt;
    longFmt.fmtSize = 17;
    auto withOddFmt = waveBytes(ramp(3, 100), longFmt);
    withOddFmt.insert(withOddFmt.begin() + 37, uint8_t(0));
    for (auto* bytes : {&withList, &withOddFmt})
    {
        const uint32_t riff = uint32_t(bytes->size() - 8);
        std::memcpy(bytes->data() + 4, &riff, 4);
        buffer.assign(buffer.size(), 1234);
        EXPECT_EQ(load(*bytes), LoadResult::Loaded);
        EXPECT_EQ(buffer[0], 100);
        EXPECT_EQ(buffer[5], -102);
        EXPECT_EQ(buffer[6], 0);
    }
}

TEST_F(WaveFileTest, RefusedFilesLeaveTheBufferUnchanged)
{
    auto bytes = waveBytes(ramp(4));
    auto broken = bytes;
    broken[0] = 'X';
    EXPECT_EQ(load(broken), LoadResult::NoRiff);
    broken = bytes;
    broken[8] = 'X';
    EXPECT_EQ(load(broken), LoadResult::NoWave);
    broken = bytes;
    broken[12] = 'L'; // a chunk before the format chunk
    EXPECT_EQ(load(broken), LoadResult::NoFmt);
    WaveLayout layout;
    layout.formatTag = 3;
    EXPECT_EQ(load(waveBytes(ramp(4), layout)), LoadResult::NotPcm);
    layout = {};
    layout.bits = 8;
    EXPECT_EQ(load(waveBytes(ramp(4), layout)), LoadResult::Not16Bit);
    EXPECT_EQ(load({}), LoadResult::NoRiff);
    EXPECT_TRUE(unchanged());
}

TEST_F(WaveFileTest, MissingFileIsRefusedWithCode15)
{
    EXPECT_EQ(loadWavToBuf(dir.file("none.wav").c_str(), buffer.data(), kFrames),
              LoadResult::CannotOpen);
    EXPECT_EQ(loadWavToBuf(nullptr, buffer.data(), kFrames), LoadResult::CannotOpen);
    EXPECT_TRUE(unchanged());
}

TEST_F(WaveFileTest, ChunkWalkEndsAtEndOfFileWithCode16)
{
    auto bytes = waveBytes(ramp(4));
    bytes.resize(36); // the header up to the format chunk's end, no data chunk
    EXPECT_EQ(load(bytes), LoadResult::NoData);
    bytes.insert(bytes.end(), {'L', 'I', 'S', 'T', 0xFF, 0xFF, 0xFF, 0x7F}); // skip past the end
    EXPECT_EQ(load(bytes), LoadResult::NoData);
    EXPECT_TRUE(unchanged());
}

TEST_F(WaveFileTest, DataShorterThanDeclaredLeavesSilenceNotStaleSamples)
{
    WaveLayout layout;
    layout.declaredDataBytes = 4000;
    EXPECT_EQ(load(waveBytes(ramp(3, 7), layout)), LoadResult::Loaded);
    EXPECT_EQ(buffer[4], 9);
    for (size_t i = 6; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 0) << i;
}

TEST_F(WaveFileTest, ReadOnlyFileLoads)
{
    writeBytes(dir.file("ro.wav"), waveBytes(ramp(2, 40)));
    std::filesystem::permissions(dir.file("ro.wav"), std::filesystem::perms::owner_read);
    EXPECT_EQ(loadWavToBuf(dir.file("ro.wav").c_str(), buffer.data(), kFrames), LoadResult::Loaded);
    EXPECT_EQ(buffer[0], 40);
}

TEST(WaveReader, ReadsPiecesInOrderUpToTheDeclaredData)
{
    TempDir dir;
    const auto samples = ramp(150001);
    writeStereo(dir.file("p.wav"), samples);
    WaveReader reader(dir.file("p.wav").c_str());
    ASSERT_EQ(reader.result(), LoadResult::Loaded);
    std::vector<int16_t> piece(2 * 65536), all;
    while (const int32_t got = reader.read(piece.data(), 65536))
        all.insert(all.end(), piece.begin(), piece.begin() + 2 * got);
    EXPECT_EQ(all, samples);
    EXPECT_EQ(reader.read(piece.data(), 10), 0);
}

TEST(WaveReader, CompletesAFrameTheDataEndsInsideWithSilence)
{
    TempDir dir;
    auto bytes = waveBytes(ramp(4, 10));
    bytes.resize(bytes.size() - 2); // the right sample of the last frame is missing
    writeBytes(dir.file("odd.wav"), bytes);
    WaveReader reader(dir.file("odd.wav").c_str());
    std::vector<int16_t> buffer(16, 5);
    EXPECT_EQ(reader.read(buffer.data(), 8), 4);
    EXPECT_EQ(buffer[6], 13);
    EXPECT_EQ(buffer[7], 0);
}

TEST(WaveReader, ExpandsMonoPieceByPieceAndRefusesLikeTheLoader)
{
    TempDir dir;
    WaveLayout mono;
    mono.channels = 1;
    writeBytes(dir.file("m.wav"), waveBytes({1, 2, 3, 4, 5}, mono));
    WaveReader reader(dir.file("m.wav").c_str());
    EXPECT_EQ(reader.result(), LoadResult::NotStereo);
    std::vector<int16_t> piece(6);
    EXPECT_EQ(reader.read(piece.data(), 3), 3);
    EXPECT_EQ(piece, (std::vector<int16_t>{1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(reader.read(piece.data(), 3), 2);
    EXPECT_EQ(piece[2], 5);
    WaveLayout eightBit;
    eightBit.bits = 8;
    writeBytes(dir.file("b.wav"), waveBytes({1, 2}, eightBit));
    EXPECT_EQ(WaveReader(dir.file("b.wav").c_str()).result(), LoadResult::Not16Bit);
    EXPECT_EQ(WaveReader(dir.file("none.wav").c_str()).result(), LoadResult::CannotOpen);
}

TEST(WaveWriter, WritesTheCanonicalHeaderAndTheRange)
{
    TempDir dir;
    const auto samples = ramp(30);
    ASSERT_EQ(saveBufToWave(10, 20, dir.file("out.wav").c_str(), samples.data()), 0);
    const auto bytes = readBytes(dir.file("out.wav"));
    ASSERT_EQ(bytes.size(), 84u);
    const std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 44);
    auto expected = waveBytes({});
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(le32(bytes, 4), 76u);
    EXPECT_EQ(le32(bytes, 40), 40u);
    EXPECT_EQ(std::vector<uint8_t>(header.begin() + 8, header.begin() + 40),
              std::vector<uint8_t>(expected.begin() + 8, expected.begin() + 40));
    const auto written = readSamples(dir.file("out.wav"));
    EXPECT_EQ(written, std::vector<int16_t>(samples.begin() + 20, samples.begin() + 40));
}

TEST(WaveWriter, RoundTripThroughTheLoaderIsExact)
{
    TempDir dir;
    auto samples = ramp(500);
    samples[3] = -32768;
    samples[4] = 32767;
    ASSERT_EQ(saveBufToWave(0, 500, dir.file("rt.wav").c_str(), samples.data()), 0);
    std::vector<int16_t> back(1000, 77);
    EXPECT_EQ(loadWavToBuf(dir.file("rt.wav").c_str(), back.data(), 500), LoadResult::Loaded);
    EXPECT_EQ(back, samples);
    EXPECT_EQ(waveFileFrames(dir.file("rt.wav").c_str()), 500);
}

TEST(WaveWriter, OverwritesAnExistingFileAndLeavesNoWorkingFile)
{
    TempDir dir;
    const auto a = ramp(100), b = ramp(10, 9);
    ASSERT_EQ(saveBufToWave(0, 100, dir.file("t.wav").c_str(), a.data()), 0);
    ASSERT_EQ(saveBufToWave(0, 10, dir.file("t.wav").c_str(), b.data()), 0);
    EXPECT_EQ(readSamples(dir.file("t.wav")), b);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WaveWriter, ReportsFilesThatCannotBeWritten)
{
    TempDir dir;
    const auto s = ramp(100);
    EXPECT_EQ(saveBufToWave(0, 100, dir.file("no/such/folder.wav").c_str(), s.data()), -1);
    EXPECT_EQ(saveBufToWave(0, 100, "", s.data()), -1);
    // A device that accepts the open but fails every write: the error is caught at flush.
    if (std::filesystem::exists("/dev/full"))
    {
        EXPECT_EQ(saveBufToWave(0, 100, "/dev/full", s.data()), -1);
    }
}

TEST(WaveWriter, AStalePartIsGoneAfterTheNextSuccessfulSave)
{
    // A writer stopped half-way (a file size limit's signal) leaves "<file>.vumo-part" behind.
    TempDir dir;
    const auto s = ramp(100);
    const std::string target = dir.file("t.wav"), part = target + ".vumo-part";
    writeBytes(part, std::vector<uint8_t>(30, 'x'));
    ASSERT_EQ(saveBufToWave(0, 100, target.c_str(), s.data()), 0);
    EXPECT_FALSE(std::filesystem::exists(part));
    // In place: the part cannot be opened for writing, the target can.
    writeBytes(part, std::vector<uint8_t>(30, 'x'));
    namespace fs = std::filesystem;
    fs::permissions(part, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(target, fs::perms::all);
    fs::permissions(dir.path(), fs::perms::all);
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(!root || ::seteuid(65534) == 0); // root would write the part anyway
    const int32_t inPlace = saveBufToWave(0, 10, target.c_str(), s.data());
    ASSERT_TRUE(!root || ::seteuid(0) == 0);
    EXPECT_EQ(inPlace, 0);
    EXPECT_EQ(readSamples(target).size(), 20u);
    EXPECT_FALSE(fs::exists(part));
}

TEST(WaveWriter, ALinkIsFollowedToItsFileWhetherOrNotThatExists)
{
    namespace fs = std::filesystem;
    TempDir dir;
    const auto s = ramp(10);
    for (const bool exists : {true, false})
    {
        const std::string file = dir.file(exists ? "a.wav" : "b.wav"), link = file + ".lnk";
        if (exists)
            writeStereo(file, ramp(3));
        fs::create_symlink(file, link);
        ASSERT_EQ(saveBufToWave(0, 10, link.c_str(), s.data()), 0) << exists;
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(readSamples(file), s);
    }
}

TEST(WaveWriter, EmptyRangeWritesAHeaderOnlyFile)
{
    TempDir dir;
    const auto s = ramp(4);
    ASSERT_EQ(saveBufToWave(3, 3, dir.file("e.wav").c_str(), s.data()), 0);
    EXPECT_EQ(readBytes(dir.file("e.wav")).size(), 44u);
}

TEST(TraceLog, LoaderRefusalTextsAndTheSilent16BitRefusal)
{
    TempDir dir;
    setenv("VUMO_LOG", dir.file("trace.log").c_str(), 1);
    engine().logging = true;
    std::vector<int16_t> buffer(8);
    WaveLayout eightBit;
    eightBit.bits = 8;
    writeBytes(dir.file("a.wav"), waveBytes({1, 2}, eightBit));
    loadWavToBuf(dir.file("a.wav").c_str(), buffer.data(), 4);
    WaveLayout mono;
    mono.channels = 1;
    writeBytes(dir.file("b.wav"), waveBytes({1, 2}, mono));
    loadWavToBuf(dir.file("b.wav").c_str(), buffer.data(), 4);
    engine().logging = false;
    unsetenv("VUMO_LOG");
    std::ifstream f(dir.file("trace.log"));
    std::stringstream text;
    text << f.rdbuf();
    EXPECT_EQ(text.str(), "LoadWavToBuf\nLoadWavToBuf\nConverting to stereo.\nWave loaded.\n");
}

} // namespace
