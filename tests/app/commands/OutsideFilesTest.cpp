// Files from elsewhere and where the studio's own files go: special files, the application and
// engine folders, creating and opening cabinets.
#include "../StudioFixture.h"
#include "cabinet/Cabinet.h"
#include "commands/CabinetCommands.h"
#include "dialogs/FrmChain.h"
#include "drums/DrumFile.h"
#include "fx/EffectChain.h"
#include "fx/EffectSetting.h"
#include "settings/AppFolder.h"
#include "tests/SpecialFiles.h"
#include "tracks/TrackFiles.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <filesystem>

using namespace vumo;
using namespace vumo::test;

namespace
{

QString dataFolder()
{
    return QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Vumo/Vumo");
}

// The libraries this process has loaded, from its memory map.
QByteArray loadedLibraries()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}

// Every file and folder below folder, a file with its bytes.
QMap<QString, QByteArray> folderFiles(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder,
                         QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        files.insert(it.next(), fileBytes(it.filePath()));
    return files;
}

} // namespace

class OutsideFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useVirtualDevices();
        QStandardPaths::setTestModeEnabled(true); // the per-user folders of a test user
    }

    // Every reader, the window and Copy From refuse a special file at once; nothing is written.
    void specialFilesAreRefusedAtOnceByEveryReaderAndTheWindow()
    {
        StudioFixture s;
        QVERIFY(putFile(s.w.CLIPFILE, waveBytes({1, 2, 3, 4})));
        QCOMPARE(tracks::writeBlankWave(s.path("ok.wav")), QString());
        const QByteArray blank = fileBytes(s.path("ok.wav"));
        const auto special =
            specialfiles::make(std::filesystem::path(s.path("special").toStdString()));
        for (const auto& [what, path] : special)
        {
            // The message window's own short waits take a second here: a generous guard.
            const specialfiles::HangGuard guard(what, std::chrono::seconds(5));
            const QString file = QString::fromStdString(path);
            drums::DrumData drums;
            drums.songPattern = QStringLiteral("AB");
            fx::EffectSetting setting;
            fx::EffectChain chain;
            QString presetError, chainError;
            fx::loadEffectFile(file, setting, presetError);
            fx::loadChainFile(file, chain, chainError);
            for (const QString& error :
                 {project::readProject(file).error, presetError, chainError,
                  drums::readDrumFile(file, drums), drums::importDrumMap(file, drums)})
                QVERIFY2(error.contains(file) && error.contains(specialfiles::refusalOf(what)),
                         qPrintable(QString::fromStdString(what) + ": " + error));
            QCOMPARE(std::tuple(setting, chain, drums.songPattern, drums.drumNames[0]),
                     std::tuple(fx::EffectSetting(), fx::EffectChain(), QStringLiteral("AB"),
                                drums::DrumData().drumNames[0]));

            project::ProjectData data = project::newProjectData(1);
            data.tracks = {{"ok", QFile::encodeName(s.path("ok.wav"))}, {"odd", path.c_str()}};
            QCOMPARE(project::writeProject(s.path("p.vum"), data), QString());
            s.ui.shown.clear();
            s.ui.files = {s.path("p.vum")};
            s.w.mnuFileOpen();
            s.ui.files = {file};
            s.w.mnuEditCopyFrom();
            QCOMPARE(s.ui.messages().size(), 2);
            QCOMPARE(s.ui.messages().first(),
                     "Error in SetCurTrack: 15\n" + engineReason(15) + "\nTrack \"odd\": " + file);
            QVERIFY2(s.ui.messages().last().contains(specialfiles::refusalOf(what)),
                     qPrintable(s.ui.messages().last()));
            QCOMPARE(s.w.FILESPEC, s.path("p.vum"));
        }
        QCOMPARE(readWaveSamples(s.w.CLIPFILE), (std::vector<int16_t>{1, 2, 3, 4}));
        QCOMPARE(fileBytes(s.path("ok.wav")), blank);
        QCOMPARE(QDir(s.path("special")).entryList(QDir::Files | QDir::System).size(), 2);
        QVERIFY(std::filesystem::is_fifo(special[0].second));
        QCOMPARE(std::filesystem::file_size(special[4].second), uint64_t(4) << 30);
    }

    // (VUMO_HOME as a path below the program's temp parent, or unset; the folder chosen: home
    // or the data folder; the notice's start, or empty).
    void theApplicationFolderIsNeverWhereCodeIsLoadedFrom()
    {
        QTemporaryDir temp;
        const QString program = temp.filePath("bin"), data = dataFolder();
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(temp.filePath("lib")) &&
                QFile::link(program, temp.filePath("link")));
        const QString movedAway = "Working files (the clipboard, new tracks, cabinets) go to ",
                      refused = "VUMO_HOME names ", other = temp.filePath("songs");
        for (const auto& [home, chosen, notice] :
             {std::tuple{QString(), data, movedAway},
              {program, data, refused},
              {program + "/", data, refused},
              {temp.filePath("link"), data, refused},
              {program + "/../lib", data, refused},
              {other, QDir::toNativeSeparators(other), QString()}})
        {
            const AppFolderChoice choice = chooseApplicationFolder(home, program);
            QCOMPARE(choice.path, chosen);
            QVERIFY2(notice.isEmpty() ? choice.notice.isEmpty() : choice.notice.startsWith(notice),
                     qPrintable(home + ": " + choice.notice));
        }
        QVERIFY(QFileInfo(data).isDir());
    }

    // The studio in the program's folder as VUMO_HOME keeps its files in the data folder.
    void theStudioKeepsItsFilesInTheDataFolder()
    {
        QTemporaryDir home;
        qputenv("VUMO_HOME", QFile::encodeName(QCoreApplication::applicationDirPath()));
        QSettings store(home.filePath("settings.ini"), QSettings::IniFormat);
        ProjectModel model;
        ScriptedUiServices ui;
        EngineApi engine([](const char*) { return QFunctionPointer{}; });
        frmVumo w(model, engine, ui, store);
        w.startUp({"Vumo", "/no/such.vum"});
        QCOMPARE(w.CLIPFILE, joinPath(dataFolder(), "clipper.wav"));
        QVERIFY(ui.messages().first().startsWith("VUMO_HOME"));
        qunsetenv("VUMO_HOME");
    }

    // Only the engine beside the program, or in its "../lib", is loaded, never a decoy.
    void theEngineIsLoadedFromTheProgramsFolderOnly()
    {
        const QString real = QCoreApplication::applicationDirPath() + "/libwavorn.so";
        if (!QFileInfo::exists(real))
            QSKIP("libwavorn.so is not built in this build folder");
        QTemporaryDir temp;
        const QString decoy = temp.filePath("decoy");
        for (const QString& folder : {decoy, temp.filePath("empty"), temp.filePath("installed/lib"),
                                      temp.filePath("installed/bin")})
            QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(real, decoy + "/libwavorn.so"));
        QVERIFY(QFile::copy(real, temp.filePath("installed/lib/libwavorn.so")));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_LIBRARY_PATH", decoy);
        env.insert("VUMO_HOME", decoy);
        env.insert("VUMO_DECOY_CHILD", temp.path());
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(decoy);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {"-platform", "offscreen", "engineLoadedInAFreshProcess"});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitCode() == 0, child.readAll().constData());
    }

    // Run by the test above in a process of its own, whose library path holds the decoy.
    void engineLoadedInAFreshProcess()
    {
        const QString temp = qEnvironmentVariable("VUMO_DECOY_CHILD");
        if (temp.isEmpty())
            QSKIP("runs in the process theEngineIsLoadedFromTheProgramsFolderOnly starts");
        EngineApi nowhere(temp + "/empty");
        QCOMPARE(nowhere.OpenLib(1000, 0), EngineBinding::kUnavailable);
        QVERIFY2(nowhere.errorText().contains(temp + "/empty"), qPrintable(nowhere.errorText()));
        QVERIFY(!loadedLibraries().contains("libwavorn"));
        EngineApi installed(temp + "/installed/bin");
        QCOMPARE(installed.OpenLib(1000, 0), 0);
        QCOMPARE(installed.CloseLib(), 0);
        QVERIFY(
            loadedLibraries().contains(QFile::encodeName(temp) + "/installed/lib/libwavorn.so"));
        QVERIFY(!loadedLibraries().contains("decoy"));
    }

    void createsAndOpensAProjectKeepingTheFilesTheUserKeeps()
    {
        QTemporaryDir source, appA, appB;
        QDir(source.path()).mkdir("tracks");
        project::ProjectData data = project::newProjectData(1);
        data.projTitle = "Song";
        QList<QByteArray> waves;
        for (int k = 0; k < 2; ++k)
        {
            const QString file = source.filePath(QStringLiteral("tracks/t%1.wav").arg(k));
            data.tracks.append({"T" + QByteArray::number(k), QFile::encodeName(file)});
            waves << waveBytes(saw(2000, k));
            QVERIFY(putFile(file, waves.last()));
        }
        const QString projectPath = source.filePath("Song.vum");
        QCOMPARE(project::writeProject(projectPath, data), QString());

        ScriptedUiServices ui;
        CabinetCommands create(ui, appA.path());
        QVERIFY(create.createCab(projectPath, data));
        QSignalSpy ended(create.chainWindow(), &FrmChain::chainEnded);
        QVERIFY(ended.wait(20000));
        QCOMPARE(ended.first().first().toBool(), true);
        QVERIFY(ui.messages().isEmpty());
        const QString cabinet = appA.filePath("Song/Song.cab");
        QVERIFY(QFile::exists(cabinet));

        // The user has changed the tracks since, and keeps them: No to the question.
        for (const project::TrackRecordData& t : data.tracks)
            QVERIFY(putFile(QFile::decodeName(t.fileName), "the user's take"));
        ui.answers = {Answer::No};
        CabinetCommands open(ui, appB.path());
        const QString opened = open.openCabinet(cabinet);
        QCOMPARE(opened, appB.filePath("Song.vum"));
        QCOMPARE(ui.questions().size(), 1);
        QCOMPARE(ui.messages().size(), 1);
        QVERIFY(ui.messages().first().contains("restored beside the project"));
        const project::ProjectReadResult read = project::readProject(opened);
        QVERIFY(read.ok());
        for (int k = 0; k < 2; ++k)
        {
            QCOMPARE(fileBytes(QFile::decodeName(data.tracks[k].fileName)),
                     QByteArray("the user's take"));
            const QString file = QFile::decodeName(read.project.tracks[k].fileName);
            QCOMPARE(file, appB.filePath(QStringLiteral("t%1.wav").arg(k)));
            QCOMPARE(fileBytes(file), waves[k]);
        }
    }

    void reportsCabinetsThatCannotBeOpenedWithTheReasonAndChangesNothing()
    {
        QTemporaryDir app, staging;
        const QString fake = staging.filePath("Fake.cab"), evil = staging.filePath("libwavorn.so");
        QVERIFY(putFile(fake, "not a cabinet") && putFile(evil, "evil"));
        const cab::Directive directive{"Evil.cab", {}, false, {evil.toStdString()}};
        QCOMPARE(cab::makeCabinet(directive, staging.path().toStdString()), std::string());
        // A runner that removes the marker and fails six seconds later: the command waits.
        const QString late = staging.filePath("late-runner");
        QVERIFY(putFile(late, "#!/bin/sh\nrm -f \"$1/vumo.ddf\"\nsleep 6\n"
                              "echo 'failed the late reason'\nexit 1\n"));
        QFile::setPermissions(late, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QVERIFY(putFile(app.filePath("libwavorn.so"), "the engine"));
        const QMap<QString, QByteArray> before = folderFiles(app.path());

        const std::tuple<QString, QString, const char*> rows[] = {
            {"nofolder", QString(), "Unable to open CAB file!"},
            {fake, QString(), "The cabinet could not be opened: Not a valid Vumo CAB! "},
            {staging.filePath("Evil.cab"), QString(),
             "The cabinet could not be opened: Not a valid Vumo CAB! It holds the file "
             "\"libwavorn.so\""},
            {fake, late, "The cabinet could not be opened: the late reason"},
            {fake, staging.filePath("no-runner"),
             "The cabinet could not be opened: The cabinet chain runner could not be started: "},
        };
        for (const auto& [path, runner, message] : rows)
        {
            ScriptedUiServices ui;
            CabinetCommands commands(ui, app.path());
            if (!runner.isEmpty())
                commands.setRunner(runner);
            QCOMPARE(commands.openCabinet(path), QString());
            QVERIFY(!commands.chainWindow() || !commands.chainWindow()->running());
            QCOMPARE(ui.messages().size(), 1);
            QVERIFY2(ui.messages().first().startsWith(QString::fromLatin1(message)),
                     qPrintable(ui.messages().first()));
            QCOMPARE(folderFiles(app.path()), before);
        }
    }
};

QTEST_MAIN(OutsideFilesTest)
#include "OutsideFilesTest.moc"
