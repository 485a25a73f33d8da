// The project commands through the main window and the real engine: New, Open, Save, Save As,
// Properties, and what a bad project file or a failing engine leaves behind.
#include "../StudioFixture.h"
#include "project/ProjectFile.h"
#include "tracks/TrackFiles.h"

#include <QLabel>
#include <QTest>

using namespace vumo;
using namespace vumo::test;

namespace
{

// A project file of n tracks named after the given wave files (each written blank when
// missing), with the given volume, pan and mute per track.
struct TrackEntry
{
    QString title;
    QString file;
    int16_t volume = 255;
    int16_t pan = 127;
    int16_t mute = 0;
};

QString writeProjectFile(const QString& path, const QList<TrackEntry>& tracks, int32_t memoryMB = 1,
                         int32_t tempo = 100)
{
    project::ProjectData data = project::newProjectData(memoryMB);
    data.projTitle = QStringLiteral("Demo");
    data.tempo = tempo;
    for (const TrackEntry& t : tracks)
    {
        if (!QFile::exists(t.file))
            tracks::writeBlankWave(t.file);
        project::TrackRecordData r;
        r.title = t.title;
        r.fileName = t.file;
        r.volume = t.volume;
        r.pan = t.pan;
        r.mute = t.mute;
        data.tracks.append(r);
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

    static QList<TrackEntry> threeTracks(StudioFixture& s)
    {
        return {
            {"one", s.path("one.wav")}, {"two", s.path("two.wav")}, {"three", s.path("three.wav")}};
    }

private slots:
    void initTestCase() { useVirtualDevices(); }

    void newOkOkAndSaveAsWriteThe438ByteProject()
    {
        StudioFixture s;
        // Right after start-up: the settings at their defaults (4 MB per track).
        s.ui.dialogs.push_back(projectSettingsOK());
        s.ui.dialogs.push_back(trackPropsOK());
        s.w.mnuFileNew();
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - untitled"));
        s.ui.files.push_back(s.path("p.vum"));
        s.w.mnuFileSaveAs();

        const QByteArray b = fileBytes(s.path("p.vum"));
        QCOMPARE(b.size(), 438);
        QCOMPARE(b.left(4), QByteArray("1.00"));
        QCOMPARE(b.mid(4, 16), QByteArray("untitled        "));
        QCOMPARE(b.mid(20, 4), QByteArray::fromHex("00001000"));
        QCOMPARE(b.mid(24, 2), QByteArray::fromHex("0100"));
        QCOMPARE(b.mid(26, 4), QByteArray::fromHex("64000000"));
        QCOMPARE(b.mid(30, 252), QByteArray(252, '\0'));
        QCOMPARE(b.mid(282, 16), QByteArray("t1              "));
        QByteArray track = QFile::encodeName(s.path("untitled-t1.wav"));
        track.append(128 - track.size(), ' ');
        QCOMPARE(b.mid(298, 128), track);
        QCOMPARE(b.mid(426, 2), QByteArray::fromHex("ff00"));
        QCOMPARE(b.mid(428, 2), QByteArray::fromHex("7f00"));
        QCOMPARE(b.mid(430, 2), QByteArray::fromHex("0000"));
        QCOMPARE(b.mid(432, 6), QByteArray(6, '\0'));
        QCOMPARE(s.w.FILESPEC, s.path("p.vum"));
        QVERIFY(s.ui.messages().isEmpty());
    }

    void aProjectWithoutTracksSavesIn282Bytes()
    {
        StudioFixture s;
        QCOMPARE(writeProjectFile(s.path("empty.vum"), {}), QString());
        open(s, s.path("empty.vum"));
        QCOMPARE(s.cboTrack().count(), 0);
        QVERIFY(s.w.bInitLib);
        QVERIFY(!child<QWidget>(s.w, "fraTrack")->isVisible());
        s.w.mnuFileSave();
        QCOMPARE(QFileInfo(s.path("empty.vum")).size(), 282);
        QVERIFY(s.ui.messages().isEmpty());
    }

    void aTempoOfZeroOpensAs100AndSavesAs100()
    {
        StudioFixture s;
        QCOMPARE(writeProjectFile(s.path("t.vum"), {{"one", s.path("one.wav")}}, 1, 0), QString());
        QCOMPARE(fileBytes(s.path("t.vum")).mid(26, 4), QByteArray(4, '\0'));
        open(s, s.path("t.vum"));
        QCOMPARE(s.mod.tempo, 100);
        s.w.mnuFileSave();
        QCOMPARE(fileBytes(s.path("t.vum")).mid(26, 4), QByteArray::fromHex("64000000"));
    }

    void savingTwoTracksOverALongerFileReopensWithTwo()
    {
        StudioFixture s;
        QCOMPARE(writeProjectFile(s.path("long.vum"), threeTracks(s)), QString());
        open(s, s.path("long.vum"));
        s.cboTrack().setCurrentIndex(2);
        s.ui.answers.push_back(Answer::No); // keep the file of the deleted track
        s.w.mnuTrackDelete();
        s.w.mnuFileSave();
        QCOMPARE(QFileInfo(s.path("long.vum")).size(), 282 + 2 * 156);
        const project::ProjectReadResult again = project::readProject(s.path("long.vum"));
        QVERIFY(again.ok());
        QCOMPARE(again.project.tracks.size(), 2);
        QVERIFY(QFile::exists(s.path("three.wav")));
    }

    void openingThreeTracksLoadsAudioOnlyForTheLast()
    {
        StudioFixture s;
        QCOMPARE(writeProjectFile(s.path("three.vum"), threeTracks(s)), QString());
        open(s, s.path("three.vum"));
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

    void badProjectFilesLeaveTheOpenProjectUntouched_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::addColumn<QString>("why");
        QByteArray header(282, '\0');
        header.replace(0, 4, "1.00");
        auto withCount = [&](int16_t count, int32_t length)
        {
            QByteArray b = header;
            qToLittleEndian<int16_t>(count, b.data() + 24);
            qToLittleEndian<int32_t>(length, b.data() + 20);
            return b;
        };
        QTest::newRow("missing") << QByteArray() << "Unable to open";
        QTest::newRow("shorter than the header") << header.left(100) << "shorter than";
        QTest::newRow("records missing")
            << withCount(2, 262144) + QByteArray(156, ' ') << "records need";
        QTest::newRow("18 tracks") << withCount(18, 262144) << "18 tracks";
        QTest::newRow("-1 tracks") << withCount(-1, 262144) << "-1 tracks";
        QTest::newRow("length 0") << withCount(0, 0) << "track length of 0";
        QTest::newRow("length 257 MB") << withCount(0, 257 * 262144) << "outside 1 frame to 256 MB";
    }
    void badProjectFilesLeaveTheOpenProjectUntouched()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        StudioFixture s;
        QCOMPARE(writeProjectFile(s.path("good.vum"), threeTracks(s)), QString());
        open(s, s.path("good.vum"));
        const std::size_t switches = EngineSpy::switches.size();
        if (!bytes.isEmpty())
        {
            QFile bad(s.path("bad.vum"));
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(bytes);
        }
        open(s, s.path("bad.vum"));
        QCOMPARE(s.ui.messages().size(), 1);
        QVERIFY2(s.ui.messages().at(0).contains(why), qPrintable(s.ui.messages().at(0)));
        QCOMPARE(s.ui.shown.last().icon, MsgIcon::Critical);
        // Nothing was closed or changed.
        QVERIFY(s.ui.questions().isEmpty());
        QCOMPARE(s.w.FILESPEC, s.path("good.vum"));
        QVERIFY(s.w.bInitLib);
        QCOMPARE(s.mod.trackCount, int16_t{3});
        QCOMPARE(s.cboTrack().count(), 3);
        QCOMPARE(s.cboTrack().currentIndex(), 2);
        QCOMPARE(EngineSpy::switches.size(), switches);
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - Demo"));
    }

    void aTrackPathTooLongForTheEngineRefusesTheProject()
    {
        StudioFixture s;
        QCOMPARE(writeProjectFile(s.path("good.vum"), threeTracks(s)), QString());
        open(s, s.path("good.vum"));
        // A record whose path fills all 128 bytes: the engine takes at most 127.
        QByteArray b = fileBytes(s.path("good.vum")).left(282 + 156);
        b.replace(282 + 16, 128, QByteArray("/") + QByteArray(127, 'x'));
        qToLittleEndian<int16_t>(1, b.data() + 24);
        QFile f(s.path("long.vum"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(b);
        f.close();
        open(s, s.path("long.vum"));
        QCOMPARE(s.ui.messages().size(), 1);
        QVERIFY(s.ui.messages().at(0).contains(QStringLiteral("too long: 128 bytes, at most 127")));
        QCOMPARE(s.w.FILESPEC, s.path("good.vum"));
        QCOMPARE(s.cboTrack().count(), 3);
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
        QVERIFY(!s.w.bInitLib);
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
        QVERIFY(s.w.bInitLib);
        QCOMPARE(s.cboTrack().count(), 2);
        QCOMPARE(s.cboTrack().currentIndex(), 1);
    }

    void aProjectFileThatCannotBeWrittenIsReported()
    {
        StudioFixture s;
        s.newProject();
        s.ui.files.push_back(s.path("p.vum"));
        s.w.mnuFileSaveAs();
        QCOMPARE(s.w.FILESPEC, s.path("p.vum"));
        s.ui.files.push_back(s.path("no/such/folder/q.vum"));
        s.w.mnuFileSaveAs();
        QCOMPARE(s.ui.messages().size(), 1);
        QVERIFY(
            s.ui.messages().at(0).startsWith(QStringLiteral("Unable to save the project file")));
        QCOMPARE(s.w.FILESPEC, s.path("p.vum")); // still the file that was saved
        // The project in memory is whole: saving where it can be written still works.
        s.w.mnuFileSave();
        QCOMPARE(s.ui.messages().size(), 1);
        QCOMPARE(QFileInfo(s.path("p.vum")).size(), 438);
    }

    void saveAsAnotherExtensionIsRefused()
    {
        StudioFixture s;
        s.newProject();
        s.ui.files.push_back(s.path("p.txt"));
        s.w.mnuFileSaveAs();
        QCOMPARE(s.ui.messages(), QStringList{QStringLiteral("Unsupported file extension!")});
        QCOMPARE(s.ui.shown.last().icon, MsgIcon::Critical);
        QVERIFY(!QFile::exists(s.path("p.txt")));
        QVERIFY(s.w.FILESPEC.isEmpty());
    }

    void saveAsWaveInEitherCaseLeavesTheProjectFileAlone()
    {
        StudioFixture s;
        s.newProject();
        s.mod.selStart = 10;
        s.mod.selEnd = 110;
        s.ui.files.push_back(s.path("mix.WAV"));
        s.w.mnuFileSaveAs();
        QVERIFY(s.ui.messages().isEmpty());
        QCOMPARE(QFileInfo(s.path("mix.WAV")).size(), 44 + 100 * 4);
        QVERIFY(s.w.FILESPEC.isEmpty());
    }

    void propertiesAsksForEnoughPhysicalMemory()
    {
        StudioFixture s;
        s.newProject();
        s.w.setMemoryProbe([] { return MemoryStatus{uint64_t(48) << 20, uint64_t(20) << 20}; });
        s.ui.dialogs.push_back(projectSettingsOK(16));
        s.w.mnuFileProps();
        QCOMPARE(s.ui.messages(),
                 QStringList{QStringLiteral("You have requested more memory than is available.")});
        QVERIFY(s.mod.dialogCancelled); // the dialog stayed open until the user cancelled
        QCOMPARE(s.mod.trackLength, 262144);

        s.w.setMemoryProbe([] { return MemoryStatus{uint64_t(49) << 20, uint64_t(20) << 20}; });
        s.ui.dialogs.push_back(projectSettingsOK(16));
        s.ui.answers.push_back(Answer::No); // Save track edits?
        s.w.mnuFileProps();
        QCOMPARE(s.ui.messages().size(), 1);
        QCOMPARE(s.mod.trackLength, 16 * 262144);
        QCOMPARE(child<QLabel>(s.w, "lblLength")->text(), QStringLiteral("Len: 01.35"));
        QCOMPARE(child<QLabel>(s.w, "lblMem")->text(), QStringLiteral("Mem: 20MB"));
        QCOMPARE(s.cboTrack().count(), 1); // the track was loaded again
    }

    void aLongTitleIsCutTo16Characters()
    {
        StudioFixture s;
        s.newProject(1, QStringLiteral("A title far longer than sixteen"));
        QCOMPARE(s.mod.projTitle.trimmed(), QStringLiteral("A title far long"));
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - A title far long"));
        QVERIFY(QFile::exists(s.path("A title far long-t1.wav")));
    }

    void aCancelledNewKeepsTheOpenProject()
    {
        StudioFixture s;
        QCOMPARE(writeProjectFile(s.path("three.vum"), threeTracks(s)), QString());
        open(s, s.path("three.vum"));
        s.ui.dialogs.push_back(cancelDialog());
        s.w.mnuFileNew();
        QCOMPARE(s.w.FILESPEC, s.path("three.vum"));
        QCOMPARE(s.mod.trackCount, int16_t{3});
        QCOMPARE(s.mod.projTitle.trimmed(), QStringLiteral("Demo"));
        QCOMPARE(s.cboTrack().count(), 3);
        QVERIFY(s.w.bInitLib);
    }

    void theStartUpNewOffersNoCancel()
    {
        StudioFixture s;
        bool cancelHidden = false;
        s.ui.answers.push_back(Answer::No); // Do you want to open an existing project?
        s.ui.dialogs.push_back(
            [&](QDialog& d)
            {
                cancelHidden = child<QAbstractButton>(d, "cmdCancel")->isHidden();
                child<QAbstractButton>(d, "cmdOK")->click();
            });
        s.ui.dialogs.push_back(trackPropsOK());
        s.w.startUp({QStringLiteral("Vumo")});
        QVERIFY(cancelHidden);
        QVERIFY(!s.mod.startupNew);
        QCOMPARE(s.mod.trackCount, int16_t{1});
        QVERIFY(s.w.bInitLib);
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - untitled"));
    }

    void saveWithoutAProjectFileRunsSaveAs()
    {
        StudioFixture s;
        s.newProject();
        s.ui.files.push_back(s.path("first.vum"));
        s.w.mnuFileSave();
        QCOMPARE(s.ui.texts(Shown::Kind::FileChoice), QStringList{QStringLiteral("*.vum;*.wav")});
        QCOMPARE(s.ui.shown.last().detail, QStringLiteral("Save as"));
        QCOMPARE(s.w.FILESPEC, s.path("first.vum"));
        QCOMPARE(QFileInfo(s.path("first.vum")).size(), 438);
        // The next Save writes there without asking.
        s.w.mnuFileSave();
        QCOMPARE(s.ui.texts(Shown::Kind::FileChoice).size(), 1);
    }

    void newClosesTheOldProjectAskingAboutEdits()
    {
        StudioFixture s;
        QCOMPARE(writeProjectFile(s.path("three.vum"), threeTracks(s)), QString());
        open(s, s.path("three.vum"));
        s.ui.answers.push_back(Answer::Yes);
        s.newProject(2, QStringLiteral("Next"));
        QCOMPARE(s.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        QCOMPARE(s.mod.trackCount, int16_t{1});
        QCOMPARE(s.cboTrack().count(), 1);
        QCOMPARE(s.cboTrack().itemText(0), QStringLiteral("t1"));
        QCOMPARE(s.mod.trackLength, 2 * 262144);
        QVERIFY(s.w.FILESPEC.isEmpty());
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - Next"));
        QVERIFY(s.ui.messages().isEmpty());
    }
};

QTEST_MAIN(ProjectCommandsTest)
#include "ProjectCommandsTest.moc"
