// The track commands through the main window and the real engine: Add, Delete, the clones,
// Track Properties, the track list and the per-track and global switches.
#include "../StudioFixture.h"
#include "project/ProjectFile.h"
#include "tracks/TrackFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QTest>

using namespace vumo;
using namespace vumo::test;

class TrackCommandsTest : public QObject
{
    Q_OBJECT

private:
    static QAction* action(StudioFixture& s, const char* name)
    {
        return s.w.findChild<QAction*>(QString::fromLatin1(name));
    }

    // A project with n blank tracks t1 ... tn (the last one current).
    static void projectWithTracks(StudioFixture& s, int n, const QString& title = "Demo")
    {
        s.newProject(1, title);
        for (int k = 1; k < n; ++k)
            s.addTrack();
    }

    // Gives track k distinct volume, pan and mute through the window's controls.
    static void setControls(StudioFixture& s, int k, int volume, int pan, bool mute)
    {
        s.cboTrack().setCurrentIndex(k);
        child<QScrollBar>(s.w, "hscVol")->setValue(volume);
        child<QScrollBar>(s.w, "hscPan")->setValue(pan);
        child<QCheckBox>(s.w, "chkMute")->setChecked(mute);
    }

    // A record's volume, pan and mute.
    static QList<int> mixOf(const TrackRecord& t) { return {t.volume, t.pan, t.mute}; }

private slots:
    void initTestCase() { useVirtualDevices(); }

    void addMakesABlankFileNamedAfterTheProject()
    {
        StudioFixture s;
        projectWithTracks(s, 2);
        s.addTrack();
        const QString file = s.path("Demo-t3.wav");
        QCOMPARE(s.mod.trackCount, int16_t{3});
        QCOMPARE(s.mod.tracks[2].fileName.trimmed(), file);
        QCOMPARE(s.mod.tracks[2].title.trimmed(), QStringLiteral("t3"));
        QCOMPARE(mixOf(s.mod.tracks[2]), QList<int>({255, 127, 0}));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), tracks::blankWaveBytes());
        // The new track is current and its Track Properties dialog was shown.
        QCOMPARE(s.cboTrack().currentIndex(), 2);
        QCOMPARE(s.cboTrack().itemText(2), QStringLiteral("t3"));
        QCOMPARE(s.ui.shown.last().title, QStringLiteral("Track Properties"));
        QCOMPARE(EngineSpy::switches.back(), (std::pair<int32_t, int32_t>{2, -1}));
    }

    // (The track list, the question's default and No keeping the file: tst_commands.)
    void deleteShiftsTheRecordsDownAndClearsTheSelection()
    {
        StudioFixture s;
        projectWithTracks(s, 3);
        setControls(s, 2, 90, 30, true);
        setControls(s, 1, 200, 220, false);
        const TrackRecord last = s.mod.tracks[2];
        s.ui.answers.push_back(Answer::Yes); // Delete File: ...
        s.w.mnuTrackDelete();
        QVERIFY(!QFile::exists(s.path("Demo-t2.wav")));
        QCOMPARE(s.mod.trackCount, int16_t{2});
        QVERIFY(s.mod.tracks[1].fileName == last.fileName);
        QVERIFY(s.mod.tracks[1].title == last.title);
        QCOMPARE(mixOf(s.mod.tracks[1]), QList<int>({90, 30, 1}));
        QVERIFY(child<QGroupBox>(s.w, "fraTrack")->isHidden());

        // With nothing selected the commands on the current track wait for a choice.
        s.w.mnuTrackDelete();
        s.w.mnuTrackCloneThis();
        QCOMPARE(s.ui.messages(), QStringList(2, QStringLiteral("No track selected.")));
        QCOMPARE(s.mod.trackCount, int16_t{2});
        // The bars belong to no track now: moving them changes no record.
        child<QScrollBar>(s.w, "hscVol")->setValue(11);
        child<QScrollBar>(s.w, "hscPan")->setValue(22);
        QCOMPARE(mixOf(s.mod.tracks[1]), QList<int>({90, 30, 1}));

        // Picking a track shows the frame again with that track's controls.
        s.cboTrack().setCurrentIndex(1);
        QVERIFY(!child<QGroupBox>(s.w, "fraTrack")->isHidden());
        QCOMPARE(child<QScrollBar>(s.w, "hscVol")->value(), 90);
        QVERIFY(child<QCheckBox>(s.w, "chkMute")->isChecked());
    }

    void cloneThisCopiesTheSamplesAndTheMixSettings()
    {
        StudioFixture s;
        projectWithTracks(s, 2);
        setControls(s, 0, 180, 40, false);
        for (int i = 0; i < 200; ++i)
            s.engine.TrackWrite(1000 + i, i * 50 - 4000);
        s.ui.answers.push_back(Answer::Yes); // Mute cloned track?
        s.w.mnuTrackCloneThis();
        QCOMPARE(s.ui.questions(), QStringList{QStringLiteral("Mute cloned track?")});
        QCOMPARE(s.mod.trackCount, int16_t{3});
        const TrackRecord& clone = s.mod.tracks[2];
        QCOMPARE(clone.title.trimmed(), QStringLiteral("c3"));
        QCOMPARE(clone.fileName.trimmed(), s.path("Demo-c3.wav"));
        QCOMPARE(mixOf(clone), QList<int>({180, 40, 0})); // mute: the source's former one
        QCOMPARE(s.mod.tracks[0].mute, int16_t{1});       // the source is muted, not the clone
        QCOMPARE(s.cboTrack().currentIndex(), 2);
        // The paste scales by the clone's gains (its volume and pan are the source's):
        // left 180 * min(255, 393 - 40) / 256 = 179, right 180 * min(255, 40 + 128) / 256 = 118.
        for (int i = 0; i < 200; ++i)
        {
            const int gain = (1000 + i) % 2 == 0 ? 179 : 118;
            QCOMPARE(s.engine.TrackRead(1000 + i), ((i * 50 - 4000) * gain) >> 8);
        }
        // The clone's samples reach its file with the next save of edits.
        QCOMPARE(s.engine.SaveEdits(), 0);
        QCOMPARE(QFileInfo(s.path("Demo-c3.wav")).size(), 44 + 262144 * 4);
    }

    void cloneAllMergedAddsTheMixAndMutesTheSources()
    {
        StudioFixture s;
        projectWithTracks(s, 3);
        s.ui.answers.push_back(Answer::Yes); // Mute all merged tracks?
        s.w.mnuTrackCloneAll();
        QCOMPARE(s.ui.questions(), QStringList{QStringLiteral("Mute all merged tracks?")});
        QCOMPARE(s.mod.trackCount, int16_t{4});
        QCOMPARE(mixOf(s.mod.tracks[3]), QList<int>({255, 127, 0}));
        for (int k = 0; k < 3; ++k)
            QCOMPARE(s.mod.tracks[k].mute, int16_t{1});
        QVERIFY(QFile::exists(s.path("Demo-c4.wav")));
        QVERIFY(s.ui.messages().isEmpty());
    }

    void noMoreThan17Tracks()
    {
        StudioFixture s;
        project::ProjectData data = project::newProjectData(1);
        for (int k = 0; k < 17; ++k)
        {
            const QString file = s.path(QStringLiteral("k%1.wav").arg(k));
            tracks::writeBlankWave(file);
            data.tracks.append({QStringLiteral("k%1").arg(k).toUtf8(), QFile::encodeName(file)});
        }
        QCOMPARE(project::writeProject(s.path("full.vum"), data), QString());
        s.ui.files.push_back(s.path("full.vum"));
        s.w.mnuFileOpen();
        QCOMPARE(s.cboTrack().count(), 17);
        s.w.mnuTrackAdd();
        s.w.mnuTrackCloneThis();
        s.w.mnuTrackCloneAll();
        QCOMPARE(s.ui.messages(),
                 QStringList(3, QStringLiteral("The project already holds 17 tracks, the most it "
                                               "can have.")));
        QCOMPARE(s.mod.trackCount, int16_t{17});
        QCOMPARE(s.cboTrack().count(), 17);
        QVERIFY(s.ui.questions().isEmpty());
        QVERIFY(!QFile::exists(s.path("untitled-t18.wav")));
        QVERIFY(!QFile::exists(s.path("untitled-c18.wav")));
    }

    void aNewTrackPathTooLongForTheEngineIsRefusedWhole()
    {
        // An application folder so deep that "<folder>/Demo-t1.wav" passes 127 bytes.
        QTemporaryDir base;
        const QString deep = base.path() + QStringLiteral("/") + QString(100, u'd');
        QVERIFY(QDir().mkpath(deep));
        qputenv("VUMO_HOME", QFile::encodeName(deep));
        ModVumo mod;
        ScriptedUiServices ui;
        QSettings store(deep + QStringLiteral("/s.ini"), QSettings::IniFormat);
        EngineApi engine(&EngineSpy::resolve);
        frmVumo w(mod, engine, ui, store);
        w.setMemoryProbe([] { return MemoryStatus{uint64_t(64) << 30, uint64_t(32) << 30}; });
        ui.dialogs.push_back(projectSettingsOK(1, QStringLiteral("Demo")));
        w.mnuFileNew();
        QVERIFY(w.session().isOpen());
        QCOMPARE(ui.messages().size(), 1);
        QVERIFY2(ui.messages().at(0).contains(QStringLiteral("is too long")),
                 qPrintable(ui.messages().at(0)));
        QCOMPARE(mod.trackCount, int16_t{0});
        QVERIFY(!QFile::exists(deep + QStringLiteral("/Demo-t1.wav")));
        QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cboTrack"))->count(), 0);
        w.session().close();
    }

    void renamingAsksNothingAndANewFileAsksAboutTheOldOne()
    {
        StudioFixture s;
        projectWithTracks(s, 2);
        s.cboTrack().setCurrentIndex(0);
        s.ui.dialogs.push_back(trackPropsOK(QStringLiteral("Vocals")));
        s.w.mnuTrackProps();
        QCOMPARE(s.cboTrack().itemText(0), QStringLiteral("Vocals"));
        QCOMPARE(s.mod.tracks[0].title.trimmed(), QStringLiteral("Vocals"));
        QVERIFY(s.ui.questions().isEmpty());
        QVERIFY(QFile::exists(s.path("Demo-t1.wav")));

        s.engine.TrackWrite(10, 1234); // a pending edit of the old file
        s.ui.dialogs.push_back(trackPropsOK(QString(), s.path("fresh.wav")));
        s.ui.answers.push_back(Answer::Yes);
        s.w.mnuTrackProps();
        QCOMPARE(s.ui.questions(),
                 QStringList{QStringLiteral("Delete File: ") + s.path("Demo-t1.wav")});
        QCOMPARE(s.ui.shown.last().defaultButton, Answer::No);
        QVERIFY(!QFile::exists(s.path("Demo-t1.wav")));
        QFile fresh(s.path("fresh.wav"));
        QVERIFY(fresh.open(QIODevice::ReadOnly));
        QCOMPARE(fresh.readAll(), tracks::blankWaveBytes()); // the edit did not land here
        QCOMPARE(s.mod.tracks[0].fileName.trimmed(), s.path("fresh.wav"));
        QCOMPARE(s.engine.TrackRead(10), 0); // the track shows its new file
    }

    void trackPropertiesNeedATitleAndAFileThatFits()
    {
        StudioFixture s;
        projectWithTracks(s, 1);
        s.ui.dialogs.push_back(trackPropsOK(QString(""), QString()));
        s.w.mnuTrackProps();
        s.ui.dialogs.push_back(trackPropsOK(QString(), QStringLiteral("/") + QString(130, 'y')));
        s.w.mnuTrackProps();
        QCOMPARE(s.ui.messages().size(), 2);
        QCOMPARE(s.ui.messages().at(0), QStringLiteral("You must supply a title and filename."));
        QVERIFY(s.ui.messages().at(1).contains(QStringLiteral("is too long: 131 bytes")));
        QCOMPARE(s.mod.tracks[0].title.trimmed(), QStringLiteral("t1"));
        QCOMPARE(s.mod.tracks[0].fileName.trimmed(), s.path("Demo-t1.wav"));
        QVERIFY(s.mod.dialogCancelled);
    }

    void switchingShowsTheTracksControlsAndKeepsTheSwitches()
    {
        StudioFixture s;
        projectWithTracks(s, 2);
        setControls(s, 0, 100, 10, true);
        setControls(s, 1, 250, 240, false);
        child<QCheckBox>(s.w, "chkArm")->setChecked(true);
        child<QCheckBox>(s.w, "chkMerge")->setChecked(true);
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(s.mod.currentTrack, 0);
        QCOMPARE(child<QScrollBar>(s.w, "hscVol")->value(), 100);
        QCOMPARE(child<QScrollBar>(s.w, "hscPan")->value(), 10);
        QVERIFY(child<QCheckBox>(s.w, "chkMute")->isChecked());
        QVERIFY(child<QCheckBox>(s.w, "chkArm")->isChecked());
        QVERIFY(child<QCheckBox>(s.w, "chkMerge")->isChecked());
        QCOMPARE(mixOf(s.mod.tracks[1]), QList<int>({250, 240, 0}));
        QCOMPARE(EngineSpy::switches.back(), (std::pair<int32_t, int32_t>{0, -1}));
    }
};

QTEST_MAIN(TrackCommandsTest)
#include "TrackCommandsTest.moc"
