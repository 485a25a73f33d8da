// Properties every time-domain effect keeps: nothing outside [F, L) changes, no effect makes
// -32768 out of samples within +-32767, and ranges too short for an effect leave it alone.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"
#include "engine/fx/FxTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

class EveryEffect : public ::testing::TestWithParam<int32_t>
{
protected:
    const FxEntry& entry = *findEffect(GetParam());
};

std::string codeName(const ::testing::TestParamInfo<int32_t>& info)
{
    return "Code" + std::to_string(info.param);
}

} // namespace

TEST_P(EveryEffect, ChangesNoFrameOutsideTheRangeAndNeverProducesMinus32768)
{
    std::mt19937 rng{uint32_t(GetParam())};
    for (int32_t trial = 0; trial < 8; ++trial)
    {
        const int32_t frames = 12000;
        const TestTrack before = randomTrack(frames, rng(), trial % 2 ? 20000 : 32767);
        TestTrack t = before;
        const int32_t first = int32_t(rng() % 3000), last = first + int32_t(rng() % 9000);
        entry.apply(t.span(), params(first, last, int32_t(rng() % 256), int32_t(rng() % 256),
                                     int32_t(rng() % 256)));
        EXPECT_TRUE(sameFrames(t, before, 0, first));
        EXPECT_TRUE(sameFrames(t, before, last, frames));
        for (int16_t s : t.samples)
            ASSERT_NE(s, -32768);
    }
}

TEST_P(EveryEffect, RunsOverARangeThatEndsAtTheTrackEnd)
{
    // Voices and windows that reach past L must not leave the track (checked under ASan).
    for (int32_t p : {0, 1, 127, 128, 254, 255})
    {
        const TestTrack before = randomTrack(5000, uint32_t(p), 30000);
        TestTrack t = before;
        entry.apply(t.span(), params(4000, 5000, p, p, p));
        entry.apply(t.span(), params(4999, 5000, p, p, 255 - p));
        EXPECT_TRUE(sameFrames(t, before, 0, 4000));
        entry.apply(t.span(), params(0, 5000, p, 255 - p, p));
    }
}

INSTANTIATE_TEST_SUITE_P(Codes1To25, EveryEffect, ::testing::Range(1, 26), codeName);

TEST(Effects, LeaveTheTrackAloneWhereTheRangeOrParametersGiveThemNothingToDo)
{
    struct Row
    {
        const char* what;
        Effect fx;
        int32_t first, last, p1, p2, p3;
    };
    const Row rows[] = {
        {"echo: range shorter than the delay of 320", applyEcho, 0, 300, 5, 200, 0},
        {"shift by 128", applyShift, 0, 3000, 128, 0, 0},
        {"shift: range of 100 frames", applyShift, 100, 200, 0, 0, 0},
        {"band pass: range of 256 frames", applyBandPass, 100, 356, 20, 80, 127},
        {"low pass: range of the window", applyLowPass, 100, 356, 0, 0, 127},
        {"pitch: range of 4096 frames", applyPitch, 100, 4196, 255, 0, 127},
        {"resonator with P2 0", applyResonator, 0, 3000, 250, 0, 127},
        {"resonator with P1 255", applyResonator, 0, 3000, 255, 255, 127},
        {"resonator: range of W = 1280", applyResonator, 10, 1290, 245, 255, 127},
        {"noise reduction with P2 0", applyNoiseReduction, 0, 2000, 128, 0, 0},
    };
    for (const Row& r : rows)
    {
        const TestTrack before = randomTrack(5000, 11);
        TestTrack t = before;
        r.fx(t.span(), params(r.first, r.last, r.p1, r.p2, r.p3));
        EXPECT_EQ(t.samples, before.samples) << r.what;
    }
}

TEST(Effects, HighPassAndWahLimitResultsBeyond16BitsTo32767)
{
    // A lone full-scale spike in a full-scale floor of the other sign: x - mean is close to
    // +-65535 (N 256 for the high pass, 130 for the wah, whose gate stays open at P2 0).
    for (const Effect fx : {applyHighPass, applyWah})
        for (const int16_t spike : {int16_t(32767), int16_t(-32768)})
        {
            TestTrack t(1200);
            t.generate([&](int32_t f, int32_t) { return f == 600 ? spike : int16_t(-1 - spike); });
            fx(t.span(), params(0, 1200, 0, 0, 127));
            EXPECT_EQ(t.left(600), spike > 0 ? 32767 : -32767);
            EXPECT_GE(*std::min_element(t.samples.begin() + 2 * 130, t.samples.end() - 2 * 130),
                      -32767);
        }
}
