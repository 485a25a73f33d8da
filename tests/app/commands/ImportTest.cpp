// Import of audio files as tracks through the real window and engine, against the ffmpeg CLI's
// own conversion; the conversion offered for wave files Vumo cannot take as they are.
#include "../StudioFixture.h"

#include <QAction>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <sys/stat.h>

using namespace vumo;
using namespace vumo::test;

namespace
{

constexpr int kTrack = 262144; // a 1 MB project: 5.94 s
constexpr int kSourceFrames = 2 * 44100;

// Both convert with libswresample fed in other pieces: a sample's rounding may differ.
constexpr int kResamplerTolerance = 2;

// 440 Hz left and 660 Hz right at a third of full scale.
std::vector<int16_t> tones(int frames)
{
    return test::tones(frames, 10000, 440, 10000, 660);
}

bool ffmpeg(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-loglevel", "error", "-y"} + args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// ffmpeg's own conversion of file to 16-bit stereo 44100 Hz samples.
std::vector<int16_t> ffmpegConversion(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-loglevel", "error", "-i", file, "-ar", "44100", "-ac", "2",
                                       "-f", "s16le", "-c:a", "pcm_s16le", "-"});
    p.waitForFinished(60000);
    const QByteArray raw = p.readAllStandardOutput();
    std::vector<int16_t> s(size_t(raw.size()) / 2);
    std::memcpy(s.data(), raw.constData(), 2 * s.size());
    return s;
}

// A plain PCM wave file of samples stated at another rate, or read as `channels` channels.
QByteArray stated(const std::vector<int16_t>& samples, quint32 rate, quint16 channels = 2)
{
    QByteArray b = waveBytes(samples);
    qToLittleEndian<quint16>(channels, b.data() + 22);
    qToLittleEndian<quint32>(rate, b.data() + 24);
    qToLittleEndian<quint32>(rate * 2 * channels, b.data() + 28);
    qToLittleEndian<quint16>(2 * channels, b.data() + 32);
    return b;
}

// Makes the source named `name` in dir, of the tones, by its name.
bool makeSource(const QString& dir, const QString& name)
{
    const QString path = dir + u'/' + name;
    const QString src = dir + QStringLiteral("/src.wav");
    if (name.startsWith(QStringLiteral("src")))
        return writeWave(path, tones(kSourceFrames));
    if (name == QStringLiteral("long.wav"))
        return writeWave(path, tones(8 * 44100));
    if (name == QStringLiteral("48k16.wav"))
        return putFile(path, stated(tones(kSourceFrames), 48000));
    if (name == QStringLiteral("six.wav"))
        return putFile(path, stated(tones(3 * kSourceFrames), 44100, 6));
    if (name == QStringLiteral("noise.mp3"))
        return putFile(path, QByteArray(5000, 'x'));
    if (name == QStringLiteral("picture.png"))
        return QImage(32, 32, QImage::Format_RGB32).save(path);
    if (name == QStringLiteral("fifo.wav"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    const QHash<QString, QStringList> made = {
        {QStringLiteral("48k24.wav"), {"-ar", "48000", "-c:a", "pcm_s24le"}},
        {QStringLiteral("mono22k.flac"), {"-ar", "22050", "-ac", "1"}},
        {QStringLiteral("a.mp3"), {"-b:a", "192k"}},
    };
    return (QFileInfo::exists(src) || writeWave(src, tones(kSourceFrames))) &&
           ffmpeg(QStringList{"-i", src} + made.value(name) + QStringList{path});
}

// Opens a 1 MB project "Song.vum" of `count` short tracks.
void openProject(StudioFixture& s, int count)
{
    QVERIFY(s.openSong(std::vector(size_t(count), std::vector<int16_t>(200, 1))));
}

void dropFiles(StudioFixture& s, const QStringList& files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    // The window takes the drop it accepted on entering.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&s.w, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&s.w, &drop);
    QTest::qWait(50); // the import runs once the drop is over
}

// Cancels the import's progress as soon as it is told.
void cancelSoon(StudioFixture& s)
{
    QTimer::singleShot(0, &s.w,
                       [&s] { s.w.findChild<QProgressDialog*>("dlgImportProgress")->cancel(); });
}

// The largest difference between got and want where both have samples.
int difference(const std::vector<int16_t>& got, const std::vector<int16_t>& want)
{
    int worst = 0;
    for (size_t i = 0; i < std::min(got.size(), want.size()); ++i)
        worst = std::max(worst, std::abs(got[i] - want[i]));
    return worst;
}

} // namespace

class ImportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useVirtualDevices(); }

    // Track > Import Audio... (one file) or a drop (several) on a project of `before` tracks.
    void importLandsAsFfmpegConvertsOrChangesNothing_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("reference"); // 0: the source as it is, 1: ffmpeg's, -1: none
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("added");
        const auto row = [](const char* tag, int before, const QStringList& files, int reference,
                            const QString& message, int added)
        { QTest::newRow(tag) << before << files << reference << message << added; };
        row("16-bit 44100 Hz wave, bit for bit", 1, {"src.wav"}, 0, "", 1);
        row("24-bit 48 kHz wave", 1, {"48k24.wav"}, 1, "", 1);
        row("FLAC, mono 22050 Hz", 1, {"mono22k.flac"}, 1, "", 1);
        row("MP3", 1, {"a.mp3"}, 1, "", 1);
        row("longer than the track", 1, {"long.wav"}, 0,
            "%1 is 2.1 s longer than the project's tracks of 5.9 s: its last 2.1 s were left out.",
            1);
        row("not a media file", 1, {"noise.mp3"}, -1,
            "The file \"%1\" cannot be opened as a media file.", 0);
        row("no audio stream", 1, {"picture.png"}, -1,
            "The file \"%1\" cannot be decoded: it holds no audio stream that can be decoded.", 0);
        row("a FIFO", 1, {"fifo.wav"}, -1,
            "The file \"%1\" cannot be opened: it is not a regular file (a device, a pipe or a "
            "folder).",
            0);
        row("cancelled", 1, {"long.wav"}, -1, "", 0);
        row("two dropped on 16 tracks", 16, {"src.wav", "src2.wav"}, 0,
            "The project already holds 17 tracks, the most it can have.\nNot imported: src2.wav",
            1);
    }
    void importLandsAsFfmpegConvertsOrChangesNothing()
    {
        QFETCH(int, before);
        QFETCH(QStringList, files);
        QFETCH(int, reference);
        QFETCH(QString, message);
        QFETCH(int, added);
        QTemporaryDir sources;
        for (QString& f : files)
        {
            QVERIFY2(makeSource(sources.path(), f), qPrintable(f));
            f = sources.filePath(f);
        }
        StudioFixture s;
        openProject(s, before);
        const QStringList folderBefore = QDir(s.folder).entryList(QDir::Files);
        if (QTest::currentDataTag() == QByteArray("cancelled"))
            cancelSoon(s);
        if (files.size() == 1)
        {
            s.ui.files.push_back(files[0]);
            child<QAction>(s.w, "mnuTrackImport")->trigger();
        }
        else
            dropFiles(s, files);
        if (message.contains(QStringLiteral("%1")))
            message = message.arg(files[0]);
        QCOMPARE(s.ui.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(int(s.mod.trackCount), before + added);
        QStringList written;
        for (int k = before; k < before + added; ++k)
            written << QStringLiteral("Song-i%1.wav").arg(k + 1);
        QStringList folderAfter = folderBefore + written;
        folderAfter.sort();
        QCOMPARE(QDir(s.folder).entryList(QDir::Files), folderAfter);
        if (added == 0)
            return;
        const TrackRecord& t = s.mod.tracks[before];
        QCOMPARE(t.title.trimmed(), QFileInfo(files[0]).completeBaseName());
        QCOMPARE(std::tuple(t.volume, t.pan, t.mute), std::tuple(255, 127, 0));
        QCOMPARE(s.cboTrack().currentIndex(), before);
        const std::vector<int16_t> want =
            reference == 1 ? ffmpegConversion(files[0])
                           : readWaveSamples(files[0]); // the source's own samples
        const std::vector<int16_t> file = readWaveSamples(s.path(written[0]));
        QCOMPARE(file.size(), std::min<size_t>(want.size(), 2 * size_t(kTrack)));
        QVERIFY(s.trackSamples(0, int(file.size() / 2)) == file);
        const int worst = difference(file, want);
        QVERIFY2(worst <= (reference == 1 ? kResamplerTolerance : 0),
                 qPrintable(QStringLiteral("differs by %1").arg(worst)));
    }

    // Paste From, Copy From or a track's new file not at 16-bit 44100 Hz offer its conversion:
    // Yes uses ffmpeg's, No takes a 16-bit file at its own rate, and a track does not ask again.
    void waveFilesNotAt44100AreOfferedTheirConversion_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("yes");
        const auto row = [](const char* tag, const char* command, const char* name, bool yes)
        { QTest::newRow(tag) << QString::fromLatin1(command) << QString::fromLatin1(name) << yes; };
        row("Paste From, 24-bit 48 kHz, Yes", "mnuEditPasteFromStraight", "48k24.wav", true);
        row("Paste From, 16-bit 48 kHz, No", "mnuEditPasteFromStraight", "48k16.wav", false);
        row("Copy From, 16-bit 48 kHz, Yes", "mnuEditCopyFrom", "48k16.wav", true);
        row("Copy From, 16-bit 48 kHz, No", "mnuEditCopyFrom", "48k16.wav", false);
        row("a track's file, 24-bit 48 kHz, Yes", "mnuTrackProps", "48k24.wav", true);
        row("a track's file, 16-bit 48 kHz, No", "mnuTrackProps", "48k16.wav", false);
        row("a track's file, 6 channels, Yes", "mnuTrackProps", "six.wav", true);
    }
    void waveFilesNotAt44100AreOfferedTheirConversion()
    {
        QFETCH(QString, command);
        QFETCH(QString, name);
        QFETCH(bool, yes);
        QTemporaryDir sources;
        QVERIFY(makeSource(sources.path(), name));
        const QString file = sources.filePath(name);
        const QByteArray original = fileBytes(file);
        StudioFixture s;
        openProject(s, 1);
        s.ui.files.push_back(file);
        s.ui.dialogs.push_back(trackPropsOK(QString(), file));
        if (command == QStringLiteral("mnuTrackProps"))
            s.ui.answers.push_back(Answer::No); // Delete File: keep the old one
        s.ui.answers.push_back(yes ? Answer::Yes : Answer::No);
        s.w.mnuEditSelectAll();
        child<QAction>(s.w, command.toLatin1().constData())->trigger();
        if (command == QStringLiteral("mnuTrackProps"))
            s.w.chooseTrack(0); // a switch back asks nothing more
        QCOMPARE(s.ui.questions().size(), command == QStringLiteral("mnuTrackProps") ? 2 : 1);
        QVERIFY(s.ui.questions().constLast().startsWith(file + QStringLiteral(" holds")) ||
                s.ui.questions().constLast().contains(u'\n' + file + QStringLiteral(" holds")));
        const bool paste = command == QStringLiteral("mnuEditPasteFromStraight");
        // No to a file at another rate pastes it at that rate, as the engine always did.
        QCOMPARE(s.ui.messages(),
                 paste && !yes ? QStringList{"Error in PasteFrom: 2"} : QStringList());
        QCOMPARE(fileBytes(file), original);
        if (command == QStringLiteral("mnuEditCopyFrom") && !yes) // copied as it is
            QCOMPARE(fileBytes(s.w.CLIPFILE), original);
        if (command == QStringLiteral("mnuEditCopyFrom") && !yes)
            return;
        std::vector<int16_t> want = yes ? ffmpegConversion(file) : tones(kSourceFrames);
        const int frames = int(want.size() / 2);
        const std::vector<int16_t> got = command == QStringLiteral("mnuEditCopyFrom")
                                             ? readWaveSamples(s.w.CLIPFILE)
                                             : s.trackSamples(0, frames);
        if (paste) // the samples as the engine pastes a 16-bit 44100 Hz file of them
        {
            QVERIFY(writeWave(s.path(QStringLiteral("want.wav")), want));
            QCOMPARE(s.engine->Undo(), 0);
            QCOMPARE(s.engine->PasteFrom(s.sel().selStart, s.sel().selEnd,
                                         QFile::encodeName(s.path("want.wav")).constData(), 0),
                     0);
            want = s.trackSamples(0, frames);
        }
        QCOMPARE(got.size(), want.size());
        QVERIFY(difference(got, want) <= (yes ? kResamplerTolerance : 0));
        const QString converted =
            sources.filePath(QFileInfo(name).completeBaseName() + QStringLiteral("-converted.wav"));
        if (command == QStringLiteral("mnuTrackProps"))
            QCOMPARE(s.mod.tracks[0].fileName.trimmed(), yes ? converted : file);
        QVERIFY(!QFileInfo::exists(s.path(QStringLiteral("converted-paste.wav"))));
    }
};

QTEST_MAIN(ImportTest)
#include "ImportTest.moc"
