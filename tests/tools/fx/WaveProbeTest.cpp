// The header probe that sizes the engine for an input file.
#include "tools/fx/WaveProbe.h"

#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

using namespace vumo::fxtool;

TEST(WaveProbe, CountsFramesPastOtherChunksAndCutsADataSizeLargerThanTheFile)
{
    struct Row
    {
        uint16_t channels;
        int64_t declaredBytes;
        bool oddChunk; // a chunk of odd size, then its pad byte, before the data
        int64_t frames;
    };
    const testwave::TempDir dir;
    for (const Row r : {Row{2, -1, false, 1000}, Row{1, -1, false, 2000},
                        Row{2, 0xFFFFFFF0, false, 1000}, Row{2, -1, true, 1000}})
    {
        testwave::WaveLayout layout;
        layout.channels = r.channels;
        layout.chunksBeforeData = {"LIST"};
        layout.declaredDataBytes = r.declaredBytes;
        const auto bytes = testwave::waveBytes(std::vector<int16_t>(2000), layout);
        testwave::writeBytes(dir.file("in.wav"),
                             r.oddChunk ? testwave::withOddListChunk(bytes) : bytes);
        const WaveInfo w = probeWave(dir.file("in.wav"));
        EXPECT_TRUE(w.error.empty()) << w.error;
        EXPECT_EQ(w.frames, r.frames);
        EXPECT_EQ(w.channels, r.channels);
        EXPECT_EQ(w.rate, 44100);
    }
}

TEST(WaveProbe, NamesWhatIsWrongWithAFile)
{
    const testwave::TempDir dir;
    testwave::WaveLayout eightBits;
    eightBits.bits = 8;
    auto noRiff = testwave::waveBytes(std::vector<int16_t>(200));
    noRiff[3] = 'X';
    auto noData = testwave::waveBytes({});
    noData.resize(36);
    const std::pair<std::vector<uint8_t>, const char*> rows[] = {
        {testwave::waveBytes(std::vector<int16_t>(200), eightBits), "8 bits per sample"},
        {noRiff, "not a RIFF WAVE"},
        {noData, "no data chunk"},
    };
    for (const auto& [bytes, message] : rows)
    {
        testwave::writeBytes(dir.file("in.wav"), bytes);
        EXPECT_NE(probeWave(dir.file("in.wav")).error.find(message), std::string::npos) << message;
    }
    EXPECT_NE(probeWave(dir.file("missing.wav")).error.find("cannot open it"), std::string::npos);
    EXPECT_EQ(loadResultText(10), "it has no RIFF header");
    EXPECT_EQ(loadResultText(14), "it is not 16 bits per sample");
    EXPECT_NE(loadResultText(99).find("99"), std::string::npos);
}
