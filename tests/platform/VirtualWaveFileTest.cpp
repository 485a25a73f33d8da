// The virtual devices' wave files: the output's sink and the input's source.
#include "PlatformTestSupport.h"
#include "platform/MmResult.h"
#include "platform/virtual/VirtualWaveSink.h"
#include "platform/virtual/VirtualWaveSource.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace platform::test;

TEST(VirtualWaveSink, ContinuesAnExistingCanonicalFile)
{
    const std::string path = scratchPath("existing.wav");
    const std::vector<int16_t> before = rampFrames(5, 100);
    writeBytes(path, waveImage(before));
    VirtualWaveSink sink;
    ASSERT_EQ(sink.open(path), kMmNoError);
    EXPECT_EQ(sink.frames(), 5u);
    const std::vector<int16_t> after = rampFrames(3, 7);
    sink.append(after);
    sink.close();
    std::vector<int16_t> both = before;
    both.insert(both.end(), after.begin(), after.end());
    EXPECT_EQ(samplesOfCanonicalWave(readBytes(path)), both);
}

TEST(VirtualWaveSink, DropsBytesPastTheDeclaredFrames)
{
    const std::string path = scratchPath("cut.wav");
    std::vector<uint8_t> image = waveImage(rampFrames(4));
    image.insert(image.end(), {1, 2, 3, 4, 5, 6}); // a pass cut short before its header
    writeBytes(path, image);
    VirtualWaveSink sink;
    ASSERT_EQ(sink.open(path), kMmNoError);
    sink.append(rampFrames(1, 50));
    sink.close();
    std::vector<int16_t> expected = rampFrames(4);
    expected.push_back(50);
    expected.push_back(-50);
    EXPECT_EQ(samplesOfCanonicalWave(readBytes(path)), expected);
}

TEST(VirtualWaveSink, RefusesAMonoWave)
{
    const std::string path = scratchPath("mono.wav");
    std::vector<uint8_t> image = waveImage(rampFrames(2));
    image[22] = 1; // channels
    writeBytes(path, image);
    VirtualWaveSink sink;
    EXPECT_EQ(sink.open(path), kMmError);
    EXPECT_EQ(readBytes(path), image);
}

TEST(VirtualWaveSink, RefusesAPathThatCannotBeCreated)
{
    VirtualWaveSink sink;
    EXPECT_EQ(sink.open(scratchPath("missing-folder") + "/out.wav"), kMmError);
}

TEST(VirtualWaveSource, ReadsTheFramesOfACanonicalFile)
{
    const std::string path = scratchPath("source.wav");
    const std::vector<int16_t> frames = rampFrames(10, -3);
    writeBytes(path, waveImage(frames));
    std::vector<int16_t> got;
    ASSERT_TRUE(readWaveFrames(path, 1000, got));
    EXPECT_EQ(got, frames);
}

TEST(VirtualWaveSource, ReadsNoMoreThanTheFramesAskedFor)
{
    const std::string path = scratchPath("long.wav");
    writeBytes(path, waveImage(rampFrames(10)));
    std::vector<int16_t> got;
    ASSERT_TRUE(readWaveFrames(path, 4, got));
    EXPECT_EQ(got, rampFrames(4));
}

TEST(VirtualWaveSource, WalksPastChunksBeforeTheData)
{
    const std::vector<int16_t> frames = rampFrames(3, 9);
    std::vector<uint8_t> image = waveImage(frames);
    // A 3-byte LIST chunk (padded to 4) between "fmt " and "data"; the RIFF size grows too.
    const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    image.insert(image.begin() + 36, list.begin(), list.end());
    image[4] = uint8_t(image[4] + list.size());
    const std::string path = scratchPath("list.wav");
    writeBytes(path, image);
    std::vector<int16_t> got;
    ASSERT_TRUE(readWaveFrames(path, 100, got));
    EXPECT_EQ(got, frames);
}

TEST(VirtualWaveSource, ADataChunkCutShortGivesTheFramesThatAreThere)
{
    std::vector<uint8_t> image = waveImage(rampFrames(6));
    image.resize(44 + 3 * 4 + 2); // three whole frames and half of the fourth
    const std::string path = scratchPath("short.wav");
    writeBytes(path, image);
    std::vector<int16_t> got;
    ASSERT_TRUE(readWaveFrames(path, 100, got));
    EXPECT_EQ(got, rampFrames(3));
}

TEST(VirtualWaveSource, RefusesMissing8BitAndNonWaveFiles)
{
    std::vector<int16_t> got;
    EXPECT_FALSE(readWaveFrames(scratchPath("absent.wav"), 10, got));

    std::vector<uint8_t> eightBit = waveImage(rampFrames(2));
    eightBit[34] = 8;
    const std::string eightPath = scratchPath("eight.wav");
    writeBytes(eightPath, eightBit);
    EXPECT_FALSE(readWaveFrames(eightPath, 10, got));

    const std::string textPath = scratchPath("text.wav");
    writeBytes(textPath, std::vector<uint8_t>(64, 'z'));
    EXPECT_FALSE(readWaveFrames(textPath, 10, got));
    EXPECT_TRUE(got.empty());
}
