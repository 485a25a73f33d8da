// Create Cab and OpenCabinet from the studio: the chain runs in vumo-chain, shown in the chain
// window, and the opened project points at the tracks where they were restored.
#include "commands/CabinetCommands.h"
#include "dialogs/FrmChain.h"
#include "platform/WaveHeader.h"
#include "support/ScriptedUiServices.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo;
using namespace vumo::test;

namespace
{

// A wave file of frames stereo frames counting up from base on the left, down on the right.
QByteArray waveBytes(int frames, int base)
{
    const auto header = platform::waveHeader(uint32_t(frames));
    QByteArray b(reinterpret_cast<const char*>(header.data()), int(header.size()));
    for (int i = 0; i < frames; ++i)
        for (const int sign : {1, -1})
        {
            const auto s = qint16((base + i) * sign);
            b.append(char(s & 0xFF)).append(char((s >> 8) & 0xFF));
        }
    return b;
}

} // namespace

class CabinetCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void createsAndOpensAProjectOnAnotherMachine()
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
            waves << waveBytes(2000, 50 * k);
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
    }

    void reportsCabinetsItCannotOpen_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("no name") << QStringLiteral("nofolder")
                                 << QStringLiteral("Unable to open CAB file!");
        QTest::newRow("not a cabinet")
            << QStringLiteral("Fake.cab") << QStringLiteral("The cabinet could not be opened: ");
    }

    void reportsCabinetsItCannotOpen()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        QTemporaryDir app;
        if (path.endsWith(QStringLiteral(".cab")))
        {
            path = app.filePath(path);
            QVERIFY(putFile(path, "not a cabinet"));
        }
        ScriptedUiServices ui;
        CabinetCommands commands(ui, app.path());
        QCOMPARE(commands.openCabinet(path), QString());
        QCOMPARE(ui.messages().size(), 1);
        QVERIFY2(ui.messages().first().startsWith(message), qPrintable(ui.messages().first()));
    }
};

QTEST_MAIN(CabinetCommandsTest)
#include "CabinetCommandsTest.moc"
