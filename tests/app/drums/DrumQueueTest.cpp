// The drum data: which note-ons the song queues, packed how and at what time; and the editor's
// cut, copy and paste on the data (the editor's window test runs them through its menus).
#include "drums/DrumData.h"
#include "drums/DrumEdit.h"

#include <QTest>

#include <utility>
#include <vector>

using namespace vumo::drums;

namespace
{

using Event = std::pair<int32_t, int32_t>; // time in ms, packed message

std::vector<Event> queue(const DrumData& drums)
{
    std::vector<Event> events;
    const int32_t count = QueueDrums(drums,
                                     [&](int32_t timeMs, int32_t message)
                                     {
                                         events.emplace_back(timeMs, message);
                                         return int32_t(2 * events.size());
                                     });
    if (count != int32_t(events.size()))
        events.emplace_back(-1, count); // a wrong count shows as an extra event
    return events;
}

// Note-on on channel 10: 153 + note * 256 + velocity * 65536.
constexpr int32_t noteOn(int note, int velocity)
{
    return 153 + note * 256 + velocity * 65536;
}
constexpr int32_t kBass100 = noteOn(35, 100); // 6562713
constexpr int32_t kHiHat80 = noteOn(42, 80);
constexpr int32_t kSnare127 = noteOn(38, 127);

} // namespace

class DrumQueueTest : public QObject
{
    Q_OBJECT

private slots:
    // Pattern "1": 4 beats of 50 ms, Bass Drum 1 on beats 0 and 3, Hi-Hat Closed on 0 and 2.
    // Pattern "2": 2 beats of 120 ms, Snare Drum 1 on beat 1.
    void songQueuesTimedNoteOns_data()
    {
        QTest::addColumn<QString>("song");
        QTest::addColumn<std::vector<Event>>("expected");
        // "1": t 0; "2": t 200 (4 x 50 ms); "a" takes no time; "1" again: t 440 (200 + 2 x 120).
        QTest::newRow("12a1") << QStringLiteral("12a1")
                              << std::vector<Event>{
                                     {0, kBass100},   {0, kHiHat80},    {100, kHiHat80},
                                     {150, kBass100}, {320, kSnare127}, {440, kBass100},
                                     {440, kHiHat80}, {540, kHiHat80},  {590, kBass100}};
        // Characters without a pattern are skipped and take no time.
        const std::vector<Event> one = {
            {0, kBass100}, {0, kHiHat80}, {100, kHiHat80}, {150, kBass100}};
        QTest::newRow("letters and spaces") << QStringLiteral("a b1") << one;
        QTest::newRow("zero") << QStringLiteral("01") << one;
        QTest::newRow("nine has no pattern") << QStringLiteral("91") << one;
        QTest::newRow("other digits") << QStringLiteral("\u06621") << one;
        QTest::newRow("empty song") << QString() << std::vector<Event>();
        QTest::newRow("silent patterns") << QStringLiteral("345678") << std::vector<Event>();
    }
    void songQueuesTimedNoteOns()
    {
        QFETCH(QString, song);
        QFETCH(std::vector<Event>, expected);
        DrumData drums;
        drums.patLastBeat[0] = 3;
        drums.patMsPerBeat[0] = 50;
        drums.drumGrid[0][7][0] = drums.drumGrid[0][7][3] = 100;  // Bass Drum 1, note 35
        drums.drumGrid[0][14][0] = drums.drumGrid[0][14][2] = 80; // Hi-Hat Closed, note 42
        drums.patLastBeat[1] = 1;
        drums.patMsPerBeat[1] = 120;
        drums.drumGrid[1][10][1] = 127; // Snare Drum 1, note 38
        drums.songPattern = song;
        QCOMPARE(queue(drums), expected);
    }

    // The default song spans 128 beats of the tempo, clamped to 1 ... 255 ms.
    void tempoSetsTheBeatLength()
    {
        for (const auto& [tempo, msPerBeat] : {std::pair{100, 100}, {1, 1}, {256, 255}, {0, 1}})
        {
            DrumData drums;
            prepareDrumData(drums, tempo);
            drums.drumGrid[0][0][1] = 90;
            drums.drumGrid[0][0][31] = 1;
            std::vector<Event> expected;
            for (int r = 0; r < 4; ++r) // Hi Q: note 15
            {
                expected.emplace_back((32 * r + 1) * msPerBeat, noteOn(15, 90));
                expected.emplace_back((32 * r + 31) * msPerBeat, noteOn(15, 1));
            }
            QCOMPARE(queue(drums), expected);
        }
    }

    void shortPatternsAndDamagedValuesStayInRange()
    {
        DrumData drums;
        drums.patLastBeat[2] = 15; // pattern "3": 16 beats of 10 ms
        drums.patMsPerBeat[2] = 10;
        drums.drumGrid[2][0][15] = 64;
        drums.drumGrid[2][0][16] = 64; // after the last beat: never played
        drums.patLastBeat[0] = 200;    // plays 32 beats, never past the grid
        drums.patMsPerBeat[0] = 0;     // a beat takes at least 1 ms
        drums.drumGrid[0][0][31] = 200;
        drums.drumNotes[0] = 127; // note 139 is played as 127
        drums.songPattern = QStringLiteral("3311");
        const std::vector<Event> expected = {{150, noteOn(127, 64)},
                                             {310, noteOn(127, 64)},
                                             {320 + 31, noteOn(127, 127)},
                                             {352 + 31, noteOn(127, 127)}};
        QCOMPARE(queue(drums), expected);
    }

    // The editor's cut, copy and paste with a selection outside the data change nothing.
    void commandsWithoutASelectionChangeNothing()
    {
        DrumData drums;
        drums.drumGrid[0][0][0] = 12;
        drums.drumClip[0][0] = 99;
        const DrumData before = drums;
        // No pattern, no instrument, pattern 8, instrument 58.
        for (const auto& [p, i] : {std::pair{-1, 0}, {0, -1}, {8, 0}, {0, 58}})
        {
            cutInstrument(drums, p, i);
            copyInstrument(drums, p, i);
            pasteInstrument(drums, p, i);
        }
        for (const int p : {-1, 8})
        {
            cutPattern(drums, p, 100);
            copyPattern(drums, p);
            pastePattern(drums, p);
        }
        QVERIFY(drums.drumGrid == before.drumGrid);
        QVERIFY(drums.drumClip == before.drumClip);
        QVERIFY(drums.patLastBeat == before.patLastBeat);
    }
};

QTEST_GUILESS_MAIN(DrumQueueTest)
#include "DrumQueueTest.moc"
