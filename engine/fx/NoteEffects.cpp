// Note effects (codes 21 to 24): the window's level (both channels' sums of absolute values)
// starts a note above 256 * P2 and ends it below 128 * P2; when a note ends its frames are
// reversed, faded, reflected before its start or raised in pitch. A note still open at the
// end of the range is left alone.
#include "Effects.h"
#include "WindowSweep.h"

#include <algorithm>
#include <cstring>

namespace wavorn::fx
{

namespace
{

// A detected note: frames [start, end) of the track; outputFirst is the first output frame of
// the sweep (first + h).
struct Note
{
    size_t start;
    size_t end;
    size_t outputFirst;
};

template <class Action> void detectNotes(SampleSpan track, const FxParams& p, Action&& action)
{
    const int32_t n = windowFrames(p.p1);
    const int32_t on = 256 * p.p2;
    const int32_t off = 128 * p.p2;
    const size_t outputFirst = size_t(p.first) + size_t(n / 2);
    bool inNote = false;
    size_t start = 0;
    sweepWindow(track, p.first, p.last, n,
                [&](size_t f, const WindowSums& s)
                {
                    const int32_t level = s.absLeft() + s.absRight();
                    if (inNote)
                    {
                        if (level < off)
                        {
                            action(Note{start, f, outputFirst});
                            inNote = false;
                        }
                    }
                    else if (level > on)
                    {
                        start = f;
                        inNote = true;
                    }
                });
}

inline void copyFrame(int16_t* x, size_t to, size_t from)
{
    std::memmove(x + 2 * to, x + 2 * from, 4);
}

} // namespace

// Reverse Note (code 21): frames S ... E - 1 in reverse order.
void applyReverseNote(SampleSpan track, const FxParams& p)
{
    int16_t* x = track.data();
    detectNotes(track, p,
                [x](const Note& note)
                {
                    size_t i = note.start;
                    size_t j = note.end;
                    while (i + 1 < j)
                    {
                        --j;
                        int16_t frame[2];
                        std::memcpy(frame, x + 2 * i, 4);
                        copyFrame(x, i, j);
                        std::memcpy(x + 2 * j, frame, 4);
                        ++i;
                    }
                });
}

// Fade Note (code 22): sample k of K = 2 * (E - S) (left and right alternating) times
// P1/256 + k * (P2/256 - P1/256) / K, truncated.
void applyFadeNote(SampleSpan track, const FxParams& p)
{
    int16_t* x = track.data();
    const float from = float(p.p1) / 256.0f;
    const float to = float(p.p2) / 256.0f;
    detectNotes(track, p,
                [&](const Note& note)
                {
                    const size_t samples = 2 * (note.end - note.start);
                    int16_t* s = x + 2 * note.start;
                    for (size_t k = 0; k < samples; ++k)
                        s[k] = truncSample(float(s[k]) *
                                           (from + float(k) * (to - from) / float(samples)));
                });
}

// Reflect Note (code 23): the note without its last frame is added, backward in time, onto the
// frames just before its start, never at or before the first output frame. Sums are limited
// to +-32767.
void applyReflectNote(SampleSpan track, const FxParams& p)
{
    int16_t* x = track.data();
    detectNotes(track, p,
                [x](const Note& note)
                {
                    const size_t length = note.end - 1 - note.start;
                    for (size_t j = 0; j < length; ++j)
                    {
                        if (note.start < j + 1 + note.outputFirst + 1)
                            break; // t = S - 1 - j must stay later than the first output frame
                        const size_t t = note.start - 1 - j;
                        const size_t from = note.start + j;
                        for (size_t c = 0; c < 2; ++c)
                            x[2 * t + c] = int16_t(std::clamp(
                                int32_t(x[2 * t + c]) + int32_t(x[2 * from + c]), -32767, 32767));
                    }
                });
}

namespace
{

// Pitch Note ratios from P1 in six steps: -3rd, 3rd, 4th, 5th, 7th, octave.
float noteRatio(int32_t p1)
{
    if (p1 < 42)
        return 1.187f;
    if (p1 < 84)
        return 1.25f;
    if (p1 < 128)
        return 1.375f;
    if (p1 < 170)
        return 1.5f;
    if (p1 < 212)
        return 1.688f;
    return 2.0f;
}

} // namespace

// Pitch Note (code 24): with c = E - 1 - S, frame S + j takes frame S + trunc(j * r) while that
// is below S + c, and silence after; the note plays r times faster.
void applyPitchNote(SampleSpan track, const FxParams& p)
{
    int16_t* x = track.data();
    const float ratio = noteRatio(p.p1);
    detectNotes(track, p,
                [x, ratio](const Note& note)
                {
                    const size_t length = note.end - 1 - note.start;
                    for (size_t j = 0; j < length; ++j)
                    {
                        const size_t q = size_t(float(j) * ratio);
                        if (q < length)
                            copyFrame(x, note.start + j, note.start + q);
                        else
                            std::memset(x + 2 * (note.start + j), 0, 4);
                    }
                });
}

} // namespace wavorn::fx
