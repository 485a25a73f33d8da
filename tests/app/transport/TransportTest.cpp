// Play, Record and Stop through the main window, the real engine and its virtual devices: what
// the output played, what the track holds after a take, the locked controls, the drums.
#include "transport/Transport.h"
#include "../StudioFixture.h"
#include "project/ProjectFile.h"

#include <QAction>
#include <QCheckBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <utility>

using namespace vumo;
using namespace vumo::test;

namespace
{

constexpr int kFrames = 4000; // frames of each test wave file

struct Gains
{
    int left;
    int right;
};

Gains gainsOf(int volume, int pan)
{
    return {volume * std::min(255, 393 - pan) / 256, volume * std::min(255, pan + 128) / 256};
}

int16_t clampSample(int v)
{
    return static_cast<int16_t>(std::clamp(v, -32767, 32767));
}

// Interleaved samples of a test signal: a different saw per track and channel.
std::vector<int16_t> signal(int seed)
{
    std::vector<int16_t> s(2 * kFrames);
    for (int f = 0; f < kFrames; ++f)
    {
        s[2 * f] = static_cast<int16_t>(((f * (37 + seed * 11)) % 40000) - 20000);
        s[2 * f + 1] = static_cast<int16_t>(((f * (53 + seed * 7)) % 36000) - 18000 + seed * 100);
    }
    return s;
}

struct MixTrack
{
    std::vector<int16_t> samples;
    int volume;
    int pan;
    bool mute;
};

// What the engine plays for frames [start, end): the other tracks in ascending order, then the
// current one, each scaled by its gains and added with clamping.
std::vector<int16_t> expectedMix(const std::vector<MixTrack>& tracks, int current, int start,
                                 int end)
{
    std::vector<int16_t> mix(2 * size_t(end - start), 0);
    auto add = [&](const MixTrack& t)
    {
        const Gains g = gainsOf(t.mute ? 0 : t.volume, t.pan);
        for (int f = start; f < end; ++f)
            for (int c = 0; c < 2; ++c)
            {
                const int x = t.samples[2 * size_t(f) + c];
                int16_t& d = mix[2 * size_t(f - start) + c];
                d = clampSample(((x * (c == 0 ? g.left : g.right)) >> 8) + d);
            }
    };
    for (int t = 0; t < int(tracks.size()); ++t)
        if (t != current && !tracks[t].mute)
            add(tracks[t]);
    add(tracks[current]);
    return mix;
}

} // namespace

class TransportTest : public QObject
{
    Q_OBJECT

private:
    static QAction* action(StudioFixture& s, const char* name)
    {
        return s.w.findChild<QAction*>(QString::fromLatin1(name));
    }
    static void click(StudioFixture& s, const char* button)
    {
        QTest::mouseClick(child<QWidget>(s.w, button), Qt::LeftButton);
    }

    // A 1 MB project of three tracks with the test signals, volumes, pans and mutes given.
    static std::vector<MixTrack> openMixProject(StudioFixture& s)
    {
        std::vector<MixTrack> tracks{
            {signal(0), 200, 60, false}, {signal(1), 255, 127, true}, {signal(2), 170, 230, false}};
        project::ProjectData data = project::newProjectData(1);
        for (int k = 0; k < 3; ++k)
        {
            const QString file = s.path(QStringLiteral("mix%1.wav").arg(k));
            writeWave(file, tracks[k].samples);
            data.tracks.append({QStringLiteral("m%1").arg(k).toUtf8(), QFile::encodeName(file),
                                int16_t(tracks[k].volume), int16_t(tracks[k].pan),
                                int16_t(tracks[k].mute ? 1 : 0)});
        }
        project::writeProject(s.path("mix.vum"), data);
        s.ui.files.push_back(s.path("mix.vum"));
        s.w.mnuFileOpen();
        return tracks;
    }

private slots:
    void initTestCase() { useVirtualDevices("50"); }
    void cleanup()
    {
        qunsetenv("VUMO_VIRTUAL_OUTPUT");
        qunsetenv("VUMO_VIRTUAL_INPUT");
        qunsetenv("VUMO_VIRTUAL_MIDI_OUT");
    }

    void playSendsTheMixOfAllTracksWithTheirGains()
    {
        StudioFixture s;
        qputenv("VUMO_VIRTUAL_OUTPUT", QFile::encodeName(s.path("out.wav")));
        qputenv("VUMO_VIRTUAL_MIDI_OUT", QFile::encodeName(s.path("midi.txt")));
        const std::vector<MixTrack> tracks = openMixProject(s);
        s.mod.drums.songPattern = QStringLiteral("1"); // a song, but drums are not active
        s.mod.drums.drumGrid[0][7][0] = 100;
        s.mod.selStart = 500;
        s.mod.selEnd = 3500;
        click(s, "CmdPlay");
        QVERIFY(s.ui.messages().isEmpty());
        // The output plays on until the wait loop's turn sees the end, so it may have played a
        // little past the selection: what was heard of the selection is the mix.
        std::vector<int16_t> heard = readWaveSamples(s.path("out.wav"));
        const std::vector<int16_t> mix = expectedMix(tracks, 2, 500, 3500);
        QVERIFY(heard.size() >= mix.size());
        heard.resize(mix.size());
        QCOMPARE(heard, mix);
        QVERIFY(!s.w.WAVEPLAYING);
        QVERIFY(child<QWidget>(s.w, "CmdPlay")->isEnabled());
        QVERIFY(!QFile::exists(s.path("midi.txt")));
    }

    void saveAsWaveWritesTheSameMix()
    {
        StudioFixture s;
        const std::vector<MixTrack> tracks = openMixProject(s);
        s.cboTrack().setCurrentIndex(0); // the mix does not depend on which track is current
        s.mod.selStart = 100;
        s.mod.selEnd = 3900;
        s.ui.files.push_back(s.path("down.wav"));
        s.w.mnuFileSaveAs();
        QCOMPARE(readWaveSamples(s.path("down.wav")), expectedMix(tracks, 0, 100, 3900));
        QVERIFY(s.ui.messages().isEmpty());
    }

    void recordPutsTheTakeInTheSelectionAndUndoRevertsIt_data()
    {
        QTest::addColumn<bool>("merge");
        QTest::newRow("replace") << false;
        QTest::newRow("merge (over dub)") << true;
    }
    void recordPutsTheTakeInTheSelectionAndUndoRevertsIt()
    {
        QFETCH(bool, merge);
        StudioFixture s;
        const std::vector<int16_t> input = signal(6);
        writeWave(s.path("in.wav"), input);
        qputenv("VUMO_VIRTUAL_INPUT", QFile::encodeName(s.path("in.wav")));
        s.newProject();
        const std::vector<int16_t> old = signal(7);
        for (int i = 0; i < 2 * kFrames; ++i)
            s.engine.TrackWrite(i, old[i]);
        QCOMPARE(s.engine.SaveEdits(), 0);
        s.mod.selStart = 500;
        s.mod.selEnd = 2500;
        QTest::mouseClick(child<QCheckBox>(s.w, "chkArm"), Qt::LeftButton);
        if (merge)
            action(s, "mnuControlMerge")->trigger();
        click(s, "cmdRec");
        QVERIFY(s.ui.messages().isEmpty());
        QVERIFY(child<QWidget>(s.w, "cmdRec")->isEnabled()); // still armed
        const Gains g = gainsOf(255, 127);                   // 254, 254
        std::vector<int16_t> expected = old;
        for (int f = 500; f < 2500; ++f)
            for (int c = 0; c < 2; ++c)
            {
                const int take = (input[2 * (f - 500) + c] * (c == 0 ? g.left : g.right)) >> 8;
                int16_t& e = expected[2 * f + c];
                e = merge ? clampSample(take + e) : int16_t(take);
            }
        QCOMPARE(s.trackSamples(0, kFrames), expected);
        // The take is pending: Undo goes back to the saved track.
        s.engine.Undo();
        QCOMPARE(s.trackSamples(0, kFrames), old);
    }

    void stopEndsThePassWithTheControlsLockedMeanwhile()
    {
        StudioFixture s;
        qputenv("VUMO_VIRTUAL_OUTPUT", QFile::encodeName(s.path("out.wav")));
        s.newProject(16); // 4194304 frames: 95 s, under 2 s at 50 times real time
        QVERIFY(!child<QCheckBox>(s.w, "chkArm")->isChecked());
        const int32_t selEnd = std::exchange(s.mod.selEnd, s.mod.selStart);
        s.w.mnuControlPlay(); // an empty selection ends at once
        QVERIFY(!s.w.transport().running());
        QVERIFY(s.ui.messages().isEmpty());
        s.mod.selEnd = selEnd;
        QStringList lockedWrong;
        bool stopUsable = false;
        QTimer::singleShot(
            300, &s.w,
            [&]
            {
                for (const char* name :
                     {"cboTrack",    "chkArm",        "chkMerge",  "chkMute",   "chkDrums",
                      "cmdCopy",     "cmdCut",        "cmdMerge",  "cmdNew",    "cmdOpen",
                      "cmdPaste",    "CmdPlay",       "cmdProps",  "cmdRec",    "cmdSave",
                      "cmdDrum",     "cmdKeys",       "cmdFxList", "cmdMaster", "cmdTrackAdd",
                      "cmdTrackDel", "cmdTrackProps", "cmdUndo",   "hscPan",    "hscView",
                      "hscVol",      "hscZoom"})
                    if (child<QWidget>(s.w, name)->isEnabled())
                        lockedWrong << QString::fromLatin1(name);
                for (const char* name : {"mnuControlPlay", "mnuControlRecord", "mnuEdit", "mnuFile",
                                         "mnuFX", "mnuTrack"})
                    if (action(s, name)->isEnabled())
                        lockedWrong << QString::fromLatin1(name);
                stopUsable = child<QWidget>(s.w, "CmdStop")->isEnabled() &&
                             action(s, "mnuControlStop")->isEnabled() && s.w.WAVEPLAYING;
                click(s, "CmdStop");
            });
        click(s, "CmdPlay");
        QVERIFY2(lockedWrong.isEmpty(), qPrintable(lockedWrong.join(u' ')));
        QVERIFY(stopUsable);
        const std::size_t played = readWaveSamples(s.path("out.wav")).size() / 2;
        QVERIFY2(played > 0 && played < std::size_t(s.mod.selEnd - s.mod.selStart),
                 qPrintable(QString::number(played)));
        // Unlocked again; the record button stays off while the track is not armed.
        QVERIFY(child<QWidget>(s.w, "CmdPlay")->isEnabled());
        QVERIFY(child<QWidget>(s.w, "cboTrack")->isEnabled());
        QVERIFY(action(s, "mnuFile")->isEnabled());
        QVERIFY(!child<QWidget>(s.w, "cmdRec")->isEnabled());
        QVERIFY(action(s, "mnuControlRecord")->isEnabled());
    }

    void closingTheWindowDuringAPassStopsItFirst()
    {
        StudioFixture s;
        s.newProject(16);
        bool closedAtOnce = true;
        QTimer::singleShot(200, &s.w,
                           [&]
                           {
                               s.w.close();
                               closedAtOnce = !s.w.WAVEPLAYING && !s.w.session().isOpen();
                           });
        s.ui.answers.push_back(Answer::No); // Save track edits?
        click(s, "CmdPlay");
        QVERIFY(!closedAtOnce); // the engine stayed open under the running pass
        QTRY_VERIFY_WITH_TIMEOUT(!s.w.session().isOpen(),
                                 2000); // and closed once the pass had ended
        QCOMPARE(s.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        QVERIFY(s.w.isHidden());
    }

    void drumsPlayTheSongOnTheMidiOutput()
    {
        StudioFixture s;
        qputenv("VUMO_VIRTUAL_MIDI_OUT", QFile::encodeName(s.path("midi.txt")));
        s.newProject();
        drums::DrumData& d = s.mod.drums;
        d.songPattern = QStringLiteral("1x2");
        d.patLastBeat[0] = 3;
        d.patMsPerBeat[0] = 10;
        d.patLastBeat[1] = 1;
        d.patMsPerBeat[1] = 5;
        d.drumGrid[0][7][0] = 100; // Bass Drum 1, note 35
        d.drumGrid[0][10][2] = 90; // Snare Drum 1, note 38
        d.drumGrid[1][7][1] = 64;
        QTest::mouseClick(child<QCheckBox>(s.w, "chkDrums"), Qt::LeftButton);
        QVERIFY(action(s, "mnuControlActivateDrums")->isChecked());
        s.w.mnuEditSelectAll(); // about 6 s of audio, a tenth of a second at 50 times
        click(s, "CmdPlay");
        QFile log(s.path("midi.txt"));
        QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList messages;
        while (!log.atEnd())
            messages << QString::fromLatin1(log.readLine()).trimmed().section(u' ', 1);
        QCOMPARE(messages, (QStringList{"153 35 100", "153 38 90", "153 35 64"}));
    }
};

QTEST_MAIN(TransportTest)
#include "TransportTest.moc"
