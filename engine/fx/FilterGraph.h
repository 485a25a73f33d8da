// FilterGraph: the effect chain window's work-buffer operations on playBuf.
#pragma once

#include <cstdint>

namespace wavorn::fx
{

int32_t filterGraph(int32_t operation, int32_t firstFrame, int32_t lastFrame);

} // namespace wavorn::fx
