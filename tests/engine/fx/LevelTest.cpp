// Gain, compression and distortion.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"

#include <gtest/gtest.h>

using namespace wavorn::fx;
using namespace fxtest;

TEST(LevelEffects, GiveTheWorkedNumbers)
{
    const ConstantCase cases[] = {
        // what, effect, frames, P1, P2, P3, input (L, R), output (L, R), head, tail, tolerance
        {"gain 1, left 127/128", applyGain, 8, 16, 255, 128, 1000, -1000, 992, -1000},
        {"gain 2.5 truncates", applyGain, 4, 40, 255, 127, 1001, -1001, 2502, -2482},
        {"gain limit 128 * P2", applyGain, 4, 255, 10, 0, 30000, -30000, 1280, 0},
        {"gain limit negative", applyGain, 4, 255, 10, 255, 30000, -30000, 0, -1280},
        {"gain P2 0 silences", applyGain, 4, 16, 0, 127, 12345, -12345, 0, 0},
        {"gain P1 0 silences", applyGain, 4, 0, 255, 127, 12345, -12345, 0, 0},
        {"gain P3 0 silences right", applyGain, 2, 32, 255, 0, 500, 500, 1000, 0},
        {"compression of full scale", applyCompression, 2, 128, 255, 127, 32767, -32767, 23170,
         -22989}, // 128 * sqrt(32767), 127 * sqrt(32767)
        {"compression keeps the sign", applyCompression, 3, 2, 255, 0, 100, 0, 20, 0},
        {"compression of minus", applyCompression, 3, 2, 255, 255, 0, -100, 0, -20},
        {"compression limit", applyCompression, 2, 255, 100, 127, 10000, -10000, 12800, -12800},
        {"distortion k pi: cos pi", applyDistortion, 2, 0, 0, 0, 1, 0, -1, 0},
        {"distortion k pi: cos 2 pi", applyDistortion, 2, 0, 0, 255, 0, 2, 0, 2},
        {"distortion of 1000 at k pi", applyDistortion, 2, 0, 0, 0, 1000, 0, 1000, 0, 0, 0, 1},
        // k = pi / 65281: 3000 cos(3000 k) = 2968.8, times 127/128 = 2945.6
        {"distortion at large P1", applyDistortion, 2, 255, 0, 127, 3000, 3000, 2968, 2945, 0, 0,
         1},
    };
    for (const ConstantCase& c : cases)
        expectConstantCase(c);
}
