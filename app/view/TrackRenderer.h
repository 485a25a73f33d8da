// TrackRenderer: draws the waveform, ticks and selection highlight into the view's image.
#pragma once

#include "view/Overview.h"
#include "view/ViewMath.h"

#include <QColor>
#include <QImage>

#include <cstdint>
#include <functional>

namespace vumo::view
{

// Reads one 16-bit sample of the current track by index 2 * frame + channel (the engine's
// TrackRead); -1 outside the buffer.
using SampleReader = std::function<int32_t(int32_t sampleIndex)>;

inline const QColor kBackground{0, 0, 0};

struct TrackPicture
{
    ViewGeometry geometry;
    double hscale = 0.0; // picture units per sample unit
    int32_t tempo = 0;   // ms per beat; ticks every 32 beats, none for 0
    int32_t selStart = 0;
    int32_t selEnd = 0;
    // The spans of the track's blocks when they are known to hold what read gives (the buffer
    // still holds the file the overview was read from): whole blocks inside a column are taken
    // from it, and only the frames at the column's edges are read.
    const TrackOverview* overview = nullptr;
};

// Clears the image and draws ticks, centre lines and, from column 1 on, each column as the span
// from the lowest to the highest sample of the frames it covers, per channel; then the
// selection highlight in XOR. The image must be Format_RGB32.
void renderTrack(QImage& image, const TrackPicture& picture, const SampleReader& read);

// Whether `checked` blocks spread over a track of trackLength frames hold in read what the
// overview says of them (a track shorter than a block has none to compare).
bool overviewMatchesTrack(const TrackOverview& overview, int32_t trackLength,
                          const SampleReader& read, int checked = 32);

// XORs a filled box over columns xs ... xe (either order) and the full height in `colour`;
// drawing the same box again restores the picture.
void xorBox(QImage& image, int32_t xs, int32_t xe, const QColor& colour);

// XORs the selection highlight of [selStart, selEnd) in DARKGREEN.
void xorSelection(QImage& image, const ViewGeometry& g, int32_t selStart, int32_t selEnd);

// XORs a vertical line at column x over the full height (the play cursor).
void xorLine(QImage& image, int32_t x, const QColor& colour);

} // namespace vumo::view
