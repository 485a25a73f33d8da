// Clip operations: copy or cut a range of the current track to a wave file, paste a wave file
// over a range (straight, merged, ring-modulated or subtracted).
#pragma once

#include <cstdint>

namespace wavorn
{

int32_t copyTo(int32_t start, int32_t end, const char* fileName);
int32_t cutTo(int32_t start, int32_t end, const char* fileName);
int32_t pasteFrom(int32_t start, int32_t end, const char* fileName, int32_t mode);

} // namespace wavorn
