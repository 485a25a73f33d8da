// Start-up: the command line, the opening question and the first project.
#include "settings/StartUp.h"
#include "../MainWindowFixture.h"
#include "settings/AppFolder.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

using namespace vumo;

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
    void mnuFileOpen() override { calls.append(QStringLiteral("Open")); }
    void NewAtStartup() override { calls.append(QStringLiteral("New")); }
    QString projectFile() const override { return openedFile; }
};

} // namespace

class StartUpTest : public QObject
{
    Q_OBJECT

private slots:
    void commandLineLosesEveryQuote()
    {
        QCOMPARE(
            cleanCommandLine({QStringLiteral("Vumo"), QStringLiteral("\"/home/a b/song.vum\"")}),
            QStringLiteral("/home/a b/song.vum"));
        QCOMPARE(cleanCommandLine({QStringLiteral("Vumo"), QStringLiteral("/home/a"),
                                   QStringLiteral("b/song.vum")}),
                 QStringLiteral("/home/a b/song.vum"));
        QCOMPARE(cleanCommandLine({QStringLiteral("Vumo")}), QString());
    }

    void firstProjectChoice_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QList<int>>("answers"); // 0 Yes, 1 No
        QTest::addColumn<QString>("openedFile");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QStringList>("calls");
        auto row = [](const char* what, const QStringList& arguments, QList<int> answers,
                      const char* openedFile, const QStringList& calls)
        {
            QTest::newRow(what) << arguments << answers << QString::fromLatin1(openedFile)
                                << !answers.isEmpty() << calls;
        };
        row("quoted .vum opens without the question", {"Vumo", "\"/p/My Song.vum\""}, {}, "",
            {"OpenProject /p/My Song.vum"});
        row("upper-case VUM opens too", {"Vumo", "/p/SONG.VUM"}, {}, "",
            {"OpenProject /p/SONG.VUM"});
        row(".cab leads to the question, No starts New", {"Vumo", "/p/song.cab"}, {1}, "", {"New"});
        row("no command line, Yes and cancel starts New", {"Vumo"}, {0}, "", {"Open", "New"});
        row("Yes and a project opened: no New", {"Vumo"}, {0}, "/p/a.vum", {"Open"});
        row("other file, No", {"Vumo", "notes.txt"}, {1}, "", {"New"});
    }
    void firstProjectChoice()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QList<int>, answers);
        QFETCH(QString, openedFile);
        QFETCH(bool, asked);
        QFETCH(QStringList, calls);
        ScriptedUiServices ui;
        for (int a : answers)
            ui.answers.push_back(a == 0 ? Answer::Yes : Answer::No);
        FakeCommands commands;
        commands.openedFile = openedFile;
        chooseFirstProject(cleanCommandLine(arguments), ui, commands);
        QCOMPARE(commands.calls, calls);
        if (asked)
        {
            QCOMPARE(ui.questions(),
                     QStringList{QStringLiteral("Do you want to open an existing project?")});
            QCOMPARE(ui.shown.first().title, QStringLiteral("Vumo"));
        }
        else
        {
            QVERIFY(ui.questions().isEmpty());
        }
    }

    void windowStartUpRunsTheSequence()
    {
        test::MainWindowFixture f;
        {
            QSettings store(f.home.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
            store.setValue(QStringLiteral("Settings/Default Track Length"), QStringLiteral("8"));
        }
        f.store->sync();
        f.ui.answers.push_back(Answer::Yes); // open an existing project ...
        f.ui.files.push_back(QString());     // ... but cancel the file dialog
        bool newSawStartupFlag = false;
        connect(f.window.get(), &frmVumo::commandStarted, this,
                [&](const QString& item)
                {
                    if (item == QStringLiteral("mnuFileNew"))
                        newSawStartupFlag = f.mod.startupNew;
                });
        f.window->show();
        f.window->startUp({QStringLiteral("Vumo")});

        QCOMPARE(QDir::currentPath(), QDir(f.home.path()).canonicalPath());
        QCOMPARE(f.window->CLIPFILE, joinPath(f.home.path(), QStringLiteral("clipper.wav")));
        QCOMPARE(f.mod.defaultTrackMB, int16_t{8});
        QCOMPARE(f.ui.questions(),
                 QStringList{QStringLiteral("Do you want to open an existing project?")});
        QCOMPARE(f.ui.texts(Shown::Kind::FileChoice), QStringList{QStringLiteral("*.vum;*.cab")});
        QVERIFY(newSawStartupFlag);
        QVERIFY(!f.mod.startupNew);
        // New set the fresh header values from the settings.
        QCOMPARE(f.mod.trackLength, 8 * 262144);
        QCOMPARE(f.mod.projTitle.trimmed(), QStringLiteral("untitled"));
        QVERIFY(f.window->FILESPEC.isEmpty());
        // Nothing of the engine is called before a project is open.
        QCOMPARE(f.engine->boundCount(), 0);
    }

    void windowStartUpOpensAQuotedProjectPath()
    {
        test::MainWindowFixture f;
        f.window->startUp({QStringLiteral("Vumo"), QStringLiteral("\"/x/y.vum\"")});
        // The path is opened without a question; it does not exist, which the user is told.
        QVERIFY(f.ui.questions().isEmpty());
        QCOMPARE(f.ui.messages().size(), 1);
        QVERIFY2(f.ui.messages().first().contains(QStringLiteral("/x/y.vum")),
                 qPrintable(f.ui.messages().first()));
    }
};

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
