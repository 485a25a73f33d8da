// DrumEdit: the drum editor's Edit menu on the drum data: cut, copy and paste of one
// instrument's beats or of a whole pattern through the editor's clipboard.
#pragma once

#include "drums/DrumData.h"

namespace vumo::drums
{

// p is a pattern (0 ... 7) and i an instrument (0 ... 57); -1, or any other number outside
// those ranges, means nothing is selected and the command changes nothing.

// One instrument's 32 beats travel through row 0 of the clipboard; Cut silences them.
void cutInstrument(DrumData& drums, int p, int i);
void copyInstrument(DrumData& drums, int p, int i);
void pasteInstrument(DrumData& drums, int p, int i);

// A whole pattern with its beat count and beat length; Cut leaves it silent with 32 beats of
// the project tempo (clamped to 1 ... 255 ms).
void cutPattern(DrumData& drums, int p, int32_t tempo);
void copyPattern(DrumData& drums, int p);
void pastePattern(DrumData& drums, int p);

} // namespace vumo::drums
