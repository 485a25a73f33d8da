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

// The lowest and highest sample of each channel over the frames one column covers.
struct ColumnSpan
{
    int32_t lowL = 0, highL = 0, lowR = 0, highR = 0;
    bool any = false; // whether the column covers a frame of the track
};

void addFrames(ColumnSpan& s, int64_t first, int64_t last, const SampleReader& read)
{
    for (int64_t f = first; f <= last; ++f)
    {
        const int32_t left = read(static_cast<int32_t>(2 * f));
        const int32_t right = read(static_cast<int32_t>(2 * f + 1));
        if (!s.any)
        {
            s = {left, left, right, right, true};
            continue;
        }
        s.lowL = std::min(s.lowL, left);
        s.highL = std::max(s.highL, left);
        s.lowR = std::min(s.lowR, right);
        s.highR = std::max(s.highR, right);
    }
}

void addBlocks(ColumnSpan& s, const FrameSpan& b)
{
    if (!b.any)
        return;
    const ColumnSpan block{b.lowL, b.highL, b.lowR, b.highR, true};
    if (!s.any)
    {
        s = block;
        return;
    }
    s.lowL = std::min(s.lowL, block.lowL);
    s.highL = std::max(s.highL, block.highL);
    s.lowR = std::min(s.lowR, block.lowR);
    s.highR = std::max(s.highR, block.highR);
}

// Column x covers the frames from its own (columnFrame) up to the next column's first frame,
// that one included so that a zoomed-in trace runs on without gaps; at least its own frame.
// Frames outside the track are left out. Each frame is read once per channel, or taken with its
// whole block from the overview.
ColumnSpan scanColumn(int32_t x, const ViewGeometry& g, const SampleReader& read,
                      const TrackOverview* overview)
{
    const int64_t own = columnFrame(x, g);
    const int64_t first = std::max<int64_t>(own, 0);
    const int64_t lastFrame = std::min<int64_t>(g.trackLength, INT32_MAX / 2) - 1;
    const int64_t last =
        std::min<int64_t>(std::max<int64_t>(columnFrame(x + 1, g), own), lastFrame);
    ColumnSpan s;
    const int64_t firstBlock = (first + kOverviewBlockFrames - 1) / kOverviewBlockFrames;
    const int64_t endBlock = (last + 1) / kOverviewBlockFrames; // after the last whole block
    if (overview == nullptr || firstBlock >= endBlock)
    {
        addFrames(s, first, last, read);
        return s;
    }
    addFrames(s, first, firstBlock * kOverviewBlockFrames - 1, read);
    addBlocks(s, overview->span(firstBlock, endBlock - 1));
    addFrames(s, endBlock * kOverviewBlockFrames, last, read);
    return s;
}

// One channel's column, from the height of its highest sample down to its lowest's: rows
// c - y(high) ... c - y(low) - 1 with y(v) = hscale * v rounded, kept inside the channel's half
// of the picture (rows c - half ... c + half - 1). A column that holds sound shows at least one
// row; a silent one shows none, leaving the centre line.
void drawSpan(QPainter& p, int32_t x, int32_t c, int32_t half, double hscale, int32_t low,
              int32_t high)
{
    if (low == 0 && high == 0)
        return;
    const int64_t bandEnd = int64_t(c) + half;
    int64_t top = int64_t(c) - roundToInt32(hscale * high);
    int64_t bottom = int64_t(c) - roundToInt32(hscale * low);
    top = std::clamp<int64_t>(top, int64_t(c) - half, bandEnd - 1);
    bottom = std::clamp<int64_t>(bottom, top + 1, bandEnd);
    p.fillRect(x, int32_t(top), 1, int32_t(bottom - top), kRed);
}

void drawBars(QPainter& p, const TrackPicture& pic, const ChannelCentres& c,
              const SampleReader& read)
{
    const ViewGeometry& g = pic.geometry;
    const int32_t lastColumn = roundToInt32(g.width - 1);
    for (int32_t x = 1; x <= lastColumn; ++x)
    {
        const ColumnSpan s = scanColumn(x, g, read, pic.overview);
        if (!s.any)
            continue;
        drawSpan(p, x, c.q, c.q, pic.hscale, s.lowL, s.highL);
        drawSpan(p, x, c.m, c.q, pic.hscale, s.lowR, s.highR);
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

bool overviewMatchesTrack(const TrackOverview& overview, int32_t trackLength,
                          const SampleReader& read, int checked)
{
    const int64_t blocks = trackLength / kOverviewBlockFrames;
    for (int i = 0; i < checked && blocks > 0; ++i)
    {
        const int64_t b = i + 1 == checked ? blocks - 1 : blocks * i / checked;
        ColumnSpan s;
        addFrames(s, b * kOverviewBlockFrames, (b + 1) * kOverviewBlockFrames - 1, read);
        const FrameSpan o = overview.span(b, b);
        if (s.lowL != o.lowL || s.highL != o.highL || s.lowR != o.lowR || s.highR != o.highR)
            return false;
    }
    return true;
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
