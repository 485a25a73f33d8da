// Sample keyboard (placeholder until the sampler lands).
#include "Sampler.h"

namespace wavorn
{

int32_t loadSK1(const char*) { return 0; }
int32_t sk1(int32_t, int32_t, double, double) { return 0; }

} // namespace wavorn
