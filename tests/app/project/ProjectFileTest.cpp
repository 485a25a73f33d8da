// Tests for the project file: its fixed-length text fields (cut between characters, padded
// with spaces), its exact bytes, round trips and the files it refuses.
#include "project/ProjectFile.h"
#include "project/FixedField.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

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

template <typename T> QByteArray le(T v)
{
    QByteArray b(sizeof v, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A header built by hand: version, title, track length, track count, tempo, reserved.
QByteArray header(int32_t trackLength, int16_t trackCount, int32_t tempo)
{
    return "1.00demo            " + le(trackLength) + le(trackCount) + le(tempo) +
           QByteArray(252, '\0');
}

// A record of volume 200, pan 100, muted.
QByteArray record(const QByteArray& path)
{
    return "drums           " + path + QByteArray(128 - path.size(), ' ') + le<int16_t>(200) +
           le<int16_t>(100) + le<int16_t>(1) + QByteArray(6, '\0');
}

} // namespace

class ProjectFileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString at(const QString& name) const { return m_dir.filePath(name); }

private slots:
    // Each field is written with encodeField(text, 8) and read back with decodeField.
    void fieldCutsOnlyBetweenCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("short text padded") << "t1" << QByteArray("t1      ") << "t1";
        QTest::newRow("exact fit") << "abcdefgh" << QByteArray("abcdefgh") << "abcdefgh";
        QTest::newRow("long text cut") << "abcdefghij" << QByteArray("abcdefgh") << "abcdefgh";
        // "ä" is two bytes in UTF-8: the eighth byte would split it, so it goes whole.
        QTest::newRow("two-byte character at the cut")
            << QStringLiteral("abcdefg\u00e4") << QByteArray("abcdefg ") << "abcdefg";
        const QString umlauts = QStringLiteral("\u00e4\u00f6\u00fc\u00df");
        QTest::newRow("two-byte characters that fit")
            << umlauts << QByteArray("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f") << umlauts;
        // A character outside the basic plane: four bytes, two UTF-16 units.
        QTest::newRow("surrogate pair at the cut")
            << QString::fromUtf8("abcde\xf0\x9f\x98\x80") << QByteArray("abcde   ") << "abcde";
        QTest::newRow("empty text") << "" << QByteArray("        ") << "";
    }
    void fieldCutsOnlyBetweenCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        QFETCH(QString, readBack);
        QCOMPARE(encodeField(text, 8), field);
        QCOMPARE(decodeField(field), readBack);
    }

    void decodeFieldTrimsAndStopsAtNul()
    {
        QCOMPARE(decodeField(QByteArray("  ab  ")), QStringLiteral("ab"));
        QCOMPARE(decodeField(QByteArray(6, '\0')), QString()); // never assigned
        QCOMPARE(decodeField(QByteArray("ab\0cd ", 6)), QStringLiteral("ab"));
    }

    void newProjectWithItsFirstTrackSavesAs438Bytes()
    {
        // New with the default 4 MB, then Add's first track "t1", then Save As.
        const QString trackPath = at("untitled-t1.wav");
        ProjectData project = newProjectData(4);
        project.tracks.append({"t1", QFile::encodeName(trackPath)});
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

    void handMadeFileReadsFieldByFieldAndTempoZeroAs100()
    {
        putBytes(at("hand.vum"),
                 header(524288, 1, 0) + record("/music/drums.wav") + "trailing bytes are ignored");
        ProjectData expected;
        expected.projVersion = "1.00";
        expected.projTitle = "demo";
        expected.trackLength = 524288;
        expected.tempo = 100;
        expected.tracks = {{"drums", "/music/drums.wav", 200, 100, 1}};
        const ProjectReadResult read = readProject(at("hand.vum"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.project, expected);
        QCOMPARE(writeProject(at("hand.vum"), read.project), QString());
        QCOMPARE(fileBytes(at("hand.vum")).mid(26, 4), le<int32_t>(100));
    }

    void roundTripKeepsEveryField_data()
    {
        QTest::addColumn<int>("trackCount");
        QTest::addColumn<int32_t>("trackLength");
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QByteArray>("titleField"); // as stored
        const QByteArray koeln = "K\xc3\xb6ln";
        const QByteArray koelnField = "K\xc3\xb6ln           ";
        QTest::newRow("no tracks") << 0 << 262144 << koeln << koelnField;
        QTest::newRow("three tracks, one frame") << 3 << 1 << koeln << koelnField;
        QTest::newRow("17 tracks, 256 MB") << 17 << 67108864 << koeln << koelnField;
        // 15 bytes hold "Straßenmusik K"; "ö" would need bytes 16 and 17, so a space pads.
        QTest::newRow("UTF-8 title cut at a character boundary")
            << 1 << 262144
            << QByteArray("Stra\xc3\x9f"
                          "enmusik K\xc3\xb6ln")
            << QByteArray("Stra\xc3\x9f"
                          "enmusik K ");
        // Not UTF-8: cut after 16 bytes.
        QTest::newRow("Latin-1 title cut after 16 bytes") << 1 << 262144
                                                          << QByteArray("Stra\xdf"
                                                                        "enmusik K\xf6ln")
                                                          << QByteArray("Stra\xdf"
                                                                        "enmusik K\xf6l");
    }
    void roundTripKeepsEveryField()
    {
        QFETCH(int, trackCount);
        QFETCH(int32_t, trackLength);
        QFETCH(QByteArray, title);
        QFETCH(QByteArray, titleField);
        ProjectData project = newProjectData(1);
        project.projTitle = title;
        project.trackLength = trackLength;
        project.tempo = 87;
        project.projReserved[0] = 'r';
        project.projReserved[251] = '\x7f';
        for (int k = 0; k < trackCount; ++k)
            project.tracks.append({"c" + QByteArray::number(k + 1),
                                   QFile::encodeName(at("c%1.wav").arg(k + 1)), int16_t(k * 15),
                                   int16_t(255 - k), int16_t(k % 2),
                                   QByteArray("\x01\x02\x03\x04\x05\x06", 6)});
        // Saved over a longer file of five tracks: only the new records remain.
        ProjectData five = newProjectData(2);
        five.tracks.fill({"t", QFile::encodeName(at("t.wav"))}, 5);
        QCOMPARE(writeProject(at("round.vum"), five), QString());
        QCOMPARE(writeProject(at("round.vum"), project), QString());
        const QByteArray bytes = fileBytes(at("round.vum"));
        QCOMPARE(bytes.size(), 282 + 156 * trackCount);
        QCOMPARE(bytes.mid(4, 16), titleField);
        const ProjectReadResult read = readProject(at("round.vum"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        project.projTitle = titleField.trimmed(); // what fits comes back
        QCOMPARE(read.project, project);
    }

    // Texts written elsewhere come back as the bytes they are, whatever their encoding, and are
    // written back unchanged; only what is shown is decoded.
    void textsFromElsewhereKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("shownTitle");
        QTest::newRow("Latin-1") << QByteArray("Caf\xe9") << QByteArray("/music/Caf\xe9.wav")
                                 << QStringLiteral("Caf\u00e9");
        QTest::newRow("127 bytes, Latin-1 but the slash")
            << QByteArray(16, '\xe9') << "/" + QByteArray(126, '\xe9') << QString(16, u'\u00e9');
        QTest::newRow("UTF-8") << QByteArray("K\xc3\xb6ln") << QByteArray("/K\xc3\xb6ln.wav")
                               << QStringLiteral("K\u00f6ln");
        QTest::newRow("not UTF-8 nor whole")
            << QByteArray("\xc3") << QByteArray("/\xff\xfe") << QStringLiteral("\u00c3");
    }
    void textsFromElsewhereKeepTheirBytes()
    {
        QFETCH(QByteArray, title);
        QFETCH(QByteArray, path);
        QFETCH(QString, shownTitle);
        const QByteArray titleField = title + QByteArray(16 - title.size(), ' ');
        const QByteArray bytes = header(262144, 1, 100).replace(4, 16, titleField) +
                                 record(path).replace(0, 16, titleField);
        putBytes(at("elsewhere.vum"), bytes);
        const ProjectReadResult read = readProject(at("elsewhere.vum"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.project.projTitle, title);
        QCOMPARE(read.project.tracks[0].fileName, path);
        QCOMPARE(checkTrackPath(read.project.tracks[0].fileName), QString());
        QCOMPARE(decodeField(bytes.mid(4, 16)), shownTitle);
        QCOMPARE(writeProject(at("elsewhere.vum"), read.project), QString());
        QCOMPARE(fileBytes(at("elsewhere.vum")), bytes);
    }

    void damagedFileIsRefusedWithAMessage_data()
    {
        QTest::addColumn<QString>("name"); // bytes are written to "bad.vum" only
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("start"); // %1: the path
        QTest::addColumn<QString>("why");
        const auto bad = [](const char* tag, const QByteArray& bytes, const char* why)
        {
            QTest::newRow(tag) << "bad.vum" << bytes
                               << "The project file %1 is damaged: " << QString::fromUtf8(why);
        };
        const QByteArray one = record("/a.wav");
        bad("empty", QByteArray(), "it has 0 bytes, shorter than the 282");
        bad("header cut", header(262144, 0, 100).left(281), "281 bytes, shorter than the 282");
        bad("records missing", header(262144, 3, 100) + one + one, "3 track records need 750");
        bad("last record cut", header(262144, 1, 100) + one.left(155), "need 438");
        bad("negative track count", header(262144, -1, 100), "it holds -1 tracks");
        bad("18 tracks", header(262144, 18, 100), "it holds 18 tracks");
        bad("zero track length", header(0, 0, 100), "track length of 0 frames");
        bad("negative track length", header(-262144, 0, 100), "track length of -262144 frames");
        bad("more than 256 MB", header(67108865, 0, 100), "track length of 67108865 frames");
        const QString cannotOpen = QStringLiteral("Unable to open the project file %1: ");
        QTest::newRow("missing file") << "missing.vum" << QByteArray() << cannotOpen << "";
        QTest::newRow("folder") << "" << QByteArray() << cannotOpen << "";
    }
    void damagedFileIsRefusedWithAMessage()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, start);
        QFETCH(QString, why);
        const QString path = name.isEmpty() ? m_dir.path() : at(name);
        if (name == QStringLiteral("bad.vum"))
            putBytes(path, bytes);
        const ProjectReadResult read = readProject(path);
        QVERIFY2(read.error.startsWith(start.arg(path)), qPrintable(read.error));
        QVERIFY2(read.error.contains(why), qPrintable(read.error));
        QCOMPARE(read.project, ProjectData());
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

    // A save that is refused or fails says why and leaves the file that was there.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("path too long, never cut") << "long path"
                                                  << "is too long: 135 bytes";
        QTest::newRow("18 tracks") << "18 tracks"
                                   << "it has 18 tracks";
        QTest::newRow("no such folder") << "no folder"
                                        << "Unable to save the project file ";
        QTest::newRow("a folder in the way") << "folder"
                                             << "Unable to save the project file ";
        QTest::newRow("read-only folder") << "locked folder"
                                          << "Unable to save the project file ";
        QTest::newRow("read-only file") << "locked file"
                                        << "it is read-only.";
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        const QString folder = at(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        QString path = folder + QStringLiteral("/p.vum");
        QCOMPARE(writeProject(path, newProjectData(1)), QString());
        const QByteArray before = fileBytes(path);
        ProjectData project = newProjectData(2);
        if (fault == "long path")
            project.tracks.append({"t1", "/" + QByteArray(130, 'x') + ".wav"});
        if (fault == "18 tracks")
            project.tracks.fill({"t1", "/t.wav"}, 18);
        if (fault == "no folder")
            path = folder + QStringLiteral("/no-such-folder/p.vum");
        if (fault == "folder")
            QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        const QString locked = fault == "locked folder" ? folder : path;
        const QFile::Permissions writable = QFile::permissions(locked);
        if (fault.startsWith("locked"))
            QFile::setPermissions(locked, writable & ~(QFile::WriteOwner | QFile::WriteUser));
        const bool superuser = fault.startsWith("locked") && QFileInfo(locked).isWritable();
        const QString error = writeProject(path, project);
        QFile::setPermissions(locked, writable);
        if (superuser)
            QSKIP("this user writes into read-only files and folders (superuser)");
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(fileBytes(path),
                 fault == "folder" || fault == "no folder" ? QByteArray() : before);
    }
};

QTEST_GUILESS_MAIN(ProjectFileTest)
#include "ProjectFileTest.moc"
