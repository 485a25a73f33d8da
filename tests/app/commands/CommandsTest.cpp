// The Edit and Control commands over the stand-in engine and a logging window; Play and Stop
// through the main window on the real engine and virtual devices.
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

    // Copy From copies the chosen file over the clipboard; an unreadable one leaves it as it was.
    // (a clipboard before, the choice, the clipboard after, null for none)
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

    // Record mixes, records with the merge flag and saves; a silent take is asked about first.
    // (mute, volume, Yes, the gains handed over, merge)
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
            QVERIFY(!r.control.passRunning());
        }
    }

    // Rip records only what the media layer can play, then releases the media.
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
    // The Paste From items reach the engine with their modes; a refused switch shows its reason.
    void mainWindowRunsTheEditCommands()
    {
        StudioFixture f{MainWindowFixture::Fake{}};
        f.newProject();
        f.addTrack();
        const QString take = f.home.filePath(QStringLiteral("take.wav"));
        f.sel() = {10, 20};
        QStringList pasted;
        for (const char* item : {"mnuEditPasteFromStraight", "mnuEditPasteFromMerged",
                                 "mnuEditPasteFromRing", "mnuEditPasteFromNegative"})
        {
            pasted << QStringLiteral("PasteFrom(10,20,%1,%2)").arg(take).arg(pasted.size());
            f.ui.files.push_back(take);
            trigger(f.w, item);
        }
        QCOMPARE(f.fake->calls.filter(QRegularExpression(QStringLiteral("^PasteFrom"))), pasted);
        QVERIFY(f.ui.messages().isEmpty());
        f.fake->results.insert(QStringLiteral("SetCurTrack"), 14);
        f.cboTrack().setCurrentIndex(0);
        QCOMPARE(f.ui.messages(),
                 QStringList{"Error in SetCurTrack: 14\nThe file does not hold 16-bit samples.\n"
                             "Track \"t1\": " +
                             f.path("untitled-t1.wav")});
    }

    // Play from 500, 1000 frames a look: it stops, passes or meets the end, is stopped, or never
    // plays; Play returns on the end signal itself, before what was posted then has run.
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
            // A generous guard ends a pass that never says it has ended, and the test fails.
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

    // Stop ends a pass; closing during one ends it before the engine closes.
    void stopOrCloseEndsThePass()
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
        // Stop once the pass has played something, however loaded the machine.
        bool stopped = false;
        connect(&s.w.transport(), &Transport::position, &s.w,
                [&](int32_t frame)
                {
                    if (frame > s.sel().selStart && !std::exchange(stopped, true))
                        click(s, "CmdStop");
                });
        click(s, "CmdPlay");
        const std::size_t played = readWaveSamples(s.path("out.wav")).size() / 2;
        QVERIFY2(played > 0 && played < std::size_t(s.sel().selEnd - s.sel().selStart),
                 qPrintable(QString::number(played)));

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
