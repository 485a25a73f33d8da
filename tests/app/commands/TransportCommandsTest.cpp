// Play and Record without a window: the stand-in engine and a window that writes down what the
// commands ask of it.
#include "commands/TransportCommands.h"
#include "commands/StudioWindow.h"
#include "engineapi/EngineSession.h"
#include "state/ModVumo.h"
#include "state/ProjectModel.h"
#include "support/FakeEngine.h"
#include "support/LoggingWindow.h"
#include "support/ScriptedUiServices.h"
#include "transport/Transport.h"

#include <QSignalSpy>
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
    TransportCommands commands{model, session, transport, ui, window};

    explicit Rig(bool open = true)
    {
        mod.trackCount = 1;
        mod.tracks[0].volume = 255;
        mod.selEnd = 4000;
        if (open)
            session.open(262144);
        engine.calls.clear();
    }
};

} // namespace

class TransportCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void recordLocksMixesRecordsSavesAndRedraws()
    {
        Rig r;
        r.window.merge = true;
        r.commands.mnuControlRecord();
        QCOMPARE(r.window.log, (QStringList{"lock", "Mixing Tracks ...", "hide", "unlock",
                                            "Saving recorded track...", "draw", "hide"}));
        QCOMPARE(r.engine.callsOf(QStringLiteral("RecordTrack")),
                 QStringList{"RecordTrack(0,4000,1)"});
        QCOMPARE(r.engine.callsOf(QStringLiteral("StopTracks")),
                 QStringList{"StopTracks(0,4000,1)"});
        QVERIFY(!r.commands.passRunning());
    }

    void unmutingForATakeGoesThroughTheModel()
    {
        Rig r;
        r.mod.tracks[0].mute = 1;
        r.mod.tracks[0].volume = 0;
        QSignalSpy changed(&r.model, &ProjectModel::trackGainsChanged);
        r.ui.answers.push_back(Answer::Yes);
        r.commands.mnuControlRecord();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 0);
        QCOMPARE(r.engine.callsOf(QStringLiteral("SetTrackAttr")),
                 QStringList{"SetTrackAttr(0,255,0)"});
    }

    void nothingStartsWithoutAnEngineOrAChosenTrack_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("shown");
        QTest::newRow("engine closed") << false << 0
                                       << "The audio engine is not open. Open a project, or "
                                          "choose File Properties to open the engine again.";
        QTest::newRow("no track chosen") << true << -1 << "No track selected.";
    }
    void nothingStartsWithoutAnEngineOrAChosenTrack()
    {
        QFETCH(bool, open);
        QFETCH(int, chosen);
        QFETCH(QString, shown);
        Rig r(open);
        r.window.chosen = chosen;
        r.commands.mnuControlPlay();
        r.commands.mnuControlRecord();
        QCOMPARE(r.ui.messages(), (QStringList{shown, shown}));
        QVERIFY(r.engine.calls.isEmpty());
        QVERIFY(r.window.log.isEmpty());
    }
};

QTEST_MAIN(TransportCommandsTest)
#include "TransportCommandsTest.moc"
