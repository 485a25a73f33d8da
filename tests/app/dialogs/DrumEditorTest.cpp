// The drum editor window over the drum data and the stand-in engine (through the studio's
// adapter): its bars, Edit and File menus, its load and unload, and the Play loop.
#include "dialogs/frmDrums.h"
#include "drums/DrumEngine.h"
#include "support/FakeEngine.h"
#include "support/ScriptedUiServices.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <utility>

using namespace vumo;
using namespace vumo::drums;
using namespace vumo::test;

namespace
{

constexpr int32_t kTempo = 120;

struct Editor
{
    DrumData drums;
    FakeEngine engine;
    DrumEngineOver<EngineBinding> adapter{engine};
    ScriptedUiServices ui;
    std::unique_ptr<frmDrums> w;
    int playingPolls = 0; // MidiPlaying answers 1 this many times, or until StopMidi

    Editor()
    {
        engine.answer = [this](const QString& name, const QString&)
        {
            if (name == QStringLiteral("StopMidi"))
                playingPolls = 0;
            if (name == QStringLiteral("MidiPlaying"))
                return playingPolls-- > 0 ? 1 : 0;
            return engine.results.value(name, 0);
        };
        open();
    }
    void open()
    {
        w = std::make_unique<frmDrums>(drums, adapter, ui, kTempo, 4096);
        w->show();
    }
    template <class T> T* child(const QString& name) { return w->findChild<T*>(name); }
    QScrollBar* beat(int b) { return child<QScrollBar>(QStringLiteral("vscV%1").arg(b)); }
    QLineEdit* song() { return child<QLineEdit>(QStringLiteral("txtSongPat")); }
    void select(int p, int i)
    {
        child<QComboBox>(QStringLiteral("cboPattern"))->setCurrentIndex(p);
        child<QListWidget>(QStringLiteral("lstInstr"))->setCurrentRow(i);
    }
    void run(const QString& action) { child<QAction>(action)->trigger(); }
    void openFile(const QString& path)
    {
        ui.files = {path};
        run(QStringLiteral("mnuFileOpen"));
    }
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
        QCOMPARE(e.engine.calls, QStringList{QStringLiteral("OpenMidiPlay(4096)")});
        e.w->close();
        e.w->close();
        QCOMPARE(e.engine.calls.mid(1), (QStringList{"StopMidi()", "CloseMidiPlay()"}));

        // A second opening keeps the song and shows it; a failed output is reported.
        e.drums.songPattern = QStringLiteral("1212");
        e.engine.results.insert(QStringLiteral("OpenMidiPlay"), 2);
        e.open();
        QCOMPARE(e.song()->text(), QStringLiteral("1212"));
        QCOMPARE(e.ui.messages(), QStringList{"Error: 2 Unable to open the midimapper."});
    }

    // Ramps from 10 (instrument 3, selected) and 50 (instrument 4) in pattern 1, cut or copied and
    // pasted: (commands, paste pattern and instrument, source's first beat, instrument 4's there).
    void editMenu()
    {
        for (const auto& [first, second, pastePattern, pasteInstrument, sourceFirst, pastedRow4] :
             {std::tuple{"mnuEditCut", "mnuEditPaste", 0, 7, 0, 0},
              {"mnuEditCutAll", "mnuEditPasteAll", 5, 3, 0, 50},
              {"mnuEditCopyAll", "mnuEditPasteAll", 5, 3, 10, 50},
              {"mnuEditCopy", "mnuEditPasteAll", 5, 0, 10, 0}})
        {
            Editor e;
            std::tie(e.drums.drumGrid[1][3], e.drums.drumGrid[1][4]) =
                std::pair(ramp(10), ramp(50));
            std::tie(e.drums.patLastBeat[1], e.drums.patMsPerBeat[1]) = std::pair(9, 33);
            e.select(1, 3);
            e.run(QString::fromLatin1(first));
            QCOMPARE(e.drums.drumGrid[1][3][0], uint8_t(sourceFirst));
            QCOMPARE(e.beat(0)->value(), 127 - sourceFirst); // the bars follow at once
            // Cut All leaves a fresh pattern: 32 beats of the studio's tempo.
            const bool cutAll = QByteArray(first) == "mnuEditCutAll";
            QCOMPARE((QList<int>{e.drums.patMsPerBeat[1], e.drums.patLastBeat[1]}),
                     (cutAll ? QList<int>{kTempo, 31} : QList<int>{33, 9}));
            e.select(pastePattern, pasteInstrument);
            e.run(QString::fromLatin1(second));
            QCOMPARE(e.drums.drumGrid[pastePattern][pasteInstrument][31], uint8_t(10 + 31));
            QCOMPARE(e.drums.drumGrid[pastePattern][4][0], uint8_t(pastedRow4));
            QCOMPARE(e.beat(1)->value(), 127 - 11);
            if (QByteArray(second) == "mnuEditPasteAll" && QByteArray(first) != "mnuEditCopy")
                QCOMPARE((QList<int>{e.drums.patLastBeat[pastePattern],
                                     e.drums.patMsPerBeat[pastePattern]}),
                         (QList<int>{9, 33}));
        }
    }

    // The bars are a view over the grid; Save As, New, Open, an old file cut short, bad files.
    void barsAreAViewOverTheGridTheFileMenuSavesOpensAndImports()
    {
        QTemporaryDir dir;
        const QString mbt = dir.filePath(QStringLiteral("groove.mbt"));
        Editor e;
        e.select(2, 5);
        e.beat(0)->setValue(0); // the top: loudest
        e.beat(3)->setValue(27);
        const auto& grid = e.drums.drumGrid;
        QCOMPARE((QList<int>{grid[2][5][0], grid[2][5][3], grid[2][5][1], grid[2][4][0]}),
                 (QList<int>{127, 100, 0, 0}));

        std::tie(e.drums.drumGrid[6][1][31], e.drums.patLastBeat[6], e.drums.patMsPerBeat[6]) =
            std::tuple(40, 15, 77);
        e.select(6, 1);
        QCOMPARE(e.beat(31)->value(), 87);

        e.child<QScrollBar>(QStringLiteral("hscBeats"))->setValue(20);
        e.child<QScrollBar>(QStringLiteral("hscMsPerBeat"))->setValue(200);
        QCOMPARE((QList<int>{e.drums.patLastBeat[6], e.drums.patMsPerBeat[6]}),
                 (QList<int>{20, 200}));
        e.song()->setText(QStringLiteral("1a92"));
        QCOMPARE(e.drums.songPattern, QStringLiteral("1a92"));
        e.drums.drumNames[0] = QStringLiteral("Kick");
        e.ui.files = {mbt};
        e.run(QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(e.drums.drumFileName, mbt);

        // New clears the patterns, keeps the song and the instruments.
        const DrumData saved = e.drums;
        e.run(QStringLiteral("mnuFileNew"));
        QCOMPARE((QList<int>{e.drums.drumGrid[2][5][0], e.drums.patMsPerBeat[6]}),
                 (QList<int>{0, kTempo}));
        QCOMPARE(e.drums.songPattern, QStringLiteral("1a92"));
        QCOMPARE(e.drums.drumNames[0], QStringLiteral("Kick"));
        QCOMPARE(e.drums.drumFileName, QStringLiteral("untitled.mbt"));

        e.song()->setText(QStringLiteral("1"));
        e.openFile(mbt);
        QVERIFY(e.drums.drumGrid == saved.drumGrid && e.drums.patLastBeat == saved.patLastBeat &&
                e.drums.patMsPerBeat == saved.patMsPerBeat);
        QCOMPARE(e.song()->text(), QStringLiteral("1a92"));
        QCOMPARE(e.beat(31)->value(), 87);

        // An "mbt2" file whose grid ends after 3 cells: read, and the user told.
        const QString old = dir.filePath(QStringLiteral("old.MBT"));
        QVERIFY(putFile(old, QByteArray("mbt2\x5a\0\x02\0", 8) + "12\x05\x05\x05"));
        e.openFile(old);
        QCOMPARE(e.drums.songPattern, QStringLiteral("12"));
        QCOMPARE(e.drums.drumGrid[0][0][2], uint8_t(5));
        QCOMPARE(e.drums.drumGrid[0][0][3], saved.drumGrid[0][0][3]);
        QCOMPARE(e.ui.messages().size(), 1);
        QVERIFY(e.ui.messages()[0].contains(QStringLiteral("3 of its 14848")));

        // A file that cannot be saved, opened or imported is reported by name, changing nothing.
        const DrumData before = e.drums;
        for (const auto& [action, file] : {std::pair{"mnuFileSaveAs", "nofolder/a.mbt"},
                                           {"mnuFileOpen", "missing.mbt"},
                                           {"mnuFileOpen", "missing.drm"}})
        {
            e.ui.files = {dir.filePath(file)};
            e.run(action);
            QVERIFY2(e.ui.messages().last().contains(dir.filePath(file)),
                     qPrintable(e.ui.messages().last()));
            QVERIFY(e.drums.drumGrid == before.drumGrid && e.drums.drumNotes == before.drumNotes);
            QCOMPARE(e.drums.songPattern, before.songPattern);
            QCOMPARE(e.drums.drumFileName, before.drumFileName); // a later Save goes there
        }
        QCOMPARE(e.ui.messages().size(), 4);
    }

    // Play queues the song and waits until it is played out, stopped or the window closed.
    void playAndStop()
    {
        for (const auto& [play, stop] : {std::pair<QString, QString>{"CmdPlay", ""},
                                         {"mnuControlPlay", "mnuControlStop"},
                                         {"CmdPlay", "close"}})
        {
            Editor e;
            e.drums.drumGrid[0][7][1] = 90;
            e.playingPolls = stop.isEmpty() ? 20 : 1000000; // 20 looks: 100 ms and more
            QTimer::singleShot(30, e.w.get(),
                               [&]
                               {
                                   if (stop == QStringLiteral("close"))
                                       e.w->close();
                                   else if (!stop.isEmpty())
                                       e.run(stop);
                               });
            if (play == "CmdPlay")
                e.child<QPushButton>(play)->click();
            else
                e.run(play);
            QCOMPARE(e.ui.messages(), QStringList{QStringLiteral("Drums are queued.")});
            // One note in each of the four repetitions: Bass Drum 1 (35) at velocity 90.
            const QStringList queued = e.engine.callsOf(QStringLiteral("AddMidi"));
            QCOMPARE(queued.size(), 4);
            QCOMPARE(queued[2], QStringLiteral("AddMidi(%1,%2)")
                                    .arg(2 * 32 * kTempo + kTempo)
                                    .arg(153 + 35 * 256 + 90 * 65536));
            const QStringList& calls = e.engine.calls;
            QVERIFY(calls.indexOf("PlayMidi()") > 0 &&
                    calls.indexOf("StopMidi()") > calls.indexOf("PlayMidi()"));
            // A closed window has released the output and calls the engine no more.
            QCOMPARE(calls.last() == "CloseMidiPlay()", stop == QStringLiteral("close"));
        }
    }
};

QTEST_MAIN(DrumEditorTest)
#include "DrumEditorTest.moc"
