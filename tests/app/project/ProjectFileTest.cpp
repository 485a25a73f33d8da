// Tests for the project file: its exact bytes, round trips and the files it refuses.
#include "project/ProjectFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo::project;

namespace
{

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void putBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray le16(int16_t v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF));
}

QByteArray le32(int32_t v)
{
    return le16(int16_t(v & 0xFFFF)) + le16(int16_t((v >> 16) & 0xFFFF));
}

// A header built by hand: version, title, track length, track count, tempo, reserved.
QByteArray header(int32_t trackLength, int16_t trackCount, int32_t tempo)
{
    return QByteArray("1.00") + QByteArray("demo            ") + le32(trackLength) +
           le16(trackCount) + le32(tempo) + QByteArray(252, '\0');
}

QByteArray record(const QByteArray& title16, const QByteArray& path)
{
    return title16 + path + QByteArray(128 - path.size(), ' ') + le16(200) + le16(100) + le16(1) +
           QByteArray(6, '\0');
}

TrackRecordData track(const QString& title, const QString& fileName)
{
    TrackRecordData t;
    t.title = title;
    t.fileName = fileName;
    return t;
}

} // namespace

class ProjectFileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString at(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void newProjectWithItsFirstTrackSavesAs438Bytes()
    {
        // New with the default 4 MB, then Add's first track "t1", then Save As.
        const QString trackPath = at("untitled-t1.wav");
        ProjectData project = newProjectData(4);
        project.tracks.append(track(QStringLiteral("t1"), trackPath));
        QCOMPARE(writeProject(at("new.vum"), project), QString());

        const QByteArray path = QFile::encodeName(trackPath);
        QByteArray expected = QByteArray("1.00") + QByteArray("untitled        ");
        expected += QByteArray("\x00\x00\x10\x00", 4); // 1048576 frames
        expected += QByteArray("\x01\x00", 2);         // one track
        expected += QByteArray("\x64\x00\x00\x00", 4); // tempo 100
        expected += QByteArray(252, '\0');
        expected += QByteArray("t1              ") + path + QByteArray(128 - path.size(), ' ');
        expected += QByteArray("\xff\x00\x7f\x00\x00\x00", 6); // volume 255, pan 127, mute 0
        expected += QByteArray(6, '\0');
        QCOMPARE(expected.size(), 438);
        QCOMPARE(fileBytes(at("new.vum")), expected);
    }

    void projectWithoutTracksIs282BytesAndReopensEmpty()
    {
        ProjectData project = newProjectData(1);
        QCOMPARE(writeProject(at("empty.vum"), project), QString());
        QCOMPARE(fileBytes(at("empty.vum")).size(), 282);
        const ProjectReadResult read = readProject(at("empty.vum"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.project.tracks.size(), 0);
        QCOMPARE(read.project.trackLength, 262144);
    }

    void tempoZeroReadsAs100AndSavesAs100()
    {
        putBytes(at("tempo0.vum"), header(262144, 0, 0));
        const ProjectReadResult read = readProject(at("tempo0.vum"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.project.tempo, 100);
        QCOMPARE(writeProject(at("tempo0.vum"), read.project), QString());
        QCOMPARE(fileBytes(at("tempo0.vum")).mid(26, 4), le32(100));
    }

    void handMadeFileReadsFieldByField()
    {
        putBytes(at("hand.vum"), header(524288, 1, 120) +
                                     record("drums           ", "/music/drums.wav") +
                                     QByteArray("trailing bytes are ignored"));
        const ProjectReadResult read = readProject(at("hand.vum"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.project.projVersion, QByteArray("1.00"));
        QCOMPARE(read.project.projTitle, QStringLiteral("demo"));
        QCOMPARE(read.project.trackLength, 524288);
        QCOMPARE(read.project.tempo, 120);
        QCOMPARE(read.project.tracks.size(), 1);
        const TrackRecordData& t = read.project.tracks[0];
        QCOMPARE(t.title, QStringLiteral("drums"));
        QCOMPARE(t.fileName, QStringLiteral("/music/drums.wav"));
        QCOMPARE(t.volume, int16_t(200));
        QCOMPARE(t.pan, int16_t(100));
        QCOMPARE(t.mute, int16_t(1));
    }

    void savingTwoTracksOverALongerFileLeavesTwo()
    {
        ProjectData project = newProjectData(2);
        for (int k = 1; k <= 5; ++k)
            project.tracks.append(track(QStringLiteral("t%1").arg(k), at("t.wav")));
        QCOMPARE(writeProject(at("shrink.vum"), project), QString());
        project.tracks.resize(2);
        QCOMPARE(writeProject(at("shrink.vum"), project), QString());
        QCOMPARE(fileBytes(at("shrink.vum")).size(), 282 + 2 * 156);
        const ProjectReadResult read = readProject(at("shrink.vum"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.project.tracks.size(), 2);
    }

    void roundTripKeepsEveryField_data()
    {
        QTest::addColumn<int>("trackCount");
        QTest::addColumn<int32_t>("trackLength");
        QTest::addColumn<QString>("title");
        QTest::newRow("one track, 1 MB") << 1 << 262144 << QStringLiteral("song");
        QTest::newRow("17 tracks, 256 MB") << 17 << 67108864 << QStringLiteral("full house");
        QTest::newRow("one frame") << 3 << 1 << QStringLiteral("K\u00f6ln");
    }
    void roundTripKeepsEveryField()
    {
        QFETCH(int, trackCount);
        QFETCH(int32_t, trackLength);
        QFETCH(QString, title);
        ProjectData project = newProjectData(1);
        project.projTitle = title;
        project.trackLength = trackLength;
        project.tempo = 87;
        project.projReserved[0] = 'r';
        project.projReserved[251] = '\x7f';
        for (int k = 0; k < trackCount; ++k)
        {
            TrackRecordData t = track(QStringLiteral("c%1").arg(k + 1), at("c%1.wav").arg(k + 1));
            t.volume = int16_t(k * 15);
            t.pan = int16_t(255 - k);
            t.mute = int16_t(k % 2);
            t.reserved = QByteArray("\x01\x02\x03\x04\x05\x06", 6);
            project.tracks.append(t);
        }
        QCOMPARE(writeProject(at("round.vum"), project), QString());
        const ProjectReadResult read = readProject(at("round.vum"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.project, project);
    }

    void longUtf8TitleIsCutAtACharacterBoundary()
    {
        ProjectData project = newProjectData(1);
        project.projTitle = QStringLiteral("Stra\u00dfenmusik K\u00f6ln"); // 19 bytes
        QCOMPARE(writeProject(at("title.vum"), project), QString());
        // 15 bytes hold "Straßenmusik K"; "ö" would need bytes 16 and 17, so a space pads.
        QCOMPARE(fileBytes(at("title.vum")).mid(4, 16), QByteArray("Stra\xc3\x9f"
                                                                   "enmusik K "));
        QCOMPARE(readProject(at("title.vum")).project.projTitle,
                 QStringLiteral("Stra\u00dfenmusik K"));
    }

    void damagedFileIsRefusedWithAMessage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray one = record("t1              ", "/a.wav");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("shorter than the 282");
        QTest::newRow("header cut") << header(262144, 0, 100).left(281)
                                    << QStringLiteral("281 bytes, shorter than the 282");
        QTest::newRow("records missing")
            << header(262144, 3, 100) + one + one << QStringLiteral("3 track records need 750");
        QTest::newRow("last record cut")
            << header(262144, 1, 100) + one.left(155) << QStringLiteral("need 438");
        QTest::newRow("negative track count")
            << header(262144, -1, 100) << QStringLiteral("holds -1 tracks");
        QTest::newRow("18 tracks") << header(262144, 18, 100) << QStringLiteral("holds 18 tracks");
        QTest::newRow("zero track length")
            << header(0, 0, 100) << QStringLiteral("track length of 0 frames");
        QTest::newRow("negative track length")
            << header(-262144, 0, 100) << QStringLiteral("track length of -262144 frames");
        QTest::newRow("more than 256 MB")
            << header(67108865, 0, 100) << QStringLiteral("track length of 67108865 frames");
    }
    void damagedFileIsRefusedWithAMessage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        putBytes(at("bad.vum"), bytes);
        const ProjectReadResult read = readProject(at("bad.vum"));
        QVERIFY(!read.ok());
        QVERIFY2(read.error.contains(message), qPrintable(read.error));
        QVERIFY(read.error.startsWith(QStringLiteral("The project file ") + at("bad.vum")));
        QCOMPARE(read.project, ProjectData());
    }

    void missingFileIsRefusedWithAMessage()
    {
        const ProjectReadResult read = readProject(at("missing.vum"));
        QVERIFY(read.error.startsWith(QStringLiteral("Unable to open the project file ") +
                                      at("missing.vum")));
        QCOMPARE(read.project, ProjectData());
        QVERIFY(!readProject(m_dir.path()).ok()); // a folder is no project file
    }

    void trackPathMustFitTheEngine_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("fits");
        QTest::newRow("127 bytes") << QString(127, u'a') << true;
        QTest::newRow("128 bytes") << QString(128, u'a') << false;
        QTest::newRow("126 bytes and a two-byte character")
            << QString(126, u'a') + QChar(0xe9) << false;
        QTest::newRow("125 bytes and a two-byte character")
            << QString(125, u'a') + QChar(0xe9) << true;
        QTest::newRow("NUL inside")
            << QStringLiteral("/a.wav") + QChar(0) + QStringLiteral("x") << false;
    }
    void trackPathMustFitTheEngine()
    {
        QFETCH(QString, path);
        QFETCH(bool, fits);
        QCOMPARE(trackPathFits(path), fits);
        QCOMPARE(checkTrackPath(path).isEmpty(), fits);
    }

    void tooLongTrackPathIsRefusedNeverCut()
    {
        const QString longPath = QStringLiteral("/") + QString(130, u'x') + QStringLiteral(".wav");
        QVERIFY(checkTrackPath(longPath).contains(QStringLiteral("is too long: 135 bytes")));
        ProjectData project = newProjectData(1);
        QCOMPARE(writeProject(at("keep.vum"), project), QString());
        const QByteArray before = fileBytes(at("keep.vum"));
        project.tracks.append(track(QStringLiteral("t1"), longPath));
        const QString error = writeProject(at("keep.vum"), project);
        QVERIFY2(error.contains(QStringLiteral("is too long")), qPrintable(error));
        QCOMPARE(fileBytes(at("keep.vum")), before);
    }

    void failedWriteIsReportedAndKeepsTheOldFile()
    {
        const ProjectData project = newProjectData(1);
        QString error = writeProject(at("no-such-folder/p.vum"), project);
        QVERIFY(error.startsWith(QStringLiteral("Unable to save the project file ")));
        // A folder in the way of the file: nothing can be written there.
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.vum")));
        error = writeProject(at("folder.vum"), project);
        QVERIFY(error.startsWith(QStringLiteral("Unable to save the project file ")));
        QVERIFY(QFileInfo(at("folder.vum")).isDir());
    }

    void saveInAReadOnlyFolderFailsAndKeepsTheOldFile()
    {
        const QString folder = at("locked");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/p.vum");
        QCOMPARE(writeProject(path, newProjectData(1)), QString());
        const QByteArray before = fileBytes(path);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(folder + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly))
        {
            probe.remove();
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user writes into read-only folders (superuser)");
        }
        const QString error = writeProject(path, newProjectData(2));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(error.startsWith(QStringLiteral("Unable to save the project file ")));
        QCOMPARE(fileBytes(path), before);
    }

    void readOnlyProjectFileIsNotReplaced()
    {
        const QString path = at("protected.vum");
        QCOMPARE(writeProject(path, newProjectData(1)), QString());
        const QByteArray before = fileBytes(path);
        QFile::setPermissions(path, QFile::ReadOwner);
        const bool superuser = QFileInfo(path).isWritable();
        const QString error = writeProject(path, newProjectData(2));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (superuser)
            QSKIP("this user writes into read-only files (superuser)");
        QVERIFY2(error.endsWith(QStringLiteral("it is read-only.")), qPrintable(error));
        QCOMPARE(fileBytes(path), before);
    }

    void eighteenTracksAreNotWritten()
    {
        ProjectData project = newProjectData(1);
        project.tracks.fill(track(QStringLiteral("t"), at("t.wav")), 18);
        QVERIFY(writeProject(at("many.vum"), project).contains(QStringLiteral("18 tracks")));
        QVERIFY(!QFile::exists(at("many.vum")));
    }
};

QTEST_GUILESS_MAIN(ProjectFileTest)
#include "ProjectFileTest.moc"
