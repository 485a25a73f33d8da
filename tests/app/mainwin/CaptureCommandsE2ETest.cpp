// "&SK1 Mode" and "&Rip MCI" end to end: through the real frmVumo, the real engine, its virtual
// wave and MIDI devices and the media layer, with scripted answers.
#include "../StudioFixture.h"
#include "project/ProjectFile.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <cmath>

using namespace vumo;
using namespace vumo::test;

namespace
{

constexpr int kFrames = 262142; // the whole track of a 1 MB project, as Select All selects it

// A saw per channel, never silent.
std::vector<int16_t> saw(int frames)
{
    std::vector<int16_t> s(2 * size_t(frames));
    for (int f = 0; f < frames; ++f)
    {
        s[2 * size_t(f)] = int16_t(f * 37 % 30000 - 15000 + 1);
        s[2 * size_t(f) + 1] = int16_t(f * 53 % 26000 - 13000 + 1);
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

class CaptureCommandsE2ETest : public QObject
{
    Q_OBJECT

private:
    // A project of one track holding saw(kFrames), opened through File > Open.
    static void openProject(StudioFixture& s)
    {
        project::ProjectData data = project::newProjectData(1);
        data.projTitle = "Song";
        QVERIFY(writeWave(s.path("r0.wav"), saw(kFrames)));
        data.tracks.append({"r0", QFile::encodeName(s.path("r0.wav"))});
        QCOMPARE(project::writeProject(s.path("Song.vum"), data), QString());
        s.ui.files.push_back(s.path("Song.vum"));
        s.w.mnuFileOpen();
        QCOMPARE(s.cboTrack().count(), 1);
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(s.trackSamples(0, kFrames), saw(kFrames));
    }

    static void trigger(StudioFixture& s, const char* name)
    {
        QAction* a = s.w.findChild<QAction*>(QString::fromLatin1(name));
        QVERIFY2(a != nullptr, name);
        a->trigger();
    }

private slots:
    // The notes' time stamps are the keyboard's own milliseconds on the MIDI clock, so they do
    // not scale with the speed (a note 1000 ms in lands 44100 frames in, whatever the speed).
    void initTestCase() { useVirtualDevices("20"); }
    void cleanup()
    {
        qunsetenv("VUMO_VIRTUAL_MIDI_IN");
        qunsetenv("VUMO_VIRTUAL_OUTPUT");
        qunsetenv("VUMO_VIRTUAL_CD");
    }

    void sk1ModeRendersEachNoteFromTheClip()
    {
        StudioFixture s;
        openProject(s);
        // The clip: 2000 frames of a tone, quiet enough that notes rarely clamp.
        std::vector<int16_t> clip = tones(2000);
        for (int16_t& v : clip)
            v = int16_t(v / 2);
        QVERIFY(writeWave(s.w.CLIPFILE, clip));
        // "ms status data1 data2": velocity 0 is silent whatever the status; a note-off with a
        // velocity is a note.
        QFile file(s.path("keys.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write("5 144 60 90\n15 144 61 30\n100 128 60 0\n200 144 72 0\n"
                           "300 128 84 40\n") > 0);
        file.close();
        qputenv("VUMO_VIRTUAL_MIDI_IN", QFile::encodeName(file.fileName()));
        const int selStart = 3001;
        s.mod.selStart = selStart;
        s.mod.selEnd = kFrames;
        s.ui.answers = {Answer::Yes, Answer::Yes};
        trigger(s, "mnuControlSK1");
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        QCOMPARE(s.engine.GetRecordLength(), -1); // the MIDI input is closed
        const std::vector<int16_t> rendered = s.trackSamples(0, kFrames);

        // The same notes through the engine's exports on a fresh copy of the track: notes 60,
        // 61 and 84 step at 1.0, 1.055 and 4.0, velocity v gains v / 128, and t ms lands
        // t × 44.1 frames (halves to even) after selStart.
        const std::vector<int16_t> original = saw(kFrames);
        for (int32_t i = 0; i < 2 * kFrames; ++i)
            s.engine.TrackWrite(i, original[size_t(i)]);
        const int32_t clipLength = s.engine.LoadSK1(QFile::encodeName(s.w.CLIPFILE).constData());
        QCOMPARE(clipLength, 1998);
        s.engine.SK1(selStart + 220, clipLength, 1.0, 90 / 128.0);
        s.engine.SK1(selStart + 662, clipLength, 1.055, 30 / 128.0);
        s.engine.SK1(selStart + 13230, clipLength, 4.0, 0.3125);
        QVERIFY(rendered != original);
        QCOMPARE(rendered, s.trackSamples(0, kFrames));
    }

    void ripMciCapturesACdTrack()
    {
        StudioFixture s;
        // Every pass appends what it plays here (the devices open with the project).
        qputenv("VUMO_VIRTUAL_OUTPUT", QFile::encodeName(s.path("heard.wav")));
        openProject(s);
        s.w.mnuEditSelectAll();
        QCOMPARE(s.mod.selEnd - s.mod.selStart, kFrames);
        const std::vector<int16_t> source = tones(44100);
        QVERIFY(QDir().mkpath(s.path("cd")));
        QVERIFY(writeWave(s.path("cd/track01.wav"), source));
        qputenv("VUMO_VIRTUAL_CD", QFile::encodeName(s.path("cd")));
        s.ui.answers.push_back(Answer::No); // not a file: a CD track
        s.ui.inputs.push_back(QStringLiteral("1"));
        const qint64 heardBefore = QFileInfo(s.path("heard.wav")).size();
        trigger(s, "mnuControlRip");
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        // One pass over the selection.
        QVERIFY(QFileInfo(s.path("heard.wav")).size() - heardBefore >= 4 * qint64(kFrames));
        // The take holds the CD track, then silence; it may end up to two frames early.
        const std::vector<int16_t> track = s.trackSamples(0, kFrames);
        std::vector<int16_t> want = source;
        want.resize(track.size(), 0);
        for (size_t i = source.size() - 4; i < source.size(); ++i)
            if (track[i] == 0)
                want[i] = 0;
        QCOMPARE(track, want);
    }
};

QTEST_MAIN(CaptureCommandsE2ETest)
#include "CaptureCommandsE2ETest.moc"
