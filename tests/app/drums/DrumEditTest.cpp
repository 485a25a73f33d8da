// Tests for the drum editor's cut, copy and paste on the drum data.
#include "drums/DrumEdit.h"

#include <QTest>

using namespace vumo::drums;

class DrumEditTest : public QObject
{
    Q_OBJECT

private slots:
    void cutAndPasteMoveOneInstrument()
    {
        DrumData drums;
        drums.drumGrid[1][4][0] = 90;
        drums.drumGrid[1][4][31] = 10;
        cutInstrument(drums, 1, 4);
        QCOMPARE(int(drums.drumGrid[1][4][0]), 0);
        QCOMPARE(int(drums.drumGrid[1][4][31]), 0);
        pasteInstrument(drums, 6, 57);
        QCOMPARE(int(drums.drumGrid[6][57][0]), 90);
        QCOMPARE(int(drums.drumGrid[6][57][31]), 10);
    }

    void copyKeepsTheSource()
    {
        DrumData drums;
        drums.drumGrid[0][2][5] = 33;
        copyInstrument(drums, 0, 2);
        pasteInstrument(drums, 0, 3);
        QCOMPARE(int(drums.drumGrid[0][2][5]), 33);
        QCOMPARE(int(drums.drumGrid[0][3][5]), 33);
    }

    void cutAllResetsThePatternAndPasteAllRestoresIt()
    {
        DrumData drums;
        drums.drumGrid[3][9][7] = 70;
        drums.patLastBeat[3] = 11;
        drums.patMsPerBeat[3] = 45;
        cutPattern(drums, 3, 300);
        QCOMPARE(int(drums.drumGrid[3][9][7]), 0);
        QCOMPARE(int(drums.patLastBeat[3]), 31);
        QCOMPARE(int(drums.patMsPerBeat[3]), 255);
        pastePattern(drums, 5);
        QCOMPARE(int(drums.drumGrid[5][9][7]), 70);
        QCOMPARE(int(drums.patLastBeat[5]), 11);
        QCOMPARE(int(drums.patMsPerBeat[5]), 45);
    }

    void singleCopyThenPasteAllFillsInstrumentZero()
    {
        DrumData drums;
        drums.drumGrid[0][20][1] = 50;
        copyInstrument(drums, 0, 20);
        pastePattern(drums, 2);
        QCOMPARE(int(drums.drumGrid[2][0][1]), 50);
    }

    void instrumentCommandsNeedPatternAndInstrument_data()
    {
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("i");
        QTest::newRow("no pattern") << -1 << 0;
        QTest::newRow("no instrument") << 0 << -1;
        QTest::newRow("pattern 8") << 8 << 0;
        QTest::newRow("instrument 58") << 0 << 58;
    }
    void instrumentCommandsNeedPatternAndInstrument()
    {
        QFETCH(int, p);
        QFETCH(int, i);
        DrumData drums;
        drums.drumGrid[0][0][0] = 12;
        drums.drumClip[0][0] = 99;
        const DrumData before = drums;
        cutInstrument(drums, p, i);
        pasteInstrument(drums, p, i);
        QVERIFY(drums.drumGrid == before.drumGrid);
        QVERIFY(drums.drumClip == before.drumClip);
    }

    void patternCommandsNeedAPattern()
    {
        DrumData drums;
        drums.drumGrid[0][0][0] = 12;
        drums.drumClip[0][0] = 99;
        const DrumData before = drums;
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

QTEST_GUILESS_MAIN(DrumEditTest)
#include "DrumEditTest.moc"
