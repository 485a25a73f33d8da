// PhaseSweep: the phase m of the low-frequency oscillators (chorus, ring, vibe, bounce pan),
// a block of frames at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wavorn::fx
{

// m starts at 0 on every call of an effect, grows by units * 2^-18 radians every frame
// (m += step in float) and restarts at exactly 0 (not m - 2 pi) as soon as it exceeds 2 pi.
// Every sum on the way is a multiple of 2^-18 below 8 and so held exactly by a float: the phase
// of a frame is the number of frames since the last restart times the step, which lets a block
// of phases be found a vector at a time instead of one addition after another.
class PhaseSweep
{
public:
    explicit PhaseSweep(int32_t units); // 0 ... 255

    // The phases of the next `count` frames (at most kMaxBlock), before each frame's step.
    void next(float* phases, size_t count);

    static constexpr size_t kMaxBlock = 4096;

private:
    int32_t m_units;
    int32_t m_period;      // frames from one restart to the next
    int32_t m_counter = 0; // frames since the last restart
};

} // namespace wavorn::fx
