// The drum editor window over the drum data and a stand-in engine: its bars, Edit and File
// menus, its load and unload, and the Play loop.
#include "drums/DrumEngine.h"
#include "drums/frmDrums.h"
#include "support/ScriptedUiServices.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vumo;
using namespace vumo::drums;

namespace
{

constexpr int32_t kTempo = 120;

// Records the calls; plays until StopMidi, or until the number of polls runs out.
struct FakeEngine : DrumEngine
{
    int32_t openResult = 0;
    QStringList calls;
    QList<std::pair<int32_t, int32_t>> queued;
    int playingPolls = 0; // MidiPlaying answers 1 this many times after PlayMidi

    int32_t OpenMidiPlay(int32_t words) override
    {
        calls << QStringLiteral("OpenMidiPlay %1").arg(words);
        return openResult;
    }
    int32_t AddMidi(int32_t t, int32_t m) override
    {
        queued.append({t, m});
        return int32_t(2 * queued.size());
    }
    int32_t PlayMidi() override
    {
        calls << QStringLiteral("PlayMidi");
        return int32_t(2 * queued.size());
    }
    int32_t MidiPlaying() override { return playingPolls-- > 0 ? 1 : 0; }
    int32_t GetMidiTimer() override { return 0; }
    int32_t StopMidi() override
    {
        calls << QStringLiteral("StopMidi");
        playingPolls = 0;
        return 0;
    }
    int32_t CloseMidiPlay() override
    {
        calls << QStringLiteral("CloseMidiPlay");
        return 0;
    }
    int32_t CmdMidi(int32_t, int32_t, int32_t) override { return 0; }
};

struct Editor
{
    DrumData drums;
    FakeEngine engine;
    ScriptedUiServices ui;
    std::unique_ptr<frmDrums> w;

    Editor() { open(); }
    void open()
    {
        w = std::make_unique<frmDrums>(drums, engine, ui, kTempo, 4096);
        w->show();
    }

    template <class T> T* child(const QString& name) { return w->findChild<T*>(name); }
    QScrollBar* beat(int b) { return child<QScrollBar>(QStringLiteral("vscV%1").arg(b)); }
    void select(int p, int i)
    {
        child<QComboBox>(QStringLiteral("cboPattern"))->setCurrentIndex(p);
        child<QListWidget>(QStringLiteral("lstInstr"))->setCurrentRow(i);
    }
    void run(const char* action) { child<QAction>(QString::fromLatin1(action))->trigger(); }
};

BeatRow ramp(uint8_t from)
{
    BeatRow row{};
    for (int b = 0; b < kBeats; ++b)
        row[b] = uint8_t(from + b);
    return row;
}

} // namespace

class DrumEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void loadPreparesTheDataAndOpensTheOutput()
    {
        Editor e;
        QCOMPARE(e.drums.songPattern, QStringLiteral("1111"));
        QCOMPARE(e.drums.patMsPerBeat[7], uint8_t(kTempo));
        QCOMPARE(e.engine.calls, QStringList{QStringLiteral("OpenMidiPlay 4096")});
        QCOMPARE(e.child<QListWidget>(QStringLiteral("lstInstr"))->count(), kInstruments);
        e.w->close();
        e.w->close();
        QCOMPARE(e.engine.calls.mid(1),
                 QStringList({QStringLiteral("StopMidi"), QStringLiteral("CloseMidiPlay")}));

        // A second opening keeps the song and shows it; a failed output is reported.
        e.drums.songPattern = QStringLiteral("1212");
        e.engine.openResult = 2;
        e.open();
        QCOMPARE(e.child<QLineEdit>(QStringLiteral("txtSongPat"))->text(), QStringLiteral("1212"));
        QCOMPARE(e.ui.messages(),
                 QStringList{QStringLiteral("Error: 2 Unable to open the midimapper.")});
    }

    void barsAreAViewOverTheGrid()
    {
        Editor e;
        e.select(2, 5);
        e.beat(0)->setValue(0); // the top: loudest
        e.beat(3)->setValue(27);
        QCOMPARE(e.drums.drumGrid[2][5][0], uint8_t(127));
        QCOMPARE(e.drums.drumGrid[2][5][3], uint8_t(100));
        QCOMPARE(e.drums.drumGrid[2][5][1], uint8_t(0));
        QCOMPARE(e.drums.drumGrid[2][4][0], uint8_t(0));

        e.drums.drumGrid[6][1][31] = 40;
        e.drums.patLastBeat[6] = 15;
        e.drums.patMsPerBeat[6] = 77;
        e.select(6, 1);
        QCOMPARE(e.beat(31)->value(), 87);
        QVERIFY(e.beat(15)->isEnabled());
        QVERIFY(!e.beat(16)->isEnabled());
        QCOMPARE(e.child<QLabel>(QStringLiteral("lblTempo"))->text(), QStringLiteral("77"));

        e.child<QScrollBar>(QStringLiteral("hscBeats"))->setValue(20);
        e.child<QScrollBar>(QStringLiteral("hscMsPerBeat"))->setValue(200);
        QCOMPARE(e.drums.patLastBeat[6], uint8_t(20));
        QCOMPARE(e.drums.patMsPerBeat[6], uint8_t(200));
        QVERIFY(e.beat(20)->isEnabled());
        e.child<QLineEdit>(QStringLiteral("txtSongPat"))->setText(QStringLiteral("1a92"));
        QCOMPARE(e.drums.songPattern, QStringLiteral("1a92"));
    }

    // Pattern 1 instrument 3 holds a ramp from 10, pattern 1 instrument 4 a ramp from 50; the
    // commands run with pattern 1 and instrument 3 selected, then the result is read at
    // (pattern, instrument) after moving the selection there and pasting.
    void editMenu_data()
    {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<int>("pastePattern");
        QTest::addColumn<int>("pasteInstrument");
        QTest::addColumn<int>("sourceFirst"); // first beat left at pattern 1 instrument 3
        QTest::addColumn<int>("pastedFirst"); // first beat at the paste place, -1: untouched
        QTest::addColumn<int>("pastedRow4");  // first beat of instrument 4 at the paste pattern
        const QString cut = "mnuEditCut", copy = "mnuEditCopy", paste = "mnuEditPaste";
        const QString cutAll = "mnuEditCutAll", copyAll = "mnuEditCopyAll",
                      pasteAll = "mnuEditPasteAll";
        QTest::newRow("Cut, Paste") << QStringList{cut, paste} << 0 << 7 << 0 << 10 << 0;
        QTest::newRow("Copy, Paste") << QStringList{copy, paste} << 0 << 7 << 10 << 10 << 0;
        QTest::newRow("Cut All, Paste All")
            << QStringList{cutAll, pasteAll} << 5 << 3 << 0 << 10 << 50;
        QTest::newRow("Copy All, Paste All")
            << QStringList{copyAll, pasteAll} << 5 << 3 << 10 << 10 << 50;
        QTest::newRow("Copy, Paste All: the beats land on instrument 0")
            << QStringList{copy, pasteAll} << 5 << 0 << 10 << 10 << 0;
    }
    void editMenu()
    {
        QFETCH(QStringList, commands);
        QFETCH(int, pastePattern);
        QFETCH(int, pasteInstrument);
        QFETCH(int, sourceFirst);
        QFETCH(int, pastedFirst);
        QFETCH(int, pastedRow4);
        Editor e;
        e.drums.drumGrid[1][3] = ramp(10);
        e.drums.drumGrid[1][4] = ramp(50);
        e.drums.patLastBeat[1] = 9;
        e.drums.patMsPerBeat[1] = 33;
        e.select(1, 3);
        e.run(qPrintable(commands[0]));
        QCOMPARE(e.drums.drumGrid[1][3][0], uint8_t(sourceFirst));
        QCOMPARE(e.beat(0)->value(), 127 - sourceFirst); // the bars follow at once
        e.select(pastePattern, pasteInstrument);
        e.run(qPrintable(commands[1]));
        QCOMPARE(e.drums.drumGrid[pastePattern][pasteInstrument][31], uint8_t(pastedFirst + 31));
        QCOMPARE(e.drums.drumGrid[pastePattern][4][0], uint8_t(pastedRow4));
        QCOMPARE(e.beat(1)->value(), 127 - (pastedFirst + 1));
        if (commands[1] == "mnuEditPasteAll" && commands[0] != "mnuEditCopy")
        {
            QCOMPARE(e.drums.patLastBeat[pastePattern], uint8_t(9));
            QCOMPARE(e.drums.patMsPerBeat[pastePattern], uint8_t(33));
        }
    }

    void newKeepsSongAndInstruments()
    {
        Editor e;
        e.drums.drumGrid[3][0][0] = 99;
        e.drums.drumNames[0] = QStringLiteral("Kick");
        e.drums.patMsPerBeat[3] = 5;
        e.child<QLineEdit>(QStringLiteral("txtSongPat"))->setText(QStringLiteral("3"));
        e.run("mnuFileNew");
        QCOMPARE(e.drums.drumGrid[3][0][0], uint8_t(0));
        QCOMPARE(e.drums.patMsPerBeat[3], uint8_t(kTempo));
        QCOMPARE(e.drums.songPattern, QStringLiteral("3"));
        QCOMPARE(e.drums.drumNames[0], QStringLiteral("Kick"));
        QCOMPARE(e.drums.drumFileName, QStringLiteral("untitled.mbt"));
    }

    void fileMenuSavesOpensAndImports()
    {
        QTemporaryDir dir;
        const QString mbt = dir.filePath(QStringLiteral("groove.mbt"));
        Editor e;
        e.select(4, 9);
        e.beat(7)->setValue(0);
        e.child<QScrollBar>(QStringLiteral("hscBeats"))->setValue(11);
        e.child<QScrollBar>(QStringLiteral("hscMsPerBeat"))->setValue(250);
        e.child<QLineEdit>(QStringLiteral("txtSongPat"))->setText(QStringLiteral("55x1"));
        e.ui.files = {mbt};
        e.run("mnuFileSaveAs");
        QCOMPARE(e.drums.drumFileName, mbt);

        const DrumData saved = e.drums;
        e.run("mnuFileNew");
        e.child<QLineEdit>(QStringLiteral("txtSongPat"))->setText(QStringLiteral("1"));
        e.ui.files = {mbt};
        e.run("mnuFileOpen");
        QCOMPARE(e.drums.drumGrid, saved.drumGrid);
        QCOMPARE(e.drums.patLastBeat, saved.patLastBeat);
        QCOMPARE(e.drums.patMsPerBeat, saved.patMsPerBeat);
        QCOMPARE(e.child<QLineEdit>(QStringLiteral("txtSongPat"))->text(), QStringLiteral("55x1"));
        QCOMPARE(e.beat(7)->value(), 0);

        // An "mbt2" file: one beat length for all patterns, 32 beats each.
        const QString old = dir.filePath(QStringLiteral("old.MBT"));
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("mbt2\x2c\x01\x02\x00"
                           "12",
                           10)); // 300 ms: clamped to 255
        f.write(QByteArray(3, '\x05'));
        f.close();
        e.ui.files = {old};
        e.run("mnuFileOpen");
        QCOMPARE(e.drums.patMsPerBeat[6], uint8_t(255));
        QCOMPARE(e.drums.patLastBeat[4], uint8_t(31));
        QCOMPARE(e.drums.songPattern, QStringLiteral("12"));
        QCOMPARE(e.drums.drumGrid[0][0][2], uint8_t(5));
        QCOMPARE(e.drums.drumGrid[0][0][3], saved.drumGrid[0][0][3]);
        QCOMPARE(e.ui.messages().size(), 1); // the grid ends after 3 cells
        QVERIFY(e.ui.messages()[0].contains(QStringLiteral("3 of its 14848")));

        // A drum map of ten usable lines among others.
        const QString map = dir.filePath(QStringLiteral("kit.drm"));
        QFile m(map);
        QVERIFY(m.open(QIODevice::WriteOnly));
        m.write("no tab here\n\tLeading\n");
        for (int k = 0; k < 10; ++k)
            m.write(QByteArray::number(36 + k) + "\tPad " + QByteArray::number(k) + "\n");
        m.close();
        e.ui.files = {map};
        e.run("mnuFileOpen");
        const auto* list = e.child<QListWidget>(QStringLiteral("lstInstr"));
        QCOMPARE(list->item(9)->text(), QStringLiteral("Pad 9"));
        QCOMPARE(e.drums.drumNotes[9], uint8_t(33));
        QCOMPARE(list->item(10)->text(), QStringLiteral("Not Used"));
        QCOMPARE(list->item(57)->text(), QStringLiteral("Not Used"));
        QCOMPARE(e.drums.drumFileName, old);
        QCOMPARE(e.ui.messages().size(), 1);
    }

    void fileFaultsAreReported_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("file");
        QTest::newRow("save into a missing folder") << "mnuFileSaveAs"
                                                    << "nofolder/a.mbt";
        QTest::newRow("open a missing file") << "mnuFileOpen"
                                             << "missing.mbt";
        QTest::newRow("open a file cut in its song") << "mnuFileOpen"
                                                     << "cut.mbt";
        QTest::newRow("import a missing map") << "mnuFileOpen"
                                              << "missing.drm";
    }
    void fileFaultsAreReported()
    {
        QFETCH(QString, action);
        QFETCH(QString, file);
        QTemporaryDir dir;
        QFile cut(dir.filePath(QStringLiteral("cut.mbt")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(QByteArray("mbt1\x09\x00"
                             "12",
                             8));
        cut.close();
        Editor e;
        e.drums.drumGrid[0][0][0] = 1;
        e.ui.files = {dir.filePath(file)};
        e.run(qPrintable(action));
        QCOMPARE(e.ui.messages().size(), 1);
        QVERIFY2(e.ui.messages()[0].contains(dir.filePath(file)), qPrintable(e.ui.messages()[0]));
        QCOMPARE(e.drums.drumGrid[0][0][0], uint8_t(1));
        QCOMPARE(e.drums.songPattern, QStringLiteral("1111"));
    }

    // Play queues the song, says so, and waits until the engine has played it out or Stop is
    // pressed; the Control menu runs the same commands.
    void playAndStop_data()
    {
        QTest::addColumn<QString>("play");
        QTest::addColumn<QString>("stop");
        QTest::newRow("button, played out") << "CmdPlay"
                                            << "";
        QTest::newRow("menu, stopped by the menu") << "mnuControlPlay"
                                                   << "mnuControlStop";
        QTest::newRow("button, window closed") << "CmdPlay"
                                               << "close";
    }
    void playAndStop()
    {
        QFETCH(QString, play);
        QFETCH(QString, stop);
        const bool pressStop = !stop.isEmpty();
        Editor e;
        e.drums.drumGrid[0][7][1] = 90;
        e.engine.playingPolls = pressStop ? 1000000 : 5;
        auto* cmdPlay = e.child<QPushButton>(QStringLiteral("CmdPlay"));
        auto* cmdStop = e.child<QPushButton>(QStringLiteral("CmdStop"));
        bool stopWasEnabled = false;
        QTimer::singleShot(30, e.w.get(),
                           [&]
                           {
                               stopWasEnabled = cmdStop->isEnabled() && !cmdPlay->isEnabled();
                               if (stop == QStringLiteral("close"))
                                   e.w->close();
                               else if (pressStop)
                                   e.run("mnuControlStop");
                           });
        if (play == "CmdPlay")
            cmdPlay->click();
        else
            e.run("mnuControlPlay");
        QVERIFY(stopWasEnabled);
        QCOMPARE(e.ui.messages(), QStringList{QStringLiteral("Drums are queued.")});
        QCOMPARE(e.engine.queued.size(), 4); // one note in each of the four repetitions
        QCOMPARE(e.engine.queued[2].first, 2 * 32 * kTempo + kTempo);
        QCOMPARE(e.engine.calls.mid(1, 2),
                 QStringList({QStringLiteral("PlayMidi"), QStringLiteral("StopMidi")}));
        // A closed window has released the output and calls the engine no more.
        if (stop == QStringLiteral("close"))
            QCOMPARE(e.engine.calls.mid(3), QStringList{QStringLiteral("CloseMidiPlay")});
        QVERIFY(cmdPlay->isEnabled());
        QVERIFY(!cmdStop->isEnabled());
    }
};

QTEST_MAIN(DrumEditorTest)
#include "DrumEditorTest.moc"
