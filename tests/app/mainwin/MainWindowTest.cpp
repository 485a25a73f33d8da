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

#include <tuple>
#include <utility>

using namespace vumo;

namespace
{

// A small engine: counts calls and answers with set results.
struct CountingEngine
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
        const std::pair<const char*, QFunctionPointer> exports[] = {
            {"OpenLib", reinterpret_cast<QFunctionPointer>(&OpenLib)},
            {"CloseLib", reinterpret_cast<QFunctionPointer>(&CloseLib)},
            {"SaveEdits", reinterpret_cast<QFunctionPointer>(&SaveEdits)},
            {"ClearTracks", reinterpret_cast<QFunctionPointer>(&ClearTracks)},
            {"TrackRead", reinterpret_cast<QFunctionPointer>(&TrackRead)}};
        for (const auto& [n, f] : exports)
            if (qstrcmp(n, name) == 0)
                return f;
        return nullptr;
    }
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { CountingEngine::reset(); }

    void controlsCarryTheirDesign()
    {
        test::MainWindowFixture f;
        frmVumo& w = *f.window;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("Multi-track Audio"));
        auto* frame = w.findChild<QGroupBox*>(QStringLiteral("fraTrack"));
        QCOMPARE(frame->title(), QStringLiteral("Active Track"));
        QVERIFY(!frame->isVisible()); // until the first track switch
        QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cboTrack"))->toolTip(),
                 QStringLiteral("Select Track"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblMem"))->text(), QStringLiteral("Mem:"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblLength"))->text(), QStringLiteral("Len:"));
        QVERIFY(w.findChild<view::WaveformView*>(QStringLiteral("picView")) != nullptr);
        const char* boxes[][3] = {{"chkDrums", "Drums", ""},
                                  {"chkMute", "Mute", "Do Not Use In Mix"},
                                  {"chkMerge", "Merge", "Over Dub"},
                                  {"chkArm", "Arm", "Arm Track for Record"}};
        for (const auto& [name, text, tip] : boxes)
        {
            auto* box = w.findChild<QCheckBox*>(QString::fromLatin1(name));
            QVERIFY2(box != nullptr && box->parentWidget() == frame, name);
            QCOMPARE(box->text(), QString::fromLatin1(text));
            QCOMPARE(box->toolTip(), QString::fromLatin1(tip));
        }
        const std::tuple<const char*, int, int, int> bars[] = {{"hscVol", 0, 255, 255},
                                                               {"hscPan", 0, 255, 128},
                                                               {"hscZoom", 1, 256, 1},
                                                               {"hscView", 0, 32767, 0}};
        for (const auto& [name, minimum, maximum, value] : bars)
        {
            auto* bar = w.findChild<QScrollBar*>(QString::fromLatin1(name));
            QVERIFY2(bar != nullptr, name);
            QCOMPARE(QList<int>({bar->minimum(), bar->maximum(), bar->value()}),
                     QList<int>({minimum, maximum, value}));
        }
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
        test::MainWindowFixture f;
        f.mod.mixerPath = QStringLiteral("/no/mixer");
        f.mod.sequencerPath = QStringLiteral("/no/sequencer");
        f.ui.programsStart = starts;
        f.window->findChild<QAction*>(item)->trigger();
        const QString path = item.endsWith(u"Mixer") ? f.mod.mixerPath : f.mod.sequencerPath;
        QCOMPARE(f.ui.texts(Shown::Kind::Program), QStringList{path});
        QCOMPARE(f.ui.messages(),
                 starts
                     ? QStringList{}
                     : QStringList{QStringLiteral("Unable to find the file: \n") + path +
                                   QStringLiteral(
                                       "\nEdit the registry with the proper file name and path.")});
    }

    void openEngineSelectsTheWholeTrackOrReportsFailure()
    {
        test::MainWindowFixture f(&CountingEngine::resolve);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.mod.trackLength = 262144;
        CountingEngine::openResult = 2;
        f.window->OpenEngine();
        QVERIFY(!f.window->session().isOpen());
        QCOMPARE(f.ui.messages(),
                 QStringList{QStringLiteral("There was an error opening the device drivers: 2")});
        QCOMPARE(CountingEngine::closeLib, 1);
        CountingEngine::openResult = 0;
        f.window->OpenEngine();
        QVERIFY(f.window->session().isOpen());
        QCOMPARE(CountingEngine::openedLength, 262144);
        QCOMPARE(CountingEngine::clearTracks, 1);
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
        QTest::addColumn<int>("saves");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("Yes saves") << true << true << 0 << 1 << QStringList{};
        QTest::newRow("No does not") << true << false << 0 << 0 << QStringList{};
        QTest::newRow("CloseLib error shown")
            << true << false << 5 << 0 << QStringList{QStringLiteral("Error in CloseLib: 5")};
        QTest::newRow("no engine, no question") << false << false << 0 << 0 << QStringList{};
    }
    void shutDownAsksToSaveEditsAndClosesTheEngine()
    {
        QFETCH(bool, open);
        QFETCH(bool, yes);
        QFETCH(int, closeResult);
        QFETCH(int, saves);
        QFETCH(QStringList, messages);
        test::MainWindowFixture f(&CountingEngine::resolve);
        f.mod.trackLength = 262144;
        if (open)
            f.window->OpenEngine();
        CountingEngine::closeResult = closeResult;
        f.ui.answers.push_back(yes ? Answer::Yes : Answer::No);
        f.window->show();
        QElapsedTimer timer;
        timer.start();
        f.window->close();
        QCOMPARE(CountingEngine::saveEdits, saves);
        QCOMPARE(CountingEngine::closeLib, open ? 1 : 0);
        QCOMPARE(f.ui.messages(), messages);
        QVERIFY(!f.window->session().isOpen());
        if (!open)
        {
            QVERIFY(f.ui.questions().isEmpty());
            QCOMPARE(f.engine->boundCount(), 0);
            return;
        }
        QVERIFY(timer.elapsed() >= 200); // the message window painted first
        QCOMPARE(f.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        auto* message = f.window->findChild<FrmMessage*>();
        QCOMPARE(message->message(), QStringLiteral("Shutting down..."));
        QVERIFY(!message->isVisible());
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
        QCOMPARE(f.window->picView()->trkbegin(), 0); // zoom 1 ignores the scroll bar
        zoomBar->setValue(256);
        QCOMPARE(f.window->picView()->zoom(), 256);
        QCOMPARE(f.window->picView()->trkbegin(), 1044448);
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
        QVERIFY(f.window->session().isOpen());
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
        QVERIFY(!f.window->session().isOpen());
        QCOMPARE(f.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        QVERIFY(f.ui.messages().isEmpty()); // CloseLib returned 0
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
