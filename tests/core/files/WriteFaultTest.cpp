// The studio's file writers on a full disk and past a file size limit: the cause is reported, the
// previous file stays byte for byte, no part file is left, and the next write succeeds.
#include "cabinet/Cabinet.h"
#include "cabinet/CabinetScript.h"
#include "drums/DrumFile.h"
#include "fx/EffectChain.h"
#include "fx/EffectSetting.h"
#include "platform/WaveHeader.h"
#include "project/ProjectFile.h"
#include "shorten/Shorten.h"
#include "tests/app/WriteFaults.h"
#include "tests/app/support/TestFiles.h"

#include <QFileInfo>
#include <QTest>

#include <optional>
#include <random>
#include <tuple>

using namespace vumo;
using namespace vumo::test;

namespace
{

// Writes the first (generation 0) or a later, larger version of one kind of file.
using Writer = QString (*)(const QString& path, int generation);

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

QString writePresetGeneration(const QString& path, int generation)
{
    fx::EffectSetting setting;
    fx::fillDefaults(setting, 15);
    setting.caption1 = QByteArray(generation == 0 ? 4 : 900 + generation, 'c');
    setting.caption2 = setting.caption1;
    QString error;
    return fx::saveEffectFile(path, setting, error) ? QString() : error;
}

QString writeChainGeneration(const QString& path, int generation)
{
    fx::EffectChain chain;
    chain.count = int16_t(generation == 0 ? 1 : 17);
    for (int i = 0; i < chain.count; ++i)
        chain.entries[size_t(i)] = {generation, 2, 0, 3, 0, 15};
    QString error;
    return fx::saveChainFile(path, chain, error) ? QString() : error;
}

QString writeBatchGeneration(const QString& path, int generation)
{
    cab::Lines lines(generation == 0 ? 1 : 300 * generation, "shortn32.exe /music/take.wav t0.shn");
    return QString::fromStdString(cab::writeLines(path.toStdString(), lines));
}

// A wave file outside the faulty folder: noise, larger for later generations.
QString sourceWave(int generation)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("source%1.wav").arg(generation));
    const uint32_t frames = generation == 0 ? 16 : 400u * uint32_t(generation);
    const auto header = platform::waveHeader(frames);
    QByteArray wave(reinterpret_cast<const char*>(header.data()), int(header.size()));
    std::mt19937 noise(12345);
    for (uint32_t i = 0; i < 4 * frames; ++i)
        wave.append(char(noise()));
    putFile(path, wave);
    return path;
}

QString writeShortenGeneration(const QString& path, int generation)
{
    std::string error;
    cab::shortenEncodeFile(sourceWave(generation).toStdString(), path.toStdString(), error);
    return QString::fromStdString(error);
}

// Makes a cabinet of that name in folder holding the file source.
QString makeCabinet(const QString& folder, const QString& name, const QString& source)
{
    const cab::Directive directive{name.toStdString(), {}, false, {source.toStdString()}};
    return QString::fromStdString(cab::makeCabinet(directive, folder.toStdString()));
}

QString writeCabinetGeneration(const QString& path, int generation)
{
    return makeCabinet(QFileInfo(path).path(), QFileInfo(path).fileName(), sourceWave(generation));
}

// Unpacks a cabinet, made outside the faulty folder, that holds a wave file of path's name.
QString unpackCabinetGeneration(const QString& path, int generation)
{
    static QTemporaryDir dir; // every generation's cabinet is made at the first call
    const QString inside = dir.filePath(QFileInfo(path).fileName());
    const auto cabinet = [](int g) { return QStringLiteral("Unpack%1.cab").arg(g); };
    for (int g = 0; generation == 0 && g < 3; ++g)
    {
        QFile::remove(inside);
        QFile::copy(sourceWave(g), inside);
        if (const QString made = makeCabinet(dir.path(), cabinet(g), inside); !made.isEmpty())
            return made;
    }
    return QString::fromStdString(cab::extractCabinet(
        dir.filePath(cabinet(generation)).toStdString(), QFileInfo(path).path().toStdString()));
}

// (kind, writer, file name, the start of its failure message; %1 is the path)
const std::tuple<const char*, Writer, const char*, QString> kWriters[] = {
    {"project", writeProjectGeneration, "p.vum", "Unable to save the project file %1: "},
    {"drum file", writeDrumGeneration, "d.mbt", "Unable to save the drum file %1: "},
    {"effect preset", writePresetGeneration, "e.sfx", "The file %1 cannot be written: "},
    {"effect chain", writeChainGeneration, "c.mfx", "The file %1 cannot be written: "},
    {"batch file", writeBatchGeneration, "vumocab.bat", "cannot write %1: "},
    {"Shorten file", writeShortenGeneration, "t0.shn", "cannot write %1: "},
    {"cabinet", writeCabinetGeneration, "Song.cab", "cannot write %1: "},
    {"unpacked track", unpackCabinetGeneration, "t1.wav", "cannot "},
};

} // namespace

class WriteFaultTest : public QObject
{
    Q_OBJECT

private slots:
    void failedWriteKeepsThePreviousFile_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("fullDisk"); // else a file size limit of 1024 bytes
        for (int row = 0; row < int(std::size(kWriters)); ++row)
            for (bool full : {true, false})
                // A chain file holds at most 414 bytes: it never reaches the size limit.
                if (full || std::get<1>(kWriters[row]) != writeChainGeneration)
                    QTest::addRow("%s, %s", std::get<0>(kWriters[row]),
                                  full ? "full disk" : "size limit")
                        << row << full;
    }
    void failedWriteKeepsThePreviousFile()
    {
        QFETCH(int, row);
        QFETCH(bool, fullDisk);
        const auto& [kind, write, name, message] = kWriters[row];
        FullDisk disk;
        if (fullDisk && !disk.mounted())
            QSKIP("mounting a tmpfs needs root");
        const QString path = disk.path(name);
        QCOMPARE(write(path, 0), QString());
        const QByteArray before = fileBytes(path);

        std::optional<FileSizeLimit> limit;
        if (fullDisk)
            disk.fill();
        else
            limit.emplace(1024);
        const QString error = write(path, 1);
        limit.reset();
        disk.release();
        const QString why =
            fullDisk ? QStringLiteral("No space left on device") : QStringLiteral("File too large");
        const QString prefix = message.contains(u'%') ? message.arg(path) : message;
        QVERIFY2(error.startsWith(prefix) && error.endsWith(why),
                 qPrintable(error + QStringLiteral(" / ") + prefix + why));
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(disk.names(), QStringList{name}); // no part file left

        // A part left by a studio writer that was stopped half-way goes with the next write.
        if (!message.startsWith(QStringLiteral("cannot")))
            QVERIFY(putFile(path + QStringLiteral(".vumo-part"), "stale"));
        QCOMPARE(write(path, 2), QString());
        QVERIFY(fileBytes(path).size() > before.size());
        QCOMPARE(disk.names(), QStringList{name});
    }
};

QTEST_GUILESS_MAIN(WriteFaultTest)
#include "WriteFaultTest.moc"
