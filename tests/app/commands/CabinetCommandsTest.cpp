// Create Cab (vumo-chain, in the chain window) and OpenCabinet: the project meets its tracks, the
// user's files are kept when they say No, and cabinets that cannot be opened are reported with
// the runner's reason once it has exited, the application folder as it was.
#include "commands/CabinetCommands.h"
#include "../StudioFixture.h"
#include "cabinet/Cabinet.h"
#include "dialogs/FrmChain.h"
#include "support/TestFiles.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTest>

using namespace vumo;
using namespace vumo::test;

namespace
{

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

class CabinetCommandsTest : public QObject
{
    Q_OBJECT

private slots:
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
            std::vector<int16_t> samples; // counting up on the left, down on the right
            for (int i = 50 * k; i < 50 * k + 2000; ++i)
                samples.insert(samples.end(), {int16_t(i), int16_t(-i)});
            waves << waveBytes(samples);
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
        // A runner that removes the marker and goes on for six seconds before it fails: the
        // command waits for its exit, not for the marker (nor for a while after it).
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

QTEST_MAIN(CabinetCommandsTest)
#include "CabinetCommandsTest.moc"
