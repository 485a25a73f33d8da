// Clip operations (placeholder until the clip operations land).
#include "Clips.h"

namespace wavorn
{

int32_t copyTo(int32_t, int32_t, const char*) { return -1; }
int32_t cutTo(int32_t, int32_t, const char*) { return -1; }
int32_t pasteFrom(int32_t, int32_t, const char*, int32_t) { return 15; }

} // namespace wavorn
