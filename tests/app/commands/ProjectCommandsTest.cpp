// The project and track commands through the main window and the real engine: the File
// commands, bad files, a failing engine; Add, Delete, the clones, Track Properties, switches.
#include "../StudioFixture.h"
#include "../WriteFaults.h"
#include "model/ProjectRecords.h"
#include "services/QtUiServices.h"
#include "support/BoxAnswerer.h"
#include "tracks/TrackFiles.h"

#include <QCheckBox>
#include <QTest>
#include <QtEndian>
#include <fstream>

using namespace vumo;
using namespace vumo::test;

namespace
{

// A project file "Demo" of 1 MB over the tracks (title, path; missing waves written blank).
QString writeProjectFile(const QString& path, const QList<std::pair<QByteArray, QString>>& tracks)
{
    project::ProjectData data = project::newProjectData(1);
    data.projTitle = "Demo";
    for (const auto& [title, file] : tracks)
    {
        data.tracks.append({title, QFile::encodeName(file)});
        if (!QFile::exists(file))
            tracks::writeBlankWave(file);
    }
    return project::writeProject(path, data);
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

    // A project with n blank tracks t1 ... tn (the last one current).
    static void projectWithTracks(StudioFixture& s, int n)
    {
        s.newProject(1, QStringLiteral("Demo"));
        for (int k = 1; k < n; ++k)
            s.addTrack();
    }

    // Gives track k distinct volume, pan and mute through the window's controls.
    static void setControls(StudioFixture& s, int k, int volume, int pan, bool mute)
    {
        s.cboTrack().setCurrentIndex(k);
        child<QScrollBar>(s.w, "hscVol")->setValue(volume);
        child<QScrollBar>(s.w, "hscPan")->setValue(pan);
        child<QCheckBox>(s.w, "chkMute")->setChecked(mute);
    }
    // The volume, pan and mute a record holds and the controls show.
    static QList<int> mixOf(const TrackRecord& t) { return {t.volume, t.pan, t.mute}; }
    // Sets a bar (or a text box) of a dialog to value, then clicks button.
    using Script = std::function<void(QDialog&)>;
    static void press(QDialog& d, const char* control, int value, const char* button)
    {
        if (auto* bar = d.findChild<QScrollBar*>(QString::fromLatin1(control)))
            bar->setValue(value);
        else
            child<QLineEdit>(d, control)->setText(QString::number(value));
        child<QAbstractButton>(d, button)->click();
    }
    static QList<int> shownMix(StudioFixture& s)
    {
        return {child<QScrollBar>(s.w, "hscVol")->value(),
                child<QScrollBar>(s.w, "hscPan")->value(),
                child<QCheckBox>(s.w, "chkMute")->isChecked()};
    }

private slots:
    void initTestCase() { useVirtualDevices(); }

    void newThenSaveRunsSaveAsSaveAsRefusesOrWritesAWaveAndProperties()
    {
        StudioFixture s;
        s.newProject(0, {}); // right after start-up: the settings at their defaults (4 MB a track)
        QCOMPARE(s.w.windowTitle(), QStringLiteral("Vumo - untitled"));
        s.ui.files.push_back(s.path("p.vum"));
        s.w.mnuFileSave();
        QCOMPARE(s.ui.texts(Shown::Kind::FileChoice), QStringList{QStringLiteral("*.vum;*.wav")});
        QCOMPARE(s.w.FILESPEC, s.path("p.vum"));
        const QByteArray b = fileBytes(s.path("p.vum")); // the bytes: tst_project
        QCOMPARE(b.size(), 438);
        QCOMPARE(b.mid(298, 128).trimmed(), QFile::encodeName(s.path("untitled-t1.wav")));
        // The next Save writes there without asking.
        s.w.mnuFileSave();
        QCOMPARE(s.ui.texts(Shown::Kind::FileChoice).size(), 1);
        QVERIFY(s.ui.messages().isEmpty());

        s.ui.files.push_back(s.path("p.txt"));
        s.w.mnuFileSaveAs();
        QCOMPARE(s.ui.messages(), QStringList{QStringLiteral("Unsupported file extension!")});
        QCOMPARE(s.ui.shown.last().icon, MsgIcon::Critical);
        QVERIFY(!QFile::exists(s.path("p.txt")));
        // A wave in either case is the selection, not the project.
        s.sel() = {10, 110};
        s.ui.files.push_back(s.path("mix.WAV"));
        s.w.mnuFileSaveAs();
        QCOMPARE(QFileInfo(s.path("mix.WAV")).size(), 44 + 100 * 4);
        QCOMPARE(s.w.FILESPEC, s.path("p.vum"));

        // Properties asks for 3 x 16 MB and 1 more: the dialog gets the probe's total.
        s.w.setMemoryProbe([] { return MemoryStatus{uint64_t(49) << 20, uint64_t(20) << 20}; });
        s.ui.dialogs.push_back(projectSettingsOK(16));
        s.ui.answers.push_back(Answer::No); // Save track edits?
        s.w.mnuFileProps();
        QCOMPARE(s.ui.messages().size(), 1);
        QCOMPARE(s.mod.trackLength, 16 * 262144);
        QCOMPARE(s.cboTrack().count(), 1); // the track was loaded again
    }

    // A path that is no project, a refused file or a cancelled New leaves the open project; a
    // failed save leaves the file; New then closes the project, asking about the edits.
    void theOpenProjectStaysUntilNewClosesIt()
    {
        StudioFixture s;
        openThreeTracks(s);
        const std::vector<std::pair<int32_t, int32_t>> switches{{0, 0}, {1, 0}, {2, -1}};
        QCOMPARE(EngineSpy::switches, switches);
        QCOMPARE((QStringList{s.cboTrack().itemText(0), s.cboTrack().itemText(2)}),
                 (QStringList{"one", "three"}));
        QCOMPARE(s.mod.currentTrack, 2);
        QCOMPARE(std::pair(s.sel().selStart, s.sel().selEnd), std::pair(0, 262144 - 2));
        QVERIFY(s.ui.messages().isEmpty());
        const auto unchanged = [&]
        {
            QVERIFY(s.ui.questions().isEmpty());
            QCOMPARE(s.w.FILESPEC, s.path("three.vum"));
            QVERIFY(s.w.session().isOpen());
            QCOMPARE(s.cboTrack().count(), 3);
            QCOMPARE(EngineSpy::switches, switches);
        };
        unchanged();

        QVERIFY(QDir(s.home.path()).mkdir(QStringLiteral("folder.vum")));
        // One record whose path fills all 128 bytes: the engine takes at most 127.
        QByteArray oneLongPath(282, '\0');
        qToLittleEndian<int32_t>(262144, oneLongPath.data() + 20);
        qToLittleEndian<int16_t>(1, oneLongPath.data() + 24);
        oneLongPath += QByteArray(16, ' ') + "/" + QByteArray(127, 'x') + QByteArray(12, '\0');
        for (const auto& [name, bytes, why] :
             {std::tuple{"gone.vum", QByteArray(), "The file %1 does not exist."},
              {"folder.vum", QByteArray(), "%1 is a folder, not a project or a cabinet."},
              {"notes.txt", QByteArray("notes"),
               "%1 is neither a project (.vum) nor a cabinet (.cab)."},
              {"bad.vum", oneLongPath, "too long: 128 bytes, at most 127"}})
        {
            const QString path = s.path(QString::fromLatin1(name));
            if (!bytes.isEmpty())
                QVERIFY(putFile(path, bytes));
            s.ui.shown.clear();
            open(s, path);
            const QString shown = QString::fromLatin1(why);
            QCOMPARE(s.ui.messages().size(), 1);
            QVERIFY2(s.ui.messages().at(0).contains(
                         shown.contains(u'%') ? shown.arg(QDir::toNativeSeparators(path)) : shown),
                     qPrintable(s.ui.messages().at(0)));
            QCOMPARE(s.ui.shown.last().icon, MsgIcon::Critical);
            unchanged();
        }
        s.ui.shown.clear();
        s.ui.dialogs.push_back([](QDialog& d) { d.reject(); });
        s.w.mnuFileNew();
        unchanged();

        // A failed save is shown with its cause; the file on the disk stays the previous one.
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

        s.ui.shown.clear();
        s.ui.answers.push_back(Answer::Yes);
        s.newProject(2, QStringLiteral("A title far longer than sixteen"));
        QCOMPARE(s.ui.questions(), QStringList{QStringLiteral("Save track edits?")});
        QCOMPARE(s.cboTrack().count(), 1);
        QCOMPARE(s.mod.trackLength, 2 * 262144);
        QVERIFY(s.w.FILESPEC.isEmpty());
        // The title is cut to 16 characters; the first track's file is named after it.
        QCOMPARE(s.mod.projTitle.trimmed(), QStringLiteral("A title far long"));
        QVERIFY(QFile::exists(s.path("A title far long-t1.wav")));
    }

    // A Latin-1 title and track path reach the engine and the file as they are, shown decoded.
    void textsFromElsewhereLoadAndSaveAsTheyAre()
    {
        StudioFixture s;
        QByteArray path = QFile::encodeName(s.path(QString())) + "/";
        path += QByteArray(127 - path.size(), '\xe9'); // the longest path, Latin-1
        const std::vector<int16_t> samples{100, -100, 200, -200, 300, -300};
        const QByteArray wave = waveBytes(samples);
        QVERIFY(std::ofstream(path.constData(), std::ios::binary).write(wave.data(), wave.size()));
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
        // The property dialogs left as shown keep the bytes.
        s.ui.dialogs.push_back(trackPropsOK());
        s.w.mnuTrackProps();
        s.ui.dialogs.push_back(projectSettingsOK());
        s.w.mnuFileProps();
        s.w.mnuFileSave();
        QCOMPARE(s.ui.messages(), QStringList());
        QCOMPARE(fileBytes(s.path("latin.vum")), before);
    }

    void aFailingEngineKeepsTheRecordsAndTheWindowUsable()
    {
        StudioFixture s;
        EngineSpy::openLibFailure = 7;
        openThreeTracks(s);
        QCOMPARE(s.ui.messages(),
                 QStringList{QStringLiteral("There was an error opening the device drivers: 7")});
        QVERIFY(!s.w.session().isOpen());
        QCOMPARE(s.mod.trackCount, int16_t{3});
        QCOMPARE(s.mod.tracks[1].title.trimmed(), QStringLiteral("two"));
        QCOMPARE(s.cboTrack().count(), 0);
        QCOMPARE(s.w.FILESPEC, s.path("three.vum"));

        // No command reaches the engine until it opens again; each one says why.
        const int calls = EngineSpy::calls;
        s.w.mnuTrackAdd();
        s.ui.files.push_back(s.path("mix.wav"));
        s.w.mnuFileSaveAs();
        QCOMPARE(EngineSpy::calls, calls);
        QCOMPARE(s.ui.messages().size(), 3);
        QVERIFY(s.ui.messages().at(1).startsWith(QStringLiteral("The audio engine is not open")));
        // Saving the records still works.
        QVERIFY(QFile::remove(s.path("three.vum")));
        s.w.mnuFileSave();
        QCOMPARE(QFileInfo(s.path("three.vum")).size(), 282 + 3 * 156);
        QCOMPARE(EngineSpy::calls, calls);

        // Properties opens the engine again and loads the records.
        EngineSpy::openLibFailure = 0;
        s.ui.dialogs.push_back(projectSettingsOK());
        s.w.mnuFileProps();
        QVERIFY(s.w.session().isOpen());
        QCOMPARE(s.cboTrack().count(), 3);
        QCOMPARE(s.cboTrack().currentIndex(), 2);
    }

    void addSwitchingAndTrackPropertiesOnEachTracksControls()
    {
        StudioFixture s;
        projectWithTracks(s, 3);
        const QString file = s.path("Demo-t3.wav");
        QCOMPARE(s.mod.tracks[2].fileName.trimmed(), file);
        QCOMPARE(s.mod.tracks[2].title.trimmed(), QStringLiteral("t3"));
        QCOMPARE(mixOf(s.mod.tracks[2]), QList<int>({255, 127, 0}));
        QCOMPARE(fileBytes(file), tracks::blankWaveBytes());
        // The new track is current.
        QCOMPARE(s.cboTrack().currentIndex(), 2);
        QCOMPARE(EngineSpy::switches.back(), (std::pair<int32_t, int32_t>{2, -1}));

        // Switching shows the track's controls.
        setControls(s, 0, 100, 10, true);
        setControls(s, 1, 250, 240, false);
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(s.mod.currentTrack, 0);
        QCOMPARE(shownMix(s), QList<int>({100, 10, 1}));
        QCOMPARE(mixOf(s.mod.tracks[1]), QList<int>({250, 240, 0}));
        QCOMPARE(EngineSpy::switches.back(), (std::pair<int32_t, int32_t>{0, -1}));

        // Track Properties needs a title and a file that fits; only a new file asks (the old one).
        s.cboTrack().setCurrentIndex(0);
        s.ui.dialogs.push_back(trackPropsOK(QString(""), QString()));
        s.w.mnuTrackProps();
        s.ui.dialogs.push_back(trackPropsOK(QString(), QStringLiteral("/") + QString(130, 'y')));
        s.w.mnuTrackProps();
        QCOMPARE(s.ui.messages().size(), 2);
        QCOMPARE(s.ui.messages().at(0), QStringLiteral("You must supply a title and filename."));
        QVERIFY(s.ui.messages().at(1).contains(QStringLiteral("is too long: 131 bytes")));
        QCOMPARE(s.mod.tracks[0].title.trimmed(), QStringLiteral("t1"));
        QCOMPARE(s.mod.tracks[0].fileName.trimmed(), s.path("Demo-t1.wav"));

        s.ui.dialogs.push_back(trackPropsOK(QStringLiteral("Vocals")));
        s.w.mnuTrackProps();
        QCOMPARE(s.mod.tracks[0].title.trimmed(), QStringLiteral("Vocals"));
        QVERIFY(s.ui.questions().isEmpty());
        QVERIFY(QFile::exists(s.path("Demo-t1.wav")));

        s.engine->TrackWrite(10, 1234); // a pending edit of the old file
        s.ui.dialogs.push_back(trackPropsOK(QString(), s.path("fresh.wav")));
        s.ui.answers.push_back(Answer::Yes);
        s.w.mnuTrackProps();
        QCOMPARE(s.ui.questions(),
                 QStringList{QStringLiteral("Delete File: ") + s.path("Demo-t1.wav")});
        QCOMPARE(s.ui.shown.last().defaultButton, Answer::No);
        QVERIFY(!QFile::exists(s.path("Demo-t1.wav")));
        QCOMPARE(fileBytes(s.path("fresh.wav")), tracks::blankWaveBytes()); // the edit stayed
        QCOMPARE(s.mod.tracks[0].fileName.trimmed(), s.path("fresh.wav"));
        QCOMPARE(s.engine->TrackRead(10), 0); // the track shows its new file
    }

    void deleteShiftsTheRecordsDownAndClonesCopyThem()
    {
        StudioFixture s;
        projectWithTracks(s, 3);
        setControls(s, 2, 90, 30, true);
        setControls(s, 1, 200, 220, false);
        const TrackRecord last = s.mod.tracks[2];
        s.ui.answers.push_back(Answer::Yes); // Delete File: ...
        s.w.mnuTrackDelete();
        QVERIFY(!QFile::exists(s.path("Demo-t2.wav")));
        QCOMPARE(s.mod.trackCount, int16_t{2});
        QVERIFY(s.mod.tracks[1].fileName == last.fileName);
        QVERIFY(s.mod.tracks[1].title == last.title);
        QCOMPARE(mixOf(s.mod.tracks[1]), QList<int>({90, 30, 1}));

        // With nothing selected the commands on the current track wait for a choice.
        s.w.mnuTrackDelete();
        s.w.mnuTrackCloneThis();
        s.w.mnuTrackProps();
        QCOMPARE(s.ui.messages(), QStringList(3, QStringLiteral("No track selected.")));
        QCOMPARE(s.mod.trackCount, int16_t{2});
        // The bars belong to no track now: moving them changes no record.
        child<QScrollBar>(s.w, "hscVol")->setValue(11);
        child<QScrollBar>(s.w, "hscPan")->setValue(22);
        QCOMPARE(mixOf(s.mod.tracks[1]), QList<int>({90, 30, 1}));

        // Picking a track shows that track's controls.
        s.cboTrack().setCurrentIndex(1);
        QCOMPARE(shownMix(s), QList<int>({90, 30, 1}));

        // Clone This copies samples and mix; it never takes a file that is there ("Demo-c3.wav").
        QVERIFY(putFile(s.path("Demo-c3.wav"), "stray"));
        setControls(s, 0, 180, 40, false);
        for (int i = 0; i < 200; ++i)
            s.engine->TrackWrite(1000 + i, i * 50 - 4000);
        s.ui.answers.push_back(Answer::Yes); // Mute cloned track?
        s.w.mnuTrackCloneThis();
        QCOMPARE(s.ui.questions().mid(1), QStringList{QStringLiteral("Mute cloned track?")});
        QCOMPARE(s.mod.trackCount, int16_t{3});
        const TrackRecord& clone = s.mod.tracks[2];
        QCOMPARE(clone.title.trimmed(), QStringLiteral("c3"));
        QCOMPARE(clone.fileName.trimmed(), s.path("Demo-c3-2.wav"));
        QCOMPARE(mixOf(clone), QList<int>({180, 40, 0})); // mute: the source's former one
        QCOMPARE(s.mod.tracks[0].mute, int16_t{1});       // the source is muted, not the clone
        QCOMPARE(s.cboTrack().currentIndex(), 2);
        // At the clone's gains: L 180*min(255,393-40)/256 = 179, R 180*min(255,40+128)/256 = 118.
        for (int i = 0; i < 200; ++i)
        {
            const int gain = (1000 + i) % 2 == 0 ? 179 : 118;
            QCOMPARE(s.engine->TrackRead(1000 + i), ((i * 50 - 4000) * gain) >> 8);
        }
        // The clone's samples reach its file with the next save of edits.
        QCOMPARE(s.engine->SaveEdits(), 0);
        QCOMPARE(QFileInfo(s.path("Demo-c3-2.wav")).size(), 44 + 262144 * 4);
        QCOMPARE(fileBytes(s.path("Demo-c3.wav")), QByteArray("stray"));

        // Clone All adds the mix of the three as a fourth track and mutes them.
        s.ui.answers.push_back(Answer::Yes); // Mute all merged tracks?
        s.w.mnuTrackCloneAll();
        QCOMPARE(s.ui.questions().mid(2), QStringList{QStringLiteral("Mute all merged tracks?")});
        QCOMPARE(s.mod.trackCount, int16_t{4});
        QCOMPARE(mixOf(s.mod.tracks[3]), QList<int>({255, 127, 0}));
        for (int k = 0; k < 3; ++k)
            QCOMPARE(s.mod.tracks[k].mute, int16_t{1});
        QVERIFY(QFile::exists(s.path("Demo-c4.wav")));
        QCOMPARE(s.ui.messages().size(), 3); // no more than the three above
    }

    // Project changes are asked about before leaving: Yes saves, No drops, Cancel stays ("*").
    void unsavedProjectChangesAreAskedAboutBeforeLeaving()
    {
        using Act = std::function<void(StudioFixture&)>;
        const auto item = [](const char* name, std::vector<Script> scripts = {}) -> Act
        {
            return [=](StudioFixture& s)
            {
                s.ui.dialogs.insert(s.ui.dialogs.end(), scripts.begin(), scripts.end());
                trigger(s.w, name);
            };
        };
        const Act volume = [](StudioFixture& s) { child<QScrollBar>(s.w, "hscVol")->setValue(90); };
        const Act mute = [](StudioFixture& s)
        { child<QCheckBox>(s.w, "chkMute")->setChecked(true); };
        const Act title = item("mnuTrackProps", {trackPropsOK("Lead")});
        const Act mixer =
            item("mnuTrackMix", {[](QDialog& d) { press(d, "hscPan0", 20, "cmdApply"); }});
        const Act tempo =
            item("mnuToolsOptions", {[](QDialog& d) { press(d, "txtTempo", 120, "cmdOK"); }});
        const Act none = [](StudioFixture&) {};
        const Act close = [](StudioFixture& s) { s.w.close(); };
        const Act exit = item("mnuFileExit"),
                  newOne = item("mnuFileNew", {projectSettingsOK(), trackPropsOK()});
        const Act open = [=](StudioFixture& s)
        {
            s.ui.files.push_back(s.path("other.vum"));
            item("mnuFileOpen")(s);
        };
        const auto stored = [](StudioFixture& s)
        { return project::readProject(s.path("three.vum")).project; };
        for (const auto& [change, leave, answer] : {std::tuple{volume, exit, Answer::Yes},
                                                    {mute, close, Answer::No},
                                                    {title, newOne, Answer::Yes},
                                                    {mixer, open, Answer::No},
                                                    {tempo, close, Answer::Cancel},
                                                    {volume, newOne, Answer::Cancel},
                                                    {none, exit, Answer::No}})
        {
            StudioFixture s;
            openThreeTracks(s);
            QCOMPARE(writeProjectFile(s.path("other.vum"), {{"x", s.path("x.wav")}}), QString());
            const project::ProjectData before = stored(s);
            change(s);
            const project::ProjectData changed = toProjectData(s.mod);
            const bool asked = !(changed == before);
            QCOMPARE(s.w.windowTitle(), asked ? "Vumo - Demo *" : "Vumo - Demo");
            // The questions come up in real boxes.
            QtUiServices real;
            s.ui.realQuestions = &real;
            BoxAnswerer user;
            for (const Answer a : {answer, Answer::No})
                user.push(BoxAnswerer::click(BoxAnswerer::button(a)));
            leave(s);
            const bool left = !asked || answer != Answer::Cancel;
            QCOMPARE(
                s.ui.questions(),
                (asked ? QStringList{"Save changes to the project \"Demo\"?"} : QStringList{}) +
                    (left ? QStringList{"Save track edits?"} : QStringList{}));
            QCOMPARE(s.w.isVisible() && s.w.FILESPEC == s.path("three.vum"), !left);
            QCOMPARE(stored(s), asked && answer == Answer::Yes ? changed : before);
            if (left)
                continue;
            QCOMPARE(s.w.windowTitle(), "Vumo - Demo *");
            trigger(s.w, "mnuFileSave");
            QCOMPARE(s.w.windowTitle(), "Vumo - Demo");
            QCOMPARE(stored(s), changed);
        }
    }

    // A shorter length that cuts sound off asks first, naming the track that loses most.
    // (sound in t2's file at, in t1's buffer at, MB, answer, question)
    void makingTheTracksShorterAsksBeforeCuttingSound()
    {
        const QString cut = QStringLiteral(
            "Making the tracks 5.94 seconds long cuts off %1 seconds of sound at the end of track "
            "\"%2\" (the most of any track) when the track is next saved.\n\nMake the tracks "
            "shorter?");
        for (const auto& [t2, t1, memoryMB, answer, question] :
             {std::tuple{300000, 450000, 1, Answer::No, cut.arg("4.26", "t1")},
              {300000, 0, 1, Answer::Yes, cut.arg("0.86", "t2")},
              {200000, 0, 1, Answer::Yes, QString()},
              {300000, 450000, 3, Answer::Yes, QString()}})
        {
            StudioFixture s;
            s.newProject(2, QStringLiteral("Demo"));
            s.addTrack();
            s.engine->TrackWrite(2 * t2, 1000);
            s.cboTrack().setCurrentIndex(0); // t2's edit reaches its file
            s.engine->TrackWrite(2 * t1, 2000);
            s.ui.shown.clear();
            s.ui.answers = {question.isEmpty() ? Answer::Yes : answer, Answer::Yes};
            s.ui.dialogs.push_back(projectSettingsOK(memoryMB));
            trigger(s.w, "mnuFileProps");
            QCOMPARE(s.ui.questions(),
                     (question.isEmpty() ? QStringList{} : QStringList{question}) +
                         QStringList{"Save track edits?"});
            const bool kept = !question.isEmpty() && answer == Answer::No;
            QCOMPARE(s.mod.trackLength, (kept ? 2 : memoryMB) * 262144);
            QCOMPARE(s.cboTrack().currentIndex(), 0);
            QCOMPARE(s.mod.currentTrack, 0);
            QCOMPARE(s.engine->TrackRead(2 * t1), t1 < s.mod.trackLength ? 2000 : -1);
        }
    }

    // Missing track files are named and can be found; otherwise the track stays silent.
    void missingTrackFilesAreNamedAndCanBeFound()
    {
        StudioFixture s;
        const std::vector<int16_t> found{500, -500, 600, -600};
        QVERIFY(writeWave(s.path("found.wav"), found));
        QList<std::pair<QByteArray, QString>> tracks{{"one", s.path("one.wav")}};
        s.ui.files.push_back(s.path("gaps.vum")); // Open's own choice, then the tracks' ones
        const QList<std::pair<Answer, QString>> rows{
            {Answer::Yes, s.path("found.wav")}, {Answer::Yes, QString()}, {Answer::No, QString()}};
        QStringList asked;
        for (int k = 0; k < rows.size(); ++k)
        {
            tracks.append({"m" + QByteArray::number(k), s.path(QStringLiteral("m%1.wav").arg(k))});
            s.ui.answers.push_back(rows[k].first);
            if (rows[k].first == Answer::Yes)
                s.ui.files.push_back(rows[k].second);
            asked << QStringLiteral(
                         "The file of track \"m%1\" does not exist:\n%2\n\nDo you want to "
                         "find it? (No keeps the track silent.)")
                         .arg(k)
                         .arg(tracks.last().second);
        }
        QCOMPARE(writeProjectFile(s.path("gaps.vum"), tracks), QString());
        for (int k = 1; k < tracks.size(); ++k)
            QVERIFY(QFile::remove(tracks[k].second));
        s.w.mnuFileOpen();
        for (int k = 0; k < rows.size(); ++k)
            QCOMPARE(s.mod.tracks[k + 1].fileName.trimmed(),
                     rows[k].second.isEmpty() ? tracks[k + 1].second : rows[k].second);
        QCOMPARE(s.ui.questions(), asked);
        QCOMPARE(s.ui.texts(Shown::Kind::FileChoice),
                 (QStringList{"*.vum;*.cab", "*.wav", "*.wav"}));
        QCOMPARE(s.ui.messages(), QStringList());
        QCOMPARE(s.w.windowTitle(), "Vumo - Demo *");
        QCOMPARE(s.cboTrack().currentIndex(), 3);
        s.cboTrack().setCurrentIndex(1);
        QCOMPARE(s.trackSamples(0, 2), found);
    }

    void noMoreThan17Tracks()
    {
        StudioFixture s;
        QList<std::pair<QByteArray, QString>> tracks;
        for (int k = 0; k < 17; ++k)
            tracks.append({"k" + QByteArray::number(k), s.path(QStringLiteral("k%1.wav").arg(k))});
        QCOMPARE(writeProjectFile(s.path("full.vum"), tracks), QString());
        open(s, s.path("full.vum"));
        QCOMPARE(s.cboTrack().count(), 17);
        s.w.mnuTrackAdd();
        s.w.mnuTrackCloneThis();
        s.w.mnuTrackCloneAll();
        QCOMPARE(s.ui.messages(),
                 QStringList(3, QStringLiteral("The project already holds 17 tracks, the most it "
                                               "can have.")));
        QCOMPARE(s.cboTrack().count(), 17);
        QVERIFY(s.ui.questions().isEmpty());
        QVERIFY(!QFile::exists(s.path("Demo-t18.wav")));
        QVERIFY(!QFile::exists(s.path("Demo-c18.wav")));
    }

    void aNewTrackPathTooLongForTheEngineIsRefusedWhole()
    {
        // An application folder so deep that "<folder>/Demo-t1.wav" passes 127 bytes.
        StudioFixture s{QString(100, u'd')};
        s.ui.dialogs.push_back(projectSettingsOK(1, QStringLiteral("Demo")));
        s.w.mnuFileNew();
        QVERIFY(s.w.session().isOpen());
        QCOMPARE(s.ui.messages().size(), 1);
        QVERIFY2(s.ui.messages().at(0).contains(QStringLiteral("is too long")),
                 qPrintable(s.ui.messages().at(0)));
        QCOMPARE(s.mod.trackCount, int16_t{0});
        QVERIFY(!QFile::exists(s.path("Demo-t1.wav")));
    }
};

QTEST_MAIN(ProjectCommandsTest)
#include "ProjectCommandsTest.moc"
