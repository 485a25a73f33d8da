// DrumEdit: cut, copy and paste of drum beats through the editor's clipboard.
#include "drums/DrumEdit.h"

namespace vumo::drums
{
namespace
{

bool isPattern(int p)
{
    return p >= 0 && p < kPatterns;
}

bool isCell(int p, int i)
{
    return isPattern(p) && i >= 0 && i < kInstruments;
}

} // namespace

void cutInstrument(DrumData& drums, int p, int i)
{
    if (!isCell(p, i))
        return;
    drums.drumClip[0] = drums.drumGrid[p][i];
    drums.drumGrid[p][i].fill(0);
}

void copyInstrument(DrumData& drums, int p, int i)
{
    if (isCell(p, i))
        drums.drumClip[0] = drums.drumGrid[p][i];
}

void pasteInstrument(DrumData& drums, int p, int i)
{
    if (isCell(p, i))
        drums.drumGrid[p][i] = drums.drumClip[0];
}

void cutPattern(DrumData& drums, int p, int32_t tempo)
{
    if (!isPattern(p))
        return;
    copyPattern(drums, p);
    for (BeatRow& row : drums.drumGrid[p])
        row.fill(0);
    drums.patLastBeat[p] = kLastBeat;
    drums.patMsPerBeat[p] = msPerBeatFromTempo(tempo);
}

void copyPattern(DrumData& drums, int p)
{
    if (!isPattern(p))
        return;
    drums.drumClip = drums.drumGrid[p];
    drums.drumClipLastBeat = drums.patLastBeat[p];
    drums.drumClipMsPerBeat = drums.patMsPerBeat[p];
}

void pastePattern(DrumData& drums, int p)
{
    if (!isPattern(p))
        return;
    drums.drumGrid[p] = drums.drumClip;
    drums.patLastBeat[p] = drums.drumClipLastBeat;
    drums.patMsPerBeat[p] = drums.drumClipMsPerBeat;
}

} // namespace vumo::drums
