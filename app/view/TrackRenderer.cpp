// TrackRenderer: the waveform picture, drawn into a persistent image.
#include "view/TrackRenderer.h"

#include "view/ViewColours.h"

#include <QPainter>

#include <algorithm>

namespace vumo::view
{
namespace
{

constexpr int kTickHeight = 5; // ticks cover rows 0 ... 4

void drawTicks(QPainter& p, const TrackPicture& pic)
{
    const ViewGeometry& g = pic.geometry;
    const int32_t p0 = XToSample(0, g);
    const int32_t p1 = XToSample(roundEven(g.width - 1), g);
    const TickRange ticks = tickRange(p0, p1, tickSpacing(pic.tempo));
    if (ticks.empty())
        return;
    for (int64_t t = ticks.first; t <= ticks.last; t += ticks.step)
    {
        const int32_t x = SampleToX(static_cast<double>(t), g);
        p.fillRect(x, 0, 1, kTickHeight, kGreen);
    }
}

// A bar of half-height y mirrored about the centre line c: rows c - |y| ... c + |y| - 1, so
// a full-scale sample fills exactly its channel's half and a silent one draws nothing.
void drawBar(QPainter& p, int32_t x, int32_t c, int32_t y)
{
    const int32_t half = y < 0 ? -y : y;
    if (half > 0)
        p.fillRect(x, c - half, 1, 2 * half, kRed);
}

void drawBars(QPainter& p, const TrackPicture& pic, const ChannelCentres& c,
              const SampleReader& read)
{
    const ViewGeometry& g = pic.geometry;
    const int32_t lastColumn = roundToInt32(g.width - 1);
    for (int32_t x = 1; x <= lastColumn; ++x)
    {
        const int32_t f = columnFrame(x, g);
        // 2 * f stays inside int32 for any track the engine accepts; a frame outside it
        // reads -1, like any index outside the buffer.
        const int64_t left = 2 * static_cast<int64_t>(f);
        const bool inRange = left >= 0 && left + 1 <= INT32_MAX;
        const int32_t sampleL = inRange ? read(static_cast<int32_t>(left)) : -1;
        const int32_t sampleR = inRange ? read(static_cast<int32_t>(left + 1)) : -1;
        const int32_t yL = roundToInt32(pic.hscale * sampleL);
        const int32_t yR = roundToInt32(pic.hscale * sampleR);
        drawBar(p, x, c.q, yL);
        drawBar(p, x, c.m, yR);
    }
}

} // namespace

void renderTrack(QImage& image, const TrackPicture& pic, const SampleReader& read)
{
    const ViewGeometry& g = pic.geometry;
    const ChannelCentres c = channelCentres(g.height);
    image.fill(kBackground);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        drawTicks(p, pic);
        // Centre lines from column 1 to the last column.
        const int32_t right = roundToInt32(g.width - 1);
        p.fillRect(1, c.q, right, 1, kBlue);
        p.fillRect(1, c.m, right, 1, kBlue);
        if (read)
            drawBars(p, pic, c, read);
    }
    xorSelection(image, g, pic.selStart, pic.selEnd);
}

void xorBox(QImage& image, int32_t xs, int32_t xe, const QColor& colour)
{
    const int32_t left = std::min(xs, xe);
    const int32_t right = std::max(xs, xe);
    QPainter p(&image);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.fillRect(QRect(left, 0, right - left + 1, image.height()), colour);
}

void xorSelection(QImage& image, const ViewGeometry& g, int32_t selStart, int32_t selEnd)
{
    xorBox(image, SampleToX(selStart, g), SampleToX(selEnd, g), kDarkGreen);
}

void xorLine(QImage& image, int32_t x, const QColor& colour)
{
    xorBox(image, x, x, colour);
}

} // namespace vumo::view
