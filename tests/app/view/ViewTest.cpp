// The waveform view: its arithmetic (columns, frames, zoom window, ticks, rounding), the
// rendered pixels, the XOR highlight, mouse selection and Select All.
#include "model/ModVumo.h"
#include "view/TrackRenderer.h"
#include "view/ViewColours.h"
#include "view/ViewMath.h"
#include "view/WaveformView.h"

#include <QMouseEvent>
#include <QTest>
#include <algorithm>

using namespace vumo::view;
using namespace vumo;

namespace
{

constexpr int kWidth = 1000;
constexpr int kHeight = 300;
constexpr int32_t kFrames = 4 * 262144;

TrackPicture pictureOf(int32_t tempo)
{
    TrackPicture pic;
    pic.geometry.trackLength = kFrames;
    pic.geometry.width = kWidth;
    pic.geometry.height = kHeight;
    pic.geometry.tscale = static_cast<float>(static_cast<double>(kFrames) / kWidth);
    pic.hscale = static_cast<float>(kHeight / 131072.0);
    pic.tempo = tempo;
    return pic;
}

// Every sample of the left channel is `left`, of the right channel `right`.
SampleReader constantTrack(int32_t left, int32_t right)
{
    return [left, right](int32_t index) { return index % 2 == 0 ? left : right; };
}

QRgb rgb(const QColor& c)
{
    return c.rgb();
}

// A shown 1000 x 300 view over a 4 MB track with the engine open.
struct ShownView
{
    ModVumo mod;
    WaveformView view;

    explicit ShownView(SampleReader read = constantTrack(0, 0), bool show = true)
        : view((mod.trackLength = kFrames, mod), std::move(read), [] { return true; })
    {
        view.resize(kWidth, kHeight);
        if (show)
        {
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
        }
    }
};

} // namespace

class ViewTest : public QObject
{
    Q_OBJECT

private:
    // A 4 MB track (1048576 frames) on a 1000-column picture.
    static ViewGeometry fourMegabytes(int32_t zoom = 1, int32_t trkbegin = 0)
    {
        ViewGeometry g;
        g.trackLength = 4 * 262144;
        g.width = 1000;
        g.height = 300;
        g.tscale = static_cast<float>(g.trackLength / g.width);
        g.zoom = zoom;
        g.trkbegin = trkbegin;
        return g;
    }

private slots:
    void roundsHalvesToEvenAndMsToFrames()
    {
        // 2.5 down, 3.5 up, -2.5 up, 2.6 to the nearest; beyond int32 clamps.
        for (const auto& [value, expected] :
             {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.6, 3}, {1e12, INT32_MAX}})
            QCOMPARE(roundToInt32(value), expected);
        QCOMPARE(MsToFrames(1000), 44100);
        QCOMPARE(MsToFrames(10), 441);
        QCOMPARE(MsToFrames(0.5), 22); // 22.05
    }

    // Frames to columns (SampleToX) and columns to frames (XToSample), each clamped.
    void columnsAndFramesMapAndClamp_data()
    {
        QTest::addColumn<bool>("toColumn");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("trkbegin");
        QTest::addColumn<double>("from");
        QTest::addColumn<int>("expected");
        const auto row =
            [](const char* tag, bool toColumn, int zoom, int trkbegin, double from, int expected)
        { QTest::newRow(tag) << toColumn << zoom << trkbegin << from << expected; };
        row("frame 0 is column 0", true, 1, 0, 0.0, 0);
        row("one column's worth", true, 1, 0, 1048.576, 1);
        row("half way", true, 1, 0, 524288.0, 500);
        row("end of track clamps to last column", true, 1, 0, 1048576.0, 999);
        row("before the window clamps to 0", true, 4, 100000, 50000.0, 0);
        row("zoom 4 from trkbegin", true, 4, 100000, 100000 + 262.144 * 10, 10);
        row("beyond the window clamps", true, 256, 0, 1048576.0, 999);
        row("column 0", false, 1, 0, 0.0, 0);
        row("column 500", false, 1, 0, 500.0, 524288);
        row("column 1 rounds 1048.576", false, 1, 0, 1.0, 1049);
        row("negative column clamps to 0", false, 1, 0, -5.0, 0);
        row("far right clamps to trackLength - 2", false, 1, 0, 5000.0, 1048574);
        row("zoom ignores trkbegin only at 1", false, 1, 7777, 10.0, 10486);
        row("zoom 2 adds trkbegin", false, 2, 1000, 10.0, 1000 + 5243);
    }
    void columnsAndFramesMapAndClamp()
    {
        QFETCH(bool, toColumn);
        QFETCH(int, zoom);
        QFETCH(int, trkbegin);
        QFETCH(double, from);
        QFETCH(int, expected);
        const ViewGeometry g = fourMegabytes(zoom, trkbegin);
        QCOMPARE(toColumn ? SampleToX(from, g) : XToSample(from, g), expected);
    }

    void viewWindowStartFollowsZoomAndScrollBar()
    {
        // (zoom, scroll bar, start): zoom 1 ignores the bar; at zoom 256 the end is
        // (1048576 - 1048576 / 256) * 32767 / 32768 = 1044448.1, short of the last window.
        for (const auto& [zoom, scroll, start] :
             {std::tuple{1, 16384, 0}, {256, 32767, 1044448}, {256, 0, 0}, {2, 16384, 262144}})
            QCOMPARE(viewWindowStart(1048576, zoom, scroll), start);
    }

    void columnAndCursorFollowTheWindow()
    {
        QCOMPARE(columnFrame(1, fourMegabytes()), 1049);
        QCOMPARE(columnFrame(999, fourMegabytes()), 1047527); // 1047527.424
        QCOMPARE(columnFrame(10, fourMegabytes(4, 5000)), 5000 + 2621);
        QCOMPARE(cursorColumn(524288, fourMegabytes()), 500);
        QCOMPARE(cursorColumn(100000, fourMegabytes(4, 200000)), -381);
    }

    void channelCentresSplitThePictureInQuarters()
    {
        // (height, q, m); 10.5 rounds to 10.
        for (const auto& [height, q, m] :
             {std::tuple{300.0, 75, 225}, {301.0, 75, 226}, {10.5, 2, 8}})
        {
            QCOMPARE(channelCentres(height).q, q);
            QCOMPARE(channelCentres(height).m, m);
        }
    }

    void ticksAre32BeatsApartInsideTheWindow()
    {
        QCOMPARE(tickSpacing(100), int64_t{141120});
        QCOMPARE(tickSpacing(1), int64_t{1411});
        QCOMPARE(tickSpacing(256), int64_t{361267});
        QCOMPARE(tickSpacing(0), int64_t{0});
        const TickRange r = tickRange(150000, 600000, 141120);
        QCOMPARE(r.first, int64_t{282240});
        QCOMPARE(r.last, int64_t{564480});
        QCOMPARE(tickRange(0, 141120, 141120).first, int64_t{0});
        QCOMPARE(tickRange(0, 141120, 141120).last, int64_t{141120});
        QVERIFY(tickRange(0, 1000000, 0).empty());
        QVERIFY(tickRange(1, 141119, 141120).empty());
    }

    void noScaleKeepsEverythingAtColumnZero()
    {
        ViewGeometry g;
        g.width = 1000;
        QCOMPARE(SampleToX(0, g), 0);
        QCOMPARE(SampleToX(5000, g), 999);
        QCOMPARE(XToSample(500, g), 0);
    }

    void silentTrackShowsOnlyCentreLinesAndTicks()
    {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        renderTrack(image, pictureOf(100), constantTrack(0, 0));
        const ChannelCentres c = channelCentres(kHeight);
        // Ticks every 141120 frames: columns of 0, 141120, 282240 ... within the track.
        QList<int> tickColumns;
        for (int64_t t = 0; t <= kFrames - 2; t += 141120)
            tickColumns.append(SampleToX(static_cast<double>(t), pictureOf(100).geometry));
        QCOMPARE(tickColumns.size(), 8);
        QCOMPARE(tickColumns.first(), 0);
        tickColumns.removeFirst(); // column 0 also carries the empty selection at frame 0
        int blue = 0;
        int green = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 1; x < kWidth; ++x)
            {
                const QRgb p = image.pixel(x, y);
                if (p == rgb(kBlue))
                {
                    QVERIFY2(y == c.q || y == c.m,
                             qPrintable(QStringLiteral("blue at %1,%2").arg(x).arg(y)));
                    QVERIFY(x >= 1);
                    ++blue;
                }
                else if (p == rgb(kGreen))
                {
                    QVERIFY(y < 5);
                    QVERIFY(tickColumns.contains(x));
                    ++green;
                }
                else
                {
                    QCOMPARE(p, rgb(kBackground));
                }
            }
        QCOMPARE(blue, 2 * (kWidth - 1));
        QCOMPARE(green, 5 * tickColumns.size());
    }

    // Left positive or negative fills the top half, right the bottom half.
    void fullScaleSampleFillsItsChannelsHalf()
    {
        for (const auto& [left, right, fullFrom, fullTo] :
             {std::tuple{32767, 0, 0, 149}, {-32767, 0, 0, 149}, {0, 32767, 150, 299}})
        {
            QImage image(kWidth, kHeight, QImage::Format_RGB32);
            renderTrack(image, pictureOf(0), constantTrack(left, right));
            for (int x : {1, 500, kWidth - 1})
                for (int y = 0; y < kHeight; ++y)
                    QVERIFY2((image.pixel(x, y) == rgb(kRed)) == (y >= fullFrom && y <= fullTo),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            // Column 0 is never drawn; tempo 0 draws no ticks.
            QVERIFY(image.pixel(0, 100) != rgb(kRed));
            for (int x = 0; x < kWidth; ++x)
                QVERIFY(image.pixel(x, 0) != rgb(kGreen));
        }
    }

    void eachColumnShowsTheFrameUnderItsLeftEdge()
    {
        // Only the frame of column 500 is loud.
        const int32_t loudFrame = columnFrame(500, pictureOf(0).geometry);
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        renderTrack(image, pictureOf(0),
                    [loudFrame](int32_t index) { return index / 2 == loudFrame ? 16384 : 0; });
        QCOMPARE(image.pixel(500, 40), rgb(kRed));
        QVERIFY(image.pixel(499, 40) != rgb(kRed));
        QVERIFY(image.pixel(501, 40) != rgb(kRed));
        QCOMPARE(image.pixel(500, 225), rgb(kRed)); // the right channel too
    }

    void selectionHighlightInvertsAndASecondDrawRestores()
    {
        const TrackPicture pic = pictureOf(100);
        QImage plain(kWidth, kHeight, QImage::Format_RGB32);
        renderTrack(plain, pic, constantTrack(8000, -8000));
        QImage image = plain.copy();
        const int32_t selStart = XToSample(200, pic.geometry);
        const int32_t selEnd = XToSample(300, pic.geometry);
        xorSelection(image, pic.geometry, selStart, selEnd);
        for (int y : {0, 60, 75, 150, 299})
        {
            const QRgb before = plain.pixel(250, y);
            QCOMPARE(image.pixel(250, y) & 0xFFFFFF, (before ^ rgb(kDarkGreen)) & 0xFFFFFF);
            QCOMPARE(image.pixel(199, y), plain.pixel(199, y));
            QCOMPARE(image.pixel(301, y), plain.pixel(301, y));
        }
        xorSelection(image, pic.geometry, selStart, selEnd);
        QCOMPARE(image, plain);
    }

    void widgetKeepsScalesDrawingAndSelectAll()
    {
        ShownView v(constantTrack(12000, -6000));
        QCOMPARE(v.view.picture().size(), QSize(kWidth, kHeight));
        QCOMPARE(v.view.hscale(), static_cast<float>(kHeight / 131072.0));
        QCOMPARE(v.view.tscale(), static_cast<float>(kFrames / double(kWidth)));
        QTest::mousePress(&v.view, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(v.view.clipMode(), int16_t{1});
        v.view.DrawTrack();
        v.view.SelectAll();
        QCOMPARE(v.view.selection().selStart, 0);
        QCOMPARE(v.view.selection().selEnd, kFrames - 2);
        QCOMPARE(v.view.clipMode(), int16_t{0});
        for (int x : {0, 500, kWidth - 1})
            QCOMPARE(v.view.picture().pixel(x, 140) & 0xFFFFFF, rgb(kDarkGreen) & 0xFFFFFF);
        v.view.drawCursor(400); // a play cursor stays until it is drawn again
        const QImage shown = v.view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, v.view.picture());
        v.view.drawCursor(400);
        QVERIFY(v.view.picture() != shown);
    }

    // Left to right, right to left, a click without a drag (empty), beyond the right edge (stops
    // at the last column).
    void mouseDragSelectsInOrder()
    {
        for (const auto& [from, to] :
             {std::pair{100, 300}, {300, 100}, {420, 420}, {900, kWidth + 80}})
        {
            ShownView v;
            auto& [mod, view] = v;
            const ViewGeometry g = view.geometry();

            QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(from, 50));
            QCOMPARE(view.clipMode(), int16_t{1});
            QCOMPARE(view.selection().selStart, XToSample(from, g));
            QCOMPARE(view.selection().selEnd, view.selection().selStart);
            QMouseEvent move(QEvent::MouseMove, QPointF(to, 50), view.mapToGlobal(QPointF(to, 50)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&view, &move);
            const int last = std::min(to, kWidth - 1);
            QCOMPARE(view.selection().selEnd,
                     XToSample(last, g)); // may be below selStart while dragging
            // The highlight covers the dragged columns during the drag.
            if (from != to)
                QVERIFY(view.picture().pixel((from + to) / 2, 100) != rgb(kBackground));
            QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(to, 50));
            QCOMPARE(view.selection().selStart, XToSample(std::min(from, last), g));
            QCOMPARE(view.selection().selEnd, XToSample(std::max(from, last), g));
            QCOMPARE(view.clipMode(), int16_t{0});
        }
    }

    void moveWithoutPressChangesNothing()
    {
        ShownView v(constantTrack(0, 0), false);
        v.view.selection().selStart = 10;
        v.view.selection().selEnd = 20;
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 50), QPointF(300, 50), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&v.view, &move);
        QCOMPARE(v.view.selection().selStart, 10);
        QCOMPARE(v.view.selection().selEnd, 20);
    }
};

QTEST_MAIN(ViewTest)
#include "ViewTest.moc"
