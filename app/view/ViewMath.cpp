// View arithmetic of the waveform picture.
#include "view/ViewMath.h"

#include <cmath>
#include <limits>

namespace vumo::view
{

double roundEven(double value)
{
    return std::nearbyint(value);
}

int32_t roundToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value);
    if (r <= std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    if (r >= std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

int32_t SampleToX(double frame, const ViewGeometry& g)
{
    const double framesPerColumn = g.zoom > 1 ? g.tscale / g.zoom : g.tscale;
    double x = roundEven((frame - g.trkbegin) / framesPerColumn);
    // Without a scale (no project yet) every frame sits at column 0.
    if (std::isnan(x) || x < 0)
        x = 0;
    const double last = roundEven(g.width - 1);
    if (last < x)
        x = last;
    return roundToInt32(x);
}

int32_t XToSample(double x, const ViewGeometry& g)
{
    double frame = g.zoom > 1 ? g.tscale * x / g.zoom + g.trkbegin : g.tscale * x;
    frame = roundEven(frame);
    // The upper clamp goes first so that a track shorter than 2 frames still gives frame 0.
    if (frame > g.trackLength - 2.0)
        frame = g.trackLength - 2.0;
    if (std::isnan(frame) || frame < 0)
        frame = 0;
    return roundToInt32(frame);
}

int32_t viewWindowStart(int32_t trackLength, int32_t zoom, int32_t scrollValue)
{
    if (zoom <= 1)
        return 0;
    const double length = trackLength;
    return roundToInt32((length - length / zoom) * scrollValue / kScrollRange);
}

int32_t columnFrame(int32_t x, const ViewGeometry& g)
{
    const int32_t zoom = g.zoom >= 1 ? g.zoom : 1;
    return roundToInt32(roundEven(g.tscale / zoom * x) + g.trkbegin);
}

int32_t cursorColumn(int32_t sampPos, const ViewGeometry& g)
{
    const int32_t zoom = g.zoom >= 1 ? g.zoom : 1;
    return roundToInt32((static_cast<double>(sampPos) - g.trkbegin) / (g.tscale / zoom));
}

int32_t MsToFrames(double ms)
{
    return roundToInt32(ms * 44.1);
}

ChannelCentres channelCentres(double height)
{
    const int32_t q = roundToInt32(height) / 4;
    return {q, roundToInt32(height - q)};
}

int64_t tickSpacing(int32_t tempo)
{
    return static_cast<int64_t>(roundEven(tempo * kTickFramesPerMs));
}

TickRange tickRange(int32_t p0, int32_t p1, int64_t spacing)
{
    TickRange range;
    if (spacing <= 0)
        return range;
    range.step = spacing;
    range.first = (p0 / spacing) * spacing;
    range.last = (p1 / spacing) * spacing;
    if (range.first < p0)
        range.first += spacing;
    if (range.last > p1)
        range.last -= spacing;
    return range;
}

} // namespace vumo::view
