// Effect processor (placeholder until the effects land): marks the track edited only.
#include "Fx.h"

#include "engine/api/Engine.h"

namespace wavorn::fx
{

int32_t fxIt(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t)
{
    engine().dirty = true;
    return 0;
}

} // namespace wavorn::fx
