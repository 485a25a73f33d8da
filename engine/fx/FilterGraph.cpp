// FilterGraph (placeholder until the spectral effects land).
#include "FilterGraph.h"

namespace wavorn::fx
{

int32_t filterGraph(int32_t, int32_t, int32_t) { return 0; }

} // namespace wavorn::fx
