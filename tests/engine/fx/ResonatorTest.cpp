// Resonator.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

// The resonator written out frame by frame with every R(g) kept, not in a ring.
TestTrack reference(const TestTrack& in, int32_t first, int32_t last, int32_t p1, int32_t p2,
                    int32_t p3)
{
    TestTrack out = in;
    const int32_t w = 128 * (255 - p1), n = w / 2;
    const ChannelWeights cw = weightsFromP3(p3);
    const float s = float(p2) / 1024.0f;
    const auto d = [w](float c) { return int32_t(c * float(w)); };
    std::map<int64_t, float> rl, rr;
    for (int32_t f = first; f < first + n; ++f)
    {
        rl[f] = in.left(f);
        rr[f] = in.right(f);
    }
    for (int32_t f = first + n; f < last; ++f)
    {
        const auto L = [&](int32_t g) { return rl.at(g); };
        const auto R = [&](int32_t g) { return rr.at(g); };
        const float aL = 0.69f * L(f - n + 1) + 0.31f * L(f - n) + 0.76f * L(f - d(0.37f)) +
                         0.24f * L(f - d(0.37f) + 1) + 0.11f * L(f - d(0.47f)) +
                         0.89f * L(f - d(0.47f) + 1);
        const float aR = 0.66f * R(f - d(0.33f) + 1) + 0.92f * R(f - d(0.46f)) +
                         0.08f * R(f - d(0.46f) + 1) + 0.81f * R(f - d(0.41f)) +
                         0.19f * R(f - d(0.41f) + 1) + 0.57f * R(f - d(0.49f)) +
                         0.43f * R(f - d(0.49f) + 1);
        rl[f] = std::clamp(in.left(f) + cw.left * s * aL, -32767.0f, 32767.0f);
        rr[f] = std::clamp(in.right(f) + cw.right * s * aR, -32767.0f, 32767.0f);
        out.left(f - n) = int16_t(rl[f - n]);
        out.right(f - n) = int16_t(rr[f - n]);
    }
    return out;
}

} // namespace

TEST(Resonator, MatchesTheFrameByFrameDefinitionAndKeepsTheFirstAndLastHalfRing)
{
    const TestTrack before = randomTrack(6000, 44, 12000);
    TestTrack t = before;
    const TestTrack expected = reference(t, 100, 5900, 240, 700 % 256, 100);
    applyResonator(t.span(), params(100, 5900, 240, 700 % 256, 100)); // W 1920, n 960
    for (size_t i = 0; i < t.samples.size(); ++i)
        ASSERT_NEAR(t.samples[i], expected.samples[i], 1) << i;
    EXPECT_TRUE(sameFrames(t, before, 0, 100 + 960));
    EXPECT_TRUE(sameFrames(t, before, 5900 - 960, 6000));
    EXPECT_NE(t.left(100 + 960), before.left(100 + 960));
}

TEST(Resonator, AnImpulseRingsAtTheTapDistances)
{
    TestTrack t(2000);
    t.left(100) = 10000;
    applyResonator(t.span(), params(0, 2000, 254, 255, 0)); // W 128, n 64, s 255/1024
    // Frame 100 feeds frames 100 + D1 = 147 (0.76) and 146 (0.24) among others.
    EXPECT_NEAR(t.left(147), 0.76 * 10000 * 255.0 / 1024.0, 1.0);
    EXPECT_NEAR(t.left(146), 0.24 * 10000 * 255.0 / 1024.0, 1.0);
    EXPECT_EQ(t.left(120), 0);
}
