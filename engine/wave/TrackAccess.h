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
// Results of writePendingEdits besides 0 (written, or nothing pending).
constexpr int32_t kEditsRecovered = -1;  // the track file failed; a recovery file holds them
constexpr int32_t kEditsNotWritten = -2; // no copy of the edits could be written anywhere
// Writes all of trackBuf to the current track's file when it holds pending edits. When that
// fails the edits go to "<name>-recovered.wav" beside the track file, else to
// "vumo-recovered-<name>.wav" in the temp folder. The edits stay pending on any failure.
int32_t writePendingEdits();

} // namespace wavorn
