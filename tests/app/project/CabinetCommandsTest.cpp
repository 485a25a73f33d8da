// Create Cab (vumo-chain, in the chain window) and OpenCabinet: the project meets its tracks.
#include "commands/CabinetCommands.h"
#include "../StudioFixture.h"
#include "dialogs/FrmChain.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTest>

using namespace vumo;
using namespace vumo::test;

class CabinetCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void createsAndOpensAProjectOnAnotherMachineAndReportsBadCabinets()
    {
        QTemporaryDir source, appA, appB;
        QDir(source.path()).mkdir(QStringLiteral("tracks"));
        project::ProjectData data = project::newProjectData(1);
        data.projTitle = "Song";
        QList<QByteArray> waves;
        for (int k = 0; k < 2; ++k)
        {
            project::TrackRecordData t;
            t.title = "T" + QByteArray::number(k);
            t.fileName =
                QFile::encodeName(source.filePath(QStringLiteral("tracks/t%1.wav").arg(k)));
            std::vector<int16_t> samples; // counting up on the left, down on the right
            for (int i = 50 * k; i < 50 * k + 2000; ++i)
                samples.insert(samples.end(), {int16_t(i), int16_t(-i)});
            waves << waveBytes(samples);
            QVERIFY(putFile(QFile::decodeName(t.fileName), waves.last()));
            data.tracks << t;
        }
        const QString projectPath = source.filePath(QStringLiteral("Song.vum"));
        QCOMPARE(project::writeProject(projectPath, data), QString());

        ScriptedUiServices ui;
        CabinetCommands create(ui, appA.path());
        QVERIFY(create.createCab(projectPath, data));
        QSignalSpy ended(create.chainWindow(), &FrmChain::chainEnded);
        QVERIFY(ended.wait(20000));
        QCOMPARE(ended.first().first().toBool(), true);
        QVERIFY(ui.messages().isEmpty());
        const QString cabinet = appA.filePath(QStringLiteral("Song/Song.cab"));
        QVERIFY(QFile::exists(cabinet));

        QDir(source.filePath(QStringLiteral("tracks"))).removeRecursively();
        CabinetCommands open(ui, appB.path());
        const QString opened = open.openCabinet(cabinet);
        QCOMPARE(opened, appB.path() + QStringLiteral("/Song.vum"));
        QCOMPARE(ui.messages().size(), 1);
        QVERIFY(ui.messages().first().contains(QStringLiteral("restored beside the project")));
        const project::ProjectReadResult read = project::readProject(opened);
        QVERIFY(read.ok());
        for (int k = 0; k < 2; ++k)
        {
            const QString file = QFile::decodeName(read.project.tracks[k].fileName);
            QCOMPARE(file, appB.filePath(QStringLiteral("t%1.wav").arg(k)));
            QCOMPARE(fileBytes(file), waves[k]);
        }

        // Cabinets that cannot be opened are reported.
        QTemporaryDir app;
        const QString fake = app.filePath(QStringLiteral("Fake.cab"));
        QVERIFY(putFile(fake, "not a cabinet"));
        for (const auto& [path, message] :
             {std::pair{QStringLiteral("nofolder"), "Unable to open CAB file!"},
              {fake, "The cabinet could not be opened: "}})
        {
            ScriptedUiServices ui;
            CabinetCommands commands(ui, app.path());
            QCOMPARE(commands.openCabinet(path), QString());
            QCOMPARE(ui.messages().size(), 1);
            QVERIFY2(ui.messages().first().startsWith(QString::fromLatin1(message)),
                     qPrintable(ui.messages().first()));
        }
    }
};

QTEST_MAIN(CabinetCommandsTest)
#include "CabinetCommandsTest.moc"
