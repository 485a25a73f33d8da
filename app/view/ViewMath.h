// View arithmetic of the waveform picture: frames to columns and back, the zoom window, the
// beat ticks. Every real value becomes an integer by rounding to nearest, ties to even.
#pragma once

#include <cstdint>

namespace vumo::view
{

constexpr int32_t kScrollRange = 32768;     // hscView runs 0 ... 32767
constexpr double kTickFramesPerMs = 1411.2; // 32 beats of 1 ms at 44100 frames per second

// What the mappings need to know about the picture and the track.
struct ViewGeometry
{
    double tscale = 0.0;     // frames per column at zoom 1
    int32_t zoom = 1;        // 1 ... 256
    int32_t trkbegin = 0;    // first visible frame
    int32_t trackLength = 0; // frames
    double width = 0.0;      // picture width, pixels
    double height = 0.0;     // picture height, pixels
};

// Rounds to nearest with ties to even (the default rounding mode).
double roundEven(double value);
// roundEven, clamped into the int32 range (NaN gives 0).
int32_t roundToInt32(double value);

// The column of a frame, clamped to 0 ... width - 1.
int32_t SampleToX(double frame, const ViewGeometry& g);
// The frame under a column, clamped to 0 ... trackLength - 2.
int32_t XToSample(double x, const ViewGeometry& g);
// The first visible frame for a zoom factor and a scroll bar value; 0 at zoom 1.
int32_t viewWindowStart(int32_t trackLength, int32_t zoom, int32_t scrollValue);
// The frame drawn in column x: (tscale / zoom) * x, rounded, plus trkbegin.
int32_t columnFrame(int32_t x, const ViewGeometry& g);
// The play cursor's column, unclamped.
int32_t cursorColumn(int32_t sampPos, const ViewGeometry& g);
// Milliseconds to frames: ms * 44.1, rounded.
int32_t MsToFrames(double ms);

// Centre lines of the two channels: q for the left, m for the right.
struct ChannelCentres
{
    int32_t q;
    int32_t m;
};
ChannelCentres channelCentres(double height);

// Frames between ticks: tempo * 1411.2, rounded. 0 or less means no ticks.
int64_t tickSpacing(int32_t tempo);

// First and last tick inside [p0, p1]; empty when first > last or the spacing is not positive.
struct TickRange
{
    int64_t first = 0;
    int64_t last = -1;
    int64_t step = 0;
    bool empty() const { return step <= 0 || first > last; }
};
TickRange tickRange(int32_t p0, int32_t p1, int64_t spacing);

} // namespace vumo::view
