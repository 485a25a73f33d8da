// The main window over a scripted UI: programs, engine, shut-down, Options, help, start-up.
#include "../StudioFixture.h"
#include "commands/ProjectCommands.h"
#include "engineapi/EngineApi.h"
#include "settings/AppFolder.h"
#include "settings/Settings.h"
#include "settings/StartUp.h"
#include "support/ScriptedUiServices.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

using namespace vumo;
using Fixture = test::MainWindowFixture;
using test::EngineSpy;

namespace
{

// Records the project commands start-up runs.
struct FakeCommands : ProjectCommands
{
    QStringList calls;
    QString openedFile; // what Open leaves in FILESPEC

    void OpenProject(const QString& path) override
    {
        calls.append(QStringLiteral("OpenProject ") + path);
    }
    void OpenCabinet(const QString& path) override
    {
        calls.append(QStringLiteral("OpenCabinet ") + path);
    }
    void mnuFileOpen() override { calls.append(QStringLiteral("Open")); }
    void NewAtStartup() override { calls.append(QStringLiteral("New")); }
    QString projectFile() const override { return openedFile; }
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void outsideProgramAndEngineStartedOrReportedAndShutDown()
    {
        for (const auto& [item, starts] :
             {std::pair{"mnuAddInMixer", true}, {"mnuAddInMixer", false}, {"mnuAddInMidi", false}})
        {
            Fixture f;
            StudioSettings programs = f.mod.settings;
            programs.mixerPath = QStringLiteral("/no/mixer");
            programs.sequencerPath = QStringLiteral("/no/sequencer");
            f.model.setSettings(programs);
            f.ui.programsStart = starts;
            test::trigger(*f.window, item);
            const QString path =
                QByteArray(item).endsWith("Mixer") ? programs.mixerPath : programs.sequencerPath;
            QCOMPARE(f.ui.texts(Shown::Kind::Program), QStringList{path});
            QCOMPARE(f.ui.messages(),
                     starts ? QStringList{}
                            : QStringList{"Unable to find the file: \n" + path +
                                          "\nEdit the registry with the proper file name and path."
                                          "\nHere the path is set in Tools > Options (Audio Mixer, "
                                          "Midi Sequencer) and kept in the settings file " +
                                          QDir::toNativeSeparators(f.store->fileName()) + "."});
        }

        // Opening the engine selects the whole track or reports the failure.
        Fixture f{Fixture::Fake{}};
        f.setTrackLength(262144);
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
        QCOMPARE(f.sel().selStart, 0);
        QCOMPARE(f.sel().selEnd, 262142);

        // (engine open, Yes, CloseLib's result): Yes saves the edits; without an engine, no
        // question.
        for (const auto& [open, yes, closeResult] :
             {std::tuple{true, true, 0}, {true, false, 0}, {true, false, 5}, {false, false, 0}})
        {
            Fixture c{Fixture::Fake{}};
            c.setTrackLength(262144);
            if (open)
                c.window->OpenEngine();
            c.fake->results.insert(QStringLiteral("CloseLib"), closeResult);
            c.ui.answers.push_back(yes ? Answer::Yes : Answer::No);
            c.window->show();
            c.window->close();
            QCOMPARE(c.fake->callsOf(QStringLiteral("SaveEdits")).size(), open && yes ? 1 : 0);
            QCOMPARE(c.fake->callsOf(QStringLiteral("CloseLib")).size(), open ? 1 : 0);
            QCOMPARE(c.ui.messages().join(u'|'), closeResult == 0 ? "" : "Error in CloseLib: 5");
            QVERIFY(!c.window->session().isOpen());
            QCOMPARE(c.ui.questions(),
                     open ? QStringList{QStringLiteral("Save track edits?")} : QStringList{});
            if (!open) // (the message window's "Shutting down...": below)
                QVERIFY(c.fake->calls.isEmpty());
        }
    }

    // OK refuses a tempo or a MIDI buffer length that is no whole number in range, says so and
    // stays open; (box, typed, the value stored, or -1 for a refusal)
    void optionsRefusesANumberOutOfRangeAndStaysOpen()
    {
        Fixture f;
        const QString range[] = {
            "The tempo must be a whole number of milliseconds from 1 to 256.",
            "The MIDI buffer length must be a whole number from 1 to 16777216."};
        for (const auto& [box, typed, stored] : {std::tuple{"txtTempo", "abc", -1},
                                                 {"txtTempo", "0", -1},
                                                 {"txtTempo", "257", -1},
                                                 {"txtTempo", " 90 ", 90},
                                                 {"txtMidiBufLen", "many", -1},
                                                 {"txtMidiBufLen", "16777217", -1},
                                                 {"txtMidiBufLen", "1000", 1000}})
        {
            const bool tempo = qstrcmp(box, "txtTempo") == 0;
            const int before = tempo ? f.mod.tempo : f.mod.settings.midiBufLen;
            f.ui.shown.clear();
            bool open = false;
            f.ui.dialogs.push_back(
                [&, box = box, typed = typed](QDialog& d)
                {
                    test::child<QLineEdit>(d, box)->setText(QString::fromLatin1(typed));
                    test::child<QAbstractButton>(d, "cmdOK")->click();
                    open = d.isVisible();
                });
            test::trigger(*f.window, "mnuToolsOptions");
            QCOMPARE(open, stored < 0);
            QCOMPARE(tempo ? f.mod.tempo : f.mod.settings.midiBufLen, stored < 0 ? before : stored);
            // OK keeps the settings in the settings file.
            QCOMPARE(LoadSettings(*f.store).midiBufLen, f.mod.settings.midiBufLen);
            QCOMPARE(f.ui.messages(),
                     stored >= 0 ? QStringList() : QStringList{range[tempo ? 0 : 1]});
        }
    }

    void initTestCase() { test::useVirtualDevices(); }

    void init()
    {
        // A picture that does not load is a failure, not a warning.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("qt.svg")));
    }

    // A help page that cannot open is reported, and help mode ends.
    void aHelpPageThatCannotOpenIsReported()
    {
        Fixture f;
        f.ui.urlsOpen = false;
        f.window->setHelpMode(true);
        QTest::mouseClick(test::child<QToolButton>(*f.window, "cmdOpen"), Qt::LeftButton);
        QCOMPARE(f.ui.messages(), QStringList{QStringLiteral("Unable to open the help file.")});
        QVERIFY(!f.window->helpMode());
    }

    // A missing export and engine errors are shown with their cause. (That nothing is bound
    // before the first call: the start-up below.)
    void engineErrorsShowTheirCause()
    {
        Fixture f; // an engine without a single export
        f.window->OpenEngine();
        QCOMPARE(f.ui.messages(),
                 QStringList{QStringLiteral("The engine library wavorn has no export OpenLib.")});
        QVERIFY(!f.window->session().isOpen());

        // The export, the result and its reason (those of 10 and 14: tst_commands).
        for (const auto& [rc, shown] :
             {std::pair{3, "Error in SetCurTrack: 3"},
              {16, "Error in SetCurTrack: 16\nThe file holds no sample data."},
              {int(EngineBinding::kUnavailable),
               "Error in SetCurTrack: -2147483648\nThe engine library wavorn is missing or "
               "incomplete."}})
        {
            ScriptedUiServices ui;
            QVERIFY(!checkEngine(ui, "SetCurTrack", rc));
            QCOMPARE(ui.messages(), QStringList{QString::fromUtf8(shown)});
            QCOMPARE(ui.shown.first().title, QStringLiteral("Vumo"));
            QVERIFY(checkEngine(ui, "SetCurTrack", 0));
            QCOMPARE(ui.messages().size(), 1);
        }
    }

    // (command line, answers: 0 Yes, 1 No, the file Open leaves, the commands run); the
    // question is asked when an answer is given. Then the window's own start-up.
    void firstProjectChoiceAndWindowStartUp()
    {
        using Args = QStringList;
        for (const auto& [arguments, answers, openedFile, calls] :
             {// A quoted or upper-case .vum opens without the question.
              std::tuple{Args{"Vumo", "\"/p/My Song.VUM\""}, QList<int>{}, "",
                         Args{"OpenProject /p/My Song.VUM"}},
              // A cabinet is opened; one that gives no project is followed by the question.
              {Args{"Vumo", "/p/song.cab"}, QList<int>{}, "/p/song.vum",
               Args{"OpenCabinet /p/song.cab"}},
              {Args{"Vumo", "/p/bad.CAB"}, QList<int>{1}, "",
               Args{"OpenCabinet /p/bad.CAB", "New"}},
              // Yes and a cancelled file dialog start New; a project opened does not.
              {Args{"Vumo"}, QList<int>{0}, "", Args{"Open", "New"}},
              {Args{"Vumo"}, QList<int>{0}, "/p/a.vum", Args{"Open"}},
              {Args{"Vumo", "notes.txt"}, QList<int>{1}, "", Args{"New"}},
              // A split path is joined by a space.
              {Args{"Vumo", "/home/a", "b/song.vum"}, QList<int>{}, "",
               Args{"OpenProject /home/a b/song.vum"}}})
        {
            ScriptedUiServices ui;
            for (int a : answers)
                ui.answers.push_back(a == 0 ? Answer::Yes : Answer::No);
            FakeCommands commands;
            commands.openedFile = QString::fromLatin1(openedFile);
            chooseFirstProject(cleanCommandLine(arguments), ui, commands);
            QCOMPARE(commands.calls, calls);
            QCOMPARE(ui.questions(),
                     answers.isEmpty()
                         ? Args{}
                         : Args{QStringLiteral("Do you want to open an existing project?")});
            if (!answers.isEmpty())
                QCOMPARE(ui.shown.first().title, QStringLiteral("Vumo"));
        }

        // A path from the shell's folder, which start-up leaves for the application folder.
        QCOMPARE(commandLineFile({"Vumo", "my", "song.vum"}),
                 QDir::current().absoluteFilePath(QStringLiteral("my song.vum")));
        QCOMPARE(commandLineFile({"Vumo", "/p/a.cab"}), QStringLiteral("/p/a.cab"));

        // The window's start-up runs the sequence.
        QStringList looked; // the exports looked up
        Fixture f(
            [&looked](const char* name)
            {
                looked << QString::fromLatin1(name);
                return QFunctionPointer{};
            });
        {
            QSettings store(f.home.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
            store.setValue(QStringLiteral("Settings/Default Track Length"), QStringLiteral("8"));
        }
        f.store->sync();
        f.ui.answers.push_back(Answer::Yes);                    // open an existing project ...
        f.ui.files.push_back(QString());                        // ... but cancel the file dialog
        f.ui.dialogs.push_back([](QDialog& d) { d.reject(); }); // the start-up New's settings
        f.window->show();
        f.window->startUp({QStringLiteral("Vumo")});

        QCOMPARE(QDir::currentPath(), QDir(f.home.path()).canonicalPath());
        QCOMPARE(f.window->CLIPFILE, joinPath(f.home.path(), QStringLiteral("clipper.wav")));
        QCOMPARE(f.mod.settings.defaultTrackMB, int16_t{8});
        QCOMPARE(f.ui.questions(),
                 QStringList{QStringLiteral("Do you want to open an existing project?")});
        // New set the fresh header values from the settings.
        QCOMPARE(f.mod.trackLength, 8 * 262144);
        // Nothing of the engine is called before a project is open.
        QCOMPARE(looked, QStringList());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
