// The main window's commands end to end: through the real frmVumo, the real engine, its virtual
// wave and MIDI devices and the media layer, with the dialogs answered by scripts: the effect
// and mixer commands, the mixdown beside vumo-mix, "&SK1 Mode" and "&Rip MCI".
#include "../StudioFixture.h"
#include "project/ProjectFile.h"
#include "services/QtUiServices.h"
#include "support/BoxAnswerer.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <cmath>

using namespace vumo;
using namespace vumo::test;

namespace
{

constexpr int kFrames = 8000;
constexpr int kTrack = 262142; // the whole track of a 1 MB project, as Select All selects it

// A saw per channel, different for each seed, never silent.
std::vector<int16_t> saw(int frames, int seed)
{
    std::vector<int16_t> s(2 * size_t(frames));
    for (int f = 0; f < frames; ++f)
    {
        s[2 * size_t(f)] = int16_t((f * (31 + seed)) % 30000 - 15000 + 1);
        s[2 * size_t(f) + 1] = int16_t((f * (47 + 3 * seed)) % 26000 - 13000 + 1);
    }
    return s;
}

// Two tones, a different one per channel, at half scale.
std::vector<int16_t> tones(int frames)
{
    std::vector<int16_t> s(2 * size_t(frames));
    for (int f = 0; f < frames; ++f)
    {
        const double t = f / 44100.0;
        s[2 * size_t(f)] = int16_t(std::lround(12000 * std::sin(2 * M_PI * 440 * t)));
        s[2 * size_t(f) + 1] = int16_t(std::lround(9000 * std::sin(2 * M_PI * 660 * t + 1)));
    }
    return s;
}

} // namespace

class WiredCommandsTest : public QObject
{
    Q_OBJECT

private:
    static void trigger(StudioFixture& s, const char* name)
    {
        child<QAction>(s.w, name)->trigger();
    }

    // Opens (File > Open) a 1 MB project "Song.vum" of tracks r0 ... holding saw(frames, k)
    // (a lone track saw(frames, 6)).
    static void openProject(StudioFixture& s, int n, int frames)
    {
        project::ProjectData data = project::newProjectData(1);
        data.projTitle = "Song";
        for (int k = 0; k < n; ++k)
        {
            const QString file = s.path(QStringLiteral("r%1.wav").arg(k));
            QVERIFY(writeWave(file, saw(frames, n == 1 ? 6 : k)));
            data.tracks.append({QStringLiteral("r%1").arg(k).toUtf8(), QFile::encodeName(file)});
        }
        QCOMPARE(project::writeProject(s.path("Song.vum"), data), QString());
        s.ui.files.push_back(s.path("Song.vum"));
        s.w.mnuFileOpen();
        QCOMPARE(s.cboTrack().count(), n);
    }

    // What vumo-mix writes from the saved project "Song.vum" with the arguments given.
    static QByteArray mixdown(StudioFixture& s, const QStringList& range)
    {
        QProcess mix;
        mix.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vumo-mix"),
                  QStringList{s.path("Song.vum"), s.path("tool.wav")} + range);
        if (!mix.waitForFinished(20000) || mix.exitCode() != 0)
            return "vumo-mix failed: " + mix.readAllStandardError();
        return fileBytes(s.path("tool.wav"));
    }

private slots:
    // Note times are the keyboard's own ms: 1000 ms lands 44100 frames in, whatever the speed.
    void initTestCase() { useVirtualDevices("20"); }
    void cleanup()
    {
        qunsetenv("VUMO_VIRTUAL_MIDI_IN");
        qunsetenv("VUMO_VIRTUAL_OUTPUT");
        qunsetenv("VUMO_VIRTUAL_CD");
    }

    // An effect changes only the selection; the master mixer sets the table and the controls;
    // the mixdown is what vumo-mix writes. (Effects' details: tst_fx; the mixer's Cancel:
    // tst_mixer.)
    void effectMixerAndMixdownOnAThreeTrackProject()
    {
        StudioFixture s;
        openProject(s, 3, kFrames);
        s.cboTrack().setCurrentIndex(1);
        const std::vector<int16_t> before = s.trackSamples(0, kFrames);
        QCOMPARE(before, saw(kFrames, 1));
        s.sel().selStart = 1000;
        s.sel().selEnd = 5000;
        s.ui.dialogs.push_back([](QDialog& d) { child<QAbstractButton>(d, "OKButton")->click(); });
        trigger(s, "mnuFXReverse");
        QCOMPARE(s.ui.shown.last().kind, Shown::Kind::Dialog);
        std::vector<int16_t> expected = before;
        for (int f = 1000; f < 5000; ++f)
        {
            const size_t j = 2 * size_t(5000 - 1 - (f - 1000));
            expected[2 * size_t(f)] = before[j];
            expected[2 * size_t(f) + 1] = before[j + 1];
        }
        QCOMPARE(s.trackSamples(0, kFrames), expected);
        QVERIFY(s.ui.messages().isEmpty());
        // The other track is untouched.
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(s.trackSamples(0, kFrames), saw(kFrames, 0));

        s.cboTrack().setCurrentIndex(2);
        // Mute r0 and r1, turn r2 down to 128 with pan 127.
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
        trigger(s, "mnuTrackMix");
        QCOMPARE(s.ui.shown.last().kind, Shown::Kind::Dialog);
        // Apply hands the engine the new table at once (a track switch).
        QVERIFY(EngineSpy::switches.size() > switches);
        QCOMPARE((QList<int>{s.mod.tracks[0].mute, s.mod.tracks[1].mute, s.mod.tracks[2].mute,
                             s.mod.tracks[2].volume}),
                 (QList<int>{1, 1, 0, 128}));
        QCOMPARE(child<QScrollBar>(s.w, "hscVol")->value(), 128);
        QVERIFY(!child<QCheckBox>(s.w, "chkMute")->isChecked());
        s.cboTrack().setCurrentIndex(0);
        QVERIFY(child<QCheckBox>(s.w, "chkMute")->isChecked());

        s.model.setMute(0, false);
        s.model.setMute(1, true);
        s.model.setTrackGains(2, 100, 40, s.mod.tracks[2].mute);
        s.w.SwitchTrack();                   // the engine mixes the gains of the last track switch
        s.ui.answers.push_back(Answer::Yes); // Save track edits?
        s.w.mnuFileSave();
        s.w.mnuEditSelectAll();
        s.ui.files.push_back(s.path("studio.wav"));
        s.w.mnuFileSaveAs();
        QProcess mix;
        mix.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vumo-mix"),
                  {s.path("Song.vum"), s.path("tool.wav"), QStringLiteral("--from"),
                   QString::number(s.sel().selStart), QStringLiteral("--to"),
                   QString::number(s.sel().selEnd)});
        QVERIFY(mix.waitForFinished(20000));
        QCOMPARE(mix.exitCode(), 0);
        QFile studio(s.path("studio.wav")), tool(s.path("tool.wav"));
        QVERIFY(studio.open(QIODevice::ReadOnly) && tool.open(QIODevice::ReadOnly));
        const QByteArray written = studio.readAll();
        QVERIFY(written.size() > 44 + 4 * 1000);
        QCOMPARE(tool.readAll(), written);
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
                      s.ui.answers.push_back(Answer::Yes); // Mute cloned track? (r1, the source)
                      trigger(s, "mnuTrackCloneThis");
                  })})
        {
            StudioFixture s;
            openProject(s, 2, kFrames);
            change(s);
            trigger(s, "mnuFileSave");
            trigger(s, "mnuEditSelectAll");
            s.ui.files.push_back(s.path("studio.wav"));
            trigger(s, "mnuFileSaveAs");
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
        openProject(s, 1, kTrack);
        // The clip: 2000 frames of a tone, quiet enough that notes rarely clamp.
        std::vector<int16_t> clip = tones(2000);
        for (int16_t& v : clip)
            v = int16_t(v / 2);
        QVERIFY(writeWave(s.w.CLIPFILE, clip));
        // "ms status data1 data2": velocity 0 is silent; a note-off with a velocity is a note.
        QVERIFY(putFile(s.path("keys.txt"),
                        "5 144 60 90\n15 144 61 30\n100 128 60 0\n200 144 72 0\n300 128 84 40\n"));
        qputenv("VUMO_VIRTUAL_MIDI_IN", QFile::encodeName(s.path("keys.txt")));
        const int selStart = 3001;
        s.sel().selStart = selStart;
        s.sel().selEnd = kTrack;
        s.ui.answers = {Answer::Yes, Answer::Yes};
        trigger(s, "mnuControlSK1");
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        QCOMPARE(s.engine->GetRecordLength(), -1); // the MIDI input is closed
        const std::vector<int16_t> rendered = s.trackSamples(0, kTrack);

        // The same notes through the exports on a fresh copy: notes 60, 61, 84 step at 1.0, 1.055,
        // 4.0, velocity v gains v / 128, t ms lands t × 44.1 frames (halves to even) in.
        const std::vector<int16_t> original = saw(kTrack, 6);
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
        openProject(s, 1, kTrack);
        s.w.mnuEditSelectAll();
        QCOMPARE(s.sel().selEnd - s.sel().selStart, kTrack);
        const std::vector<int16_t> source = tones(44100);
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
        trigger(s, "mnuControlRip");
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
