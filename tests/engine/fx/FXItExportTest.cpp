// FXIt through the library's exports: dispatch on the low 8 bits, range clamping and the edited
// mark (its trace log is a row of the engine's trace-log test).
#include "tests/engine/ExportFixture.h"

#include <climits>

using FXItExport = ExportFixture;

TEST_F(FXItExport, GainChangesOnlyTheRangeAndMarksTheTrackEditedEvenWhenTheRangeIsEmpty)
{
    openCurrent(constant(kFrames, 1000, 1000));
    EXPECT_FALSE(trackIsEdited()); // the edited mark comes from FXIt, not from loading
    for (const auto& [first, last] : {std::pair{5000, 1000}, std::pair{300, 300}})
    {
        loadTrack(constant(kFrames, 1000, 1000));
        EXPECT_EQ(FXIt(1, first, last, 255, 255, 0), 0);
        EXPECT_EQ(trackSamples(), constant(kFrames, 1000, 1000));
        EXPECT_TRUE(trackIsEdited());
    }
    loadTrack(constant(kFrames, 1000, 1000));
    // Code and parameters count by their low 8 bits: gain, P1 32, P2 255, P3 0.
    EXPECT_EQ(FXIt(256 + 1, 1000, 9000, 256 + 32, 256 + 255, 512), 0);
    auto expected = constant(kFrames, 1000, 1000);
    for (int32_t f = 1000; f < 9000; ++f)
        expected[2 * size_t(f)] = 2000, expected[2 * size_t(f) + 1] = 0;
    EXPECT_EQ(trackSamples(), expected);
    EXPECT_TRUE(trackIsEdited());
}

TEST_F(FXItExport, ExtremeRangesAreClampedToTheTrackAndAnyInt32ArgumentIsSafe)
{
    const auto s = testwave::ramp(kFrames, 1);
    openCurrent(s);
    EXPECT_EQ(FXIt(19, INT_MIN, INT_MAX, 0, 0, 0), 0); // reverse
    for (int32_t f = 0; f < kFrames; ++f)
        ASSERT_EQ(left(f), s[2 * size_t(kFrames - 1 - f)]) << f;
    for (int32_t code = 0; code <= 40; ++code)
        for (int32_t v : {INT_MIN, -1, 0, 255, INT_MAX})
            ASSERT_EQ(FXIt(code, kFrames - 5000, v, v, v, v), 0) << code;
    EXPECT_EQ(FXIt(2, INT_MAX, INT_MIN, 0, 0, 0), 0);
}
