// The drum editor's Play over the real engine (libwavorn) and its virtual MIDI output: the notes
// that leave the output and when.
#include "drums/DrumEngine.h"
#include "drums/frmDrums.h"
#include "services/ScriptedUiServices.h"

#include "wavorn.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo;
using namespace vumo::drums;

namespace
{

// The engine's MIDI exports as member functions, for the editor's adapter.
struct Exports
{
    int32_t OpenMidiPlay(int32_t words) { return ::OpenMidiPlay(words); }
    int32_t AddMidi(int32_t t, int32_t m) { return ::AddMidi(t, m); }
    int32_t PlayMidi() { return ::PlayMidi(); }
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
        qputenv("VUMO_VIRTUAL_SPEED", "4");
        qputenv("VUMO_VIRTUAL_MIDI_OUT", m_dir.filePath(QStringLiteral("out.txt")).toLocal8Bit());
    }

    // Song "1111" at the defaults (32 beats of 100 ms): Bass Drum 1 (note 35) on every beat,
    // its velocity the beat number + 1, so each line names its beat.
    void defaultSongPlaysFourRepetitionsOnTime()
    {
        DrumData drums;
        Exports exports;
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
        // Times are compared with the first note's (time 0); the output stamps each line when
        // its tick sends it, so a line may come a little after its due time.
        constexpr int kSlackMs = 50;
        for (int k = 0; k < sent.size(); ++k)
        {
            const int b = k % kBeats;
            const int dueMs = 3200 * (k / kBeats) + 100 * b;
            QCOMPARE(sent[k].status, 153);
            QCOMPARE(sent[k].note, 35);
            QCOMPARE(sent[k].velocity, b + 1);
            const int atMs = sent[k].ms - sent[0].ms;
            QVERIFY2(
                std::abs(atMs - dueMs) <= kSlackMs,
                qPrintable(QStringLiteral("beat %1 at %2 ms, due %3").arg(k).arg(atMs).arg(dueMs)));
        }
        QCOMPARE(sent[2 * kBeats + 5].velocity, 6); // third repetition, beat 5: 6400 + 500 ms
    }
};

QTEST_MAIN(DrumPlayTest)
#include "DrumPlayTest.moc"
