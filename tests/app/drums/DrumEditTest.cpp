// The drum editor's cut, copy and paste on the drum data: a selection outside the data changes
// nothing (the editor's window test runs the commands themselves).
#include "drums/DrumEdit.h"

#include <QTest>

#include <utility>

using namespace vumo::drums;

class DrumEditTest : public QObject
{
    Q_OBJECT

private slots:
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
