// Clip operations: copy or cut a range of the current track to a wave file, paste a wave file
// over a range (straight, merged, ring-modulated or subtracted).
#pragma once

#include <cstdint>

namespace wavorn
{

// Each range is clamped to 0 ... trackLen first and a reversed range is empty, so no argument
// reaches outside trackBuf or playBuf.

// CopyTo: writes frames [start, end) of trackBuf as a wave file. Returns 0, or -1 when the file
// cannot be written (or there is no track buffer).
int32_t copyTo(int32_t start, int32_t end, const char* fileName);
// CutTo: as copyTo, then silences the range and marks the track edited. Returns 0, or -1 when
// the clip cannot be written; the track is then unchanged.
int32_t cutTo(int32_t start, int32_t end, const char* fileName);
// PasteFrom: loads fileName into playBuf and pastes its first end - start frames over the
// range: mode 0 gain copy, 1 gain mix, 2 ring modulation, 3 subtraction, with the current
// track's gains. Returns the load result; a refused file (10 or more) changes nothing and does
// not mark the track edited. Another mode changes nothing and returns -1.
int32_t pasteFrom(int32_t start, int32_t end, const char* fileName, int32_t mode);

} // namespace wavorn
