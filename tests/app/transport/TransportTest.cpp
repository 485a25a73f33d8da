// Transport over the stand-in engine (positions while the engine plays; the ways a pass ends),
// then Play and Stop through the main window, the real engine and its virtual devices: the
// controls locked during a pass, closing the window during one, the drums on the MIDI output.
#include "transport/Transport.h"
#include "../StudioFixture.h"
#include "support/FakeEngine.h"

#include <QAbstractSlider>
#include <QAction>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>
#include <utility>

using namespace vumo;
using namespace vumo::test;

class TransportTest : public QObject
{
    Q_OBJECT

private:
    static QAction* action(StudioFixture& s, const char* name)
    {
        return s.w.findChild<QAction*>(QString::fromLatin1(name));
    }
    static void click(StudioFixture& s, const char* button)
    {
        QTest::mouseClick(child<QWidget>(s.w, button), Qt::LeftButton);
    }

private slots:
    // From frame 500 the engine plays for `turns` looks, 1000 frames further at each: it stops
    // after 3; the end of the selection is passed or met; Stop is pressed at 3000; nothing
    // plays.
    void passEnds()
    {
        for (const auto& [turns, end, stopAt, positions] :
             {std::tuple{3, 100000, 0, QList<int>{1500, 2500, 3500}},
              {100, 3000, 0, QList<int>{1500, 2500, 3500}},
              {100, 2500, 0, QList<int>{1500, 2500}},
              {1000000, 1 << 30, 3000, QList<int>{1500, 2500, 3500}},
              {0, 3000, 0, QList<int>{}}})
        {
            FakeEngine engine;
            auto looks = std::make_shared<int>(0);
            engine.answer = [looks, turns](const QString& name, const QString&)
            {
                if (name == QStringLiteral("IsPlaying"))
                    return ++*looks <= turns ? 1 : 0;
                return *looks * 1000; // GetPosition
            };
            Transport transport(engine);
            QSignalSpy started(&transport, &Transport::started);
            QSignalSpy position(&transport, &Transport::position);
            QSignalSpy finished(&transport, &Transport::finished);
            connect(&transport, &Transport::position, &transport,
                    [&transport, at = stopAt](int32_t frame)
                    {
                        if (at > 0 && frame >= at)
                            transport.stop();
                    });
            transport.follow(500, end);
            transport.waitForFinished();
            QVERIFY(!transport.running());
            QCOMPARE(started.size(), 1);
            QCOMPARE(finished.size(), 1);
            QList<int> seen;
            for (const QList<QVariant>& p : position)
                seen.append(p.at(0).toInt());
            QCOMPARE(seen, positions);
            QCOMPARE(engine.callsOf(QStringLiteral("GetPosition")).size(), positions.size());
            transport.stop(); // nothing runs: no second end
            QCOMPARE(finished.size(), 1);
        }
    }

    void initTestCase() { useVirtualDevices("50"); }
    void cleanup()
    {
        qunsetenv("VUMO_VIRTUAL_OUTPUT");
        qunsetenv("VUMO_VIRTUAL_MIDI_OUT");
    }

    // During a pass every button, box and bar of the window but Help and Stop is off, and so
    // are the menus; the record button stays off afterwards while the track is not armed.
    // Closing the window during a pass ends the pass before the engine closes.
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
        QTimer::singleShot(
            300, &s.w,
            [&]
            {
                for (QWidget* c : s.w.findChildren<QWidget*>())
                    if ((qobject_cast<QAbstractButton*>(c) || qobject_cast<QComboBox*>(c) ||
                         qobject_cast<QAbstractSlider*>(c)) &&
                        c->isVisible() && c->isEnabled())
                        enabled << c->objectName();
                for (const char* name : {"mnuControlPlay", "mnuControlRecord", "mnuControlStop",
                                         "mnuEdit", "mnuFile", "mnuFX", "mnuTrack"})
                    if (action(s, name)->isEnabled())
                        enabled << QString::fromLatin1(name);
                if (s.w.WAVEPLAYING)
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
        QVERIFY(action(s, "mnuFile")->isEnabled());
        QVERIFY(!child<QWidget>(s.w, "cmdRec")->isEnabled());
        QVERIFY(action(s, "mnuControlRecord")->isEnabled());

        bool closedAtOnce = true;
        QTimer::singleShot(200, &s.w,
                           [&]
                           {
                               s.w.close();
                               closedAtOnce = !s.w.WAVEPLAYING && !s.w.session().isOpen();
                           });
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
        drums::DrumData& d = s.mod.drums;
        d.songPattern = QStringLiteral("1x2");
        d.patLastBeat[0] = 3;
        d.patMsPerBeat[0] = 10;
        d.patLastBeat[1] = 1;
        d.patMsPerBeat[1] = 5;
        d.drumGrid[0][7][0] = 100; // Bass Drum 1, note 35
        d.drumGrid[0][10][2] = 90; // Snare Drum 1, note 38
        d.drumGrid[1][7][1] = 64;
        QTest::mouseClick(child<QCheckBox>(s.w, "chkDrums"), Qt::LeftButton);
        QVERIFY(action(s, "mnuControlActivateDrums")->isChecked());
        s.w.mnuEditSelectAll(); // about 6 s of audio, a tenth of a second at 50 times
        click(s, "CmdPlay");
        QFile log(s.path("midi.txt"));
        QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList messages;
        while (!log.atEnd())
            messages << QString::fromLatin1(log.readLine()).trimmed().section(u' ', 1);
        QCOMPARE(messages, (QStringList{"153 35 100", "153 38 90", "153 35 64"}));
    }
};

QTEST_MAIN(TransportTest)
#include "TransportTest.moc"
