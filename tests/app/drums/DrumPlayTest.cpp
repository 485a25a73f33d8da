// The drum editor's Play over the real engine (libwavorn) and its virtual MIDI output: the notes
// that leave the output and when.
#include "drums/DrumEngine.h"
#include "drums/frmDrums.h"
#include "support/ScriptedUiServices.h"

#include "wavorn.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace vumo;
using namespace vumo::drums;

namespace
{

constexpr int kSpeed = 4; // VUMO_VIRTUAL_SPEED: virtual milliseconds per real millisecond

// The engine's MIDI exports as member functions, for the editor's adapter. It notes how long
// after the output's opening PlayMidi came, in virtual ms, never more than it really was.
struct Exports
{
    QElapsedTimer sinceOpen;
    qint64 playAtMs = -1;

    int32_t OpenMidiPlay(int32_t words)
    {
        const int32_t r = ::OpenMidiPlay(words);
        sinceOpen.start();
        return r;
    }
    int32_t AddMidi(int32_t t, int32_t m) { return ::AddMidi(t, m); }
    int32_t PlayMidi()
    {
        playAtMs = sinceOpen.elapsed() * kSpeed;
        return ::PlayMidi();
    }
    int32_t MidiPlaying() { return ::MidiPlaying(); }
    int32_t GetMidiTimer() { return ::GetMidiTimer(); }
    int32_t StopMidi() { return ::StopMidi(); }
    int32_t CloseMidiPlay() { return ::CloseMidiPlay(); }
    int32_t CmdMidi(int32_t s, int32_t d1, int32_t d2) { return ::CmdMidi(s, d1, d2); }
};

struct Sent
{
    int ms;
    int status, note, velocity;
};

QList<Sent> sentLines(const QString& path)
{
    QFile f(path);
    QList<Sent> lines;
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    while (!f.atEnd())
    {
        const QList<QByteArray> w = f.readLine().simplified().split(' ');
        if (w.size() == 4)
            lines.append({w[0].toInt(), w[1].toInt(), w[2].toInt(), w[3].toInt()});
    }
    return lines;
}

} // namespace

class DrumPlayTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        qputenv("VUMO_AUDIO_BACKEND", "virtual");
        qputenv("VUMO_MIDI_BACKEND", "virtual");
        qputenv("VUMO_VIRTUAL_SPEED", QByteArray::number(kSpeed));
        qputenv("VUMO_VIRTUAL_MIDI_OUT", m_dir.filePath(QStringLiteral("out.txt")).toLocal8Bit());
    }

    // Song "1111" at the defaults (32 beats of 100 ms): Bass Drum 1 (note 35) on every beat,
    // its velocity the beat number + 1, so each line names its beat.
    void defaultSongPlaysFourRepetitionsOnTime()
    {
        DrumData drums;
        Exports exports; // beat b of repetition r is due at 3200 r + 100 b ms
        DrumEngineOver<Exports> engine(exports);
        ScriptedUiServices ui;
        {
            frmDrums w(drums, engine, ui, 100, 32768);
            for (int b = 0; b < kBeats; ++b)
                drums.drumGrid[0][7][b] = uint8_t(b + 1);
            w.findChild<QPushButton*>(QStringLiteral("CmdPlay"))->click();
            QCOMPARE(ui.messages(), QStringList{QStringLiteral("Drums are queued.")});
        }
        const QList<Sent> sent = sentLines(m_dir.filePath(QStringLiteral("out.txt")));
        QCOMPARE(sent.size(), 4 * kBeats);
        // An event due at t ms after PlayMidi leaves on the first 10 ms tick past t, never
        // sooner; the output stamps it when the tick runs, so it may come a little later on a
        // busy machine, but not late as a rule.
        QVERIFY(exports.playAtMs >= 0);
        std::vector<qint64> lateMs;
        for (int k = 0; k < sent.size(); ++k)
        {
            const int b = k % kBeats;
            QCOMPARE(sent[k].status, 153);
            QCOMPARE(sent[k].note, 35);
            QCOMPARE(sent[k].velocity, b + 1);
            const qint64 tickMs = 3200 * (k / kBeats) + 100 * b + 10;
            const qint64 atMs = sent[k].ms - exports.playAtMs;
            QVERIFY2(atMs >= tickMs - 1,
                     qPrintable(
                         QStringLiteral("note %1 at %2 ms, due %3").arg(k).arg(atMs).arg(tickMs)));
            lateMs.push_back(atMs - tickMs);
        }
        std::sort(lateMs.begin(), lateMs.end());
        QVERIFY2(lateMs[lateMs.size() / 2] < 50,
                 qPrintable(QString::number(lateMs[lateMs.size() / 2])));
    }
};

QTEST_MAIN(DrumPlayTest)
#include "DrumPlayTest.moc"
