// Arctangent, sine and cosine for the phase vocoder's per-bin loops: plain branch-free
// polynomials the compiler can run four bins at a time, accurate to a few float roundings
// (about 2e-7 rad or 2e-7 absolute), which is the precision of the vocoder's float arrays.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

namespace wavorn::fx
{

// atan2(y, x) in [-pi, pi]; 0 for (0, 0). Signed zeros are not told apart (atan2(-0, -1) is
// pi, not -pi, the same angle). Both quotients are always computed and one is chosen, so that
// loops over it run a vector at a time.
inline float phaseOf(float y, float x)
{
    constexpr float kPi = std::numbers::pi_v<float>;
    constexpr float kTanPiOver8 = 0.414213562373095f;
    const float ax = std::fabs(x);
    const float ay = std::fabs(y);
    const float large = ax > ay ? ax : ay;
    const float small = ax > ay ? ay : ax;
    // 0 ... 1; when large is 0 so is small, and 0 / 1 gives the ratio 0.
    const float ratio = small / (large > 0.0f ? large : 1.0f);
    // atan(t) = pi/4 + atan((t - 1) / (t + 1)) brings t above tan(pi/8) down to |t| < 0.4143.
    const bool upper = ratio > kTanPiOver8;
    const float reduced = (ratio - 1.0f) / (ratio + 1.0f);
    const float t = upper ? reduced : ratio;
    const float z = t * t;
    float angle = (((8.05374449538e-2f * z - 1.38776856032e-1f) * z + 1.99777106478e-1f) * z -
                   3.33329491539e-1f) *
                      z * t +
                  t;
    angle += upper ? kPi / 4.0f : 0.0f;
    angle = ay > ax ? kPi / 2.0f - angle : angle;
    angle = x < 0.0f ? kPi - angle : angle;
    return y < 0.0f ? -angle : angle;
}

// sin and cos of an angle within [-2 pi, 2 pi].
inline void sinCos(float angle, float& sine, float& cosine)
{
    // Quadrant q = round(angle / (pi/2)); the remainder r = angle - q pi/2 is taken with
    // pi/2 split in three parts so it keeps its precision; |r| <= pi/4.
    const float scaled = angle * float(2.0 / std::numbers::pi);
    const auto q = int32_t(scaled + (scaled >= 0.0f ? 0.5f : -0.5f));
    const float qf = float(q);
    const float r =
        ((angle - qf * 1.5703125f) - qf * 4.837512969970703125e-4f) - qf * 7.54978995489e-8f;
    const float z = r * r;
    const float s = ((-1.9515295891e-4f * z + 8.3321608736e-3f) * z - 1.6666654611e-1f) * z * r + r;
    const float c =
        ((2.443315711809948e-5f * z - 1.388731625493765e-3f) * z + 4.166664568298827e-2f) * z * z -
        0.5f * z + 1.0f;
    const int32_t quadrant = q & 3;
    const float sineAbs = (quadrant & 1) ? c : s;
    const float cosineAbs = (quadrant & 1) ? s : c;
    sine = (quadrant & 2) ? -sineAbs : sineAbs;
    cosine = ((quadrant + 1) & 2) ? -cosineAbs : cosineAbs;
}

} // namespace wavorn::fx
