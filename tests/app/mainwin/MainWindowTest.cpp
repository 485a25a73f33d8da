// The main window: its controls, About, outside programs, engine open/close, shut-down,
// Options, and how fast it first paints.
#include "../MainWindowFixture.h"
#include "dialogs/FrmMessage.h"
#include "state/MidiInputs.h"
#include "view/ViewMath.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace vumo;

namespace
{

// A small engine: counts calls and answers with set results.
struct FakeEngine
{
    static inline int saveEdits = 0;
    static inline int closeLib = 0;
    static inline int clearTracks = 0;
    static inline int32_t openResult = 0;
    static inline int32_t closeResult = 0;
    static inline int32_t openedLength = 0;

    static void reset()
    {
        saveEdits = closeLib = clearTracks = 0;
        openResult = closeResult = openedLength = 0;
    }
    static int32_t OpenLib(int32_t length, int32_t)
    {
        openedLength = length;
        return openResult;
    }
    static int32_t CloseLib()
    {
        ++closeLib;
        return closeResult;
    }
    static int32_t SaveEdits()
    {
        ++saveEdits;
        return 0;
    }
    static int32_t ClearTracks()
    {
        ++clearTracks;
        return 0;
    }
    static int32_t TrackRead(int32_t) { return 0; }

    static QFunctionPointer resolve(const char* name)
    {
        const QByteArray n(name);
        if (n == "OpenLib")
            return reinterpret_cast<QFunctionPointer>(&OpenLib);
        if (n == "CloseLib")
            return reinterpret_cast<QFunctionPointer>(&CloseLib);
        if (n == "SaveEdits")
            return reinterpret_cast<QFunctionPointer>(&SaveEdits);
        if (n == "ClearTracks")
            return reinterpret_cast<QFunctionPointer>(&ClearTracks);
        if (n == "TrackRead")
            return reinterpret_cast<QFunctionPointer>(&TrackRead);
        return nullptr;
    }
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { FakeEngine::reset(); }

    void windowStartsWithItsDesignCaption()
    {
        test::MainWindowFixture f;
        QCOMPARE(f.window->objectName(), QStringLiteral("frmVumo"));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Multi-track Audio"));
    }

    void trackControlsCarryTheirTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");
        QTest::newRow("chkDrums") << "chkDrums"
                                  << "Drums"
                                  << "";
        QTest::newRow("chkMute") << "chkMute"
                                 << "Mute"
                                 << "Do Not Use In Mix";
        QTest::newRow("chkMerge") << "chkMerge"
                                  << "Merge"
                                  << "Over Dub";
        QTest::newRow("chkArm") << "chkArm"
                                << "Arm"
                                << "Arm Track for Record";
    }
    void trackControlsCarryTheirTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        test::MainWindowFixture f;
        auto* box = f.window->findChild<QCheckBox*>(name);
        QVERIFY(box != nullptr);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->toolTip(), tip);
        QCOMPARE(box->parentWidget()->objectName(), QStringLiteral("fraTrack"));
    }

    void trackFrameIsHiddenAtFirst()
    {
        test::MainWindowFixture f;
        f.window->show();
        auto* frame = f.window->findChild<QGroupBox*>(QStringLiteral("fraTrack"));
        QCOMPARE(frame->title(), QStringLiteral("Active Track"));
        QVERIFY(!frame->isVisible());
        auto* track = f.window->findChild<QComboBox*>(QStringLiteral("cboTrack"));
        QCOMPARE(track->toolTip(), QStringLiteral("Select Track"));
    }

    void barsHaveTheirRanges_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::newRow("hscVol") << "hscVol" << 0 << 255 << 255;
        QTest::newRow("hscPan") << "hscPan" << 0 << 255 << 128;
        QTest::newRow("hscZoom") << "hscZoom" << 1 << 256 << 1;
        QTest::newRow("hscView") << "hscView" << 0 << 32767 << 0;
    }
    void barsHaveTheirRanges()
    {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        test::MainWindowFixture f;
        auto* bar = f.window->findChild<QScrollBar*>(name);
        QVERIFY(bar != nullptr);
        QCOMPARE(bar->minimum(), minimum);
        QCOMPARE(bar->maximum(), maximum);
        QCOMPARE(bar->value(), value);
    }

    void labelsShowMemoryAndLength()
    {
        test::MainWindowFixture f;
        QCOMPARE(f.window->findChild<QLabel*>(QStringLiteral("lblMem"))->text(),
                 QStringLiteral("Mem:"));
        QCOMPARE(f.window->findChild<QLabel*>(QStringLiteral("lblLength"))->text(),
                 QStringLiteral("Len:"));
        QVERIFY(f.window->findChild<view::WaveformView*>(QStringLiteral("picView")) != nullptr);
    }

    void aboutShowsProductCompanyAndVersion()
    {
        test::MainWindowFixture f;
        f.window->findChild<QAction*>(QStringLiteral("mnuHelpAbout"))->trigger();
        QCOMPARE(f.ui.messages().size(), 1);
        const QStringList lines = f.ui.messages().first().split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Vumo - Multitrack Audio Recording"));
        QVERIFY(lines[1].startsWith(QStringLiteral("by ")));
        QCOMPARE(lines[2], QStringLiteral("Version 1.1.0"));
    }

    void outsideProgramThatDoesNotStartIsReported_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("mixer");
        QTest::newRow("mixer") << "mnuAddInMixer" << true;
        QTest::newRow("sequencer") << "mnuAddInMidi" << false;
    }
    void outsideProgramThatDoesNotStartIsReported()
    {
        QFETCH(QString, item);
        QFETCH(bool, mixer);
        test::MainWindowFixture f;
        f.mod.mixerPath = QStringLiteral("/no/mixer");
        f.mod.sequencerPath = QStringLiteral("/no/sequencer");
        f.ui.programsStart = false;
        f.window->findChild<QAction*>(item)->trigger();
        const QString path = mixer ? f.mod.mixerPath : f.mod.sequencerPath;
        QCOMPARE(f.ui.texts(Shown::Kind::Program), QStringList{path});
        QCOMPARE(
            f.ui.messages(),
            QStringList{QStringLiteral("Unable to find the file: \n") + path +
                        QStringLiteral("\nEdit the registry with the proper file name and path.")});
    }

    void outsideProgramThatStartsShowsNothing()
    {
        test::MainWindowFixture f;
        f.mod.mixerPath = QStringLiteral("mixer");
        f.window->findChild<QAction*>(QStringLiteral("mnuAddInMixer"))->trigger();
        QCOMPARE(f.ui.texts(Shown::Kind::Program), QStringList{QStringLiteral("mixer")});
        QVERIFY(f.ui.messages().isEmpty());
    }

    void openEngineSelectsTheWholeTrack()
    {
        test::MainWindowFixture f(&FakeEngine::resolve);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.mod.trackLength = 262144;
        f.window->OpenEngine();
        QVERIFY(f.window->bInitLib);
        QCOMPARE(FakeEngine::openedLength, 262144);
        QCOMPARE(FakeEngine::clearTracks, 1);
        QCOMPARE(f.mod.selStart, 0);
        QCOMPARE(f.mod.selEnd, 262142);
        const int width = f.window->picView()->picture().width();
        QCOMPARE(f.window->tscale, static_cast<float>(262144.0 / width));
    }

    void openEngineFailureIsReported()
    {
        test::MainWindowFixture f(&FakeEngine::resolve);
        FakeEngine::openResult = 2;
        f.mod.trackLength = 262144;
        f.window->OpenEngine();
        QVERIFY(!f.window->bInitLib);
        QCOMPARE(f.ui.messages(),
                 QStringList{QStringLiteral("There was an error opening the device drivers: 2")});
        QCOMPARE(FakeEngine::closeLib, 1);
    }

    void shutDownAsksToSaveEditsAndClosesTheEngine_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("closeResult");
        QTest::addColumn<int>("saves");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("Yes saves") << true << 0 << 1 << QStringList{};
        QTest::newRow("No does not") << false << 0 << 0 << QStringList{};
        QTest::newRow("CloseLib error shown")
            << false << 5 << 0 << QStringList{QStringLiteral("Error in CloseLib: 5")};
    }
    void shutDownAsksToSaveEditsAndClosesTheEngine()
    {
        QFETCH(bool, yes);
        QFETCH(int, closeResult);
        QFETCH(int, saves);
        QFETCH(QStringList, messages);
        test::MainWindowFixture f(&FakeEngine::resolve);
        f.mod.trackLength = 262144;
        f.window->OpenEngine();
        FakeEngine::closeResult = closeResult;
        f.ui.answers.push_back(yes ? Answer::Yes : Answer::No);
        f.window->show();
        QElapsedTimer timer;
        timer.start();
        f.window->close();
        QVERIFY(timer.elapsed() >= 200); // the message window painted first
        QCOMPARE(f.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        QCOMPARE(FakeEngine::saveEdits, saves);
        QCOMPARE(FakeEngine::closeLib, 1);
        QCOMPARE(f.ui.messages(), messages);
        QVERIFY(!f.window->bInitLib);
        auto* message = f.window->findChild<FrmMessage*>();
        QCOMPARE(message->message(), QStringLiteral("Shutting down..."));
        QVERIFY(!message->isVisible());
    }

    void shutDownWithoutEngineAsksNothing()
    {
        test::MainWindowFixture f(&FakeEngine::resolve);
        f.window->show();
        f.window->close();
        QVERIFY(f.ui.questions().isEmpty());
        QCOMPARE(FakeEngine::closeLib, 0);
        QCOMPARE(f.engine->boundCount(), 0);
    }

    void optionsCommandShowsTheDialogWithTheMidiInputs()
    {
        qputenv("VUMO_MIDI_BACKEND", "virtual");
        test::MainWindowFixture f;
        f.mod.tempo = 120;
        bool sawDialog = false;
        int devices = -1;
        QTimer::singleShot(
            0, this,
            [&]
            {
                QWidget* dialog = QApplication::activeModalWidget();
                if (dialog == nullptr)
                    return;
                sawDialog = dialog->objectName() == QStringLiteral("frmOptions") &&
                            dialog->windowTitle() == QStringLiteral("Options");
                devices = dialog->findChild<QComboBox*>(QStringLiteral("cboMidiInDev"))->count();
                dialog->close();
            });
        f.window->findChild<QAction*>(QStringLiteral("mnuToolsOptions"))->trigger();
        QVERIFY(sawDialog);
        QCOMPARE(devices, midiInputNames().size()); // the device layer's MIDI inputs
        QVERIFY(devices >= 1);                      // at least the virtual input
        QCOMPARE(f.mod.tempo, 120);                 // closed without OK
    }

    void zoomBarSetsTheViewWindow()
    {
        test::MainWindowFixture f;
        f.mod.trackLength = 1048576;
        auto* zoomBar = f.window->findChild<QScrollBar*>(QStringLiteral("hscZoom"));
        auto* viewBar = f.window->findChild<QScrollBar*>(QStringLiteral("hscView"));
        viewBar->setValue(32767);
        QCOMPARE(f.window->trkbegin, 0); // zoom 1 ignores the scroll bar
        zoomBar->setValue(256);
        QCOMPARE(f.window->zoom, 256);
        QCOMPARE(f.window->trkbegin, 1044448);
        QVERIFY(!viewBar->isHidden());
    }

    void realEngineDrawsWhatItHolds()
    {
        if (!QFileInfo::exists(QCoreApplication::applicationDirPath() +
                               QStringLiteral("/libwavorn.so")))
            QSKIP("libwavorn.so is not built in this build folder");
        qputenv("VUMO_AUDIO_BACKEND", "virtual");
        test::MainWindowFixture f{test::MainWindowFixture::RealEngine{}};
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.mod.trackLength = 262144; // 1 MB
        f.window->OpenEngine();
        QVERIFY(f.window->bInitLib);
        QVERIFY(f.ui.messages().isEmpty());
        QCOMPARE(f.mod.selEnd, 262142);
        // A full-scale left sample under column 100 shows as a bar over the top half.
        const view::ViewGeometry g = f.window->picView()->geometry();
        const int32_t frame = view::columnFrame(100, g);
        QCOMPARE(f.engine->TrackWrite(2 * frame, 32767), 0);
        f.mod.selStart = f.mod.selEnd = 0;
        f.window->DrawTrack();
        const QImage& picture = f.window->picView()->picture();
        const int q = view::channelCentres(g.height).q;
        QCOMPARE(picture.pixel(100, q - 10), kRed.rgb());
        QVERIFY(picture.pixel(101, q - 10) != kRed.rgb());
        f.ui.answers.push_back(Answer::No); // Save track edits? No
        f.window->CloseProject();
        QVERIFY(!f.window->bInitLib);
        QCOMPARE(f.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        QVERIFY(f.ui.messages().isEmpty()); // CloseLib returned 0
    }

    void startsToAPaintedWindowQuickly()
    {
        QElapsedTimer timer;
        timer.start();
        test::MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.window->repaint();
        const qint64 ms = timer.elapsed();
        qInfo("construct, show and paint the main window: %lld ms", ms);
        QVERIFY2(ms < 500, qPrintable(QStringLiteral("%1 ms").arg(ms)));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
