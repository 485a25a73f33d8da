// PhaseSweep: the oscillator phase as (frames since the last restart) * step, exactly the sum
// that adding the step frame by frame gives.
#include "PhaseSweep.h"

#include "FxClones.h"
#include "FxMath.h"

#include <algorithm>
#include <cassert>

namespace wavorn::fx
{

namespace
{

// counter * units * 2^-18: exact, the product being an integer below 2^24 times a power of two.
float phaseAt(int32_t counter, int32_t units)
{
    return float(counter * units) * kRadiansPerStep;
}

// Phases of `count` frames from counter `first`, which passes `period` at most once.
VUMO_FX_CLONES void phasesFrom(int32_t first, int32_t period, int32_t units, float* phases,
                               int32_t count)
{
    for (int32_t k = 0; k < count; ++k)
    {
        const int32_t counter = first + k;
        phases[k] = phaseAt(counter >= period ? counter - period : counter, units);
    }
}

} // namespace

PhaseSweep::PhaseSweep(int32_t units) : m_units(units & 0xFF)
{
    if (m_units == 0)
    {
        m_period = int32_t(kMaxBlock); // the phase stays 0; the counter only has to stay small
        return;
    }
    // The restart comes after the first frame whose phase plus one step exceeds 2 pi.
    int32_t period = int32_t(kTwoPi / double(phaseAt(1, m_units)));
    while (period > 1 && double(phaseAt(period - 1, m_units)) > kTwoPi)
        --period;
    while (!(double(phaseAt(period, m_units)) > kTwoPi))
        ++period;
    m_period = period;
}

void PhaseSweep::next(float* phases, size_t count)
{
    assert(count <= kMaxBlock);
    // A block spans at most one restart when it is no longer than the period.
    for (size_t done = 0; done < count;)
    {
        const auto part = int32_t(std::min(count - done, size_t(m_period)));
        phasesFrom(m_counter, m_period, m_units, phases + done, part);
        m_counter = (m_counter + part) % m_period;
        done += size_t(part);
    }
}

} // namespace wavorn::fx
