// FXIt through the library's exports: range clamping, the edited mark, dispatch and the trace
// log.
#include "CurrentTrackFixture.h"
#include "FxTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <regex>
#include <string>

namespace
{

class FXItExport : public CurrentTrackFixture
{
protected:
    // Loads random frames within +-20000 and returns them.
    std::vector<int16_t> loadRandom(uint32_t seed)
    {
        const auto s = fxtest::randomTrack(kFrames, seed, 20000).samples;
        loadTrack(s);
        return s;
    }
};

} // namespace

TEST_F(FXItExport, GainDoublesTheWeightedChannelOnlyInsideTheRange)
{
    std::vector<int16_t> s(2 * size_t(kFrames), 1000);
    loadTrack(s);
    EXPECT_FALSE(trackIsEdited()); // the edited mark comes from FXIt, not from loading
    loadTrack(s);
    EXPECT_EQ(FXIt(1, 1000, 9000, 32, 255, 0), 0);
    for (int32_t f = 0; f < kFrames; ++f)
    {
        const bool inside = f >= 1000 && f < 9000;
        ASSERT_EQ(left(f), inside ? 2000 : 1000) << f;
        ASSERT_EQ(right(f), inside ? 0 : 1000) << f;
    }
    EXPECT_TRUE(trackIsEdited());
}

TEST_F(FXItExport, AReversedOrEmptyRangeChangesNothingButMarksTheTrackEdited)
{
    for (const auto& [first, last] : {std::pair{5000, 1000}, std::pair{300, 300}})
    {
        const auto s = loadRandom(3);
        EXPECT_EQ(FXIt(1, first, last, 255, 255, 0), 0);
        EXPECT_EQ(trackSamples(), s);
        EXPECT_TRUE(trackIsEdited());
    }
}

TEST_F(FXItExport, ExtremeRangesAreClampedToTheTrackAndAnyInt32ArgumentIsSafe)
{
    const auto s = loadRandom(1);
    EXPECT_EQ(FXIt(19, INT_MIN, INT_MAX, 0, 0, 0), 0);
    const auto after = trackSamples();
    for (int32_t f = 0; f < kFrames; ++f)
        ASSERT_EQ(after[2 * size_t(f)], s[2 * size_t(kFrames - 1 - f)]);
    for (int32_t code = 0; code <= 40; ++code)
        for (int32_t v : {INT_MIN, -1, 0, 255, INT_MAX})
            ASSERT_EQ(FXIt(code, kFrames - 5000, v, v, v, v), 0) << code;
    EXPECT_EQ(FXIt(2, INT_MAX, INT_MIN, 0, 0, 0), 0);
}

TEST_F(FXItExport, TheTraceLogHoldsFXItTheLow8BitsOfTheCodeInHexLoPassAndThe129FilterTaps)
{
    const std::string logPath = dir.file("trace.log");
    setenv("VUMO_LOG", logPath.c_str(), 1);
    open(1);
    FXIt(256 + 15, 0, 10, 0, 0, 0);
    FXIt(9, 0, 1000, 128, 0, 127);
    FXIt(7, 0, 5000, 20, 80, 127);
    CloseLib();
    unsetenv("VUMO_LOG");
    const auto bytes = testwave::readBytes(logPath);
    const std::string log(bytes.begin(), bytes.end());
    EXPECT_NE(log.find("FXIt\n0000000F\r"), std::string::npos) << log;
    EXPECT_NE(log.find("FXIt\n00000009\rLoPass\n"), std::string::npos);
    std::smatch taps; // 129 taps, each as 8 hex digits and a carriage return
    ASSERT_TRUE(std::regex_search(log, taps,
                                  std::regex("FXIt\n00000007\rFilter\n((?:[0-9A-F]{8}\r){129})")));
    // The centre tap is positive, the outermost ones are 0 and the taps are symmetric.
    const auto tap = [&](size_t i)
    { return int32_t(std::stoul(taps.str(1).substr(9 * i, 8), nullptr, 16)); };
    EXPECT_GT(tap(64), 0);
    EXPECT_EQ(tap(0), 0);
    EXPECT_EQ(tap(128), 0);
    EXPECT_EQ(tap(10), tap(118));
}
