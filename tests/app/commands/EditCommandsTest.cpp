// The Edit commands: against the stand-in engine and a window that writes down what they ask of
// it (messages, error boxes, redraws, the clipboard file), then through the real window, the
// engine library and its virtual devices.
#include "commands/EditCommands.h"
#include "../StudioFixture.h"
#include "commands/StudioWindow.h"
#include "engineapi/EngineSession.h"
#include "support/LoggingWindow.h"

#include <QAction>
#include <QDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <map>
#include <utility>

using namespace vumo;
using namespace vumo::test;

namespace
{

// Message boxes land in the window's log too, so their place among the steps shows.
struct LoggingUi : ScriptedUiServices
{
    QStringList& log;
    explicit LoggingUi(QStringList& windowLog) : log(windowLog) {}
    void showMessage(const QString& text, const QString& title, MsgIcon icon) override
    {
        log << "box " + text;
        ScriptedUiServices::showMessage(text, title, icon);
    }
};

const std::map<QString, std::function<void(EditCommands&)>> kCommands = {
    {"Cut", &EditCommands::mnuEditCut},
    {"Copy", &EditCommands::mnuEditCopy},
    {"Paste", &EditCommands::mnuEditPaste},
    {"Merge", &EditCommands::mnuEditMerge},
    {"CopyTo", &EditCommands::mnuEditCopyTo},
    {"CopyFrom", &EditCommands::mnuEditCopyFrom},
    {"PasteFrom0", [](EditCommands& c) { c.PasteFromFile(0); }},
    {"PasteFrom1", [](EditCommands& c) { c.PasteFromFile(1); }},
    {"PasteFrom2", [](EditCommands& c) { c.PasteFromFile(2); }},
    {"Undo", &EditCommands::mnuEditUndo},
};

const QString kUndoQuestion = QStringLiteral("Are you sure you want to undo all changes to this "
                                             "track up to the last save or track change?");

struct Rig
{
    QTemporaryDir home;
    QString clip = home.filePath(QStringLiteral("clipper.wav"));
    QString take = home.filePath(QStringLiteral("take.wav"));
    ModVumo mod;
    FakeEngine engine;
    EngineSession session{engine};
    LoggingWindow window;
    LoggingUi ui{window.log};
    EditCommands commands{mod, session, ui, window, clip};

    explicit Rig(bool open = true)
    {
        mod.trackCount = 1;
        mod.selStart = 100;
        mod.selEnd = 900;
        if (open)
            session.open(262144);
        engine.calls.clear();
    }
    void run(const QString& command) { kCommands.at(command)(commands); }
    static QByteArray bytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
    }
};

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class EditCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useVirtualDevices(); }

    void engineCallsRunInsideTheMessageFrame_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("rc");
        QTest::addColumn<QString>("call"); // %c: the clipboard file, %t: the chosen file
        QTest::addColumn<QStringList>("log");
        const QString paste = QStringLiteral("Performing Paste ...");
        QTest::newRow("Cut") << "Cut" << 0 << "CutTo(100,900,%c)"
                             << QStringList{"Cutting To ...", "draw", "hide"};
        QTest::newRow("Cut, file not written")
            << "Cut" << -1 << "CutTo(100,900,%c)"
            << QStringList{"Cutting To ...", "box Error in CutTo: -1", "draw", "hide"};
        QTest::newRow("Copy, file not written")
            << "Copy" << -1 << "CopyTo(100,900,%c)"
            << QStringList{"Copying ...", "box Error in CopyTo: -1", "hide"};
        QTest::newRow("Paste") << "Paste" << 0 << "PasteFrom(100,900,%c,0)"
                               << QStringList{paste, "draw", "hide"};
        QTest::newRow("Merge, refused clipboard")
            << "Merge" << 10 << "PasteFrom(100,900,%c,1)"
            << QStringList{"Merging ...",
                           "box Error in PasteFrom: 10\nThe file has no RIFF header: it is not a "
                           "wave file.",
                           "draw", "hide"};
        QTest::newRow("Copy To") << "CopyTo" << 0 << "CopyTo(100,900,%t)"
                                 << QStringList{"Copying To ...", "hide"};
        QTest::newRow("Paste From Ring, converted file")
            << "PasteFrom2" << 2 << "PasteFrom(100,900,%t,2)"
            << QStringList{paste, "box Error in PasteFrom: 2", "draw", "hide"};
        QTest::newRow("Undo, Yes") << "Undo" << 0 << "Undo()" << QStringList{"draw"};
        QTest::newRow("Undo, Yes, refused")
            << "Undo" << -1 << "Undo()" << QStringList{"box Error in Undo: -1", "draw"};
    }
    void engineCallsRunInsideTheMessageFrame()
    {
        QFETCH(QString, command);
        QFETCH(int, rc);
        QFETCH(QString, call);
        QFETCH(QStringList, log);
        Rig r;
        QVERIFY(writeWave(r.clip, {1, 2}));
        r.ui.files.push_back(r.take);
        r.ui.answers.push_back(Answer::Yes);
        r.engine.answer = [rc](const QString&, const QString&) { return rc; };
        r.run(command);
        QCOMPARE(r.engine.calls,
                 QStringList{QString(call).replace("%c", r.clip).replace("%t", r.take)});
        QCOMPARE(r.window.log, log);
        QCOMPARE(r.commands.lastResult(), rc);
        if (call.contains("%t"))
            QCOMPARE(r.ui.texts(Shown::Kind::FileChoice), QStringList{"*.wav"});
    }

    void nothingIsDone_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("clipboard");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        QTest::newRow("Paste, no clipboard") << "Paste" << true << 0 << false << none;
        QTest::newRow("Merge, no clipboard") << "Merge" << true << 0 << false << none;
        QTest::newRow("Paste From cancelled") << "PasteFrom1" << true << 0 << true << none;
        QTest::newRow("Copy To cancelled") << "CopyTo" << true << 0 << true << none;
        QTest::newRow("Undo answered No") << "Undo" << true << 0 << true << none;
        QTest::newRow("Cut, engine closed")
            << "Cut" << false << 0 << true
            << QStringList{"The audio engine is not open. Open a project, or choose File "
                           "Properties to open the engine again."};
        QTest::newRow("Paste From, no track chosen")
            << "PasteFrom0" << true << -1 << true << QStringList{"No track selected."};
    }
    void nothingIsDone()
    {
        QFETCH(QString, command);
        QFETCH(bool, open);
        QFETCH(int, chosen);
        QFETCH(bool, clipboard);
        QFETCH(QStringList, messages);
        Rig r(open);
        r.window.chosen = chosen;
        if (clipboard)
            QVERIFY(writeWave(r.clip, {1, 2}));
        r.run(command); // the file choice is cancelled, the question answered No
        QVERIFY(r.engine.calls.isEmpty());
        QCOMPARE(r.ui.messages(), messages);
        QCOMPARE(r.window.log.size(), messages.size()); // only the boxes: no frame, no redraw
        QCOMPARE(r.ui.questions(),
                 command == "Undo" && chosen >= 0 ? QStringList{kUndoQuestion} : QStringList{});
    }

    void copyFromFillsTheClipboard_data()
    {
        QTest::addColumn<bool>("oldClipboard");
        QTest::addColumn<QString>("chosen"); // take, clip, unreadable or missing
        QTest::addColumn<int>("messages");
        QTest::addColumn<QString>("result"); // what the clipboard then holds: take, old, none
        QTest::newRow("first clipboard") << false << "take" << 0 << "take";
        QTest::newRow("replaces the clipboard") << true << "take" << 0 << "take";
        QTest::newRow("the clipboard itself") << true << "clip" << 0 << "old";
        QTest::newRow("missing file keeps the clipboard") << true << "missing" << 1 << "old";
        QTest::newRow("missing file, no clipboard") << false << "missing" << 1 << "none";
        QTest::newRow("failed read keeps the clipboard") << true << "unreadable" << 1 << "old";
    }
    void copyFromFillsTheClipboard()
    {
        QFETCH(bool, oldClipboard);
        QFETCH(QString, chosen);
        QFETCH(QString, result);
        QFETCH(int, messages);
        Rig r(false); // a file copy: no engine and no track needed
        r.window.chosen = -1;
        const QByteArray old = waveBytes({5, 6});
        const QByteArray take = waveBytes({1, 2, 3, 4});
        if (oldClipboard)
            QVERIFY(writeBytes(r.clip, old));
        QVERIFY(writeBytes(r.take, take));
        // The first page of the process's memory opens but cannot be read.
        const QString unreadable = QStringLiteral("/proc/self/mem");
        if (chosen == "unreadable" && !QFile::exists(unreadable))
            QSKIP("needs /proc");
        r.ui.files.push_back(chosen == "take"         ? r.take
                             : chosen == "clip"       ? r.clip
                             : chosen == "unreadable" ? unreadable
                                                      : r.home.filePath("gone.wav"));
        r.run("CopyFrom");
        QCOMPARE(Rig::bytes(r.clip), result == "take"  ? take
                                     : result == "old" ? old
                                                       : QByteArray("missing"));
        QCOMPARE(r.ui.messages().size(), messages);
        QCOMPARE(r.window.log.value(0), chosen == "clip" ? QString() : "Copying From ...");
        // Nothing is left beside the clipboard (no temporary file).
        QStringList files{"take.wav"};
        if (result != "none")
            files.prepend("clipper.wav");
        QCOMPARE(QDir(r.home.path()).entryList(QDir::Files), files);
        QVERIFY(r.engine.calls.isEmpty());
    }

    void clicksWhileTheMessagePaintsAreDropped()
    {
        for (const QString second : {"Cut", "Paste", "CopyFrom", "Undo"})
        {
            Rig r;
            QVERIFY(writeWave(r.clip, {1, 2}));
            r.ui.files.push_back(r.take);
            r.ui.answers.push_back(Answer::Yes);
            r.window.whilePainting = [&r, second] { r.run(second); };
            r.run("Cut");
            QCOMPARE(r.engine.calls, QStringList{"CutTo(100,900," + r.clip + ")"});
            QCOMPARE(r.ui.shown.size(), 0);
        }
    }

    // Through the real window and engine: Copy and Paste by the picture buttons, then Undo.
    void copyThenPasteRoundTrip()
    {
        StudioFixture s;
        s.newProject();
        constexpr int32_t n = 600;
        for (int32_t i = 0; i < 2 * n; ++i)
            s.engine.TrackWrite(i, (i * 997) % 60000 - 30000);
        const std::vector<int16_t> clip = s.trackSamples(0, n);
        // No clipboard file yet: Paste leaves the track as it is.
        s.mod.selStart = 0;
        s.mod.selEnd = n;
        child<QToolButton>(s.w, "cmdPaste")->click();
        QCOMPARE(s.trackSamples(0, n), clip);
        child<QToolButton>(s.w, "cmdCopy")->click();
        QCOMPARE(readWaveSamples(s.path("clipper.wav")), clip);

        s.mod.selStart = 5000;
        s.mod.selEnd = 5000 + n;
        child<QToolButton>(s.w, "cmdPaste")->click();
        // At volume 255 and centre pan both gains are 254/256.
        const TrackRecord& t = s.mod.tracks[0];
        QCOMPARE(t.volume, int16_t{255});
        QCOMPARE(t.pan, int16_t{127});
        std::vector<int16_t> expected;
        for (int16_t v : clip)
            expected.push_back(static_cast<int16_t>((v * 254) >> 8));
        const std::vector<int16_t> pasted = s.trackSamples(5000, 5000 + n);
        QCOMPARE(pasted, expected);

        // Undo answered No leaves the paste; Yes goes back to the blank track file.
        s.ui.answers = {Answer::No};
        child<QToolButton>(s.w, "cmdUndo")->click();
        QCOMPARE(s.trackSamples(5000, 5000 + n), pasted);
        QCOMPARE(s.trackSamples(0, n), clip);
        s.ui.answers = {Answer::Yes};
        child<QToolButton>(s.w, "cmdUndo")->click();
        QCOMPARE(s.trackSamples(5000, 5000 + n), std::vector<int16_t>(2 * n, 0));
        QCOMPARE(s.ui.messages(), QStringList{});
    }

    // Each Paste From item gives what the engine's PasteFrom gives for the same range and file
    // (a clip shorter than the selection, so the part after its end counts too).
    void pasteFromModesMatchTheEngine_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("mode");
        QTest::newRow("Straight") << "mnuEditPasteFromStraight" << 0;
        QTest::newRow("Merged") << "mnuEditPasteFromMerged" << 1;
        QTest::newRow("Ring") << "mnuEditPasteFromRing" << 2;
        QTest::newRow("Negative") << "mnuEditPasteFromNegative" << 3;
    }
    void pasteFromModesMatchTheEngine()
    {
        QFETCH(QString, item);
        QFETCH(int, mode);
        StudioFixture s;
        s.newProject();
        constexpr int32_t start = 300, n = 400;
        std::vector<int16_t> clip;
        for (int i = 0; i < n; ++i) // n / 2 frames
            clip.push_back(static_cast<int16_t>((i * 1231) % 50000 - 25000));
        const QString file = s.path(QStringLiteral("known.wav"));
        QVERIFY(writeWave(file, clip));
        auto fillTrack = [&]
        {
            for (int32_t i = 2 * start; i < 2 * (start + n); ++i)
                s.engine.TrackWrite(i, (i * 613) % 40000 - 20000);
        };
        fillTrack();
        const std::vector<int16_t> before = s.trackSamples(start, start + n);
        s.mod.selStart = start;
        s.mod.selEnd = start + n;
        s.ui.files.push_back(file);
        s.w.findChild<QAction*>(item)->trigger();
        const std::vector<int16_t> viaMenu = s.trackSamples(start, start + n);
        fillTrack();
        QCOMPARE(s.engine.PasteFrom(start, start + n, QFile::encodeName(file).constData(), mode),
                 0);
        QCOMPARE(viaMenu, s.trackSamples(start, start + n));
        QVERIFY(viaMenu != before);
        QCOMPARE(s.ui.messages(), QStringList{});
    }
};

QTEST_MAIN(EditCommandsTest)
#include "EditCommandsTest.moc"
