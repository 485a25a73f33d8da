// Create Cab and OpenCabinet from the studio: the chain runs in vumo-chain, shown in the chain
// window, and the opened project points at the tracks where they were restored.
#include "commands/CabinetCommands.h"
#include "dialogs/FrmChain.h"
#include "support/ScriptedUiServices.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo;

namespace
{

QByteArray waveBytes(int frames, int base)
{
    QByteArray data;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c)
        {
            const qint16 s = qint16((base + i) * (c ? -1 : 1));
            data.append(char(s & 0xFF)).append(char((s >> 8) & 0xFF));
        }
    QByteArray h(
        "RIFF....WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0data....", 44);
    const quint32 riff = quint32(data.size() + 36), size = quint32(data.size());
    for (int i = 0; i < 4; ++i)
    {
        h[4 + i] = char(riff >> (8 * i));
        h[40 + i] = char(size >> (8 * i));
    }
    return h + data;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class CabinetCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void createsAndOpensAProjectOnAnotherMachine();
    void reportsCabinetsItCannotOpen_data();
    void reportsCabinetsItCannotOpen();
};

void CabinetCommandsTest::createsAndOpensAProjectOnAnotherMachine()
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
        t.fileName = QFile::encodeName(source.filePath(QStringLiteral("tracks/t%1.wav").arg(k)));
        waves << waveBytes(2000, 50 * k);
        writeFile(QFile::decodeName(t.fileName), waves.last());
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
        QCOMPARE(readFile(file), waves[k]);
    }
}

void CabinetCommandsTest::reportsCabinetsItCannotOpen_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QTest::newRow("no name") << QStringLiteral("nofolder")
                             << QStringLiteral("Unable to open CAB file!");
    QTest::newRow("not a cabinet")
        << QStringLiteral("Fake.cab") << QStringLiteral("The cabinet could not be opened: ");
}

void CabinetCommandsTest::reportsCabinetsItCannotOpen()
{
    QFETCH(QString, path);
    QFETCH(QString, message);
    QTemporaryDir app;
    if (path.endsWith(QStringLiteral(".cab")))
    {
        path = app.filePath(path);
        writeFile(path, "not a cabinet");
    }
    ScriptedUiServices ui;
    CabinetCommands commands(ui, app.path());
    QCOMPARE(commands.openCabinet(path), QString());
    QCOMPARE(ui.messages().size(), 1);
    QVERIFY2(ui.messages().first().startsWith(message), qPrintable(ui.messages().first()));
}

QTEST_MAIN(CabinetCommandsTest)
#include "CabinetCommandsTest.moc"
