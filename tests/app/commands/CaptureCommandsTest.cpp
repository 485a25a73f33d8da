// "&SK1 Mode" and "&Rip MCI" against the stand-in engine: the note table and the render loop,
// and every way a Rip ends before it records.
#include "commands/CaptureCommands.h"
#include "commands/StudioWindow.h"
#include "commands/TransportCommands.h"
#include "engineapi/EngineSession.h"
#include "state/ModVumo.h"
#include "state/ProjectModel.h"
#include "support/FakeEngine.h"
#include "support/LoggingWindow.h"
#include "support/ScriptedUiServices.h"
#include "transport/Transport.h"

#include <QTest>

using namespace vumo;

namespace
{

struct Rig
{
    ModVumo mod;
    ProjectModel model{mod};
    FakeEngine engine;
    EngineSession session{engine};
    Transport transport{engine};
    ScriptedUiServices ui;
    LoggingWindow window;
    TransportCommands transportCommands{model, session, transport, ui, window};
    QStringList media; // what the capture hooks were asked
    QString clipFile = QStringLiteral("/app/clipper.wav");
    QString probeAnswer;
    CaptureCommands commands{mod,
                             session,
                             transportCommands,
                             ui,
                             window,
                             clipFile,
                             {[this](const QString& s)
                              {
                                  media << "probe " + s;
                                  return probeAnswer;
                              },
                              [this](const QString& s) { media << "select " + s; }}};

    Rig()
    {
        mod.trackCount = 1;
        mod.tracks[0].volume = 255;
        mod.selStart = 1000;
        mod.selEnd = 9000;
        session.open(262144);
        engine.calls.clear();
    }
};

} // namespace

class CaptureCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void noteRatiosFollowTheFixedTable_data()
    {
        QTest::addColumn<int>("note");
        QTest::addColumn<double>("ratio");
        QTest::newRow("middle C") << 60 << 1.0;
        QTest::newRow("octave up") << 72 << 2.0;
        QTest::newRow("A above") << 69 << 1.688;
        QTest::newRow("F is 1.375") << 65 << 1.375;
        QTest::newRow("lowest") << 0 << 1.0 / 32;
        QTest::newRow("highest") << 127 << 1.5 * 32;
    }
    void noteRatiosFollowTheFixedTable()
    {
        QFETCH(int, note);
        QFETCH(double, ratio);
        QCOMPARE(CaptureCommands::noteRatio(note), ratio);
    }

    void sk1RendersEveryNoteAtItsTimePitchAndVelocity()
    {
        Rig r;
        // Three events: note 72 at velocity 64 after 1000 ms, its note-off, note 69 at 127.
        const QList<int32_t> words = {1000, 0x90 | 72 << 8 | 64 << 16, 1500, 0x80 | 72 << 8,
                                      2000, 0x90 | 69 << 8 | 127 << 16};
        r.engine.answer = [&](const QString& name, const QString& call) -> int32_t
        {
            if (name == QLatin1String("GetRecordLength"))
                return int32_t(words.size() - 1);
            if (name == QLatin1String("GetRecordData"))
                return words.value(call.section('(', 1).chopped(1).toInt(), -1);
            if (name == QLatin1String("LoadSK1"))
                return 998;
            if (name == QLatin1String("TrackRead"))
                return 1234;
            return 0;
        };
        r.ui.answers = {Answer::Yes, Answer::Yes};
        r.commands.mnuControlSK1();
        QCOMPARE(r.engine.callsOf("SK1"),
                 (QStringList{"SK1(45100,998,2,0.5)", "SK1(89200,998,1.688,0.992188)"}));
        QCOMPARE(r.engine.callsOf("TrackWrite"), QStringList{"TrackWrite(0,1234)"});
        QCOMPARE(r.engine.callsOf("CloseMidiRec").size(), 1);
        QVERIFY(r.window.log.contains("Creating SK1 effect ..."));
        QVERIFY(r.window.log.contains("draw"));
    }

    void sk1WithoutConversionOrWithoutAnInputRendersNothingAndClosesTheInput_data()
    {
        QTest::addColumn<int>("openResult");
        QTest::addColumn<bool>("convert");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no conversion") << 0 << false << QStringList{};
        QTest::newRow("input did not open")
            << 2 << true << QStringList{"MIDI open error: 2", "MIDI close error: 5"};
    }
    void sk1WithoutConversionOrWithoutAnInputRendersNothingAndClosesTheInput()
    {
        QFETCH(int, openResult);
        QFETCH(bool, convert);
        QFETCH(QStringList, messages);
        Rig r;
        r.engine.results["OpenMidiRec"] = openResult;
        r.engine.results["CloseMidiRec"] = openResult ? 5 : 0;
        r.ui.answers = {Answer::Yes, convert ? Answer::Yes : Answer::No};
        r.commands.mnuControlSK1();
        QVERIFY(r.engine.callsOf("LoadSK1").isEmpty());
        QVERIFY(r.engine.callsOf("TrackWrite").isEmpty());
        QCOMPARE(r.engine.callsOf("CloseMidiRec").size(), 1);
        QCOMPARE(r.ui.messages(), messages);
    }

    void ripEndsBeforeRecordingWhenThereIsNothingToRecord_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("track");
        QTest::addColumn<QString>("probeAnswer");
        QTest::addColumn<QStringList>("media");
        QTest::newRow("cancel") << int(Answer::Cancel) << ""
                                << ""
                                << "" << QStringList{};
        QTest::newRow("browser cancelled") << int(Answer::Yes) << ""
                                           << ""
                                           << "" << QStringList{};
        QTest::newRow("track not numeric") << int(Answer::No) << ""
                                           << "two"
                                           << "" << QStringList{};
        QTest::newRow("undecodable file") << int(Answer::Yes) << "/m/x.mp3"
                                          << ""
                                          << "bad" << QStringList{"probe /m/x.mp3"};
        QTest::newRow("no such CD track") << int(Answer::No) << ""
                                          << " 7 "
                                          << "no CD" << QStringList{"probe cdda:7"};
    }
    void ripEndsBeforeRecordingWhenThereIsNothingToRecord()
    {
        QFETCH(int, answer);
        QFETCH(QString, file);
        QFETCH(QString, track);
        QFETCH(QString, probeAnswer);
        QFETCH(QStringList, media);
        Rig r;
        r.ui.answers = {Answer(answer)};
        r.ui.files = {file};
        r.ui.inputs = {track};
        r.probeAnswer = probeAnswer;
        r.commands.mnuControlRip();
        QCOMPARE(r.media, media);
        QVERIFY(r.engine.calls.isEmpty());
        QCOMPARE(r.ui.messages(), probeAnswer.isEmpty() ? QStringList{} : QStringList{probeAnswer});
    }

    void ripRecordsTheMediaIntoTheSelectionAndRedraws()
    {
        Rig r;
        r.window.merge = true;
        r.ui.answers = {Answer::Yes};
        r.ui.files = {"/m/song.wav"};
        r.commands.mnuControlRip();
        QCOMPARE(r.media, (QStringList{"probe /m/song.wav", "select /m/song.wav", "select "}));
        QCOMPARE(r.engine.callsOf("RecordTrack"), QStringList{"RecordTrack(1000,9000,1)"});
        QCOMPARE(r.engine.callsOf("StopTracks"), QStringList{"StopTracks(1000,9000,1)"});
        QCOMPARE(r.window.log.mid(r.window.log.size() - 3),
                 (QStringList{"Saving recorded track...", "draw", "hide"}));
        QVERIFY(!r.transportCommands.passRunning());
    }
};

QTEST_MAIN(CaptureCommandsTest)
#include "CaptureCommandsTest.moc"
