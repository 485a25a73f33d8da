// The project commands through the main window and the real engine: New, Open, Save, Save As,
// Properties, and what a bad project file or a failing engine leaves behind.
#include "../StudioFixture.h"
#include "../WriteFaults.h"
#include "project/ProjectFile.h"
#include "tracks/TrackFiles.h"

#include <QDir>
#include <QLabel>
#include <QTest>

#include <cstdio>
#include <utility>

using namespace vumo;
using namespace vumo::test;

namespace
{

// A project file "Demo" of 1 MB per track over the given tracks (title, path; their wave files
// written blank when missing).
QString writeProjectFile(const QString& path, const QList<std::pair<QByteArray, QString>>& tracks,
                         int32_t tempo = 100)
{
    project::ProjectData data = project::newProjectData(1);
    data.projTitle = "Demo";
    data.tempo = tempo;
    for (const auto& [title, file] : tracks)
    {
        data.tracks.append({title, QFile::encodeName(file)});
        if (!QFile::exists(file))
            tracks::writeBlankWave(file);
    }
    return project::writeProject(path, data);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class ProjectCommandsTest : public QObject
{
    Q_OBJECT

private:
    // Opens path through the Open command, as the user would.
    static void open(StudioFixture& s, const QString& path)
    {
        s.ui.files.push_back(path);
        s.w.mnuFileOpen();
    }

    // Opens "three.vum": tracks "one", "two" and "three".
    static void openThreeTracks(StudioFixture& s)
    {
        QCOMPARE(writeProjectFile(s.path("three.vum"), {{"one", s.path("one.wav")},
                                                        {"two", s.path("two.wav")},
                                                        {"three", s.path("three.wav")}}),
                 QString());
        open(s, s.path("three.vum"));
    }

private slots:
    void initTestCase() { useVirtualDevices(); }

    void newThenSaveRunsSaveAsAndWritesThe438ByteProject()
    {
        StudioFixture s;
        // Right after start-up: the settings at their defaults (4 MB per track).
        s.ui.dialogs.push_back(projectSettingsOK());
        s.ui.dialogs.push_back(trackPropsOK());
        s.w.mnuFileNew();
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - untitled"));
        s.ui.files.push_back(s.path("p.vum"));
        s.w.mnuFileSave();
        QCOMPARE(s.ui.texts(Shown::Kind::FileChoice), QStringList{QStringLiteral("*.vum;*.wav")});
        QCOMPARE(s.ui.shown.last().detail, QStringLiteral("Save as"));
        QCOMPARE(s.w.FILESPEC, s.path("p.vum"));
        // The bytes themselves are checked by tst_projectfile.
        const QByteArray b = fileBytes(s.path("p.vum"));
        QCOMPARE(b.size(), 438);
        QCOMPARE(b.mid(298, 128).trimmed(), QFile::encodeName(s.path("untitled-t1.wav")));
        // The next Save writes there without asking.
        s.w.mnuFileSave();
        QCOMPARE(s.ui.texts(Shown::Kind::FileChoice).size(), 1);
        QVERIFY(s.ui.messages().isEmpty());
    }

    void openingThreeTracksLoadsAudioOnlyForTheLast()
    {
        StudioFixture s;
        openThreeTracks(s);
        const std::vector<std::pair<int32_t, int32_t>> expected{{0, 0}, {1, 0}, {2, -1}};
        QCOMPARE(EngineSpy::switches, expected);
        QCOMPARE(s.cboTrack().count(), 3);
        QCOMPARE(s.cboTrack().itemText(0), QStringLiteral("one"));
        QCOMPARE(s.cboTrack().itemText(2), QStringLiteral("three"));
        QCOMPARE(s.cboTrack().currentIndex(), 2);
        QCOMPARE(s.mod.currentTrack, 2);
        QCOMPARE(s.w.FILESPEC, s.path("three.vum"));
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - Demo"));
        QCOMPARE(child<QLabel>(s.w, "lblLength")->text(), QStringLiteral("Len: 00.06"));
        QCOMPARE(s.mod.selStart, 0);
        QCOMPARE(s.mod.selEnd, 262144 - 2);
        QVERIFY(s.ui.messages().isEmpty());
    }

    // A path that is no project, or a file that is refused, is shown; the open project stays.
    // (Each refusal's exact message is checked by tst_projectfile.)
    void badProjectFilesLeaveTheOpenProjectUntouched_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // written to name when not empty
        QTest::addColumn<QString>("why");      // %1: the path
        auto header = [](int16_t count, int32_t length)
        {
            QByteArray b(282, '\0');
            qToLittleEndian<int32_t>(length, b.data() + 20);
            qToLittleEndian<int16_t>(count, b.data() + 24);
            return b;
        };
        // A record whose path fills all 128 bytes: the engine takes at most 127.
        const QByteArray longPath =
            QByteArray(16, ' ') + "/" + QByteArray(127, 'x') + QByteArray(12, '\0');
        const auto row =
            [](const char* tag, const char* name, const QByteArray& bytes, const char* why)
        { QTest::newRow(tag) << QString::fromLatin1(name) << bytes << QString::fromLatin1(why); };
        row("missing", "gone.vum", {}, "The file %1 does not exist.");
        row("folder", "folder.vum", {}, "%1 is a folder, not a project or a cabinet.");
        row("other kind", "notes.txt", "notes",
            "%1 is neither a project (.vum) nor a cabinet (.cab).");
        row("records missing", "bad.vum", header(2, 262144) + QByteArray(156, ' '), "records need");
        row("18 tracks", "bad.vum", header(18, 262144), "18 tracks");
        row("length 257 MB", "bad.vum", header(0, 257 * 262144), "outside 1 frame to 256 MB");
        row("track path too long", "bad.vum", header(1, 262144) + longPath,
            "too long: 128 bytes, at most 127");
    }
    void badProjectFilesLeaveTheOpenProjectUntouched()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        StudioFixture s;
        openThreeTracks(s);
        const std::size_t switches = EngineSpy::switches.size();
        QVERIFY(QDir(s.f.home.path()).mkdir(QStringLiteral("folder.vum")));
        if (!bytes.isEmpty())
        {
            QFile bad(s.path(name));
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(bytes);
        }
        open(s, s.path(name));
        QCOMPARE(s.ui.messages().size(), 1);
        const QString shown =
            why.contains(u'%') ? why.arg(QDir::toNativeSeparators(s.path(name))) : why;
        QVERIFY2(s.ui.messages().at(0).contains(shown), qPrintable(s.ui.messages().at(0)));
        QCOMPARE(s.ui.shown.last().icon, MsgIcon::Critical);
        // Nothing was closed or changed.
        QVERIFY(s.ui.questions().isEmpty());
        QCOMPARE(s.w.FILESPEC, s.path("three.vum"));
        QVERIFY(s.w.session().isOpen());
        QCOMPARE(s.cboTrack().count(), 3);
        QCOMPARE(s.cboTrack().currentIndex(), 2);
        QCOMPARE(EngineSpy::switches.size(), switches);
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - Demo"));
    }

    // A title and a track path written on a Latin-1 system reach the engine and the file as the
    // bytes they are; only the caption and the track list decode them.
    void textsFromElsewhereLoadAndSaveAsTheyAre()
    {
        StudioFixture s;
        QByteArray path = QFile::encodeName(s.path(QString())) + "/";
        path += QByteArray(127 - path.size(), '\xe9'); // the longest path, Latin-1
        const std::vector<int16_t> samples{100, -100, 200, -200, 300, -300};
        const QByteArray wave = waveBytes(samples);
        std::FILE* file = std::fopen(path.constData(), "wb");
        QVERIFY(file != nullptr);
        QCOMPARE(std::fwrite(wave.constData(), 1, wave.size(), file), std::size_t(wave.size()));
        std::fclose(file);
        project::ProjectData data = project::newProjectData(1);
        data.projTitle = "Caf\xe9";
        data.tracks.append({"Cr\xe8me", path});
        QCOMPARE(project::writeProject(s.path("latin.vum"), data), QString());
        const QByteArray before = fileBytes(s.path("latin.vum"));

        open(s, s.path("latin.vum"));
        QCOMPARE(s.ui.messages(), QStringList());
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - Caf\u00e9"));
        QCOMPARE(s.cboTrack().itemText(0), QStringLiteral("Cr\u00e8me"));
        QCOMPARE(s.trackSamples(0, 3), samples); // the engine loaded the file by its bytes
        // The property dialogs left as shown keep the bytes (the 127 bytes would encode to more).
        FrmTrackProps trackProps(s.mod, s.ui);
        child<QAbstractButton>(trackProps, "OKButton")->click();
        FrmProjProps projProps(s.mod, s.ui, 100000);
        child<QAbstractButton>(projProps, "cmdOK")->click();
        s.w.mnuFileSave();
        QCOMPARE(s.ui.messages(), QStringList());
        QCOMPARE(fileBytes(s.path("latin.vum")), before);
    }

    // The studio shows why a save failed; the file on the disk stays the previous one.
    void failedSaveIsShownWithItsCause()
    {
        StudioFixture s;
        openThreeTracks(s);
        s.ui.answers.push_back(Answer::No); // keep the file of the deleted track
        s.w.mnuTrackDelete();
        const QByteArray before = fileBytes(s.path("three.vum"));
        {
            const FileSizeLimit limit(512); // the two records need 594 bytes
            s.w.mnuFileSave();
        }
        QCOMPARE(s.ui.messages(),
                 QStringList{QStringLiteral("Unable to save the project file %1: File too large")
                                 .arg(s.path("three.vum"))});
        QCOMPARE(s.ui.shown.last().icon, MsgIcon::Critical);
        QCOMPARE(fileBytes(s.path("three.vum")), before);
        s.w.mnuFileSave();
        QCOMPARE(s.ui.messages().size(), 1);
        QCOMPARE(fileBytes(s.path("three.vum")).size(), 282 + 2 * 156);
    }

    void aFailingEngineKeepsTheRecordsAndTheWindowUsable()
    {
        StudioFixture s;
        QCOMPARE(writeProjectFile(s.path("two.vum"),
                                  {{"one", s.path("one.wav")}, {"two", s.path("two.wav")}}),
                 QString());
        EngineSpy::openLibFailure = 7;
        open(s, s.path("two.vum"));
        QCOMPARE(s.ui.messages(),
                 QStringList{QStringLiteral("There was an error opening the device drivers: 7")});
        QVERIFY(!s.w.session().isOpen());
        QCOMPARE(s.mod.trackCount, int16_t{2});
        QCOMPARE(s.mod.tracks[1].title.trimmed(), QStringLiteral("two"));
        QCOMPARE(s.cboTrack().count(), 0);
        QCOMPARE(s.w.FILESPEC, s.path("two.vum"));

        // No command reaches the engine until it opens again; each one says why.
        const int calls = s.engine.callCount();
        s.w.mnuTrackAdd();
        s.w.mnuControlPlay();
        s.w.mnuControlRecord();
        s.ui.files.push_back(s.path("mix.wav"));
        s.w.mnuFileSaveAs();
        QCOMPARE(s.engine.callCount(), calls);
        QCOMPARE(s.ui.messages().size(), 5);
        QVERIFY(s.ui.messages().at(1).startsWith(QStringLiteral("The audio engine is not open")));
        QCOMPARE(s.mod.trackCount, int16_t{2});
        // Saving the records still works.
        s.w.mnuFileSave();
        QCOMPARE(QFileInfo(s.path("two.vum")).size(), 282 + 2 * 156);
        QCOMPARE(s.engine.callCount(), calls);

        // Properties opens the engine again and loads the records.
        EngineSpy::openLibFailure = 0;
        s.ui.dialogs.push_back(projectSettingsOK());
        s.w.mnuFileProps();
        QVERIFY(s.w.session().isOpen());
        QCOMPARE(s.cboTrack().count(), 2);
        QCOMPARE(s.cboTrack().currentIndex(), 1);
    }

    void saveAsRefusesOtherKindsAndKeepsWavesApart()
    {
        StudioFixture s;
        s.newProject();
        s.ui.files.push_back(s.path("p.txt"));
        s.w.mnuFileSaveAs();
        QCOMPARE(s.ui.messages(), QStringList{QStringLiteral("Unsupported file extension!")});
        QCOMPARE(s.ui.shown.last().icon, MsgIcon::Critical);
        QVERIFY(!QFile::exists(s.path("p.txt")));
        // A wave in either case is the selection, not the project.
        s.mod.selStart = 10;
        s.mod.selEnd = 110;
        s.ui.files.push_back(s.path("mix.WAV"));
        s.w.mnuFileSaveAs();
        QCOMPARE(QFileInfo(s.path("mix.WAV")).size(), 44 + 100 * 4);
        QVERIFY(s.w.FILESPEC.isEmpty());
    }

    void propertiesAsksForEnoughPhysicalMemory()
    {
        StudioFixture s;
        s.newProject();
        // Three buffers of 16 MB and one more: the dialog gets the probe's total.
        s.w.setMemoryProbe([] { return MemoryStatus{uint64_t(49) << 20, uint64_t(20) << 20}; });
        s.ui.dialogs.push_back(projectSettingsOK(16));
        s.ui.answers.push_back(Answer::No); // Save track edits?
        s.w.mnuFileProps();
        QVERIFY(s.ui.messages().isEmpty());
        QCOMPARE(s.mod.trackLength, 16 * 262144);
        QCOMPARE(child<QLabel>(s.w, "lblLength")->text(), QStringLiteral("Len: 01.35"));
        QCOMPARE(child<QLabel>(s.w, "lblMem")->text(), QStringLiteral("Mem: 20MB"));
        QCOMPARE(s.cboTrack().count(), 1); // the track was loaded again
    }

    void cancelledNewKeepsTheOpenProjectAndNewClosesItAskingAboutEdits()
    {
        StudioFixture s;
        openThreeTracks(s);
        s.ui.dialogs.push_back(cancelDialog());
        s.w.mnuFileNew();
        QCOMPARE(s.w.FILESPEC, s.path("three.vum"));
        QCOMPARE(s.cboTrack().count(), 3);

        s.ui.answers.push_back(Answer::Yes);
        s.newProject(2, QStringLiteral("A title far longer than sixteen"));
        QCOMPARE(s.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        QCOMPARE(s.mod.trackCount, int16_t{1});
        QCOMPARE(s.cboTrack().count(), 1);
        QCOMPARE(s.cboTrack().itemText(0), QStringLiteral("t1"));
        QCOMPARE(s.mod.trackLength, 2 * 262144);
        QVERIFY(s.w.FILESPEC.isEmpty());
        // The title is cut to 16 characters; the first track's file is named after it.
        QCOMPARE(s.mod.projTitle.trimmed(), QStringLiteral("A title far long"));
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - A title far long"));
        QVERIFY(QFile::exists(s.path("A title far long-t1.wav")));
        QVERIFY(s.ui.messages().isEmpty());
    }
};

QTEST_MAIN(ProjectCommandsTest)
#include "ProjectCommandsTest.moc"
