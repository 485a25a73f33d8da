// Sample access to the current track and its save/revert operations.
#pragma once

#include "engine/api/Engine.h"

#include <cstdint>

namespace wavorn
{

// One sample of the current track, or -1 outside it. Inline: the studio's fade and its own
// effects read and write a track sample by sample through these.
inline int32_t trackRead(const Engine& e, int32_t sampleIndex)
{
    return e.trackBuf && sampleIndex >= 0 && sampleIndex < 2 * e.trackLen
               ? e.trackBuf[size_t(sampleIndex)]
               : -1;
}
// Stores the low 16 bits of value and marks the track edited; -1 outside the track.
inline int32_t trackWrite(Engine& e, int32_t sampleIndex, int32_t value)
{
    if (!e.trackBuf || sampleIndex < 0 || sampleIndex >= 2 * e.trackLen)
        return -1;
    e.trackBuf[size_t(sampleIndex)] = static_cast<int16_t>(value & 0xFFFF);
    e.dirty = true;
    return 0;
}
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
