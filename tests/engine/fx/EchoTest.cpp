// Echo.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

using namespace wavorn::fx;
using namespace fxtest;

TEST(Echo, AtP1ZeroIsAGainOf1PlusTheFeedbackAndNeverWritesTheLastFrame)
{
    const ConstantCase cases[] = {
        // what, effect, frames, P1, P2, P3, input (L, R), output (L, R), head, tail
        // 1000 + 1000 * 255/256, 1000 + 1000 * 127/128 * 255/256
        {"echo at P1 0", applyEcho, 10, 0, 255, 127, 1000, 1000, 1996, 1988, 0, 1},
        {"echo at P1 0 limits", applyEcho, 4, 0, 255, 127, -20000, 20000, -32767, 32767, 0, 1},
    };
    for (const ConstantCase& c : cases)
        expectConstantCase(c);
}

TEST(Echo, RepeatsDecayByTheFeedbackEachTime)
{
    TestTrack t(400);
    t.left(10) = 16000;
    applyEcho(t.span(), params(0, 400, 1, 128, 0)); // 64 frames, half
    for (int32_t f = 0; f < 400; ++f) // the last repeat, at 394, comes from 330 < L - 1 - 64
        ASSERT_EQ(t.left(f), f >= 10 && (f - 10) % 64 == 0 ? 16000 >> ((f - 10) / 64) : 0) << f;
    EXPECT_EQ(t.left(394), 250);
    EXPECT_EQ(t.right(74), 0);
}

TEST(Echo, TheLastFrameWrittenIsAtMostLMinus2)
{
    TestTrack t(200);
    t.fill(1000, 1000);
    applyEcho(t.span(), params(0, 130, 1, 255, 127));
    // Sources are frames 0 ... 64 (2f < 2L - 2 - 128), targets 64 ... 128; frame 64 is
    // raised before it is read as the source of frame 128.
    const std::pair<int32_t, int32_t> expected[] = {{63, 1000},  {64, 1996},  {127, 1996},
                                                    {128, 2988}, {129, 1000}, {150, 1000}};
    for (const auto& [frame, value] : expected)
        EXPECT_EQ(t.left(frame), value) << frame;
}
