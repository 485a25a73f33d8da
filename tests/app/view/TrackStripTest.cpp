// The track strip, the overviews it draws from, the time ruler and the status bar's times, through
// their functions and through the real window over the real engine.
#include "view/TrackStrip.h"
#include "StudioFixture.h"
#include "model/ProjectModel.h"
#include "view/Overviews.h"
#include "view/Ruler.h"
#include "view/TrackRenderer.h"
#include "view/WaveformView.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>

using namespace vumo;
using namespace vumo::test;
using view::FrameSpan;

namespace
{

QByteArray asBytes(const std::vector<uint8_t>& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

QByteArray wave(const std::vector<int16_t>& samples, const testwave::WaveLayout& layout = {})
{
    return asBytes(testwave::waveBytes(samples, layout));
}

// Frames f of a ramp on the left (10 f - 3000) and a full swing of +-1000 on the right.
std::vector<int16_t> rampAndSwing(int frames)
{
    std::vector<int16_t> s;
    for (int f = 0; f < frames; ++f)
        s.insert(s.end(), {int16_t(10 * f - 3000), int16_t(f % 2 == 0 ? -1000 : 1000)});
    return s;
}

// Samples that differ from frame to frame in no simple way (a fixed seed).
std::vector<int16_t> noise(int frames, uint32_t seed)
{
    std::vector<int16_t> s(size_t(2) * frames);
    for (int16_t& v : s)
    {
        seed = seed * 1664525u + 1013904223u;
        v = int16_t((seed >> 16) % 40000 - 20000) / int16_t(1 + (seed >> 8) % 4);
    }
    return s;
}

bool same(const FrameSpan& a, const FrameSpan& b)
{
    return a.any == b.any && a.lowL == b.lowL && a.highL == b.highL && a.lowR == b.lowR &&
           a.highR == b.highR;
}

// The picture as it is drawn reading every frame through the engine.
QImage drawnFrameByFrame(StudioFixture& s)
{
    view::WaveformView& v = *s.w.picView();
    QImage image(v.picture().size(), QImage::Format_RGB32);
    view::TrackPicture pic{v.geometry(), v.hscale(), s.mod.tempo, s.sel().selStart, s.sel().selEnd};
    EngineBinding& e = *s.binding;
    view::renderTrack(image, pic, [&e](int32_t i) { return e.TrackRead(i); });
    return image;
}

QString trackFile(StudioFixture& s, int k)
{
    return QFile::decodeName(s.mod.tracks[k].fileName.text());
}

// Waits (5 s at most) until the first `tracks` track files have their overviews for the files
// as they are now.
bool overviewsReady(StudioFixture& s, int tracks)
{
    return QTest::qWaitFor(
        [&]
        {
            const view::Overviews& ov = s.w.overviews();
            for (int k = 0; k < tracks; ++k)
            {
                const QString file = trackFile(s, k);
                if (!ov.find(file) || !ov.findAt(file, view::FileStamp::of(file)))
                    return false;
            }
            return true;
        },
        5000);
}

} // namespace

Q_DECLARE_METATYPE(std::vector<FrameSpan>)

class TrackStripTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useVirtualDevices(); }

    void overviewHoldsEachBlocksSpanAsTheLoaderLoads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<std::vector<FrameSpan>>("blocks");
        QTest::newRow("stereo, 600 frames")
            << wave(rampAndSwing(600))
            << std::vector<FrameSpan>{{-3000, -450, -1000, 1000, true},
                                      {-440, 2110, -1000, 1000, true},
                                      {0, 2990, -1000, 1000, true}}; // 512 ... 599, then silence
        std::vector<int16_t> halfFrame(512, 7);
        halfFrame.push_back(5000);
        QTest::newRow("the data ends inside a frame")
            << wave(halfFrame) << std::vector<FrameSpan>{{7, 7, 7, 7, true}, {0, 5000, 0, 0, true}};
        QTest::newRow("8-bit samples")
            << wave(std::vector<int16_t>(200, 0), {.bits = 8}) << std::vector<FrameSpan>{};
        QTest::newRow("not a wave file")
            << QByteArray("RIFX") + QByteArray(60, '\0') << std::vector<FrameSpan>{};
    }
    void overviewHoldsEachBlocksSpanAsTheLoaderLoads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(std::vector<FrameSpan>, blocks);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.wav"));
        QVERIFY(putFile(path, bytes));
        const view::TrackOverview ov = view::readOverview(path);
        QCOMPARE(ov.failure.isEmpty(), !blocks.empty());
        QCOMPARE(ov.blocks.size(), blocks.size());
        for (size_t b = 0; b < blocks.size(); ++b)
            QVERIFY2(same(ov.blocks[b], blocks[b]), qPrintable(QString::number(b)));
        if (QByteArray(QTest::currentDataTag()) != "stereo, 600 frames")
            return;
        // Two columns over a track of 1200 frames: frames 0 ... 599 are blocks 0 ... 2, frames
        // 600 ... 1199 block 2 and the silence after the data.
        QVERIFY(same(view::overviewColumn(ov, 1200, 0, 2), {-3000, 2990, -1000, 1000, true}));
        QVERIFY(same(view::overviewColumn(ov, 1200, 1, 2), {0, 2990, -1000, 1000, true}));
    }

    void specialFilesGiveNoOverviewAtOnce()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo.wav"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& path : {fifo, dir.path(), QStringLiteral("/dev/zero")})
            QVERIFY(!view::readOverview(path).failure.isEmpty());
    }

    // A 4 MB track on 1000 columns: (zoom, first frame, step, the first three labels, labels);
    // the longest and shortest tracks never crowd their labels at any zoom.
    void rulerLabelsAtThreeZoomsAndNeverCrowded()
    {
        for (const auto& [zoom, trkbegin, stepMs, firstXs, firstLabels, labels] :
             {std::tuple{1, 0, 2000, QList<int>{0, 84, 168}, QStringList{"0:00", "0:02", "0:04"},
                         12},
              {16, 100000, 200, {89, 224, 358}, {"0:02.4", "0:02.6", "0:02.8"}, 7},
              {256, 0, 10, {0, 108, 215}, {"0:00.00", "0:00.01", "0:00.02"}, 10}})
        {
            const view::ViewGeometry g{1048.576, zoom, trkbegin, 1048576, 1000, 300};
            QCOMPARE(view::rulerStepMs(1048.576 / zoom, 80), int64_t(stepMs));
            QList<int> xs;
            QStringList texts;
            for (const view::RulerMark& m : view::rulerMarks(g, 80))
                if (m.labelled)
                    xs << m.x, texts << view::rulerLabel(m.ms, stepMs);
            QCOMPARE(xs.size(), labels);
            QCOMPARE(xs.mid(0, 3), firstXs);
            QCOMPARE(texts.mid(0, 3), firstLabels);
        }
        for (const int32_t length : {262144, 256 * 262144})
            for (int zoom = 1; zoom <= 256; ++zoom)
            {
                int last = -1000;
                for (const view::RulerMark& m :
                     view::rulerMarks({length / 700.0, zoom, 0, length, 700, 300}, 75))
                    if (m.labelled)
                    {
                        QVERIFY2(m.x - last >= 74, qPrintable(QString::number(zoom)));
                        last = m.x;
                    }
                QVERIFY(last >= 0);
            }
    }

    // The status bar's times, at once after a drag; the strip shows every track and a click
    // on it switches.
    void statusBarTimesAndTheStripFollowTheWindow()
    {
        const std::pair<int64_t, const char*> rows[] = {
            {0, "0:00.000"},     {44099, "0:00.999"},   {44100, "0:01.000"},
            {66150, "0:01.500"}, {2646000, "1:00.000"}, {67108864, "25:21.742"}};
        for (const auto& [frames, text] : rows)
            QCOMPARE(view::timeText(frames), QString::fromLatin1(text));
        StudioFixture s;
        s.newProject(1);
        s.w.runCommand(QStringLiteral("mnuEditSelectAll"), &frmVumo::mnuEditSelectAll);
        QCOMPARE(child<QLabel>(s.w, "lblSelection")->text(),
                 QStringLiteral("Start 0:00.000 (0)   End 0:05.944 (262142)   "
                                "Length 0:05.944 (262142)"));
        // A drag in the picture shows at once.
        view::WaveformView& v = *s.w.picView();
        QTest::mousePress(&v, Qt::LeftButton, {}, QPoint(100, 40));
        QTest::mouseRelease(&v, Qt::LeftButton, {}, QPoint(10, 40));
        const Selection& sel = s.sel();
        QVERIFY(sel.selStart < sel.selEnd);
        QCOMPARE(child<QLabel>(s.w, "lblSelection")->text(),
                 view::selectionText(sel.selStart, sel.selEnd));
        s.addTrack();
        s.addTrack();
        s.model.setTrackGains(1, 100, 127, 1);
        view::TrackStrip& strip = *s.w.trackStrip();
        QCOMPARE(strip.rowCount(), 3);
        QCOMPARE(strip.current(), 2);
        QCOMPARE(strip.rowText(0), QStringLiteral("t1: volume 255, pan 127"));
        QCOMPARE(strip.rowText(1), QStringLiteral("t2: muted, volume 100, pan 127"));

        QTest::mouseClick(&strip, Qt::LeftButton, {}, strip.rowRect(1).center());
        QCOMPARE(s.cboTrack().currentIndex(), 1);
        QCOMPARE(EngineSpy::switches.back(), std::make_pair(1, -1));
        QCOMPARE(strip.current(), 1);
        QVERIFY(child<QCheckBox>(s.w, "chkMute")->isChecked());
        // In help mode a click opens the help page and switches nothing.
        s.w.setHelpMode(true);
        QTest::mouseClick(&strip, Qt::LeftButton, {}, strip.rowRect(0).center());
        QCOMPARE(s.cboTrack().currentIndex(), 1);
        QVERIFY(!s.w.helpMode());
    }

    void overviewsAreKeptUntilAFileChanges()
    {
        StudioFixture s;
        s.newProject(1);
        s.addTrack();
        view::Overviews& ov = s.w.overviews();
        QSignalSpy outside(&s.w, &frmVumo::trackFileChangedOutside);
        QVERIFY(overviewsReady(s, 2));
        const int computed = ov.computed();

        // A save of an edit: the file's overview is computed again, and it is no outside news.
        s.binding->TrackWrite(2 * 1000, 12345);
        s.ui.files.push_back(s.path("p.vum"));
        s.ui.answers.push_back(Answer::Yes); // Save track edits?
        s.w.runCommand(QStringLiteral("mnuFileSave"), &frmVumo::mnuFileSave);
        QVERIFY(overviewsReady(s, 2));
        QCOMPARE(ov.computed(), computed + 1);
        QCOMPARE(ov.find(trackFile(s, 1))->blocks.at(1000 / 256).highL, 12345);
        QTest::qWait(200);
        QCOMPARE(outside.size(), 0);

        // Another program writes track 0's file: the window tells it and the overview follows.
        QVERIFY(writeWave(trackFile(s, 0), std::vector<int16_t>(600, 7000)));
        QTRY_COMPARE_WITH_TIMEOUT(outside.size(), 1, 5000);
        QCOMPARE(outside[0][0].toInt(), 0);
        QCOMPARE(outside[0][1].toString(), trackFile(s, 0));
        QVERIFY(overviewsReady(s, 1));
        QCOMPARE(ov.find(trackFile(s, 0))->blocks.at(0).highL, 7000);
    }

    void pictureFromTheOverviewIsThePictureOfTheBuffer_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const int frames = 262144; // the track's
        QTest::newRow("noise, the whole track") << waveBytes(noise(frames, 1));
        QTest::newRow("noise, longer than the track") << waveBytes(noise(frames + 5000, 3));
        std::vector<int16_t> mono = noise(frames / 4, 4);
        const int64_t declared = int64_t(mono.size()) * 2 + 1001; // more than the file holds
        QTest::newRow("mono, a LIST chunk, a data size past the end")
            << asBytes(testwave::withOddListChunk(
                   testwave::waveBytes(mono, {.channels = 1, .declaredDataBytes = declared})));
    }
    void pictureFromTheOverviewIsThePictureOfTheBuffer()
    {
        QFETCH(QByteArray, bytes);
        StudioFixture s;
        s.newProject(1);
        s.addTrack();
        QVERIFY(putFile(trackFile(s, 0), bytes));
        s.cboTrack().setCurrentIndex(0); // loads the file
        QVERIFY(overviewsReady(s, 1));
        s.w.DrawTrack();
        QVERIFY(s.w.picView()->overview() != nullptr);
        QCOMPARE(s.w.picView()->picture(), drawnFrameByFrame(s));
        // After an edit the buffer no longer holds the file: every frame is read.
        s.sel() = {1000, 90000};
        s.w.runCommand(QStringLiteral("mnuEditCut"), &frmVumo::mnuEditCut);
        QVERIFY(s.w.picView()->overview() == nullptr);
        QCOMPARE(s.w.picView()->picture(), drawnFrameByFrame(s));
    }
};

QTEST_MAIN(TrackStripTest)
#include "TrackStripTest.moc"
