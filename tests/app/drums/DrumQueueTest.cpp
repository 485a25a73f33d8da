// Tests for the drum data: the instrument table, message packing and the queueing of the song.
#include "drums/DrumData.h"

#include <QTest>

#include <utility>
#include <vector>

using namespace vumo::drums;

namespace
{

using Event = std::pair<int32_t, int32_t>; // time in ms, packed message

std::vector<Event> queue(const DrumData& drums, int32_t* handedOver = nullptr)
{
    std::vector<Event> events;
    const int32_t count = QueueDrums(drums,
                                     [&](int32_t timeMs, int32_t message)
                                     {
                                         events.emplace_back(timeMs, message);
                                         return int32_t(2 * events.size());
                                     });
    if (handedOver)
        *handedOver = count;
    return events;
}

// Pattern 0 (pattern "1"): 4 beats of 50 ms; Bass Drum 1 on beats 0 and 3, Hi-Hat Closed on
// beats 0 and 2. Pattern 1 (pattern "2"): 2 beats of 120 ms; Snare Drum 1 on beat 1.
DrumData smallSong(const QString& song)
{
    DrumData drums;
    drums.patLastBeat[0] = 3;
    drums.patMsPerBeat[0] = 50;
    drums.drumGrid[0][7][0] = 100; // Bass Drum 1, note 35
    drums.drumGrid[0][7][3] = 100;
    drums.drumGrid[0][14][0] = 80; // Hi-Hat Closed, note 42
    drums.drumGrid[0][14][2] = 80;
    drums.patLastBeat[1] = 1;
    drums.patMsPerBeat[1] = 120;
    drums.drumGrid[1][10][1] = 127; // Snare Drum 1, note 38
    drums.songPattern = song;
    return drums;
}

// Note-ons on channel 10 (status 153), worked out as 153 + note * 256 + velocity * 65536.
constexpr int32_t kBass100 = 153 + 35 * 256 + 100 * 65536;  // 6562713
constexpr int32_t kHiHat80 = 153 + 42 * 256 + 80 * 65536;   // 5253785
constexpr int32_t kSnare127 = 153 + 38 * 256 + 127 * 65536; // 8332953

} // namespace

class DrumQueueTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultInstrumentTable_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("note");
        QTest::newRow("first") << 0 << QStringLiteral("Hi Q") << 3;
        QTest::newRow("bass drum") << 7 << QStringLiteral("Bass Drum 1") << 23;
        QTest::newRow("gap after cow bell") << 29 << QStringLiteral("Ride Symbal 2") << 47;
        QTest::newRow("gap after claves") << 42 << QStringLiteral("Triangle Mute") << 68;
        QTest::newRow("last") << 57 << QStringLiteral("Scratch 3") << 84;
    }
    void defaultInstrumentTable()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(int, note);
        DrumData drums;
        drums.drumNames[index] = QStringLiteral("changed");
        drums.drumNotes[index] = 0;
        InitDrumNames(drums);
        QCOMPARE(drums.drumNames[index], name);
        QCOMPARE(int(drums.drumNotes[index]), note);
    }

    void packMidiMessage_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("data1");
        QTest::addColumn<int>("data2");
        QTest::addColumn<int>("packed");
        QTest::newRow("note-on") << 153 << 35 << 100 << 6562713;
        QTest::newRow("status only") << 144 << 0 << 0 << 144;
        QTest::newRow("largest data") << 153 << 127 << 127 << 8355737;
    }
    void packMidiMessage()
    {
        QFETCH(int, status);
        QFETCH(int, data1);
        QFETCH(int, data2);
        QFETCH(int, packed);
        QCOMPARE(PackMidiMessage(status, data1, data2), packed);
    }

    void smallSongQueuesTimedNoteOns()
    {
        // "1": t 0; "2": t 200 (4 x 50 ms); "a" takes no time; "1" again: t 440 (200 + 2 x 120).
        int32_t handedOver = 0;
        const std::vector<Event> events = queue(smallSong(QStringLiteral("12a1")), &handedOver);
        const std::vector<Event> expected = {
            {0, kBass100},   {0, kHiHat80},   {100, kHiHat80}, {150, kBass100}, {320, kSnare127},
            {440, kBass100}, {440, kHiHat80}, {540, kHiHat80}, {590, kBass100},
        };
        QCOMPARE(events, expected);
        QCOMPARE(handedOver, 9);
    }

    void charactersWithoutAPatternAreSkipped_data()
    {
        QTest::addColumn<QString>("song");
        QTest::newRow("letters and spaces") << QStringLiteral("a b1");
        QTest::newRow("zero") << QStringLiteral("01");
        QTest::newRow("nine has no pattern") << QStringLiteral("91");
        QTest::newRow("other digits") << QStringLiteral("\u0662") + QStringLiteral("1");
    }
    void charactersWithoutAPatternAreSkipped()
    {
        QFETCH(QString, song);
        const std::vector<Event> expected = {
            {0, kBass100}, {0, kHiHat80}, {100, kHiHat80}, {150, kBass100}};
        QCOMPARE(queue(smallSong(song)), expected);
    }

    void emptySongQueuesNothing()
    {
        int32_t handedOver = -1;
        QVERIFY(queue(smallSong(QString()), &handedOver).empty());
        QCOMPARE(handedOver, 0);
    }

    void silentPatternsQueueNothing()
    {
        DrumData drums;
        drums.songPattern = QStringLiteral("12345678");
        QVERIFY(queue(drums).empty());
    }

    void defaultSongSpans12800Ms()
    {
        // "1111" with pattern 1 at 32 beats of 100 ms and a note on every beat.
        DrumData drums;
        prepareDrumData(drums, 100);
        for (int b = 0; b < kBeats; ++b)
            drums.drumGrid[0][0][b] = 1;
        const std::vector<Event> events = queue(drums);
        QCOMPARE(events.size(), size_t(4 * kBeats));
        for (int b = 0; b < kBeats; ++b)
            QCOMPARE(events[2 * kBeats + b].first, 6400 + 100 * b); // third repetition
        QCOMPARE(events.back().first, 12700);
        QCOMPARE(events.front().second, 153 + 15 * 256 + 1 * 65536); // Hi Q: note 15
    }

    void tempoSetsTheBeatLength_data()
    {
        QTest::addColumn<int32_t>("tempo");
        QTest::addColumn<int32_t>("msPerBeat");
        QTest::newRow("120 ms") << 120 << 120;
        QTest::newRow("1 ms") << 1 << 1;
        QTest::newRow("256 is clamped to a byte") << 256 << 255;
        QTest::newRow("0 is clamped to 1") << 0 << 1;
    }
    void tempoSetsTheBeatLength()
    {
        QFETCH(int32_t, tempo);
        QFETCH(int32_t, msPerBeat);
        DrumData drums;
        prepareDrumData(drums, tempo);
        drums.drumGrid[0][7][1] = 90;
        const std::vector<Event> events = queue(drums);
        QCOMPARE(events.size(), size_t(4));
        for (int r = 0; r < 4; ++r)
            QCOMPARE(events[r].first, r * 32 * msPerBeat + msPerBeat);
    }

    void shorterPatternAdvancesByItsBeats()
    {
        DrumData drums;
        drums.patLastBeat[2] = 15;
        drums.patMsPerBeat[2] = 10;
        drums.drumGrid[2][0][15] = 64;
        drums.drumGrid[2][0][16] = 64; // after the last beat: never played
        drums.songPattern = QStringLiteral("33");
        const std::vector<Event> events = queue(drums);
        const int32_t hiQ64 = 153 + 15 * 256 + 64 * 65536;
        const std::vector<Event> expected = {{150, hiQ64}, {310, hiQ64}};
        QCOMPARE(events, expected);
    }

    void damagedValuesStayInRange()
    {
        DrumData drums;
        drums.patLastBeat[0] = 200; // plays 32 beats, never past the grid
        drums.patMsPerBeat[0] = 0;  // a beat takes at least 1 ms
        drums.drumGrid[0][0][31] = 200;
        drums.drumNotes[0] = 127;
        drums.songPattern = QStringLiteral("11");
        const int32_t loudest = 153 + 127 * 256 + 127 * 65536;
        const std::vector<Event> expected = {{31, loudest}, {63, loudest}};
        QCOMPARE(queue(drums), expected);
    }

    void firstOpeningPreparesLaterOpeningsKeep()
    {
        DrumData drums;
        prepareDrumData(drums, 90);
        QCOMPARE(drums.songPattern, QStringLiteral("1111"));
        QCOMPARE(drums.drumFileName, QStringLiteral("untitled.mbt"));
        QCOMPARE(int(drums.patMsPerBeat[7]), 90);
        drums.songPattern = QStringLiteral("12");
        drums.patMsPerBeat[7] = 40;
        prepareDrumData(drums, 90);
        QCOMPARE(drums.songPattern, QStringLiteral("12"));
        QCOMPARE(int(drums.patMsPerBeat[7]), 40);
    }

    void clearPatternsKeepsSongAndInstruments()
    {
        DrumData drums = smallSong(QStringLiteral("21"));
        drums.drumNames[3] = QStringLiteral("Cowbell 2");
        drums.drumFileName = QStringLiteral("/beats/a.mbt");
        clearPatterns(drums, 75);
        QVERIFY(queue(drums).empty());
        QCOMPARE(drums.songPattern, QStringLiteral("21"));
        QCOMPARE(drums.drumNames[3], QStringLiteral("Cowbell 2"));
        QCOMPARE(drums.drumFileName, QStringLiteral("untitled.mbt"));
        QCOMPARE(int(drums.patLastBeat[0]), 31);
        QCOMPARE(int(drums.patMsPerBeat[1]), 75);
    }
};

QTEST_GUILESS_MAIN(DrumQueueTest)
#include "DrumQueueTest.moc"
