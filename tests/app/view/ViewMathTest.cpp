// View arithmetic of the waveform picture: columns, frames, zoom window, ticks, rounding.
#include "view/ViewMath.h"

#include <QTest>

using namespace vumo::view;

class ViewMathTest : public QObject
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
    void roundsHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5 goes down") << 2.5 << 2;
        QTest::newRow("3.5 goes up") << 3.5 << 4;
        QTest::newRow("-2.5 goes up") << -2.5 << -2;
        QTest::newRow("2.6 to nearest") << 2.6 << 3;
        QTest::newRow("beyond int32 clamps") << 1e12 << INT32_MAX;
    }
    void roundsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(roundToInt32(value), expected);
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

    void viewWindowStartFollowsZoomAndScrollBar_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("scroll");
        QTest::addColumn<int>("expected");
        QTest::newRow("zoom 1 ignores the bar at 0") << 1 << 0 << 0;
        QTest::newRow("zoom 1 ignores the bar half way") << 1 << 16384 << 0;
        QTest::newRow("zoom 1 ignores the bar at the end") << 1 << 32767 << 0;
        // (1048576 - 1048576 / 256) * 32767 / 32768 = 1044448.1, short of the last window
        QTest::newRow("zoom 256 at the end") << 256 << 32767 << 1044448;
        QTest::newRow("zoom 256 at the start") << 256 << 0 << 0;
        QTest::newRow("zoom 2 slides half the track") << 2 << 16384 << 262144;
    }
    void viewWindowStartFollowsZoomAndScrollBar()
    {
        QFETCH(int, zoom);
        QFETCH(int, scroll);
        QFETCH(int, expected);
        QCOMPARE(viewWindowStart(1048576, zoom, scroll), expected);
    }

    void columnAndCursorFollowTheWindow()
    {
        QCOMPARE(columnFrame(1, fourMegabytes()), 1049);
        QCOMPARE(columnFrame(999, fourMegabytes()), 1047527); // 1047527.424
        QCOMPARE(columnFrame(10, fourMegabytes(4, 5000)), 5000 + 2621);
        QCOMPARE(cursorColumn(524288, fourMegabytes()), 500);
        QCOMPARE(cursorColumn(100000, fourMegabytes(4, 200000)), -381);
    }

    void channelCentresSplitThePictureInQuarters_data()
    {
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("q");
        QTest::addColumn<int>("m");
        QTest::newRow("300") << 300.0 << 75 << 225;
        QTest::newRow("301") << 301.0 << 75 << 226;
        QTest::newRow("10.5 rounds to 10") << 10.5 << 2 << 8;
    }
    void channelCentresSplitThePictureInQuarters()
    {
        QFETCH(double, height);
        QFETCH(int, q);
        QFETCH(int, m);
        QCOMPARE(channelCentres(height).q, q);
        QCOMPARE(channelCentres(height).m, m);
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

    void msToFramesRounds()
    {
        QCOMPARE(MsToFrames(1000), 44100);
        QCOMPARE(MsToFrames(10), 441);
        QCOMPARE(MsToFrames(0.5), 22); // 22.05
    }

    void noScaleKeepsEverythingAtColumnZero()
    {
        ViewGeometry g;
        g.width = 1000;
        QCOMPARE(SampleToX(0, g), 0);
        QCOMPARE(SampleToX(5000, g), 999);
        QCOMPARE(XToSample(500, g), 0);
    }
};

QTEST_MAIN(ViewMathTest)
#include "ViewMathTest.moc"
