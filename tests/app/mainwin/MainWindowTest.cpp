// The main window: outside programs, engine open/close, shut-down, Options, the zoom bar.
#include "../MainWindowFixture.h"
#include "dialogs/FrmMessage.h"
#include "settings/MidiInputs.h"
#include "view/ViewMath.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace vumo;
using Fixture = test::MainWindowFixture;

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void outsideProgramIsStartedOrReported_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("starts");
        QTest::newRow("mixer starts") << "mnuAddInMixer" << true;
        QTest::newRow("mixer missing") << "mnuAddInMixer" << false;
        QTest::newRow("sequencer missing") << "mnuAddInMidi" << false;
    }
    void outsideProgramIsStartedOrReported()
    {
        QFETCH(QString, item);
        QFETCH(bool, starts);
        Fixture f;
        f.mod.mixerPath = QStringLiteral("/no/mixer");
        f.mod.sequencerPath = QStringLiteral("/no/sequencer");
        f.ui.programsStart = starts;
        f.window->findChild<QAction*>(item)->trigger();
        const QString path = item.endsWith(u"Mixer") ? f.mod.mixerPath : f.mod.sequencerPath;
        QCOMPARE(f.ui.texts(Shown::Kind::Program), QStringList{path});
        QCOMPARE(f.ui.messages(),
                 starts ? QStringList{}
                        : QStringList{"Unable to find the file: \n" + path +
                                      "\nEdit the registry with the proper file name and path."});
    }

    void openEngineSelectsTheWholeTrackOrReportsFailure()
    {
        Fixture f{Fixture::Fake{}};
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.mod.trackLength = 262144;
        f.fake->results.insert(QStringLiteral("OpenLib"), 2);
        f.window->OpenEngine();
        QVERIFY(!f.window->session().isOpen());
        QCOMPARE(f.ui.messages(),
                 QStringList{QStringLiteral("There was an error opening the device drivers: 2")});
        QCOMPARE(f.fake->callsOf(QStringLiteral("CloseLib")).size(), 1);
        f.fake->results.clear();
        f.window->OpenEngine();
        QVERIFY(f.window->session().isOpen());
        QVERIFY(f.fake->callsOf(QStringLiteral("OpenLib")).last().startsWith("OpenLib(262144,"));
        QCOMPARE(f.fake->callsOf(QStringLiteral("ClearTracks")).size(), 1);
        QCOMPARE(f.mod.selStart, 0);
        QCOMPARE(f.mod.selEnd, 262142);
        const int width = f.window->picView()->picture().width();
        QCOMPARE(f.window->picView()->tscale(), static_cast<float>(262144.0 / width));
    }

    void shutDownAsksToSaveEditsAndClosesTheEngine_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("closeResult");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("Yes saves") << true << true << 0 << QStringList{};
        QTest::newRow("No does not") << true << false << 0 << QStringList{};
        QTest::newRow("CloseLib error shown")
            << true << false << 5 << QStringList{QStringLiteral("Error in CloseLib: 5")};
        QTest::newRow("no engine, no question") << false << false << 0 << QStringList{};
    }
    void shutDownAsksToSaveEditsAndClosesTheEngine()
    {
        QFETCH(bool, open);
        QFETCH(bool, yes);
        QFETCH(int, closeResult);
        QFETCH(QStringList, messages);
        Fixture f{Fixture::Fake{}};
        f.mod.trackLength = 262144;
        if (open)
            f.window->OpenEngine();
        f.fake->results.insert(QStringLiteral("CloseLib"), closeResult);
        f.ui.answers.push_back(yes ? Answer::Yes : Answer::No);
        f.window->show();
        f.window->close();
        QCOMPARE(f.fake->callsOf(QStringLiteral("SaveEdits")).size(), open && yes ? 1 : 0);
        QCOMPARE(f.fake->callsOf(QStringLiteral("CloseLib")).size(), open ? 1 : 0);
        QCOMPARE(f.ui.messages(), messages);
        QVERIFY(!f.window->session().isOpen());
        QCOMPARE(f.ui.questions(),
                 open ? QStringList{QStringLiteral("Save track edits?")} : QStringList{});
        if (!open)
        {
            QVERIFY(f.fake->calls.isEmpty());
            return;
        }
        auto* message = f.window->findChild<FrmMessage*>();
        QCOMPARE(message->message(), QStringLiteral("Shutting down..."));
        QVERIFY(!message->isVisible());
    }

    void optionsCommandShowsTheDialogWithTheMidiInputs()
    {
        qputenv("VUMO_MIDI_BACKEND", "virtual");
        Fixture f;
        f.mod.tempo = 120;
        int devices = -1;
        f.ui.dialogs.push_back(
            [&](QDialog& dialog)
            {
                devices = test::child<QComboBox>(dialog, "cboMidiInDev")->count();
                dialog.close();
            });
        f.window->findChild<QAction*>(QStringLiteral("mnuToolsOptions"))->trigger();
        QCOMPARE(devices, midiInputNames().size()); // the device layer's MIDI inputs
        QVERIFY(devices >= 1);                      // at least the virtual input
        QCOMPARE(f.mod.tempo, 120);                 // closed without OK
    }

    void zoomBarSetsTheViewWindow()
    {
        Fixture f;
        f.mod.trackLength = 1048576;
        auto* viewBar = test::child<QScrollBar>(*f.window, "hscView");
        viewBar->setValue(32767);
        QCOMPARE(f.window->picView()->trkbegin(), 0); // zoom 1 ignores the scroll bar
        test::child<QScrollBar>(*f.window, "hscZoom")->setValue(256);
        QCOMPARE(f.window->picView()->zoom(), 256);
        QCOMPARE(f.window->picView()->trkbegin(), 1044448);
        QVERIFY(!viewBar->isHidden());
    }

    void realEngineDrawsWhatItHolds()
    {
        if (!QFileInfo::exists(QCoreApplication::applicationDirPath() + "/libwavorn.so"))
            QSKIP("libwavorn.so is not built in this build folder");
        qputenv("VUMO_AUDIO_BACKEND", "virtual");
        Fixture f{Fixture::RealEngine{}};
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.mod.trackLength = 262144; // 1 MB
        f.window->OpenEngine();
        QVERIFY(f.window->session().isOpen());
        // A full-scale left sample under column 100 shows as a bar over the top half.
        const view::ViewGeometry g = f.window->picView()->geometry();
        QCOMPARE(f.engine->TrackWrite(2 * view::columnFrame(100, g), 32767), 0);
        f.mod.selStart = f.mod.selEnd = 0;
        f.window->DrawTrack();
        const QImage& picture = f.window->picView()->picture();
        const int q = view::channelCentres(g.height).q;
        QCOMPARE(picture.pixel(100, q - 10), kRed.rgb());
        QVERIFY(picture.pixel(101, q - 10) != kRed.rgb());
        f.ui.answers.push_back(Answer::No); // Save track edits? No
        f.window->CloseProject();
        QVERIFY(!f.window->session().isOpen());
        QCOMPARE(f.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        QVERIFY(f.ui.messages().isEmpty()); // CloseLib returned 0
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
