// Tests for drum files (".mbt") and drum maps (".drm").
#include "drums/DrumFile.h"
#include "../support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <utility>

using namespace vumo::drums;
using namespace vumo::test;

namespace
{

QByteArray le16(int16_t v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF));
}

// Every cell different enough that a swapped index shows: (p * 7 + i * 3 + b) mod 128.
void fillGrid(DrumData& drums)
{
    for (int p = 0; p < kPatterns; ++p)
        for (int i = 0; i < kInstruments; ++i)
            for (int b = 0; b < kBeats; ++b)
                drums.drumGrid[p][i][b] = uint8_t((p * 7 + i * 3 + b) % 128);
}

} // namespace

class DrumFileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString at(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void mbt3RoundTripKeepsPatternsAndSong()
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

        const QByteArray bytes = fileBytes(at("song.mbt"));
        QCOMPARE(bytes.size(), 4 + 16 + 2 + 7 + 14848);
        QCOMPARE(bytes.left(4), QByteArray("mbt3"));
        QCOMPARE(bytes.mid(4, 4), QByteArray("\x1f\x3c\x1d\x46")); // 31, 60, 29, 70
        QCOMPARE(bytes.mid(20, 9), le16(7) + QByteArray("1122 8a"));
        // Byte k of the grid is pattern k / 1856, instrument (k / 32) mod 58, beat k mod 32.
        const int k = 2 * 1856 + 5 * 32 + 9;
        QCOMPARE(int(uint8_t(bytes[29 + k])), (2 * 7 + 5 * 3 + 9) % 128);

        DrumData loaded;
        QCOMPARE(readDrumFile(at("song.mbt"), loaded), QString());
        QVERIFY(loaded.drumGrid == saved.drumGrid && loaded.patLastBeat == saved.patLastBeat &&
                loaded.patMsPerBeat == saved.patMsPerBeat);
        QCOMPARE(loaded.songPattern, saved.songPattern);

        // A shorter song saved over it leaves only the new file.
        saved.songPattern = QStringLiteral("2");
        QCOMPARE(writeDrumFile(at("song.mbt"), saved), QString());
        QCOMPARE(fileBytes(at("song.mbt")).size(), 4 + 16 + 2 + 1 + 14848);
    }

    void olderVersionsAndWildValuesRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("song");
        QTest::addColumn<int>("msPerBeat");    // of every pattern
        QTest::addColumn<QByteArray>("cells"); // the first four of pattern 1, instrument 0
        const QByteArray mbt2 = "mbt2";
        const QByteArray song12 = le16(2) + "12\x05\x06";
        QTest::newRow("mbt2: one beat length")
            << mbt2 + le16(90) + song12 << "12" << 90 << QByteArray("\x05\x06\x2c\x2c");
        QTest::newRow("mbt2: above a byte")
            << mbt2 + le16(300) + song12 << "12" << 255 << QByteArray("\x05\x06\x2c\x2c");
        QTest::newRow("mbt2: negative")
            << mbt2 + le16(-5) + song12 << "12" << 1 << QByteArray("\x05\x06\x2c\x2c");
        QTest::newRow("mbt1 keeps beat lengths") << "mbt1" + le16(3) + "321\x09"
                                                 << "321" << 77 << QByteArray("\x09\x2c\x2c\x2c");
        // A grid cut short keeps the cells past the end of the file.
        QTest::newRow("unknown version: a bare grid")
            << QByteArray("xyzw\x01\x02\x03") << "88" << 77 << QByteArray("\x01\x02\x03\x2c");
        // Last beat 40, beat length 0 and velocity 200 are brought into range.
        QTest::newRow("mbt3 wild values")
            << "mbt3" + QByteArray("\x28\x00", 2).repeated(8) + le16(0) + "\xc8"
            << "" << 1 << QByteArray("\x7f\x2c\x2c\x2c");
    }
    void olderVersionsAndWildValuesRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, song);
        QFETCH(int, msPerBeat);
        QFETCH(QByteArray, cells);
        QVERIFY(putFile(at("old.mbt"), bytes));
        DrumData drums;
        drums.songPattern = QStringLiteral("88");
        drums.patMsPerBeat.fill(77);
        drums.patLastBeat.fill(3);
        drums.drumGrid[0][0].fill(44);
        QCOMPARE(readDrumFile(at("old.mbt"), drums), QString());
        QCOMPARE(drums.songPattern, song);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(drums.drumGrid[0][0].data()), 4), cells);
        for (int p = 0; p < kPatterns; ++p)
        {
            QCOMPARE(int(drums.patMsPerBeat[p]), msPerBeat);
            QCOMPARE(int(drums.patLastBeat[p]), 31); // older versions hold none; mbt3's 40 is cut
        }
    }

    void malformedFileIsRefusedAndChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray patterns(16, '\x1f');
        const QString cut = QStringLiteral("ends inside its header or song");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("4-byte version mark");
        QTest::newRow("three bytes") << QByteArray("mbt") << QStringLiteral("4-byte version mark");
        QTest::newRow("mbt3 patterns cut") << QByteArray("mbt3") + patterns.left(9) << cut;
        QTest::newRow("mbt3 without song length") << QByteArray("mbt3") + patterns << cut;
        QTest::newRow("mbt3 song cut")
            << QByteArray("mbt3") + patterns + le16(10) + QByteArray("123") << cut;
        QTest::newRow("mbt3 negative song length")
            << QByteArray("mbt3") + patterns + le16(-1) + QByteArray(100, '\0') << cut;
        QTest::newRow("mbt2 beat length cut") << QByteArray("mbt2\x64", 5) << cut;
        QTest::newRow("mbt1 without song length") << QByteArray("mbt1\x01", 5) << cut;
    }
    void malformedFileIsRefusedAndChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QVERIFY(putFile(at("bad.mbt"), bytes));
        DrumData drums;
        fillGrid(drums);
        drums.songPattern = QStringLiteral("1234");
        drums.patLastBeat.fill(5);
        const DrumData before = drums;
        const QString error = readDrumFile(at("bad.mbt"), drums);
        QVERIFY(error.startsWith(QStringLiteral("Unable to read the drum file ") + at("bad.mbt")));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(drums.drumGrid == before.drumGrid);
        QCOMPARE(drums.songPattern, before.songPattern);
        QVERIFY(drums.patLastBeat == before.patLastBeat);
    }

    void songTooLongForItsCountIsNotWritten()
    {
        DrumData drums;
        drums.songPattern = QString(32768, u'1');
        const QString error = writeDrumFile(at("long.mbt"), drums);
        QVERIFY2(error.contains(QStringLiteral("32768 characters, at most 32767")),
                 qPrintable(error));
        QVERIFY(!QFile::exists(at("long.mbt")));
        drums.songPattern.chop(1);
        QCOMPARE(writeDrumFile(at("long.mbt"), drums), QString());
        DrumData loaded;
        QCOMPARE(readDrumFile(at("long.mbt"), loaded), QString());
        QCOMPARE(loaded.songPattern.size(), 32767);
    }

    // Usable lines fill the table in order, at most 58; notes 12 to 139 are stored less 12, the
    // others give 0. A map that cannot be read leaves the table.
    void drumMapReplacesTheInstrumentTable()
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
        QVERIFY(!importDrumMap(at("none.drm"), drums).isEmpty());
        QCOMPARE(drums.drumNames[57], QStringLiteral("Drum 57"));
    }
};

QTEST_GUILESS_MAIN(DrumFileTest)
#include "DrumFileTest.moc"
