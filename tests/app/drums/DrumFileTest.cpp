// Tests for drum files (".mbt") and drum maps (".drm").
#include "drums/DrumFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo::drums;

namespace
{

void putBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
        QVERIFY(loaded.drumGrid == saved.drumGrid);
        QVERIFY(loaded.patLastBeat == saved.patLastBeat);
        QVERIFY(loaded.patMsPerBeat == saved.patMsPerBeat);
        QCOMPARE(loaded.songPattern, saved.songPattern);
    }

    void savingOverALongerFileLeavesOnlyTheNewOne()
    {
        DrumData drums;
        drums.songPattern = QString(300, u'1');
        QCOMPARE(writeDrumFile(at("over.mbt"), drums), QString());
        drums.songPattern = QStringLiteral("2");
        QCOMPARE(writeDrumFile(at("over.mbt"), drums), QString());
        QCOMPARE(fileBytes(at("over.mbt")).size(), 4 + 16 + 2 + 1 + 14848);
    }

    void mbt2GivesEveryPatternItsBeatLength_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("msPerBeat");
        QTest::newRow("90 ms") << 90 << 90;
        QTest::newRow("above a byte") << 300 << 255;
        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("negative") << -5 << 1;
    }
    void mbt2GivesEveryPatternItsBeatLength()
    {
        QFETCH(int, stored);
        QFETCH(int, msPerBeat);
        putBytes(at("old2.mbt"), QByteArray("mbt2") + le16(int16_t(stored)) + le16(2) +
                                     QByteArray("12") + QByteArray("\x05\x06", 2));
        DrumData drums;
        drums.patLastBeat.fill(7);
        QCOMPARE(readDrumFile(at("old2.mbt"), drums), QString());
        for (int p = 0; p < kPatterns; ++p)
        {
            QCOMPARE(int(drums.patMsPerBeat[p]), msPerBeat);
            QCOMPARE(int(drums.patLastBeat[p]), 31);
        }
        QCOMPARE(drums.songPattern, QStringLiteral("12"));
        QCOMPARE(int(drums.drumGrid[0][0][0]), 5);
        QCOMPARE(int(drums.drumGrid[0][0][1]), 6);
    }

    void mbt1KeepsBeatLengths()
    {
        putBytes(at("old1.mbt"),
                 QByteArray("mbt1") + le16(3) + QByteArray("321") + QByteArray(40, '\x09'));
        DrumData drums;
        drums.patMsPerBeat.fill(77);
        drums.patLastBeat.fill(3);
        QCOMPARE(readDrumFile(at("old1.mbt"), drums), QString());
        QCOMPARE(int(drums.patMsPerBeat[4]), 77);
        QCOMPARE(int(drums.patLastBeat[4]), 31);
        QCOMPARE(drums.songPattern, QStringLiteral("321"));
        QCOMPARE(int(drums.drumGrid[0][1][7]), 9); // byte 39 of the grid
        QCOMPARE(int(drums.drumGrid[0][1][8]), 0);
    }

    void unknownVersionIsABareGrid()
    {
        putBytes(at("bare.mbt"), QByteArray("xyzw") + QByteArray("\x01\x02\x03", 3));
        DrumData drums;
        drums.songPattern = QStringLiteral("88");
        drums.drumGrid[0][0][3] = 44;
        QCOMPARE(readDrumFile(at("bare.mbt"), drums), QString());
        QCOMPARE(int(drums.drumGrid[0][0][0]), 1);
        QCOMPARE(int(drums.drumGrid[0][0][2]), 3);
        QCOMPARE(int(drums.drumGrid[0][0][3]), 44); // past the end of the file: kept
        QCOMPARE(drums.songPattern, QStringLiteral("88"));
    }

    void outOfRangeValuesAreBroughtIntoRange()
    {
        QByteArray patterns;
        for (int p = 0; p < kPatterns; ++p)
            patterns += QByteArray("\x28\x00", 2); // last beat 40, beat length 0
        putBytes(at("wild.mbt"), QByteArray("mbt3") + patterns + le16(0) + QByteArray("\xc8", 1));
        DrumData drums;
        QCOMPARE(readDrumFile(at("wild.mbt"), drums), QString());
        QCOMPARE(int(drums.patLastBeat[0]), 31);
        QCOMPARE(int(drums.patMsPerBeat[0]), 1);
        QCOMPARE(int(drums.drumGrid[0][0][0]), 127); // 200 is no MIDI velocity
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
        putBytes(at("bad.mbt"), bytes);
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

    void missingFileIsRefused()
    {
        DrumData drums;
        QVERIFY(readDrumFile(at("none.mbt"), drums)
                    .startsWith(QStringLiteral("Unable to read the drum file ")));
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

    void writeToAMissingFolderIsReported()
    {
        QVERIFY(writeDrumFile(at("no-folder/a.mbt"), DrumData())
                    .startsWith(QStringLiteral("Unable to save the drum file ")));
    }

    void drumMapReplacesTheInstrumentTable()
    {
        QByteArray map;
        for (int n = 0; n < 10; ++n)
            map += QByteArray::number(36 + n) + "\tDrum " + QByteArray::number(n) + "\r\n";
        map += "\tno number\n"        // TAB first: skipped
               "40\t\n"               // TAB last: skipped
               "forty\tnot numeric\n" // skipped
               "no tab at all\n";
        putBytes(at("ten.drm"), map);
        DrumData drums;
        QCOMPARE(importDrumMap(at("ten.drm"), drums), QString());
        QCOMPARE(drums.drumNames[0], QStringLiteral("Drum 0"));
        QCOMPARE(int(drums.drumNotes[0]), 24);
        QCOMPARE(drums.drumNames[9], QStringLiteral("Drum 9"));
        QCOMPARE(int(drums.drumNotes[9]), 33);
        for (int i = 10; i < kInstruments; ++i)
        {
            QCOMPARE(drums.drumNames[i], QStringLiteral("Not Used"));
            QCOMPARE(int(drums.drumNotes[i]), 0);
        }
    }

    void drumMapNotesOutsideTheRangeGiveZero_data()
    {
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<int>("stored");
        QTest::newRow("12 is note 0") << QByteArray("12") << 0;
        QTest::newRow("below 12") << QByteArray("5") << 0;
        QTest::newRow("139 is the highest") << QByteArray("139") << 127;
        QTest::newRow("above 139") << QByteArray("140") << 0;
        QTest::newRow("spaces around") << QByteArray(" 50 ") << 38;
        QTest::newRow("huge") << QByteArray("1e300") << 0;
    }
    void drumMapNotesOutsideTheRangeGiveZero()
    {
        QFETCH(QByteArray, number);
        QFETCH(int, stored);
        putBytes(at("one.drm"), number + "\tOnly\n");
        DrumData drums;
        QCOMPARE(importDrumMap(at("one.drm"), drums), QString());
        QCOMPARE(drums.drumNames[0], QStringLiteral("Only"));
        QCOMPARE(int(drums.drumNotes[0]), stored);
        QCOMPARE(drums.drumNames[1], QStringLiteral("Not Used"));
    }

    void drumMapKeepsOnly58Instruments()
    {
        QByteArray map;
        for (int n = 0; n < 60; ++n)
            map += "40\tI" + QByteArray::number(n) + "\n";
        putBytes(at("many.drm"), map);
        DrumData drums;
        QCOMPARE(importDrumMap(at("many.drm"), drums), QString());
        QCOMPARE(drums.drumNames[57], QStringLiteral("I57"));
    }

    void missingDrumMapChangesNothing()
    {
        DrumData drums;
        QVERIFY(!importDrumMap(at("none.drm"), drums).isEmpty());
        QCOMPARE(drums.drumNames[0], QStringLiteral("Hi Q"));
    }
};

QTEST_GUILESS_MAIN(DrumFileTest)
#include "DrumFileTest.moc"
