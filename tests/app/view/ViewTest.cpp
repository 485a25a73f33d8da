// The waveform view: its arithmetic (columns, frames, zoom window, ticks, rounding), the
// rendered pixels, the XOR highlight and mouse selection.
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

// A 4 MB track (1048576 frames) on a 1000 x 300 picture.
ViewGeometry fourMegabytes(int32_t zoom = 1, int32_t trkbegin = 0)
{
    return {double(kFrames) / kWidth, zoom, trkbegin, kFrames, kWidth, kHeight};
}

// Every sample of the left channel is `left`, of the right channel `right`.
SampleReader constantTrack(int32_t left, int32_t right)
{
    return [left, right](int32_t index) { return index % 2 == 0 ? left : right; };
}

// The same values with the sign turned over at every other frame (a full-swing square).
SampleReader swingTrack(int32_t left, int32_t right)
{
    return [left, right](int32_t index)
    { return (index % 2 == 0 ? left : right) * ((index / 2) % 2 == 0 ? 1 : -1); };
}

// The first and last red row of column x in rows [from, to), or (-1, -1) when none is red.
std::pair<int, int> redRows(const QImage& image, int x, int from, int to)
{
    std::pair<int, int> rows{-1, -1};
    for (int y = from; y < to; ++y)
        if (image.pixel(x, y) == kRed.rgb())
            rows = {rows.first < 0 ? y : rows.first, y};
    return rows;
}

QImage rendered(int32_t tempo, const SampleReader& read)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    renderTrack(image, {fourMegabytes(), kHeight / 131072.0, tempo, 0, 0}, read);
    return image;
}

// A shown 1000 x 300 view over a 4 MB track with the engine open.
struct ShownView
{
    ModVumo mod;
    WaveformView view;

    ShownView() : view((mod.trackLength = kFrames, mod), constantTrack(0, 0), [] { return true; })
    {
        view.resize(kWidth, kHeight);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    void move(int x, Qt::MouseButtons buttons)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, 50), view.mapToGlobal(QPointF(x, 50)),
                      Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&view, &e);
    }
};

} // namespace

class ViewTest : public QObject
{
    Q_OBJECT

private slots:
    // Each value against its worked figure, at the boundaries where it clamps.
    void columnsAndFramesMapAndClamp_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<qint64>("expected");
        const auto row = [](const char* tag, qint64 value, qint64 expected)
        { QTest::newRow(tag) << value << expected; };
        const ViewGeometry g = fourMegabytes();
        row("2.5 rounds down", roundToInt32(2.5), 2);
        row("-2.5 rounds up", roundToInt32(-2.5), -2);
        row("beyond int32 clamps", roundToInt32(1e12), INT32_MAX);
        row("1000 ms", MsToFrames(1000), 44100);
        row("half way", SampleToX(524288, g), 500);
        row("end of track clamps to last column", SampleToX(1048576, g), 999);
        row("before the window clamps to 0", SampleToX(50000, fourMegabytes(4, 100000)), 0);
        row("zoom 4 from trkbegin", SampleToX(100000 + 262.144 * 10, fourMegabytes(4, 100000)), 10);
        row("beyond the window clamps", SampleToX(1048576, fourMegabytes(256)), 999);
        row("column 500", XToSample(500, g), 524288);
        row("negative column clamps to 0", XToSample(-5, g), 0);
        row("far right clamps to trackLength - 2", XToSample(5000, g), 1048574);
        row("zoom ignores trkbegin only at 1", XToSample(10, fourMegabytes(1, 7777)), 10486);
        row("zoom 2 adds trkbegin", XToSample(10, fourMegabytes(2, 1000)), 1000 + 5243);
        const ViewGeometry noScale{0, 1, 0, 0, kWidth, 0};
        row("no scale: any frame at the last column", SampleToX(5000, noScale), 999);
        row("no scale: any column is frame 0", XToSample(500, noScale), 0);
        // (1048576 - 1048576 / 256) * 32767 / 32768 = 1044448.1
        row("zoom 256 ends short of the last window", viewWindowStart(kFrames, 256, 32767),
            1044448);
        row("zoom 2 half way", viewWindowStart(kFrames, 2, 16384), 262144);
        row("column 999's frame (1047527.424)", columnFrame(999, g), 1047527);
        row("column 10's frame at zoom 4", columnFrame(10, fourMegabytes(4, 5000)), 5000 + 2621);
        row("cursor half way", cursorColumn(524288, g), 500);
        row("cursor left of the window", cursorColumn(100000, fourMegabytes(4, 200000)), -381);
        row("centres of 300: m", channelCentres(300).m, 225);
        row("centres of 301: m", channelCentres(301).m, 226);
        row("centres of 10.5 (10): m", channelCentres(10.5).m, 8);
        row("ticks at tempo 256", tickSpacing(256), 361267);
        row("no ticks at tempo 0", tickSpacing(0), 0);
        row("first tick inside", tickRange(150000, 600000, 141120).first, 282240);
        row("last tick inside", tickRange(150000, 600000, 141120).last, 564480);
        row("a tick on the end", tickRange(0, 141120, 141120).last, 141120);
        row("no tick between two", tickRange(1, 141119, 141120).empty(), true);
    }
    void columnsAndFramesMapAndClamp()
    {
        QFETCH(qint64, value);
        QFETCH(qint64, expected);
        QCOMPARE(value, expected);
    }

    // Every pixel from column 1 on: centre lines, at tempo 100 five rows of ticks every 141120
    // frames; a full swing fills its channel's half. (tempo, left, right, the rows filled)
    void eachPixelShowsTheTraceTheCentreLinesOrTheTicks()
    {
        QList<int> tickColumns;
        for (int64_t t = 141120; t <= kFrames - 2; t += 141120)
            tickColumns.append(SampleToX(double(t), fourMegabytes()));
        QCOMPARE(tickColumns.size(), 7);
        const ChannelCentres c = channelCentres(kHeight);
        for (const auto& [tempo, left, right, fullFrom, fullTo] : {std::tuple{100, 0, 0, -1, -1},
                                                                   {0, 32767, 0, 0, 149},
                                                                   {0, -32767, 0, 0, 149},
                                                                   {0, 0, 32767, 150, 299}})
        {
            const QImage image = rendered(tempo, swingTrack(left, right));
            for (int y = 0; y < kHeight; ++y)
                for (int x = 1; x < kWidth; ++x)
                {
                    QColor expected = y == c.q || y == c.m ? kBlue : kBackground;
                    if (tempo > 0 && y < 5 && tickColumns.contains(x))
                        expected = kGreen;
                    if (y >= fullFrom && y <= fullTo)
                        expected = kRed;
                    if (image.pixel(x, y) != expected.rgb())
                        QFAIL(qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                }
            QCOMPARE(image.pixel(0, 100) & 0xFFFFFF,
                     (kBackground.rgb() ^ kDarkGreen.rgb()) & 0xFFFFFF);
        }
    }

    // 40 frames on 11 columns of 40 rows: each column spans its frames' lowest to highest row.
    // Left: frame k holds 1000 * (k - 20); right: 400 at frame 5, -3000 at frame 29 (columns 7, 8).
    void eachColumnSpansTheLowestToTheHighestSampleOfItsFrames()
    {
        const ViewGeometry g{40.0 / 11, 1, 0, 40, 11, 40};
        QImage image(11, 40, QImage::Format_RGB32);
        renderTrack(image, {g, 1 / 2000.0, 0, 0, 0},
                    [](int32_t i)
                    {
                        const int32_t k = i / 2;
                        return i % 2 == 0 ? 1000 * (k - 20) : (k == 29 ? -3000 : k == 5 ? 400 : 0);
                    });
        // Rows round half to even: column 1 (frames 4 ... 7) -6.5 to -6, column 10 9.5 to 10.
        using R = std::pair<int, int>;
        const R none{-1, -1};
        QList<std::pair<R, R>> drawn; // at the index of its column
        for (int x = 0; x < 11; ++x)
            drawn.append({redRows(image, x, 0, 20), redRows(image, x, 20, 40)});
        QCOMPARE(drawn, (QList<std::pair<R, R>>{{none, none},
                                                {{16, 17}, {30, 30}},
                                                {{14, 15}, none},
                                                {{12, 13}, none},
                                                {{11, 11}, none},
                                                {{9, 10}, none},
                                                {{8, 8}, none},
                                                {{6, 7}, {30, 31}},
                                                {{4, 5}, {30, 31}},
                                                {{2, 3}, none},
                                                {{0, 1}, none}}));
    }

    void selectionHighlightInvertsAndASecondDrawRestores()
    {
        const QImage plain = rendered(100, constantTrack(8000, -8000));
        QImage image = plain.copy();
        const ViewGeometry g = fourMegabytes();
        xorSelection(image, g, XToSample(200, g), XToSample(300, g));
        for (int y : {0, 60, 75, 150, 299})
        {
            QCOMPARE(image.pixel(250, y) & 0xFFFFFF,
                     (plain.pixel(250, y) ^ kDarkGreen.rgb()) & 0xFFFFFF);
            QCOMPARE(image.pixel(199, y), plain.pixel(199, y));
            QCOMPARE(image.pixel(301, y), plain.pixel(301, y));
        }
        xorSelection(image, g, XToSample(200, g), XToSample(300, g));
        QCOMPARE(image, plain);
    }

    // Left to right, right to left, a click without a drag (empty), beyond the right edge (stops
    // at the last column).
    void mouseDragSelectsInOrder()
    {
        for (const auto& [from, to] :
             {std::pair{100, 300}, {300, 100}, {420, 420}, {900, kWidth + 80}})
        {
            ShownView v;
            WaveformView& view = v.view;
            const ViewGeometry g = view.geometry();
            QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(from, 50));
            QCOMPARE(view.clipMode(), int16_t{1});
            QCOMPARE(view.selection().selStart, XToSample(from, g));
            QCOMPARE(view.selection().selEnd, view.selection().selStart);
            v.move(to, Qt::LeftButton);
            const int last = std::min(to, kWidth - 1);
            // selEnd may be below selStart while dragging; the highlight covers the columns.
            QCOMPARE(view.selection().selEnd, XToSample(last, g));
            if (from != to)
                QVERIFY(view.picture().pixel((from + to) / 2, 100) != kBackground.rgb());
            QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(to, 50));
            QCOMPARE(
                std::pair(view.selection().selStart, view.selection().selEnd),
                std::pair(XToSample(std::min(from, last), g), XToSample(std::max(from, last), g)));
            QCOMPARE(view.clipMode(), int16_t{0});
        }
    }
};

QTEST_MAIN(ViewTest)
#include "ViewTest.moc"
