// The effect functions, declared from the rows of Effects.def: every time-domain effect
// rewrites frames [first, last) of the track in place, every spectral effect fills one frame's
// synthesis bins from its analysis bins; none keeps state between calls.
#pragma once

#include "FxMath.h"
#include "SpectralOps.h"

namespace wavorn::fx
{

#define VUMO_EFFECT(code, function, ...) void function(SampleSpan track, const FxParams& p);
#define VUMO_SPECTRAL_EFFECT(code, operation, ...)                                                 \
    void operation(const AnalysisBins& in, const SynthesisBins& out, const SpectralParams& params);
#define VUMO_STUDIO_EFFECT(...)
#include "Effects.def"
#undef VUMO_EFFECT
#undef VUMO_SPECTRAL_EFFECT
#undef VUMO_STUDIO_EFFECT

} // namespace wavorn::fx
