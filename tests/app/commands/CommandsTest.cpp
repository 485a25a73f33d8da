// The Edit and Control commands over the stand-in engine and a logging window, the main window
// reaching them, how a pass ends; then Play and Stop through the main window on the real engine
// and virtual devices: controls locked during a pass, closing during one, drums on MIDI out.
#include "../StudioFixture.h"
#include "commands/CaptureCommands.h"
#include "commands/EditCommands.h"
#include "commands/TransportCommands.h"
#include "engineapi/EngineSession.h"
#include "engineapi/Transport.h"
#include "model/ProjectModel.h"
#include "support/LoggingWindow.h"
#include "support/TestFiles.h"

#include <QAbstractSlider>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>
#include <tuple>

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

struct Rig
{
    QTemporaryDir home;
    QString clip = home.filePath(QStringLiteral("clipper.wav"));
    QString take = home.filePath(QStringLiteral("take.wav"));
    ProjectModel model;
    const ModVumo& mod = model.mod();
    FakeEngine engine;
    EngineSession session{engine};
    Transport transport{engine};
    LoggingWindow window;
    LoggingUi ui{window.log};
    TransportCommands control{model, session, transport, ui, window};
    EditCommands edit{model, session, ui, window, clip};
    QStringList media; // what the capture hooks were asked
    QString probeAnswer;
    MediaCapture hooks{[this](const QString& s) { return media << "probe " + s, probeAnswer; },
                       [this](const QString& s) { media << "select " + s; }};
    CaptureCommands capture{model, session, control, ui, window, clip, hooks};

    explicit Rig(bool open = true)
    {
        TrackRecord track;
        track.volume = 255;
        model.addTrack(track);
        window.sel = {1000, 9000};
        if (open)
            session.open(262144);
        engine.calls.clear();
    }

    void run(const QString& command)
    {
        static const std::map<QString, std::function<void(Rig&)>> commands = {
            {"Cut", [](Rig& r) { r.edit.mnuEditCut(); }},
            {"Copy", [](Rig& r) { r.edit.mnuEditCopy(); }},
            {"Paste", [](Rig& r) { r.edit.mnuEditPaste(); }},
            {"Merge", [](Rig& r) { r.edit.mnuEditMerge(); }},
            {"CopyTo", [](Rig& r) { r.edit.mnuEditCopyTo(); }},
            {"CopyFrom", [](Rig& r) { r.edit.mnuEditCopyFrom(); }},
            {"PasteFrom1", [](Rig& r) { r.edit.PasteFromFile(1); }},
            {"PasteFrom2", [](Rig& r) { r.edit.PasteFromFile(2); }},
            {"Undo", [](Rig& r) { r.edit.mnuEditUndo(); }},
            {"Play", [](Rig& r) { r.control.mnuControlPlay(); }},
            {"Record", [](Rig& r) { r.control.mnuControlRecord(); }},
            {"SK1", [](Rig& r) { r.capture.mnuControlSK1(); }},
            {"Rip", [](Rig& r) { r.capture.mnuControlRip(); }},
        };
        commands.at(command)(*this);
    }
};

const QString kUndoQuestion = QStringLiteral("Are you sure you want to undo all changes to this "
                                             "track up to the last save or track change?");

} // namespace

class CommandsTest : public QObject
{
    Q_OBJECT

private:
    static void click(StudioFixture& s, const char* button)
    {
        QTest::mouseClick(child<QWidget>(s.w, button), Qt::LeftButton);
    }

private slots:
    // The main window's passes run on the virtual devices, with no output file left set.
    void init() { useVirtualDevices("50"); }

    void nothingStartsWithoutAnEngineOrAChosenTrack()
    {
        const QString closed = "The audio engine is not open. Open a project, or choose File "
                               "Properties to open the engine again.";
        for (const auto& [open, chosen, shown] :
             {std::tuple{false, 0, closed}, {true, -1, QStringLiteral("No track selected.")}})
            for (const char* command : {"Play", "Record", "SK1", "Rip", "Cut", "PasteFrom1"})
            {
                Rig r(open);
                r.window.chosen = chosen;
                r.run(command);
                QCOMPARE(r.window.log, QStringList{"box " + shown}); // only the box
                QVERIFY(r.engine.calls.isEmpty());
            }
    }

    // Each engine call runs inside its message frame; a failure shows the engine's reason.
    // Without a clipboard, with the file choice cancelled or Undo answered No, nothing is done.
    void editCommandsCallTheEngineInsideTheMessageFrame_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("rc");       // -2: no clipboard, no file chosen, Undo answered No
        QTest::addColumn<QString>("call"); // %c: the clipboard file, %t: the chosen file
        QTest::addColumn<QStringList>("log");
        const auto row = [](const char* tag, const char* command, int rc, const char* call,
                            const QStringList& log)
        { QTest::newRow(tag) << QString(command) << rc << QString(call) << log; };
        const QString paste = QStringLiteral("Performing Paste ...");
        row("Cut", "Cut", 0, "CutTo(1000,9000,%c)", {"Cutting To ...", "draw", "hide"});
        row("Cut, file not written", "Cut", -1, "CutTo(1000,9000,%c)",
            {"Cutting To ...", "box Error in CutTo: -1", "draw", "hide"});
        row("Copy, file not written", "Copy", -1, "CopyTo(1000,9000,%c)",
            {"Copying ...", "box Error in CopyTo: -1", "hide"});
        row("Paste", "Paste", 0, "PasteFrom(1000,9000,%c,0)", {paste, "draw", "hide"});
        row("Merge, refused clipboard", "Merge", 10, "PasteFrom(1000,9000,%c,1)",
            {"Merging ...",
             "box Error in PasteFrom: 10\nThe file has no RIFF header: it is not a wave file.",
             "draw", "hide"});
        row("Copy To", "CopyTo", 0, "CopyTo(1000,9000,%t)", {"Copying To ...", "hide"});
        row("Paste From Ring, converted file", "PasteFrom2", 2, "PasteFrom(1000,9000,%t,2)",
            {paste, "box Error in PasteFrom: 2", "draw", "hide"});
        row("Undo, Yes", "Undo", 0, "Undo()", {"draw"});
        row("Undo, Yes, refused", "Undo", -1, "Undo()", {"box Error in Undo: -1", "draw"});
        for (const char* command : {"Paste", "Merge", "PasteFrom1", "CopyTo", "Undo"})
            row(command, command, -2, nullptr, {});
    }
    void editCommandsCallTheEngineInsideTheMessageFrame()
    {
        QFETCH(QString, command);
        QFETCH(int, rc);
        QFETCH(QString, call);
        QFETCH(QStringList, log);
        Rig r;
        const bool nothing = rc == -2;
        if (!nothing)
        {
            QVERIFY(putFile(r.clip, "clip"));
            r.ui.files.push_back(r.take);
            r.ui.answers.push_back(Answer::Yes);
        }
        r.engine.answer = [rc](const QString&, const QString&) { return rc; };
        r.run(command);
        QCOMPARE(r.engine.calls,
                 nothing ? QStringList()
                         : QStringList{QString(call).replace("%c", r.clip).replace("%t", r.take)});
        QCOMPARE(r.window.log, log);
        QCOMPARE(r.ui.questions(), command == "Undo" ? QStringList{kUndoQuestion} : QStringList{});
        if (!nothing && call.contains("%t"))
            QCOMPARE(r.ui.texts(Shown::Kind::FileChoice), QStringList{"*.wav"});
    }

    // Copy From copies the chosen file over the clipboard; a file that cannot be read (a missing
    // one; /proc/self/mem opens but cannot be read) leaves the clipboard as it was, and nothing
    // beside it; (a clipboard before, the choice, the clipboard after, null for none).
    void copyFromFillsTheClipboard()
    {
        for (const auto& [oldClipboard, chosen, result] :
             {std::tuple{false, QString("take.wav"), QByteArray("take")},
              {true, "take.wav", "take"},
              {true, "clipper.wav", "old"},
              {true, "gone.wav", "old"},
              {false, "gone.wav", QByteArray()},
              {true, "/proc/self/mem", "old"}})
        {
            Rig r(false); // a file copy: no engine and no track needed
            r.window.chosen = -1;
            if (oldClipboard)
                QVERIFY(putFile(r.clip, "old"));
            QVERIFY(putFile(r.take, "take"));
            if (chosen.startsWith(u'/') && !QFile::exists(chosen))
                continue; // no /proc
            r.ui.files.push_back(chosen.startsWith(u'/') ? chosen : r.home.filePath(chosen));
            r.run("CopyFrom");
            QCOMPARE(fileBytes(r.clip), result);
            const bool refused = chosen != "take.wav" && chosen != "clipper.wav";
            QCOMPARE(r.ui.messages().size(), refused ? 1 : 0);
            QCOMPARE(r.window.log.value(0),
                     chosen == "clipper.wav" ? QString() : "Copying From ...");
            QCOMPARE(QDir(r.home.path()).entryList(QDir::Files),
                     (result.isNull() ? QStringList{"take.wav"}
                                      : QStringList{"clipper.wav", "take.wav"}));
            QVERIFY(r.engine.calls.isEmpty());
        }
    }

    // Record locks, mixes, records with the merge flag, saves and redraws. A silent take (muted
    // or volume 0) is asked about: No keeps the track, Yes unmutes it through the model;
    // (mute, volume, Yes, the gains handed over, merge).
    void recordAsksBeforeASilentTake()
    {
        for (const auto& [mute, volume, yes, pushed, merge] :
             {std::tuple{false, 200, false, "SetTrackAttr(0,200,127)", 1},
              {true, 200, false, "", 0},
              {false, 0, false, "", 0},
              {true, 200, true, "SetTrackAttr(0,200,127)", 0},
              {false, 0, true, "SetTrackAttr(0,255,127)", 1}})
        {
            Rig r;
            r.model.setTrackGains(0, int16_t(volume), 127, mute ? 1 : 0);
            r.window.merge = merge == 1;
            QSignalSpy changed(&r.model, &ProjectModel::trackGainsChanged);
            r.ui.answers.push_back(yes ? Answer::Yes : Answer::No);
            r.run("Record");
            const bool asked = mute || volume == 0;
            const bool recorded = *pushed != 0;
            const QString range = QStringLiteral("(1000,9000,%1)").arg(merge);
            QCOMPARE(r.ui.questions().size(), asked ? 1 : 0);
            QCOMPARE(r.engine.calls.filter(QRegularExpression("^(Rec|Stop|SetTrackA)")),
                     (recorded ? QStringList{pushed, "RecordTrack" + range, "StopTracks" + range}
                               : QStringList{}));
            QCOMPARE(r.window.log,
                     (recorded ? QStringList{"lock", "Mixing Tracks ...", "hide", "unlock",
                                             "Saving recorded track...", "draw", "hide"}
                               : QStringList{}));
            QCOMPARE(r.mod.tracks[0].mute == 1, mute && !yes);
            QCOMPARE(changed.size(), asked && yes ? 1 : 0);
            QVERIFY(!r.control.passRunning());
        }
    }

    // Without a conversion, or without an input, nothing is rendered; the input is closed.
    void sk1WithoutConversionOrWithoutAnInput()
    {
        for (const bool inputOpens : {true, false})
        {
            Rig r;
            r.engine.results["OpenMidiRec"] = inputOpens ? 0 : 2;
            r.engine.results["CloseMidiRec"] = inputOpens ? 0 : 5;
            r.ui.answers = {Answer::Yes, inputOpens ? Answer::No : Answer::Yes};
            r.run("SK1");
            QVERIFY(r.engine.callsOf("LoadSK1").isEmpty());
            QVERIFY(r.engine.callsOf("TrackWrite").isEmpty());
            QCOMPARE(r.engine.callsOf("CloseMidiRec").size(), 1);
            QCOMPARE(r.ui.messages(),
                     (inputOpens ? QStringList{}
                                 : QStringList{"MIDI open error: 2", "MIDI close error: 5"}));
        }
    }

    // Rip stops on Cancel, no file, a CD track not a number, or a choice the media layer cannot
    // play (its reason shown); a playable file is recorded, then the media released.
    void ripRecordsOnlyWhatTheMediaLayerCanPlay()
    {
        for (const auto& [fileOrCd, file, track, probe, media] :
             {std::tuple{Answer::Cancel, "", "", "", ""},
              {Answer::Yes, "", "", "", ""},
              {Answer::No, "", "two", "", ""},
              {Answer::Yes, "/m/x.mp3", "", "bad", "probe /m/x.mp3"},
              {Answer::No, "", " 7 ", "no CD", "probe cdda:7"},
              {Answer::Yes, "/m/song.wav", "", "", "probe /m/song.wav,select /m/song.wav,select "}})
        {
            Rig r;
            r.ui.answers = {fileOrCd};
            r.ui.files = {file};
            r.ui.inputs = {track};
            r.probeAnswer = probe;
            r.run("Rip");
            QCOMPARE(r.media.join(u','), QString(media));
            QCOMPARE(r.ui.messages().join(u','), QString(probe));
            const bool recorded = r.media.size() > 1;
            QCOMPARE(r.engine.callsOf("RecordTrack"),
                     recorded ? QStringList{"RecordTrack(1000,9000,0)"} : QStringList{});
            QCOMPARE(r.engine.calls.isEmpty(), !recorded);
            const QStringList saved{"Saving recorded track...", "draw", "hide"};
            QCOMPARE(r.window.log.mid(r.window.log.size() - 3) == saved, recorded);
            QVERIFY(!r.control.passRunning());
        }
    }
    // The main window's buttons and Paste From items (each with its mode) reach the Edit
    // commands; a refused track switch is shown with its reason.
    void mainWindowRunsTheEditCommands()
    {
        StudioFixture f{MainWindowFixture::Fake{}};
        frmVumo& w = f.w;
        f.newProject();
        f.addTrack();
        QVERIFY(putFile(w.CLIPFILE, "clip"));
        const QString take = f.home.filePath(QStringLiteral("take.wav"));
        f.sel() = {10, 20};
        f.ui.answers = {Answer::Yes}; // Undo
        for (const char* button : {"cmdCut", "cmdCopy", "cmdPaste", "cmdUndo"})
            child<QAbstractButton>(w, button)->click();
        for (const char* item : {"mnuEditPasteFromStraight", "mnuEditPasteFromMerged",
                                 "mnuEditPasteFromRing", "mnuEditPasteFromNegative"})
        {
            f.ui.files.push_back(take);
            trigger(f.w, item);
        }
        const QString range = QStringLiteral("(10,20,");
        // Besides the undo steps' copies into their folder.
        QCOMPARE(
            f.fake->calls.filter(QRegularExpression(QStringLiteral("^(CutTo|CopyTo|Paste|Undo)")))
                .filter(QRegularExpression(QStringLiteral("^(?!.*/undo-)"))),
            (QStringList{"CutTo" + range + w.CLIPFILE + ")", "CopyTo" + range + w.CLIPFILE + ")",
                         "PasteFrom" + range + w.CLIPFILE + ",0)", "Undo()",
                         "PasteFrom" + range + take + ",0)", "PasteFrom" + range + take + ",1)",
                         "PasteFrom" + range + take + ",2)", "PasteFrom" + range + take + ",3)"}));
        QVERIFY(f.ui.messages().isEmpty());
        f.fake->results.insert(QStringLiteral("SetCurTrack"), 14);
        f.cboTrack().setCurrentIndex(0);
        QCOMPARE(f.ui.messages(),
                 QStringList{"Error in SetCurTrack: 14\nThe file does not hold 16-bit samples.\n"
                             "Track \"t1\": " +
                             f.path("untitled-t1.wav")});
    }

    // Play from frame 500: the engine plays `turns` looks, 1000 frames on at each: it stops after
    // 3; the selection's end is passed or met; Stop is pressed at 3000; nothing plays. The wait
    // ends with the transport's end signal, in its own event-loop turn: what was posted then has
    // not run yet when Play goes on (a wait that polled would have let it run).
    void passEnds()
    {
        for (const auto& [turns, end, stopAt, positions] :
             {std::tuple{3, 100000, 0, QList<int>{1500, 2500, 3500}},
              {100, 3000, 0, QList<int>{1500, 2500, 3500}},
              {100, 2500, 0, QList<int>{1500, 2500}},
              {1000000, 1 << 30, 3000, QList<int>{1500, 2500, 3500}},
              {0, 3000, 0, QList<int>{}}})
        {
            Rig r;
            r.window.sel = {500, end};
            auto looks = std::make_shared<int>(0);
            r.engine.answer = [looks, turns](const QString& name, const QString&)
            {
                if (name == QStringLiteral("IsPlaying"))
                    return ++*looks <= turns ? 1 : 0;
                return name == QStringLiteral("GetPosition") ? *looks * 1000 : 0;
            };
            QSignalSpy started(&r.transport, &Transport::started);
            QSignalSpy position(&r.transport, &Transport::position);
            QSignalSpy finished(&r.transport, &Transport::finished);
            connect(&r.transport, &Transport::position, &r.transport,
                    [&r, at = stopAt](int32_t frame)
                    {
                        if (at > 0 && frame >= at)
                            r.control.mnuControlStop();
                    });
            bool later = false;
            connect(&r.transport, &Transport::finished, &r.transport,
                    [&later] { QTimer::singleShot(0, [&later] { later = true; }); });
            // A pass that never says it has ended would hold Play for good: a generous guard
            // says it in its place, and the test fails.
            bool guarded = false;
            QTimer::singleShot(10000, &r.transport,
                               [&] { guarded = true, emit r.transport.finished(); });
            r.run("Play");
            QVERIFY(!guarded);
            QVERIFY(!later);
            QVERIFY(!r.transport.running());
            QCOMPARE(started.size(), 1);
            QCOMPARE(finished.size(), 1);
            QList<int> seen;
            for (const QList<QVariant>& p : position)
                seen.append(p.at(0).toInt());
            QCOMPARE(seen, positions);
            QCOMPARE(r.engine.callsOf(QStringLiteral("GetPosition")).size(), positions.size());
            QCOMPARE(r.engine.callsOf(QStringLiteral("StopTracks")),
                     QStringList{QStringLiteral("StopTracks(500,%1,0)").arg(end)});
            r.transport.stop(); // nothing runs: no second end
            QCOMPARE(finished.size(), 1);
            QTRY_VERIFY(later);
        }
    }

    // During a pass all controls and menus but Help and Stop are off; Record stays off after
    // while the track is not armed. Closing during a pass ends it before the engine closes.
    void stopOrCloseEndsThePassWithTheControlsLockedMeanwhile()
    {
        StudioFixture s;
        qputenv("VUMO_VIRTUAL_OUTPUT", QFile::encodeName(s.path("out.wav")));
        s.newProject(16); // 4194304 frames: 95 s, under 2 s at 50 times real time
        QVERIFY(!child<QCheckBox>(s.w, "chkArm")->isChecked());
        const int32_t selEnd = std::exchange(s.sel().selEnd, s.sel().selStart);
        s.w.mnuControlPlay(); // an empty selection ends at once
        QVERIFY(!s.w.transport().running());
        QVERIFY(s.ui.messages().isEmpty());
        s.sel().selEnd = selEnd;
        QStringList enabled;
        bool looked = false; // once the pass has played something, however loaded the machine
        connect(&s.w.transport(), &Transport::position, &s.w,
                [&](int32_t frame)
                {
                    if (looked || frame <= s.sel().selStart)
                        return;
                    looked = true;
                    for (QWidget* c : s.w.findChildren<QWidget*>())
                        if ((qobject_cast<QAbstractButton*>(c) || qobject_cast<QComboBox*>(c) ||
                             qobject_cast<QAbstractSlider*>(c)) &&
                            c->isVisible() && c->isEnabled())
                            enabled << c->objectName();
                    for (const char* name : {"mnuControlPlay", "mnuControlRecord", "mnuControlStop",
                                             "mnuEdit", "mnuFile", "mnuFX", "mnuTrack"})
                        if (child<QAction>(s.w, name)->isEnabled())
                            enabled << QString::fromLatin1(name);
                    if (s.w.transport().running())
                        enabled << QStringLiteral("playing");
                    click(s, "CmdStop");
                });
        click(s, "CmdPlay");
        QCOMPARE(enabled, (QStringList{"cmdHelp", "CmdStop", "mnuControlStop", "playing"}));
        const std::size_t played = readWaveSamples(s.path("out.wav")).size() / 2;
        QVERIFY2(played > 0 && played < std::size_t(s.sel().selEnd - s.sel().selStart),
                 qPrintable(QString::number(played)));
        QVERIFY(child<QWidget>(s.w, "CmdPlay")->isEnabled());
        QVERIFY(child<QWidget>(s.w, "cboTrack")->isEnabled());
        QVERIFY(child<QAction>(s.w, "mnuFile")->isEnabled());
        QVERIFY(!child<QWidget>(s.w, "cmdRec")->isEnabled());
        QVERIFY(child<QAction>(s.w, "mnuControlRecord")->isEnabled());

        bool closedAtOnce = true;
        const auto close = [&]
        {
            s.w.close();
            closedAtOnce = !s.w.transport().running() && !s.w.session().isOpen();
        };
        QTimer::singleShot(200, &s.w, close);
        s.ui.answers.push_back(Answer::No); // Save track edits?
        click(s, "CmdPlay");
        QVERIFY(!closedAtOnce); // the engine stayed open under the running pass
        QTRY_VERIFY_WITH_TIMEOUT(!s.w.session().isOpen(), 2000); // and closed once it had ended
        QCOMPARE(s.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        QVERIFY(s.w.isHidden());
    }

    void drumsPlayTheSongOnTheMidiOutput()
    {
        StudioFixture s;
        qputenv("VUMO_VIRTUAL_MIDI_OUT", QFile::encodeName(s.path("midi.txt")));
        s.newProject();
        drums::DrumData d = s.mod.drums;
        d.songPattern = QStringLiteral("1");
        std::tie(d.patLastBeat[0], d.patMsPerBeat[0], d.patLastBeat[1], d.patMsPerBeat[1]) =
            std::tuple(3, 10, 1, 5);
        d.drumGrid[0][7][0] = 100; // Bass Drum 1, note 35
        d.drumGrid[0][10][2] = 90; // Snare Drum 1, note 38
        d.drumGrid[1][7][1] = 64;
        s.model.setDrums(d);
        // The song is set in the drum editor, which hands it back when it closes.
        s.ui.dialogs.push_back(
            [](QDialog& editor)
            {
                child<QLineEdit>(editor, "txtSongPat")->setText(QStringLiteral("1x2"));
                editor.close();
            });
        s.w.mnuAddInDrum();
        QTest::mouseClick(child<QCheckBox>(s.w, "chkDrums"), Qt::LeftButton);
        QVERIFY(child<QAction>(s.w, "mnuControlActivateDrums")->isChecked());
        s.w.mnuEditSelectAll(); // about 6 s of audio, a tenth of a second at 50 times
        click(s, "CmdPlay");
        QStringList messages;
        for (const QByteArray& line : fileBytes(s.path("midi.txt")).trimmed().split('\n'))
            messages << QString::fromLatin1(line).trimmed().section(u' ', 1);
        QCOMPARE(messages, (QStringList{"153 35 100", "153 38 90", "153 35 64"}));
    }
};

QTEST_MAIN(CommandsTest)
#include "CommandsTest.moc"
