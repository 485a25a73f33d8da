// Drum files and maps: bytes, round trips, older versions, refusals; the note-ons the song
// queues, and the drum editor's commands on the data.
#include "drums/DrumFile.h"
#include "drums/DrumData.h"
#include "drums/DrumEdit.h"
#include "tests/app/support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <utility>
#include <vector>

using namespace vumo::drums;
using namespace vumo::test;

namespace
{

template <typename T> QByteArray le(T v)
{
    QByteArray b(sizeof v, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// Every cell different enough that a swapped index shows: (p * 7 + i * 3 + b) mod 128.
void fillGrid(DrumData& drums)
{
    for (int p = 0; p < kPatterns; ++p)
        for (int i = 0; i < kInstruments; ++i)
            for (int b = 0; b < kBeats; ++b)
                drums.drumGrid[p][i][b] = uint8_t((p * 7 + i * 3 + b) % 128);
}

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
constexpr int32_t kTop127 = noteOn(127, 127);

} // namespace

class DrumFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString at(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void drumFilesRoundTripReadOlderVersionsAndRefuseMalformedOnes()
    {
        DrumData saved;
        fillGrid(saved);
        for (int p = 0; p < kPatterns; ++p)
        {
            saved.patLastBeat[p] = uint8_t(31 - 2 * p);
            saved.patMsPerBeat[p] = uint8_t(60 + 10 * p);
        }
        saved.songPattern = QStringLiteral("1122 8a");
        QCOMPARE(writeDrumFile(at("song.mbt"), saved), QString());

        const QByteArray written = fileBytes(at("song.mbt"));
        QCOMPARE(written.size(), 4 + 16 + 2 + 7 + 14848);
        QCOMPARE(written.left(4), QByteArray("mbt3"));
        QCOMPARE(written.mid(4, 4), QByteArray("\x1f\x3c\x1d\x46")); // 31, 60, 29, 70
        QCOMPARE(written.mid(20, 9), le<int16_t>(7) + QByteArray("1122 8a"));
        // Byte k of the grid is pattern k / 1856, instrument (k / 32) mod 58, beat k mod 32.
        const int k = 2 * 1856 + 5 * 32 + 9;
        QCOMPARE(int(uint8_t(written[29 + k])), (2 * 7 + 5 * 3 + 9) % 128);

        DrumData loaded;
        QCOMPARE(readDrumFile(at("song.mbt"), loaded), QString());
        QVERIFY(loaded.drumGrid == saved.drumGrid && loaded.patLastBeat == saved.patLastBeat &&
                loaded.patMsPerBeat == saved.patMsPerBeat);
        QCOMPARE(loaded.songPattern, saved.songPattern);

        // A song too long for its count is not written.
        saved.songPattern = QString(32768, u'1');
        const QString tooLong = writeDrumFile(at("long.mbt"), saved);
        QVERIFY2(tooLong.contains(QStringLiteral("32768 characters, at most 32767")),
                 qPrintable(tooLong));
        QVERIFY(!QFile::exists(at("long.mbt")));
        saved.songPattern.chop(1);
        QCOMPARE(writeDrumFile(at("long.mbt"), saved), QString());
        QCOMPARE(readDrumFile(at("long.mbt"), loaded), QString());
        QCOMPARE(loaded.songPattern.size(), 32767);

        // (bytes, the refusal or "", then the song, every beat length and last beat, pattern 1's
        // first cells of instrument 0). A short grid keeps the cells past its end; mbt3's last beat
        // 40, length 0, velocity 200 are clamped; a malformed file is refused and changes nothing.
        using Row = std::tuple<QByteArray, const char*, const char*, int, int, QByteArray>;
        const auto refused = [](const QByteArray& bytes, const char* why)
        { return Row{bytes, why, "88", 77, 3, QByteArray(4, '\x2c')}; };
        const QByteArray song12 = le<int16_t>(2) + "12\x05\x06", cells12 = "\x05\x06\x2c\x2c";
        const QByteArray patterns(16, '\x1f');
        const char* cut = "ends inside its header or song";
        for (const auto& [bytes, refusal, song, msPerBeat, lastBeat, cells] :
             {Row{"mbt2" + le<int16_t>(90) + song12, "", "12", 90, 31, cells12},
              {"mbt2" + le<int16_t>(300) + song12, "", "12", 255, 31, cells12},
              {"mbt2" + le<int16_t>(-5) + song12, "", "12", 1, 31, cells12},
              {"mbt1" + le<int16_t>(3) + "321\x09", "", "321", 77, 31, "\x09\x2c\x2c\x2c"},
              {"xyzw\x01\x02\x03", "", "88", 77, 31, "\x01\x02\x03\x2c"},
              {"mbt3" + QByteArray("\x28\x00", 2).repeated(8) + le<int16_t>(0) + "\xc8", "", "", 1,
               31, "\x7f\x2c\x2c\x2c"},
              refused(QByteArray(), "4-byte version mark"),
              refused("mbt", "4-byte version mark"),
              refused("mbt3" + patterns.left(9), cut),
              refused("mbt3" + patterns, cut),
              refused("mbt3" + patterns + le<int16_t>(10) + "123", cut),
              refused("mbt3" + patterns + le<int16_t>(-1) + QByteArray(100, '\0'), cut),
              refused(QByteArray("mbt2\x64", 5), cut),
              refused(QByteArray("mbt1\x01", 5), cut)})
        {
            QVERIFY(putFile(at("old.mbt"), bytes));
            DrumData drums;
            drums.songPattern = QStringLiteral("88");
            drums.patMsPerBeat.fill(77);
            drums.patLastBeat.fill(3);
            drums.drumGrid[0][0].fill(44);
            const auto grid = drums.drumGrid;
            const QString error = readDrumFile(at("old.mbt"), drums);
            const QString start = QStringLiteral("Unable to read the drum file ") + at("old.mbt");
            QVERIFY2(*refusal
                         ? error.startsWith(start) && error.contains(QString::fromLatin1(refusal))
                         : error.isEmpty(),
                     qPrintable(error));
            QVERIFY(!*refusal || drums.drumGrid == grid);
            QCOMPARE(drums.songPattern, QString::fromLatin1(song));
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(drums.drumGrid[0][0].data()), 4),
                     cells);
            for (int p = 0; p < kPatterns; ++p)
            {
                QCOMPARE(int(drums.patMsPerBeat[p]), msPerBeat);
                QCOMPARE(int(drums.patLastBeat[p]), lastBeat);
            }
        }
    }

    // Usable lines fill the table in order, at most 58; notes 12 to 139 are stored less 12, the
    // others give 0.
    void drumMapSongQueueAndEditorCommandsOutsideTheData()
    {
        QByteArray map = "\tno number\n40\t\nforty\tnot numeric\nno tab at all\n"; // skipped
        const std::pair<const char*, int> notes[] = {{"12", 0},  {"5", 0},     {"139", 127},
                                                     {"140", 0}, {" 50 ", 38}, {"1e300", 0}};
        for (const auto& [note, stored] : notes)
            map += QByteArray(note) + "\tNote " + QByteArray::number(stored) + "\r\n";
        for (int n = 6; n < 60; ++n)
            map += QByteArray::number(30 + n) + "\tDrum " + QByteArray::number(n) + "\n";
        QVERIFY(putFile(at("map.drm"), map));
        DrumData drums;
        QCOMPARE(importDrumMap(at("map.drm"), drums), QString());
        for (int i = 0; i < 6; ++i)
        {
            QCOMPARE(drums.drumNames[i], QStringLiteral("Note %1").arg(notes[i].second));
            QCOMPARE(int(drums.drumNotes[i]), notes[i].second);
        }
        QCOMPARE(drums.drumNames[57], QStringLiteral("Drum 57"));
        QCOMPARE(int(drums.drumNotes[57]), 75);

        // "1": 4 beats of 50 ms, "2" (damaged): 32 beats of 1 ms; "12a1" plays at 0, 200 and 232,
        // and characters without a pattern (letters, spaces, 0, 9, other digits) take no time.
        drums = DrumData();
        drums.patLastBeat[0] = 3;
        drums.patMsPerBeat[0] = 50;
        drums.drumGrid[0][7][0] = drums.drumGrid[0][7][3] = 100;  // Bass Drum 1, note 35
        drums.drumGrid[0][14][0] = drums.drumGrid[0][14][2] = 80; // Hi-Hat Closed, note 42
        drums.drumGrid[0][7][4] = 100;  // after the last beat: never played
        drums.patLastBeat[1] = 200;     // plays 32 beats, never past the grid
        drums.patMsPerBeat[1] = 0;      // a beat takes at least 1 ms
        drums.drumGrid[1][10][1] = 200; // Snare Drum 1, played at velocity 127
        drums.drumNotes[10] = 127;      // note 139 is played as 127
        const std::vector<Event> one = {
            {0, kBass100}, {0, kHiHat80}, {100, kHiHat80}, {150, kBass100}};
        std::vector<Event> song12a1 = one;
        song12a1.emplace_back(201, kTop127);
        for (const auto& [timeMs, message] : one)
            song12a1.emplace_back(232 + timeMs, message);
        for (const auto& [song, expected] : {std::pair{QStringLiteral("12a1"), song12a1},
                                             {QStringLiteral("a 09\u0662b1"), one},
                                             {QString(), {}}})
        {
            drums.songPattern = song;
            QCOMPARE(queue(drums), expected);
        }

        // The editor's commands on patterns and instruments outside the data change nothing.
        drums = DrumData();
        drums.drumGrid[0][0][0] = 12;
        drums.drumClip[0][0] = 99;
        const DrumData before = drums;
        for (const auto& [p, i, pattern] :
             {std::tuple{-1, 0, -1}, {0, -1, 8}, {8, 0, 8}, {0, 58, -1}})
        {
            cutInstrument(drums, p, i);
            copyInstrument(drums, p, i);
            pasteInstrument(drums, p, i);
            cutPattern(drums, pattern, 100);
            copyPattern(drums, pattern);
            pastePattern(drums, pattern);
        }
        QVERIFY(drums.drumGrid == before.drumGrid);
        QVERIFY(drums.drumClip == before.drumClip);
        QVERIFY(drums.patLastBeat == before.patLastBeat);
    }
};

QTEST_GUILESS_MAIN(DrumFileTest)
#include "DrumFileTest.moc"
