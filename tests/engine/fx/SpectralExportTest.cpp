// FXIt and FilterGraph through libwavorn: FXIt's dispatch on the low 8 bits, range clamping,
// edited mark and FFT codes, and the effect chain's copy-out, swap and copy-back.
#include "tests/engine/ExportFixture.h"

#include "FxTestSupport.h"

#include "fx/EffectCatalog.h"

#include <algorithm>
#include <climits>

using SpectralExport = ExportFixture;
using FXItExport = ExportFixture;

TEST_F(SpectralExport, CopyOutSwapAndCopyBackLeaveTheTrackAsItBeganWhateverTheRange)
{
    const std::vector<int16_t> original = testwave::ramp(kFrames, 3);
    openCurrent(original);
    ASSERT_EQ(FilterGraph(1, 5000, 9000), 0); // playBuf keeps the dry copy
    for (int32_t f = 5000; f < 9000; ++f)
        TrackWrite(2 * f, int16_t(-original[2 * size_t(f)] / 2));
    const std::vector<int16_t> processed = trackSamples();
    ASSERT_EQ(FilterGraph(3, 5000, 9000), 0); // swap: the dry copy back in the track
    EXPECT_EQ(trackSamples(), original);
    ASSERT_EQ(FilterGraph(3, 5000, 9000), 0); // and the processed range again
    EXPECT_EQ(trackSamples(), processed);
    ASSERT_EQ(FilterGraph(4, 5000, 9000), 0); // copy back
    EXPECT_EQ(trackSamples(), original);
    // Nothing may reach outside trackBuf or playBuf (the sanitizers watch); other codes do nothing.
    for (int32_t op : {1, 2, 3, 4, 0, 7, -1, INT_MIN})
        for (const auto& [first, last] : {std::pair{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}})
            EXPECT_EQ(FilterGraph(op, first, last), 0);
    for (size_t i = 0; i < original.size(); ++i)
        TrackWrite(int32_t(i), original[i]);
    ASSERT_EQ(FilterGraph(1, -5, kFrames + 5), 0);
    ASSERT_EQ(FilterGraph(4, INT_MIN, INT_MAX), 0);
    EXPECT_EQ(trackSamples(), original);
}

TEST_F(SpectralExport, FXItRunsTheFftCodesAndSilencesForCodesNothingClaims)
{
    using namespace fxtest;
    const int32_t first = 2000, last = 18000;
    const auto input = tones(kFrames, {{1000.0, 10000.0}}, {{440.0, 6000.0}});
    openCurrent(input);
    ASSERT_EQ(FXIt(26, first, last, 0, 0, 0), 0); // pitch at ratio 1/2
    EXPECT_NEAR(zeroCrossingHz(trackSamples(), 0, first + 4097, last - 3073), 500.0, 1.0);
    // Each spectral code runs at the dialog's defaults; codes no row claims give silence.
    const vumo::fx::CodeRange spectral = vumo::fx::spectralCodes();
    for (int32_t code = spectral.first; code <= spectral.last; ++code)
    {
        ASSERT_EQ(Undo(), 0);
        const vumo::fx::EffectInfo* e = vumo::fx::findEffectInfo(code);
        ASSERT_TRUE(e != nullptr) << code;
        ASSERT_EQ(FXIt(code, first, last, e->defaults[0], e->defaults[1], e->defaults[2]), 0);
        const auto changed = trackSamples();
        EXPECT_TRUE(std::any_of(changed.begin() + 2 * (first + 4097),
                                changed.begin() + 2 * (last - 3073),
                                [](int16_t v) { return v != 0; }))
            << code;
    }
    for (int32_t code : {0, spectral.last + 1, 256 + spectral.last + 1})
    {
        ASSERT_EQ(Undo(), 0);
        ASSERT_EQ(FXIt(code, first, last, 9, 9, 9), 0);
        EXPECT_EQ(TrackRead(2 * (first + 1)) | TrackRead(2 * (last - 3073) + 1), 0) << code;
        EXPECT_EQ(TrackRead(2 * first), input[2 * first]) << code;
    }
}

TEST_F(FXItExport, GainChangesOnlyTheRangeMarksTheTrackEditedAndExtremeRangesAreClamped)
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
    // Extreme ranges are clamped to the track and any int32 argument is safe.
    const auto s = testwave::ramp(kFrames, 1);
    loadTrack(s);
    EXPECT_EQ(FXIt(19, INT_MIN, INT_MAX, 0, 0, 0), 0); // reverse
    for (int32_t f = 0; f < kFrames; ++f)
        ASSERT_EQ(left(f), s[2 * size_t(kFrames - 1 - f)]) << f;
    for (int32_t code = 0; code <= 40; ++code)
        for (int32_t v : {INT_MIN, -1, 0, 255, INT_MAX})
            ASSERT_EQ(FXIt(code, kFrames - 5000, v, v, v, v), 0) << code;
    EXPECT_EQ(FXIt(2, INT_MAX, INT_MIN, 0, 0, 0), 0);
}
