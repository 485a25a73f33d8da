// FXIt through the library's exports: range clamping, the edited mark, dispatch and the trace
// log.
#include "ExportFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <random>
#include <sstream>

using namespace fxtest;

namespace
{

std::vector<int16_t> randomSamples(uint32_t seed, int32_t frames)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int32_t> d(-20000, 20000);
    std::vector<int16_t> s(2 * size_t(frames));
    for (int16_t& v : s)
        v = int16_t(d(rng));
    return s;
}

class FXItExport : public ExportFixture
{
};

class FXItLog : public ExportFixture
{
protected:
    void SetUp() override
    {
        m_log = std::filesystem::temp_directory_path() /
                ("vumo-fx-log-" + std::to_string(::getpid()) + ".log");
        std::filesystem::remove(m_log);
        setenv("VUMO_LOG", m_log.c_str(), 1);
        ExportFixture::SetUp();
    }
    void TearDown() override
    {
        ExportFixture::TearDown();
        unsetenv("VUMO_LOG");
        std::filesystem::remove(m_log);
    }
    int32_t logFlag() const override { return 1; }
    std::string logContents() const
    {
        std::ifstream in(m_log, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path m_log;
};

} // namespace

TEST_F(FXItExport, GainDoublesTheWeightedChannel)
{
    std::vector<int16_t> s(2 * size_t(kFrames), 0);
    s[2 * 100] = 1000;
    s[2 * 100 + 1] = 1000;
    loadTrack(s);
    EXPECT_EQ(FXIt(1, 0, kFrames, 32, 255, 0), 0);
    EXPECT_EQ(left(100), 2000);
    EXPECT_EQ(right(100), 0);
}

TEST_F(FXItExport, ExtremeRangesAreClampedToTheTrack)
{
    const auto s = randomSamples(1, kFrames);
    loadTrack(s);
    EXPECT_EQ(FXIt(19, INT_MIN, INT_MAX, 0, 0, 0), 0);
    const auto after = trackSamples();
    for (int32_t f = 0; f < kFrames; ++f)
        ASSERT_EQ(after[2 * size_t(f)], s[2 * size_t(kFrames - 1 - f)]);
}

TEST_F(FXItExport, EveryCodeAcceptsAnyInt32Argument)
{
    loadTrack(randomSamples(2, kFrames));
    for (int32_t code = 0; code <= 40; ++code)
        for (int32_t v : {INT_MIN, -1, 0, 255, INT_MAX})
            ASSERT_EQ(FXIt(code, kFrames - 5000, v, v, v, v), 0) << code;
    EXPECT_EQ(FXIt(2, INT_MAX, INT_MIN, 0, 0, 0), 0);
}

TEST_F(FXItExport, AReversedRangeChangesNothingButMarksTheTrackEdited)
{
    const auto s = randomSamples(3, kFrames);
    loadTrack(s);
    EXPECT_EQ(FXIt(18, 5000, 1000, 0, 0, 0), 0);
    EXPECT_EQ(trackSamples(), s);
    EXPECT_TRUE(trackIsEdited());
}

TEST_F(FXItExport, TheEditedMarkComesFromFXItNotFromLoading)
{
    loadTrack(randomSamples(4, kFrames));
    EXPECT_FALSE(trackIsEdited());
}

TEST_F(FXItExport, OnlyTheRangeChanges)
{
    const auto s = randomSamples(5, kFrames);
    loadTrack(s);
    FXIt(3, 1000, 9000, 10, 200, 127);
    const auto after = trackSamples();
    for (int32_t i = 0; i < 2 * 1000; ++i)
        ASSERT_EQ(after[size_t(i)], s[size_t(i)]);
    for (int32_t i = 2 * 9000; i < 2 * kFrames; ++i)
        ASSERT_EQ(after[size_t(i)], s[size_t(i)]);
    EXPECT_NE(after, s);
}

TEST_F(FXItLog, WritesFXItAndTheCodeThenLoPass)
{
    FXIt(9, 0, 1000, 128, 0, 127);
    EXPECT_NE(logContents().find("FXIt\n00000009\rLoPass\n"), std::string::npos);
}

TEST_F(FXItLog, BandPassLogsFilterAnd129Taps)
{
    FXIt(7, 0, 5000, 20, 80, 127);
    const std::string log = logContents();
    const size_t at = log.find("FXIt\n00000007\rFilter\n");
    ASSERT_NE(at, std::string::npos);
    const std::string taps = log.substr(at + std::string("FXIt\n00000007\rFilter\n").size());
    ASSERT_GE(taps.size(), 129u * 9u);
    for (size_t i = 0; i < 129; ++i)
    {
        const std::string entry = taps.substr(9 * i, 9);
        EXPECT_EQ(entry.back(), '\r') << i;
        EXPECT_EQ(entry.find_first_not_of("0123456789ABCDEF"), 8u) << i;
    }
    // The centre tap is the largest and positive; the outermost ones are close to 0.
    const auto tap = [&](size_t i)
    { return int32_t(std::stoul(taps.substr(9 * i, 8), nullptr, 16)); };
    EXPECT_GT(tap(64), 0);
    EXPECT_EQ(tap(0), 0);
    EXPECT_EQ(tap(0), tap(128));
    EXPECT_EQ(tap(10), tap(118));
}

TEST_F(FXItLog, LogsOnlyTheLow8BitsOfTheCode)
{
    FXIt(256 + 15, 0, 10, 0, 0, 0);
    EXPECT_NE(logContents().find("FXIt\n0000000F\r"), std::string::npos);
}
