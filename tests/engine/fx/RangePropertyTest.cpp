// Properties every time-domain effect keeps: nothing outside [F, L) changes, and no effect
// makes -32768 out of samples within +-32767.
#include "FxTestSupport.h"

#include "engine/fx/FxTable.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

class EveryEffect : public ::testing::TestWithParam<int32_t>
{
};

std::string codeName(const ::testing::TestParamInfo<int32_t>& info)
{
    return "Code" + std::to_string(info.param);
}

} // namespace

TEST_P(EveryEffect, ChangesNoFrameOutsideTheRange)
{
    const FxEntry* entry = findEffect(GetParam());
    ASSERT_NE(entry, nullptr);
    std::mt19937 rng{uint32_t(GetParam())};
    for (int32_t trial = 0; trial < 6; ++trial)
    {
        const int32_t frames = 12000;
        TestTrack t = randomTrack(frames, rng(), 20000);
        const TestTrack before = t;
        const int32_t first = int32_t(rng() % 3000);
        const int32_t last = first + int32_t(rng() % 9000);
        const FxParams p =
            params(first, last, int32_t(rng() % 256), int32_t(rng() % 256), int32_t(rng() % 256));
        entry->apply(t.span(), p);
        for (int32_t f = 0; f < frames; ++f)
        {
            if (f < first || f >= last)
            {
                ASSERT_EQ(t.left(f), before.left(f)) << f;
                ASSERT_EQ(t.right(f), before.right(f)) << f;
            }
        }
    }
}

TEST_P(EveryEffect, NeverProducesMinus32768)
{
    const FxEntry* entry = findEffect(GetParam());
    std::mt19937 rng{uint32_t(100 + GetParam())};
    for (int32_t trial = 0; trial < 4; ++trial)
    {
        TestTrack t = randomTrack(10000, rng(), 32767);
        entry->apply(t.span(), params(0, 10000, int32_t(rng() % 256), int32_t(rng() % 256),
                                      int32_t(rng() % 256)));
        for (int16_t s : t.samples)
            ASSERT_NE(s, -32768);
    }
}

TEST_P(EveryEffect, RunsOverARangeThatEndsAtTheTrackEnd)
{
    // Voices and windows that reach past L must not leave the track (checked under ASan).
    const FxEntry* entry = findEffect(GetParam());
    for (int32_t p : {0, 1, 127, 128, 254, 255})
    {
        TestTrack t = randomTrack(5000, uint32_t(p), 30000);
        const TestTrack before = t;
        entry->apply(t.span(), params(4000, 5000, p, p, p));
        entry->apply(t.span(), params(4999, 5000, p, p, 255 - p));
        for (int32_t f = 0; f < 4000; ++f)
            ASSERT_EQ(t.left(f), before.left(f));
        entry->apply(t.span(), params(0, 5000, p, 255 - p, p));
    }
}

INSTANTIATE_TEST_SUITE_P(Codes1To25, EveryEffect, ::testing::Range(1, 26), codeName);
