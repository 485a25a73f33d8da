// The waveform picture: rendered pixels, XOR highlight, mouse selection, Select All.
#include "view/WaveformView.h"
#include "model/ModVumo.h"
#include "view/TrackRenderer.h"
#include "view/ViewColours.h"

#include <QMouseEvent>
#include <QTest>

#include <algorithm>

using namespace vumo;
using namespace vumo::view;

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

class WaveformViewTest : public QObject
{
    Q_OBJECT

private slots:
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

    void fullScaleSampleFillsItsChannelsHalf_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("fullFrom");
        QTest::addColumn<int>("fullTo");
        QTest::newRow("left positive fills the top half") << 32767 << 0 << 0 << 149;
        QTest::newRow("left negative fills the top half") << -32767 << 0 << 0 << 149;
        QTest::newRow("right fills the bottom half") << 0 << 32767 << 150 << 299;
    }
    void fullScaleSampleFillsItsChannelsHalf()
    {
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, fullFrom);
        QFETCH(int, fullTo);
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        renderTrack(image, pictureOf(0), constantTrack(left, right));
        for (int x : {1, 500, kWidth - 1})
            for (int y = 0; y < kHeight; ++y)
            {
                const bool inBar = y >= fullFrom && y <= fullTo;
                const QRgb p = image.pixel(x, y);
                if (inBar)
                    QCOMPARE(p, rgb(kRed));
                else
                    QVERIFY2(p != rgb(kRed),
                             qPrintable(QStringLiteral("red at %1,%2").arg(x).arg(y)));
            }
        // Column 0 is never drawn; tempo 0 draws no ticks.
        QVERIFY(image.pixel(0, 100) != rgb(kRed));
        for (int x = 0; x < kWidth; ++x)
            QVERIFY(image.pixel(x, 0) != rgb(kGreen));
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
        QCOMPARE(v.mod.selStart, 0);
        QCOMPARE(v.mod.selEnd, kFrames - 2);
        QCOMPARE(v.view.clipMode(), int16_t{0});
        for (int x : {0, 500, kWidth - 1})
            QCOMPARE(v.view.picture().pixel(x, 140) & 0xFFFFFF, rgb(kDarkGreen) & 0xFFFFFF);
        v.view.drawCursor(400); // a play cursor stays until it is drawn again
        const QImage shown = v.view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, v.view.picture());
        v.view.drawCursor(400);
        QVERIFY(v.view.picture() != shown);
    }

    void mouseDragSelectsInOrder_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("left to right") << 100 << 300;
        QTest::newRow("right to left") << 300 << 100;
        QTest::newRow("click without drag is empty") << 420 << 420;
        QTest::newRow("beyond the right edge stops at the last column") << 900 << kWidth + 80;
    }
    void mouseDragSelectsInOrder()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        ShownView v;
        auto& [mod, view] = v;
        const ViewGeometry g = view.geometry();

        QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(from, 50));
        QCOMPARE(view.clipMode(), int16_t{1});
        QCOMPARE(mod.selStart, XToSample(from, g));
        QCOMPARE(mod.selEnd, mod.selStart);
        QMouseEvent move(QEvent::MouseMove, QPointF(to, 50), view.mapToGlobal(QPointF(to, 50)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
        const int last = std::min(to, kWidth - 1);
        QCOMPARE(mod.selEnd, XToSample(last, g)); // may be below selStart while dragging
        // The highlight covers the dragged columns during the drag.
        if (from != to)
            QVERIFY(view.picture().pixel((from + to) / 2, 100) != rgb(kBackground));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(to, 50));
        QCOMPARE(mod.selStart, XToSample(std::min(from, last), g));
        QCOMPARE(mod.selEnd, XToSample(std::max(from, last), g));
        QCOMPARE(view.clipMode(), int16_t{0});
    }

    void moveWithoutPressChangesNothing()
    {
        ShownView v(constantTrack(0, 0), false);
        v.mod.selStart = 10;
        v.mod.selEnd = 20;
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 50), QPointF(300, 50), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&v.view, &move);
        QCOMPARE(v.mod.selStart, 10);
        QCOMPARE(v.mod.selEnd, 20);
    }
};

QTEST_MAIN(WaveformViewTest)
#include "WaveformViewTest.moc"
