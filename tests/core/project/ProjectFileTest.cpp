// The project file: text fields, bytes, round trips, refusals, and a failed save.
#include "project/ProjectFile.h"
#include "project/FixedField.h"
#include "tests/app/support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace vumo::project;
using namespace vumo::test;

namespace
{

template <typename T> QByteArray le(T v)
{
    QByteArray b(sizeof v, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A header and a record built by hand, field by field.
QByteArray header(int32_t trackLength, int16_t trackCount, int32_t tempo,
                  const QByteArray& title = "demo")
{
    return "1.00" + title.leftJustified(16) + le(trackLength) + le(trackCount) + le(tempo) +
           QByteArray(252, '\0');
}
QByteArray record(const QByteArray& path, const QByteArray& title = "drums", int16_t volume = 200,
                  int16_t pan = 100, int16_t mute = 1)
{
    return title.leftJustified(16) + path.leftJustified(128) + le(volume) + le(pan) + le(mute) +
           QByteArray(6, '\0');
}

} // namespace

class ProjectFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString at(const QString& name) const { return m_dir.filePath(name); }

private slots:
    // Fields of 8 bytes, written and read back: padded, exact, cut; "ä" is 2 bytes and goes
    // whole; a character outside the basic plane is 4 bytes, two UTF-16 units.
    void fieldCutsOnlyBetweenCharactersAndPathsFitTheEngine()
    {
        const QString umlauts = QStringLiteral("\u00e4\u00f6\u00fc\u00df");
        for (const auto& [text, field, readBack] :
             {std::tuple{QStringLiteral("t1"), QByteArray("t1      "), QStringLiteral("t1")},
              {"abcdefgh", "abcdefgh", "abcdefgh"},
              {"abcdefghij", "abcdefgh", "abcdefgh"},
              {QStringLiteral("abcdefg\u00e4"), "abcdefg ", "abcdefg"},
              {umlauts, "\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f", umlauts},
              {QString::fromUtf8("abcde\xf0\x9f\x98\x80"), "abcde   ", "abcde"},
              {"", "        ", ""}})
        {
            QCOMPARE(encodeField(text, 8), field);
            QCOMPARE(decodeField(field), readBack);
        }
        // Trimmed; stopped at a NUL; neither UTF-8 nor whole, read as Latin-1.
        QCOMPARE(decodeField(QByteArray("  ab  ")), QStringLiteral("ab"));
        QCOMPARE(decodeField(QByteArray(6, '\0')), QString()); // never assigned
        QCOMPARE(decodeField(QByteArray("ab\0cd ", 6)), QStringLiteral("ab"));
        QCOMPARE(decodeField(QByteArray("\xc3 ")), QStringLiteral("\u00c3")); // not UTF-8
        // A track path fits the engine in at most 127 bytes, without a NUL.
        const QString e(QChar(0xe9)); // two bytes
        for (const auto& [path, fits] : {std::pair{QString(127, u'a'), true},
                                         {QString(128, u'a'), false},
                                         {QString(126, u'a') + e, false},
                                         {QString(125, u'a') + e, true},
                                         {QStringLiteral("/a.wav") + QChar(0) + u'x', false}})
        {
            QCOMPARE(trackPathFits(path), fits);
            QCOMPARE(checkTrackPath(path).isEmpty(), fits);
        }
    }

    // (track count, track length, title, as stored): "ö" would need bytes 16 and 17, so a space
    // pads; a title not UTF-8 is cut at 16 bytes. Saved over five tracks: only the new remain.
    void roundTripKeepsEveryField()
    {
        const QByteArray koeln = "K\xc3\xb6ln", koelnField = koeln + QByteArray(11, ' ');
        for (const auto& [trackCount, trackLength, title, titleField] :
             {std::tuple{0, 262144, koeln, koelnField},
              {3, 1, koeln, koelnField},
              {17, 67108864, koeln, koelnField},
              {1, 262144, QByteArray("Stra\303\237enmusik K\303\266ln"),
               QByteArray("Stra\303\237enmusik K ")},
              {1, 262144, QByteArray("Stra\337enmusik K\366ln"),
               QByteArray("Stra\337enmusik K\366l")}})
        {
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
    }

    // Files made by hand read back and write back as their bytes: tempo 0 reads as 100, bytes past
    // the last record are ignored, texts neither UTF-8 nor whole keep their bytes.
    void handMadeFilesReadBackAndDamagedOnesAreRefused()
    {
        for (const auto& [title, path, tempo, trailing] :
             {std::tuple{QByteArray("demo"), QByteArray("/music/drums.wav"), 0,
                         QByteArray("trailing bytes are ignored")},
              {QByteArray("K\xc3\xb6ln"), QByteArray("/K\xc3\xb6ln.wav"), 100, QByteArray()},
              {QByteArray("\xc3"), QByteArray("/\xff\xfe"), 100, QByteArray()}})
        {
            const QByteArray bytes = header(524288, 1, 100, title) + record(path, title);
            QVERIFY(putFile(at("hand.vum"),
                            header(524288, 1, tempo, title) + record(path, title) + trailing));
            ProjectData expected;
            expected.projVersion = "1.00";
            expected.projTitle = title;
            expected.trackLength = 524288;
            expected.tempo = 100;
            expected.tracks = {{title, path, 200, 100, 1}};
            const ProjectReadResult read = readProject(at("hand.vum"));
            QVERIFY2(read.ok(), qPrintable(read.error));
            QCOMPARE(read.project, expected);
            QCOMPARE(checkTrackPath(read.project.tracks[0].fileName), QString());
            QCOMPARE(writeProject(at("hand.vum"), read.project), QString());
            QCOMPARE(fileBytes(at("hand.vum")), bytes);
        }

        // A damaged file is refused with a message.
        const auto refused = [](const QString& path, const QString& start, const char* why)
        {
            const ProjectReadResult read = readProject(path);
            QVERIFY2(read.error.startsWith(start.arg(path)), qPrintable(read.error));
            QVERIFY2(read.error.contains(QString::fromUtf8(why)), qPrintable(read.error));
            QCOMPARE(read.project, ProjectData());
        };
        const QByteArray one = record("/a.wav");
        for (const auto& [bytes, why] :
             {std::pair{QByteArray(), "it has 0 bytes, shorter than the 282"},
              {header(262144, 0, 100).left(281), "281 bytes, shorter than the 282"},
              {header(262144, 3, 100) + one + one, "3 track records need 750"},
              {header(262144, 1, 100) + one.left(155), "need 438"},
              {header(262144, -1, 100), "it holds -1 tracks"},
              {header(262144, 18, 100), "it holds 18 tracks"},
              {header(0, 0, 100), "track length of 0 frames"},
              {header(-262144, 0, 100), "track length of -262144 frames"},
              {header(67108865, 0, 100), "track length of 67108865 frames"}})
        {
            QVERIFY(putFile(at("bad.vum"), bytes));
            refused(at("bad.vum"), QStringLiteral("The project file %1 is damaged: "), why);
        }
    }

    // New with the default 4 MB and Add's first track "t1" saves as 438 bytes; a refused save
    // says why and leaves the file (write faults: tst_writefaults and the SafeWriter tests).
    void newProjectSavesAs438BytesAndARefusedSaveKeepsTheOldFile()
    {
        const QByteArray trackPath = QFile::encodeName(at("untitled-t1.wav"));
        ProjectData project = newProjectData(4);
        project.tracks.append({"t1", trackPath});
        QCOMPARE(writeProject(at("new.vum"), project), QString());
        const QByteArray bytes = fileBytes(at("new.vum"));
        QCOMPARE(bytes, header(1048576, 1, 100, "untitled") + record(trackPath, "t1", 255, 127, 0));
        ProjectData longPath = newProjectData(2), tooMany = newProjectData(2);
        longPath.tracks.append({"t1", "/" + QByteArray(130, 'x') + ".wav"});
        tooMany.tracks.fill({"t1", "/t.wav"}, 18);
        for (const auto& [refused, why] :
             {std::pair{longPath, "is too long: 135 bytes"}, {tooMany, "it has 18 tracks"}})
        {
            const QString error = writeProject(at("new.vum"), refused);
            QVERIFY2(error.startsWith(QStringLiteral("Unable to save the project file ")) &&
                         error.contains(QString::fromLatin1(why)),
                     qPrintable(error));
            QCOMPARE(fileBytes(at("new.vum")), bytes);
        }
    }
};

QTEST_GUILESS_MAIN(ProjectFileTest)
#include "ProjectFileTest.moc"
