// Sample access to the current track and its save/revert operations.
#pragma once

#include <cstdint>

namespace wavorn
{

int32_t trackRead(int32_t sampleIndex);
int32_t trackWrite(int32_t sampleIndex, int32_t value);
// Writes the current track's pending edits; 0, or -1 when the write failed (still dirty).
int32_t saveEdits();
// Reloads the current track from its file; the load result.
int32_t undo();
// Writes all of trackBuf to the current track's file when it holds pending edits. On failure
// the edits go to a recovery file (see Lifecycle.cpp) and -1 is returned.
int32_t writePendingEdits();

} // namespace wavorn
