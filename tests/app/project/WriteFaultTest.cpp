// The studio's file writers under write faults (a full disk, a file size limit): the failure is
// reported with its cause, the previous file stays byte for byte, no part file is left, and the
// next write succeeds.
#include "../WriteFaults.h"
#include "drums/DrumFile.h"
#include "project/ProjectFile.h"

#include <QTest>

#include <functional>
#include <memory>

using namespace vumo;
using namespace vumo::test;

namespace
{

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the first (generation 0) or a later, larger version of one kind of file.
using Writer = std::function<QString(const QString& path, int generation)>;

QString writeProjectGeneration(const QString& path, int generation)
{
    project::ProjectData data = project::newProjectData(1);
    // Generation 0 has no tracks (282 bytes); later ones 17 (2934 bytes).
    for (int k = 0; generation > 0 && k < project::kMaxTracks; ++k)
        data.tracks.append({"t" + QByteArray::number(k), "/music/t" + QByteArray::number(k)});
    data.tempo = 100 + generation;
    return project::writeProject(path, data);
}

QString writeDrumGeneration(const QString& path, int generation)
{
    drums::DrumData data;
    data.songPattern = QString(generation + 1, u'1'); // 14877 bytes and more
    data.drumGrid[0][0][0] = uint8_t(generation);
    return drums::writeDrumFile(path, data);
}

} // namespace

Q_DECLARE_METATYPE(Writer)

class WriteFaultTest : public QObject
{
    Q_OBJECT

private slots:
    void failedWriteKeepsThePreviousFile_data()
    {
        QTest::addColumn<Writer>("write");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fullDisk"); // else a file size limit of 1024 bytes
        QTest::addColumn<QString>("message");
        const QString project = QStringLiteral("Unable to save the project file %1: ");
        const QString drum = QStringLiteral("Unable to save the drum file %1: ");
        QTest::newRow("project, full disk")
            << Writer(writeProjectGeneration) << "p.vum" << true << project;
        QTest::newRow("project, size limit")
            << Writer(writeProjectGeneration) << "p.vum" << false << project;
        QTest::newRow("drum file, full disk")
            << Writer(writeDrumGeneration) << "d.mbt" << true << drum;
        QTest::newRow("drum file, size limit")
            << Writer(writeDrumGeneration) << "d.mbt" << false << drum;
    }
    void failedWriteKeepsThePreviousFile()
    {
        QFETCH(Writer, write);
        QFETCH(QString, name);
        QFETCH(bool, fullDisk);
        QFETCH(QString, message);
        FullDisk disk; // a folder of its own, a 64 KiB tmpfs when mounting is allowed
        if (fullDisk && !disk.mounted())
            QSKIP("mounting a tmpfs needs root");
        const QString path = disk.path(name);
        QCOMPARE(write(path, 0), QString());
        const QByteArray before = fileBytes(path);

        QString error;
        if (fullDisk)
        {
            disk.fill();
            error = write(path, 1);
            disk.release();
        }
        else
        {
            const FileSizeLimit limit(1024);
            error = write(path, 1);
        }
        const QString why =
            fullDisk ? QStringLiteral("No space left on device") : QStringLiteral("File too large");
        QCOMPARE(error, message.arg(path) + why);
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(disk.names(), QStringList{name}); // no part file left

        QCOMPARE(write(path, 2), QString());
        QVERIFY(fileBytes(path).size() > before.size());
        QCOMPARE(disk.names(), QStringList{name});
    }
};

QTEST_GUILESS_MAIN(WriteFaultTest)
#include "WriteFaultTest.moc"
