// Tests for the drum data: the instrument table, message packing and the queueing of the song.
#include "drums/DrumData.h"

#include <QTest>

#include <algorithm>
#include <tuple>
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
    void defaultInstrumentTable()
    {
        DrumData drums;
        drums.drumNames.fill(QStringLiteral("changed"));
        drums.drumNotes.fill(0);
        InitDrumNames(drums);
        QVERIFY(std::count(drums.drumNames.begin(), drums.drumNames.end(), "changed") == 0);
        const std::tuple<int, const char*, int> rows[] = {{0, "Hi Q", 3},
                                                          {7, "Bass Drum 1", 23},
                                                          {29, "Ride Symbal 2", 47}, // after a gap
                                                          {42, "Triangle Mute", 68}, // after a gap
                                                          {57, "Scratch 3", 84}};
        for (const auto& [index, name, note] : rows)
        {
            QCOMPARE(drums.drumNames[index], QString::fromLatin1(name));
            QCOMPARE(int(drums.drumNotes[index]), note);
        }
    }

    void packMidiMessage()
    {
        QCOMPARE(PackMidiMessage(153, 35, 100), 6562713);
        QCOMPARE(PackMidiMessage(144, 0, 0), 144);
        QCOMPARE(PackMidiMessage(153, 127, 127), 8355737);
    }

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
        int32_t handedOver = -1;
        QCOMPARE(queue(smallSong(song), &handedOver), expected);
        QCOMPARE(handedOver, int32_t(expected.size()));
    }

    void tempoSetsTheBeatLength_data()
    {
        QTest::addColumn<int32_t>("tempo");
        QTest::addColumn<int32_t>("msPerBeat");
        QTest::newRow("100 ms: the default song spans 12800 ms") << 100 << 100;
        QTest::newRow("1 ms") << 1 << 1;
        QTest::newRow("256 is clamped to a byte") << 256 << 255;
        QTest::newRow("0 is clamped to 1") << 0 << 1;
    }
    void tempoSetsTheBeatLength()
    {
        QFETCH(int32_t, tempo);
        QFETCH(int32_t, msPerBeat);
        DrumData drums;
        prepareDrumData(drums, tempo); // song "1111", 32 beats
        drums.drumGrid[0][0][1] = 90;
        drums.drumGrid[0][0][31] = 1;
        std::vector<Event> expected;
        for (int r = 0; r < 4; ++r)
        {
            expected.emplace_back((32 * r + 1) * msPerBeat, 153 + 15 * 256 + 90 * 65536); // Hi Q
            expected.emplace_back((32 * r + 31) * msPerBeat, 153 + 15 * 256 + 1 * 65536);
        }
        QCOMPARE(queue(drums), expected);
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
        const int32_t note64 = 153 + 127 * 256 + 64 * 65536;
        const int32_t loudest = 153 + 127 * 256 + 127 * 65536;
        const std::vector<Event> expected = {
            {150, note64}, {310, note64}, {320 + 31, loudest}, {352 + 31, loudest}};
        QCOMPARE(queue(drums), expected);
    }

    void firstOpeningPreparesAndClearingKeepsSongAndInstruments()
    {
        DrumData drums = smallSong(QString());
        drums.drumNames[3] = QStringLiteral("Cowbell 2");
        prepareDrumData(drums, 90);
        QCOMPARE(drums.songPattern, QStringLiteral("1111"));
        QCOMPARE(drums.drumFileName, QStringLiteral("untitled.mbt"));
        QCOMPARE(int(drums.patMsPerBeat[7]), 90);
        // Later openings keep what is there.
        drums.songPattern = QStringLiteral("21");
        drums.patMsPerBeat[7] = 40;
        drums.drumFileName = QStringLiteral("/beats/a.mbt");
        prepareDrumData(drums, 90);
        QCOMPARE(int(drums.patMsPerBeat[7]), 40);
        QCOMPARE(drums.drumFileName, QStringLiteral("/beats/a.mbt"));

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
