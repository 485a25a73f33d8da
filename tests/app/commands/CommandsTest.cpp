// The studio's commands against the stand-in engine: what each command hands the engine, asks
// the user and leaves in the project, without the library or a sound device.
#include "../StudioFixture.h"
#include "view/WaveformView.h"

#include <QCheckBox>
#include <QTest>

using namespace vumo;
using namespace vumo::test;

namespace
{

struct Studio
{
    MainWindowFixture f{MainWindowFixture::Fake{}};
    frmVumo& w = *f.window;
    FakeEngine& engine = *f.fake;
    ScriptedUiServices& ui = f.ui;
    ModVumo& mod = f.mod;

    Studio()
    {
        w.setMemoryProbe([] { return MemoryStatus{uint64_t(64) << 30, uint64_t(32) << 30}; });
        w.CLIPFILE = path(QStringLiteral("clipper.wav"));
        w.resize(900, 500);
        w.show();
    }

    QString path(const QString& name) const { return f.home.filePath(name); }
    QComboBox& cboTrack() { return *child<QComboBox>(w, "cboTrack"); }

    // A 1 MB project "Demo" of `tracks` blank tracks (Demo-t1.wav ...), the last one current.
    void newProject(int tracks)
    {
        ui.dialogs.push_back(projectSettingsOK(1, QStringLiteral("Demo")));
        ui.dialogs.push_back(trackPropsOK());
        w.mnuFileNew();
        for (int k = 1; k < tracks; ++k)
        {
            ui.dialogs.push_back(trackPropsOK());
            w.mnuTrackAdd();
        }
        engine.calls.clear();
    }
    // Chooses track k in the track list and sets its controls.
    void setTrack(int k, int volume, int pan, bool mute)
    {
        cboTrack().setCurrentIndex(k);
        child<QScrollBar>(w, "hscVol")->setValue(volume);
        child<QScrollBar>(w, "hscPan")->setValue(pan);
        child<QCheckBox>(w, "chkMute")->setChecked(mute);
    }
};

} // namespace

class CommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void playHandsEveryTrackWithItsGainsToTheEngine()
    {
        Studio s;
        s.newProject(3);
        s.setTrack(0, 200, 60, false);
        s.setTrack(1, 90, 30, true);
        s.setTrack(2, 170, 230, false);
        s.mod.selStart = 100;
        s.mod.selEnd = 900;
        s.engine.calls.clear();
        s.w.mnuControlPlay();
        QCOMPARE(s.engine.callsOf(QStringLiteral("SetTrackAttr")),
                 (QStringList{"SetTrackAttr(0,200,60)", "SetTrackAttr(1,0,30)",
                              "SetTrackAttr(2,170,230)"}));
        QCOMPARE(s.engine.callsOf(QStringLiteral("PlayTracks")),
                 QStringList{"PlayTracks(100,900)"});
        QCOMPARE(s.engine.callsOf(QStringLiteral("StopTracks")),
                 QStringList{"StopTracks(100,900,0)"});
        QVERIFY(s.ui.messages().isEmpty());
    }

    void deleteMovesTheLaterTracksUpAndKeepsTheFileOnNo()
    {
        Studio s;
        s.newProject(3);
        s.setTrack(2, 170, 230, false);
        s.setTrack(1, 90, 30, false);
        s.engine.calls.clear();
        s.w.mnuTrackDelete(); // the question is answered No
        QCOMPARE(s.ui.questions(), QStringList{"Delete File: " + s.path("Demo-t2.wav")});
        QCOMPARE(s.ui.shown.last().defaultButton, Answer::No);
        QVERIFY(QFile::exists(s.path("Demo-t2.wav")));
        QCOMPARE(s.mod.trackCount, int16_t{2});
        QCOMPARE(s.mod.tracks[1].fileName.trimmed(), s.path("Demo-t3.wav"));
        QCOMPARE(s.mod.tracks[1].volume, int16_t{170});
        QCOMPARE(s.engine.callsOf(QStringLiteral("SetTrackInfo")),
                 (QStringList{"SetTrackInfo(0," + s.path("Demo-t1.wav") + ")",
                              "SetTrackInfo(1," + s.path("Demo-t3.wav") + ")"}));
        QCOMPARE(s.cboTrack().count(), 2);
        QCOMPARE(s.cboTrack().currentIndex(), -1);
        // Until a track is chosen, commands on the current track refuse.
        s.w.mnuControlPlay();
        s.w.mnuTrackProps();
        QCOMPARE(s.ui.messages(), (QStringList{"No track selected.", "No track selected."}));
        QVERIFY(s.engine.callsOf(QStringLiteral("PlayTracks")).isEmpty());
    }

    void recordAsksBeforeASilentTake_data()
    {
        QTest::addColumn<bool>("mute");
        QTest::addColumn<int>("volume");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("pushed"); // the track's gains handed over for the take
        QTest::newRow("audible") << false << 200 << false << false << "SetTrackAttr(0,200,127)";
        QTest::newRow("muted, No") << true << 200 << false << true << "";
        QTest::newRow("volume 0, No") << false << 0 << false << true << "";
        QTest::newRow("muted, Yes") << true << 200 << true << true << "SetTrackAttr(0,200,127)";
        QTest::newRow("volume 0, Yes") << false << 0 << true << true << "SetTrackAttr(0,255,127)";
    }
    void recordAsksBeforeASilentTake()
    {
        QFETCH(bool, mute);
        QFETCH(int, volume);
        QFETCH(bool, yes);
        QFETCH(bool, asked);
        QFETCH(QString, pushed);
        Studio s;
        s.newProject(1);
        s.setTrack(0, volume, 127, mute);
        child<QCheckBox>(s.w, "chkArm")->setChecked(true);
        s.engine.calls.clear();
        s.ui.answers.push_back(yes ? Answer::Yes : Answer::No);
        s.w.mnuControlRecord();
        QCOMPARE(s.ui.questions().size(), asked ? 1 : 0);
        QCOMPARE(s.engine.callsOf(QStringLiteral("RecordTrack")).size(), pushed.isEmpty() ? 0 : 1);
        QCOMPARE(s.engine.callsOf(QStringLiteral("SetTrackAttr")),
                 pushed.isEmpty() ? QStringList{} : QStringList{pushed});
        // No leaves the track as it was.
        QCOMPARE(s.mod.tracks[0].mute == 1, mute && !yes);
        QCOMPARE(child<QCheckBox>(s.w, "chkMute")->isChecked(), mute && !yes);
    }

    void recordRedrawsTheTake()
    {
        Studio s;
        s.newProject(1);
        child<QCheckBox>(s.w, "chkArm")->setChecked(true);
        bool recorded = false;
        s.engine.answer = [&](const QString& name, const QString&)
        {
            if (name == QStringLiteral("RecordTrack"))
                recorded = true;
            return name == QStringLiteral("TrackRead") && recorded ? 20000 : 0;
        };
        const QImage before = s.w.picView()->picture();
        s.w.mnuControlRecord();
        QVERIFY(recorded);
        QVERIFY(s.w.picView()->picture() != before);
    }

    void engineRefusalIsShownWithItsReason()
    {
        Studio s;
        s.newProject(2);
        s.engine.results.insert(QStringLiteral("SetCurTrack"), 14);
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(s.ui.messages(),
                 QStringList{"Error in SetCurTrack: 14\nThe file does not hold 16-bit samples."});
    }

    void saveThatCannotWriteSaysSoAndKeepsTheName()
    {
        Studio s;
        s.newProject(1);
        const QString blocked = s.path("no/such/folder/demo.vum");
        s.ui.files.push_back(blocked);
        s.w.mnuFileSaveAs();
        QCOMPARE(s.ui.messages().size(), 1);
        QCOMPARE(s.ui.shown.last().icon, MsgIcon::Critical);
        QVERIFY(s.w.FILESPEC.isEmpty());
        QVERIFY(!QFile::exists(blocked));
    }

    void cancelledProjectSettingsChangeNothing()
    {
        Studio s;
        s.newProject(1);
        const QString shown = s.mod.recTimeText;
        s.ui.dialogs.push_back(
            [](QDialog& d)
            {
                child<QScrollBar>(d, "vscMem")->setValue(0); // 256 MB, then Cancel
                d.reject();
            });
        s.w.mnuFileProps();
        QCOMPARE(s.mod.recTimeText, shown);
        QCOMPARE(s.mod.trackLength, kFramesPerMB);
        QVERIFY(s.engine.calls.isEmpty()); // the engine was not reopened
    }
};

QTEST_MAIN(CommandsTest)
#include "CommandsTest.moc"
