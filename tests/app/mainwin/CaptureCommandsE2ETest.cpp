// "&SK1 Mode" and "&Rip MCI" end to end: through the real frmVumo, the real engine, its virtual
// wave and MIDI devices, the media layer and the ffmpeg command line, with scripted answers.
#include "../StudioFixture.h"
#include "project/ProjectFile.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

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

// One note as the engine renders it: at selStart + atFrame, with this pitch step and gain.
struct Note
{
    int atFrame;
    double step;
    double gain;
};

bool ffmpeg(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-loglevel", "error", "-y"} + args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

std::vector<int16_t> rawSamples(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    std::vector<int16_t> s(size_t(b.size()) / 2);
    std::memcpy(s.data(), b.constData(), s.size() * 2);
    return s;
}

} // namespace

Q_DECLARE_METATYPE(Note)

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
    // The MIDI clock reads the speed once per process: one speed for every case. The notes'
    // time stamps are the keyboard's own milliseconds on that clock, so they do not scale with
    // the speed (a note 1000 ms in lands 44100 frames in, whatever the speed).
    void initTestCase() { useVirtualDevices("20"); }
    void cleanup()
    {
        qunsetenv("VUMO_VIRTUAL_MIDI_IN");
        qunsetenv("VUMO_VIRTUAL_OUTPUT");
        qunsetenv("VUMO_VIRTUAL_CD");
    }

    void sk1ModeRendersEachNoteFromTheClip_data()
    {
        QTest::addColumn<QString>("events"); // "ms status data1 data2" per line
        QTest::addColumn<int>("selStart");
        QTest::addColumn<bool>("convert");
        QTest::addColumn<QList<Note>>("notes");
        // Notes 60, 72, 69 and 0 step at 1.0, 2.0, 1.688 and 1/32; velocity v gains v / 128;
        // t ms lands t × 44.1 frames (halves to even) after selStart.
        QTest::newRow("four notes") << "0 144 60 64\n250 144 72 127\n500 144 69 100\n"
                                       "1000 144 0 64\n"
                                    << 0 << true
                                    << QList<Note>{{0, 1.0, 0.5},
                                                   {11025, 2.0, 0.9921875},
                                                   {22050, 1.688, 100 / 128.0},
                                                   {44100, 1 / 32.0, 0.5}};
        // Velocity 0 is silent whatever the status; a note-off with a velocity is a note.
        QTest::newRow("offs and rounding")
            << "5 144 60 90\n15 144 61 30\n100 128 60 0\n200 144 72 0\n300 128 84 40\n"
            << 3001 << true
            << QList<Note>{{220, 1.0, 90 / 128.0}, {662, 1.055, 30 / 128.0}, {13230, 4.0, 0.3125}};
        QTest::newRow("no conversion") << "0 144 60 127\n400 144 67 127\n"
                                       << 0 << false << QList<Note>{};
    }
    void sk1ModeRendersEachNoteFromTheClip()
    {
        QFETCH(QString, events);
        QFETCH(int, selStart);
        QFETCH(bool, convert);
        QFETCH(QList<Note>, notes);
        StudioFixture s;
        openProject(s);
        // The clip: 2000 frames of a tone, quiet enough that notes rarely clamp.
        std::vector<int16_t> clip = tones(2000);
        for (int16_t& v : clip)
            v = int16_t(v / 2);
        QVERIFY(writeWave(s.w.CLIPFILE, clip));
        QFile file(s.path("keys.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(events.toLatin1()) > 0);
        file.close();
        qputenv("VUMO_VIRTUAL_MIDI_IN", QFile::encodeName(file.fileName()));
        s.mod.selStart = selStart;
        s.mod.selEnd = kFrames;
        s.ui.answers = {Answer::Yes, convert ? Answer::Yes : Answer::No};
        trigger(s, "mnuControlSK1");
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        QCOMPARE(s.ui.questions().size(), 2);
        QCOMPARE(s.engine.GetRecordLength(), -1); // the MIDI input is closed
        const std::vector<int16_t> rendered = s.trackSamples(0, kFrames);

        // The same notes through the engine's exports on a fresh copy of the track.
        const std::vector<int16_t> original = saw(kFrames);
        for (int32_t i = 0; i < 2 * kFrames; ++i)
            s.engine.TrackWrite(i, original[size_t(i)]);
        const int32_t clipLength = s.engine.LoadSK1(QFile::encodeName(s.w.CLIPFILE).constData());
        QCOMPARE(clipLength, 1998);
        for (const Note& n : notes)
            s.engine.SK1(selStart + n.atFrame, clipLength, n.step, n.gain);
        const std::vector<int16_t> expected = s.trackSamples(0, kFrames);
        QCOMPARE(expected != original, !notes.isEmpty());
        QCOMPARE(rendered, expected);
    }

    void ripMciCapturesTheMedia_data()
    {
        QTest::addColumn<QString>("kind");  // how the media is made and chosen
        QTest::addColumn<int>("tolerance"); // in LSB; -1: refused with a message
        QTest::newRow("MP3") << "mp3" << 3;
        QTest::newRow("Ogg") << "ogg" << 3;
        QTest::newRow("virtual CD track 1") << "cd" << 0;
        QTest::newRow("undecodable file") << "junk" << -1;
        QTest::newRow("CD track not there") << "cd2" << -1;
    }
    void ripMciCapturesTheMedia()
    {
        QFETCH(QString, kind);
        QFETCH(int, tolerance);
        StudioFixture s;
        // Every pass appends what it plays here (the devices open with the project).
        qputenv("VUMO_VIRTUAL_OUTPUT", QFile::encodeName(s.path("heard.wav")));
        openProject(s);
        s.w.mnuEditSelectAll();
        QCOMPARE(s.mod.selEnd - s.mod.selStart, kFrames);
        const std::vector<int16_t> source = tones(44100);
        QVERIFY(writeWave(s.path("source.wav"), source));

        std::vector<int16_t> want = source; // the media as decoded, then silence
        if (kind == "mp3" || kind == "ogg")
        {
            const QString media = s.path("song." + kind);
            QVERIFY(ffmpeg({"-i", s.path("source.wav"), media}));
            QVERIFY(ffmpeg(
                {"-i", media, "-f", "s16le", "-ar", "44100", "-ac", "2", s.path("ref.raw")}));
            want = rawSamples(s.path("ref.raw"));
            QVERIFY(want.size() > 80000);
            s.ui.answers.push_back(Answer::Yes);
            s.ui.files.push_back(media);
        }
        else if (kind == "junk")
        {
            QFile junk(s.path("noise.mp3"));
            QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(5000, 'x')) > 0);
            s.ui.answers.push_back(Answer::Yes);
            s.ui.files.push_back(junk.fileName());
        }
        else
        {
            QVERIFY(QDir().mkpath(s.path("cd")));
            QVERIFY(writeWave(s.path("cd/track01.wav"), source));
            qputenv("VUMO_VIRTUAL_CD", QFile::encodeName(s.path("cd")));
            s.ui.answers.push_back(Answer::No); // not a file: a CD track
            s.ui.inputs.push_back(kind == "cd" ? QStringLiteral("1") : QStringLiteral("2"));
        }
        const qint64 heardBefore = QFileInfo(s.path("heard.wav")).size();
        trigger(s, "mnuControlRip");
        const qint64 heard = QFileInfo(s.path("heard.wav")).size() - heardBefore;
        const std::vector<int16_t> track = s.trackSamples(0, kFrames);

        if (tolerance < 0)
        {
            QCOMPARE(s.ui.messages().size(), 1);
            QCOMPARE(s.ui.shown.last().icon, MsgIcon::Exclamation);
            QCOMPARE(heard, 0); // no pass
            QCOMPARE(track, saw(kFrames));
            return;
        }
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        QVERIFY(heard >= 4 * qint64(kFrames)); // one pass over the selection
        // Lengths may differ by two frames: the take may end up to two frames early (silence).
        const size_t n = want.size();
        int worst = 0;
        for (size_t i = 0; i < n; ++i)
            if (!(i + 4 >= n && track[i] == 0))
                worst = std::max(worst, std::abs(track[i] - want[i]));
        QVERIFY2(worst <= tolerance, qPrintable(QStringLiteral("worst %1 LSB").arg(worst)));
        const auto firstSound =
            std::find_if(track.begin() + qsizetype(std::min(n + 4, track.size())), track.end(),
                         [](int16_t v) { return v != 0; });
        QCOMPARE(firstSound - track.begin(), qsizetype(track.size()));
    }
};

QTEST_MAIN(CaptureCommandsE2ETest)
#include "CaptureCommandsE2ETest.moc"
