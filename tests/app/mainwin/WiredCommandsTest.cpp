// The main window's commands end to end: through the real frmVumo, the real engine, its virtual
// wave and MIDI devices and the media layer, with the dialogs answered by scripts: the master
// mixer, the mixdown beside vumo-mix, "&SK1 Mode" and "&Rip MCI".
#include "../StudioFixture.h"
#include "services/QtUiServices.h"
#include "support/BoxAnswerer.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace vumo;
using namespace vumo::test;

namespace
{

constexpr int kFrames = 8000;
constexpr int kTrack = 262142; // the whole track of a 1 MB project, as Select All selects it

// A 1 MB project "Song.vum" opened: tracks t0 ... of saw(frames, k), a lone track saw(frames).
void openSaws(StudioFixture& s, int n, int frames)
{
    std::vector<std::vector<int16_t>> tracks;
    for (int k = 0; k < n; ++k)
        tracks.push_back(n == 1 ? saw(frames) : saw(frames, k));
    QVERIFY(s.openSong(tracks));
}

// What vumo-mix writes from the saved project "Song.vum" with the arguments given.
QByteArray mixdown(StudioFixture& s, const QStringList& range)
{
    QProcess mix;
    mix.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vumo-mix"),
              QStringList{s.path("Song.vum"), s.path("tool.wav")} + range);
    if (!mix.waitForFinished(20000) || mix.exitCode() != 0)
        return "vumo-mix failed: " + mix.readAllStandardError();
    return fileBytes(s.path("tool.wav"));
}

} // namespace

class WiredCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    // Note times are the keyboard's own ms: 1000 ms lands 44100 frames in, whatever the speed.
    void initTestCase() { useVirtualDevices("20"); }
    void cleanup()
    {
        qunsetenv("VUMO_VIRTUAL_MIDI_IN");
        qunsetenv("VUMO_VIRTUAL_OUTPUT");
        qunsetenv("VUMO_VIRTUAL_CD");
    }

    // The master mixer sets the table, the engine's gains and the controls. (The mixer's Cancel:
    // tst_mixer; an effect through the window: tst_studioscenarios; the mixdown: below.)
    void masterMixerOnAThreeTrackProject()
    {
        StudioFixture s;
        openSaws(s, 3, kFrames);
        s.cboTrack().setCurrentIndex(2);
        // Mute t0 and t1, turn t2 down to 128 with pan 127.
        s.ui.dialogs.push_back(
            [](QDialog& d)
            {
                child<QCheckBox>(d, "chkMute0")->setChecked(true);
                child<QCheckBox>(d, "chkMute1")->setChecked(true);
                child<QScrollBar>(d, "hscVol2")->setValue(128);
                child<QScrollBar>(d, "hscPan2")->setValue(127);
                child<QAbstractButton>(d, "cmdApply")->click();
            });
        const size_t switches = EngineSpy::switches.size();
        trigger(s.w, "mnuTrackMix");
        // Apply hands the engine the new table at once (a track switch).
        QVERIFY(EngineSpy::switches.size() > switches);
        QCOMPARE((QList<int>{s.mod.tracks[0].mute, s.mod.tracks[1].mute, s.mod.tracks[2].mute,
                             s.mod.tracks[2].volume}),
                 (QList<int>{1, 1, 0, 128}));
        QCOMPARE(child<QScrollBar>(s.w, "hscVol")->value(), 128);
        QVERIFY(!child<QCheckBox>(s.w, "chkMute")->isChecked());
        s.cboTrack().setCurrentIndex(0);
        QVERIFY(child<QCheckBox>(s.w, "chkMute")->isChecked());
    }

    // Save As ".wav" writes the mix as the user has just set it, whatever the last switch or pass
    // mixed: the bytes vumo-mix writes from the saved project over the same frames. Select All
    // writes trackLength - 2 frames; vumo-mix without a range writes trackLength. (the change)
    void saveAsWaveWritesTheMixAsSet()
    {
        using Act = std::function<void(StudioFixture&)>;
        for (const Act& change :
             {Act([](StudioFixture& s) { child<QScrollBar>(s.w, "hscVol")->setValue(70); }),
              Act([](StudioFixture& s) { child<QScrollBar>(s.w, "hscPan")->setValue(10); }),
              Act([](StudioFixture& s) { child<QCheckBox>(s.w, "chkMute")->setChecked(true); }),
              Act(
                  [](StudioFixture& s)
                  {
                      s.ui.answers.push_back(Answer::Yes); // Mute cloned track? (t1, the source)
                      trigger(s.w, "mnuTrackCloneThis");
                  })})
        {
            StudioFixture s;
            openSaws(s, 2, kFrames);
            change(s);
            trigger(s.w, "mnuFileSave");
            trigger(s.w, "mnuEditSelectAll");
            s.ui.files.push_back(s.path("studio.wav"));
            trigger(s.w, "mnuFileSaveAs");
            const QByteArray studio = fileBytes(s.path("studio.wav"));
            QCOMPARE(studio.size(), 44 + 4 * kTrack);
            QCOMPARE(mixdown(s, {"--from", "0", "--to", QString::number(kTrack)}), studio);
            QCOMPARE(mixdown(s, {}).mid(44), studio.mid(44) + QByteArray(8, '\0'));
            QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        }
    }

    void sk1ModeRendersEachNoteFromTheClip()
    {
        StudioFixture s;
        openSaws(s, 1, kTrack);
        // The clip: 2000 frames of a tone, quiet enough that notes rarely clamp.
        QVERIFY(writeWave(s.w.CLIPFILE, tones(2000, 6000, 440, 4500, 660, 1)));
        // "ms status data1 data2": velocity 0 is silent; a note-off with a velocity is a note.
        QVERIFY(putFile(s.path("keys.txt"),
                        "5 144 60 90\n15 144 61 30\n100 128 60 0\n200 144 72 0\n300 128 84 40\n"));
        qputenv("VUMO_VIRTUAL_MIDI_IN", QFile::encodeName(s.path("keys.txt")));
        const int selStart = 3001;
        s.sel().selStart = selStart;
        s.sel().selEnd = kTrack;
        s.ui.answers = {Answer::Yes, Answer::Yes};
        trigger(s.w, "mnuControlSK1");
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        QCOMPARE(s.engine->GetRecordLength(), -1); // the MIDI input is closed
        const std::vector<int16_t> rendered = s.trackSamples(0, kTrack);

        // The same notes through the exports on a fresh copy: notes 60, 61, 84 step at 1.0, 1.055,
        // 4.0, velocity v gains v / 128, t ms lands t × 44.1 frames (halves to even) in.
        const std::vector<int16_t> original = saw(kTrack);
        for (int32_t i = 0; i < 2 * kTrack; ++i)
            s.engine->TrackWrite(i, original[size_t(i)]);
        const int32_t clipLength = s.engine->LoadSK1(QFile::encodeName(s.w.CLIPFILE).constData());
        QCOMPARE(clipLength, 1998);
        s.engine->SK1(selStart + 220, clipLength, 1.0, 90 / 128.0);
        s.engine->SK1(selStart + 662, clipLength, 1.055, 30 / 128.0);
        s.engine->SK1(selStart + 13230, clipLength, 4.0, 0.3125);
        QVERIFY(rendered != original);
        QCOMPARE(rendered, s.trackSamples(0, kTrack));
    }

    void ripMciCapturesACdTrack()
    {
        StudioFixture s;
        // Every pass appends what it plays here (the devices open with the project).
        qputenv("VUMO_VIRTUAL_OUTPUT", QFile::encodeName(s.path("heard.wav")));
        openSaws(s, 1, kTrack);
        s.w.mnuEditSelectAll();
        QCOMPARE(s.sel().selEnd - s.sel().selStart, kTrack);
        const std::vector<int16_t> source = tones(44100, 12000, 440, 9000, 660, 1);
        QVERIFY(QDir().mkpath(s.path("cd")));
        QVERIFY(writeWave(s.path("cd/track01.wav"), source));
        qputenv("VUMO_VIRTUAL_CD", QFile::encodeName(s.path("cd")));
        // The question is answered in the real box: No, not a file but a CD track.
        QtUiServices real;
        s.ui.realQuestions = &real;
        BoxAnswerer user;
        user.push(BoxAnswerer::click(QMessageBox::No));
        s.ui.inputs.push_back(QStringLiteral("1"));
        const qint64 heardBefore = QFileInfo(s.path("heard.wav")).size();
        trigger(s.w, "mnuControlRip");
        QVERIFY(user.allPressed());
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        // One pass over the selection.
        QVERIFY(QFileInfo(s.path("heard.wav")).size() - heardBefore >= 4 * qint64(kTrack));
        // The take holds the CD track, then silence; it may end up to two frames early.
        const std::vector<int16_t> track = s.trackSamples(0, kTrack);
        std::vector<int16_t> want = source;
        want.resize(track.size(), 0);
        for (size_t i = source.size() - 4; i < source.size(); ++i)
            if (track[i] == 0)
                want[i] = 0;
        QCOMPARE(track, want);
    }
};

QTEST_MAIN(WiredCommandsTest)
#include "WiredCommandsTest.moc"
