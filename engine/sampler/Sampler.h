// The sample keyboard: a clip loaded into playBuf, rendered into trackBuf at a pitch and level.
#pragma once

#include <cstdint>

namespace wavorn
{

int32_t loadSK1(const char* fileName);
int32_t sk1(int32_t startFrame, int32_t length, double step, double gain);

} // namespace wavorn
