// Tests for the drum editor's cut, copy and paste on the drum data.
#include "drums/DrumEdit.h"

#include <QTest>

#include <utility>

using namespace vumo::drums;

class DrumEditTest : public QObject
{
    Q_OBJECT

private slots:
    void cutCopyAndPasteOneInstrument()
    {
        DrumData drums;
        drums.drumGrid[1][4][0] = 90;
        drums.drumGrid[1][4][31] = 10;
        cutInstrument(drums, 1, 4);
        QVERIFY(drums.drumGrid[1][4] == BeatRow{});
        pasteInstrument(drums, 6, 57);
        QCOMPARE(int(drums.drumGrid[6][57][0]), 90);
        QCOMPARE(int(drums.drumGrid[6][57][31]), 10);
        // Copy keeps the source.
        copyInstrument(drums, 6, 57);
        pasteInstrument(drums, 0, 3);
        QCOMPARE(int(drums.drumGrid[6][57][31]), 10);
        QVERIFY(drums.drumGrid[0][3] == drums.drumGrid[6][57]);
        // A single-instrument copy pasted as a pattern lands on instrument 0.
        pastePattern(drums, 2);
        QCOMPARE(int(drums.drumGrid[2][0][0]), 90);
    }

    void cutPatternResetsItAndPastePatternRestoresIt()
    {
        DrumData drums;
        drums.drumGrid[3][9][7] = 70;
        drums.patLastBeat[3] = 11;
        drums.patMsPerBeat[3] = 45;
        cutPattern(drums, 3, 300);
        QVERIFY(drums.drumGrid[3] == PatternGrid{});
        QCOMPARE(int(drums.patLastBeat[3]), 31);
        QCOMPARE(int(drums.patMsPerBeat[3]), 255);
        pastePattern(drums, 5);
        QCOMPARE(int(drums.drumGrid[5][9][7]), 70);
        QCOMPARE(int(drums.patLastBeat[5]), 11);
        QCOMPARE(int(drums.patMsPerBeat[5]), 45);
    }

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

QTEST_GUILESS_MAIN(DrumEditTest)
#include "DrumEditTest.moc"
