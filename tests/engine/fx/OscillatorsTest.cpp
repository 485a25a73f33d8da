// Ring, vibe and bounce pan.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wavorn::fx;
using namespace fxtest;

TEST(Oscillators, GiveTheWorkedNumbers)
{
    const ConstantCase cases[] = {
        // what, effect, frames, P1, P2, P3, input (L, R), output (L, R), head, tail, tolerance
        {"ring at P1 0: 1 + weight", applyRing, 16, 0, 0, 127, 1000, 1000, 2000, 1992},
        {"ring at P1 0 limits", applyRing, 2, 0, 0, 255, 20000, -20000, 20000, -32767},
        {"vibe at depth 0", applyVibe, 100, 200, 0, 128, 1000, 1000, 1992, 2000},
        // a = 1, left 127/128: 10000 * 127/128 * (1 + cos 0) / 2; right (1 + cos pi/2) / 2
        {"bounce pan, right a quarter ahead", applyBouncePan, 1, 100, 255, 128, 10000, 10000, 9921,
         5000, 0, 0, 1},
    };
    for (const ConstantCase& c : cases)
        expectConstantCase(c);
}

TEST(Oscillators, RingAndVibeFollowTheCosineOfAPhaseThatRestartsAtZero)
{
    const int32_t frames = 20000; // past three periods at P1 255 (about 6460 frames each)
    TestTrack ring(frames), vibe(frames);
    ring.fill(10000, -10000);
    vibe.fill(10000, 10000);
    applyRing(ring.span(), params(0, frames, 255, 0, 127));
    applyVibe(vibe.span(), params(0, frames, 255, 255, 0)); // depth 1, right weight 0
    float m = 0.0f;
    int32_t restarts = 0;
    for (int32_t f = 0; f < frames; ++f)
    {
        const double c = std::cos(double(m));
        ASSERT_NEAR(ring.left(f), 10000.0 * (c + 1.0), 1.0) << f;
        ASSERT_NEAR(ring.right(f), -10000.0 * (127.0 / 128.0 * c + 1.0), 1.0) << f;
        ASSERT_NEAR(vibe.left(f), 10000.0 * ((c + 1.0) * 0.5 + 1.0), 1.0) << f;
        ASSERT_EQ(vibe.right(f), 10000);
        if (f > 0 && m == 0.0f)
        {
            ++restarts;
            EXPECT_EQ(ring.left(f), 20000) << f; // the phase is exactly 0 again
        }
        m += 255.0f / 262144.0f;
        m = m > 6.283185307179586 ? 0.0f : m;
    }
    EXPECT_EQ(restarts, 3);
}

TEST(Oscillators, BouncePanNeverRaisesALevel)
{
    const TestTrack before = randomTrack(8000, 3);
    TestTrack t = before;
    applyBouncePan(t.span(), params(0, 8000, 255, 128, 127));
    for (size_t i = 0; i < t.samples.size(); ++i)
        ASSERT_LE(std::abs(t.samples[i]), std::abs(before.samples[i])) << i;
}
