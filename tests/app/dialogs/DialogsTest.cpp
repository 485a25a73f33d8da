// The dialogs on their own: file dialog, Options and settings, Project Settings, Track
// Properties; the physical memory figures.
#include "../StudioFixture.h"
#include "dialogs/Browse.h"
#include "dialogs/FrmBrowse.h"
#include "dialogs/FrmProjProps.h"
#include "dialogs/FrmTrackProps.h"
#include "dialogs/frmOptions.h"
#include "settings/AppFolder.h"
#include "settings/PhysicalMemory.h"
#include "settings/Settings.h"
#include "support/BoxAnswerer.h"
#include "support/ScriptedUiServices.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo;
using vumo::test::BoxAnswerer;
using vumo::test::child;

class DialogsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return joinPath(m_dir.path(), name); }
    static QString text(QWidget& d, const char* box) { return child<QLineEdit>(d, box)->text(); }
    static QStringList texts(QWidget& d, std::initializer_list<const char*> boxes)
    {
        QStringList all;
        for (const char* box : boxes)
            all << text(d, box);
        return all;
    }
    // Types each text into its box.
    static void type(QWidget& d, std::initializer_list<std::pair<const char*, const char*>> typed)
    {
        for (const auto& [box, text] : typed)
            child<QLineEdit>(d, box)->setText(QString::fromUtf8(text));
    }

    QTemporaryDir m_storeDir; // the settings file, apart from the browsed folder
    std::unique_ptr<QSettings> m_store;

    static OptionsValues defaults(QSettings& store) { return {LoadSettings(store), 100}; }

    QString storePath() const { return m_storeDir.filePath(QStringLiteral("vumo.ini")); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char* name : {"take.wav", "song.vum", "notes.txt"})
            QVERIFY(QFile(path(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
        QVERIFY(QDir(m_dir.path()).mkdir("sub") && QDir(m_dir.path()).mkdir("take.v2"));
        QDir::setCurrent(m_dir.path());
    }

    // (caption, pattern, name typed, "overwrite?" asked and answered No, result); an Open of a
    // name of no file says so rather than taking it for a Cancel.
    void answerIsChecked()
    {
        const QString take = path("take.wav"), folder = m_dir.path() + QDir::separator();
        for (const auto& [caption, pattern, name, asked, expected] :
             {std::tuple{"Open", "*.wav", path("gone.wav"), false, QString()}, // missing
              {"Open", "*.wav", folder, false, QString()},
              {"OPEN FILE", "*.wav", take, false, take},
              {"Save as", "*.wav", take, true, QString()},
              {"Save as", "*.vum;*.wav", path("mix"), false, path("mix.vum")}, // the first pattern
              {"Save as", "*.mfx", path("chain.old"), false, path("chain.old")},
              // A point in a folder name does not stop the extension.
              {"Save as", "*.mfx", path("take.v2/chain"), false, path("take.v2/chain.mfx")},
              {"Save", "*.*", path("plain"), false, path("plain")},
              {"Save as", "*.wav", folder, false, QString()},
              {"Choose", "*.wav", path("gone"), false, path("gone")}, // other captions: as typed
              {"Save as", "*.wav", QString(), false, QString()}})
        {
            ScriptedUiServices ui;
            ui.answers = {Answer::No};
            QCOMPARE(checkBrowseResult(ui, QString::fromLatin1(caption),
                                       QString::fromLatin1(pattern), name),
                     expected);
            QCOMPARE(ui.questions(),
                     asked ? QStringList{"This file already exists.  Are you sure you want to "
                                         "overwrite it?"}
                           : QStringList{});
            QCOMPARE(ui.messages(), name == path("gone.wav")
                                        ? QStringList{"The file " + name + " does not exist."}
                                        : QStringList());
        }
    }

    void windowListsFilesFoldersAndDrivesAndReturnsTheDoubleClickedPath()
    {
        ScriptedUiServices ui;
        FrmBrowse dialog(ui);
        dialog.prepare("*.wav", "Open");
        auto* name = child<QLineEdit>(dialog, "txtFileName");
        auto* patterns = child<QListWidget>(dialog, "LstPattern");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(name->text(), QDir::toNativeSeparators(m_dir.path()) + QDir::separator());
        QCOMPARE(dialog.files(), QStringList{"take.wav"});
        QVERIFY(!child<QListWidget>(dialog, "Dir1")->findItems("sub", Qt::MatchExactly).isEmpty());
        // "*.*" shows every file.
        QTest::mouseClick(patterns->viewport(), Qt::LeftButton, {},
                          patterns->visualItemRect(patterns->item(1)).center());
        QCOMPARE(dialog.files(), (QStringList{"notes.txt", "song.vum", "take.wav"}));
        // Cancel empties the name.
        QTest::mouseClick(child<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.fileName(), QString());

        // A drive that is not ready asks to try again.
        ui.answers = {Answer::Yes, Answer::No}; // try once more, then give up
        dialog.changeDrive("/no-such-volume-here");
        QCOMPARE(ui.questions(), QStringList(2, "Please check the disk. Try Again?"));
        QCOMPARE(ui.shown.first().icon, MsgIcon::Exclamation);
        QCOMPARE(dialog.folder(), QDir(m_dir.path()).absolutePath());

        // A click fills the name; a double-click (which starts with a click) returns it.
        BoxAnswerer user;
        user.push(
            [](QDialog& browser)
            {
                QVERIFY(QTest::qWaitForWindowExposed(&browser));
                auto* files = child<QListWidget>(browser, "File1");
                const QPoint at = files->visualItemRect(files->item(0)).center();
                QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
                if (browser.isVisible()) // not taken: Cancel empties the name
                    child<QPushButton>(browser, "cmdCancel")->click();
            });
        QCOMPARE(BrowseForFile(ui, "*.wav", "Open"), path("take.wav"));
    }

    void init()
    {
        m_store.reset();
        QFile::remove(storePath());
        m_store = std::make_unique<QSettings>(storePath(), QSettings::IniFormat);
    }

    // Each bar runs upside down; a stored device beyond the list is not chosen; OK keeps what
    // is typed and chosen, and it comes back from the settings file.
    void barsShowTheirValuesOkStoresTheSettingsAsTypedAndTheyComeBack()
    {
        ScriptedUiServices ui;
        OptionsValues shown = defaults(*m_store);
        shown.settings.midiInDevice = 2;
        int device = 0;
        ui.dialogs.push_back(
            [&device](QDialog& dialog)
            {
                for (const auto& [bar, box, value, label] :
                     {std::tuple{"vscTempo", "txtTempo", 0, "256"},
                      {"vscMEG", "txtMEG", 255, "1"},
                      {"vscMidiBufLen", "txtMidiBufLen", 0, "65536"},
                      {"vscMidiBufLen", "txtMidiBufLen", 200, "14336"}})
                {
                    child<QScrollBar>(dialog, bar)->setValue(value);
                    QCOMPARE(text(dialog, box), QString::fromLatin1(label));
                }
                device = child<QComboBox>(dialog, "cboMidiInDev")->currentIndex();
                child<QScrollBar>(dialog, "vscMEG")->setValue(240);
                child<QComboBox>(dialog, "cboMidiInDev")->setCurrentIndex(1);
                type(dialog, {{"txtTempo", "90"},
                              {"txtMixer", "/usr/bin/mixer"},
                              {"txtMidi", "/opt/seq uencer"},
                              {"txtMidiBufLen", "1000"}});
                child<QPushButton>(dialog, "cmdOK")->click();
            });
        const std::optional<OptionsValues> set = runOptions(ui, shown, {"In A", "In B"});
        QVERIFY(set);
        QCOMPARE(device, -1);
        const StudioSettings& mod = set->settings;
        QCOMPARE(mod.mixerPath, "/usr/bin/mixer");
        // The buffer length typed by hand is kept as typed.
        QCOMPARE((QList<int>{mod.defaultTrackMB, set->tempo, mod.midiInDevice, mod.midiBufLen}),
                 (QList<int>{16, 90, 1, 1000}));
        // The tempo is the project's; the rest reach the settings file as text and come back.
        SaveSettings(mod, *m_store);
        QVERIFY(!m_store->contains("Settings/Tempo"));
        m_store->sync();
        QSettings store(storePath(), QSettings::IniFormat);
        QStringList values;
        for (const char* key :
             {"Settings/Midi In BufLen", "Settings/Midi In Device", "Settings/Default Track Length",
              "AddIns/Audio Mixer", "AddIns/Midi Sequencer"})
            values << store.value(QString::fromLatin1(key)).toString();
        QCOMPARE(values, (QStringList{"1000", "1", "16", "/usr/bin/mixer", "/opt/seq uencer"}));
        const StudioSettings loaded = LoadSettings(store);
        QCOMPARE(loaded.sequencerPath, mod.sequencerPath);
        QCOMPARE((QList<int>{loaded.midiInDevice, loaded.midiBufLen, loaded.defaultTrackMB}),
                 (QList<int>{1, 1000, 16}));
        frmOptions again({loaded, 90}, ui, {});
        QCOMPARE(text(again, "txtMidiBufLen"), "1000");
        QCOMPARE(child<QScrollBar>(again, "vscMidiBufLen")->value(), 256 - 3);
    }

    void browseButtonsAskForAProgramAndStoredTextsOutOfRangeKeepTheDefault()
    {
        for (const auto& [button, box] :
             {std::pair{"cmdBrowseMidi", "txtMidi"}, {"cmdBrowseMixer", "txtMixer"}})
        {
            ScriptedUiServices ui;
            ui.files.push_back("/opt/tool.exe");
            frmOptions dialog(defaults(*m_store), ui, {});
            child<QPushButton>(dialog, button)->click();
            QCOMPARE(text(dialog, box), "/opt/tool.exe");
            // Cancelling the file dialog empties the box.
            child<QPushButton>(dialog, button)->click();
            QCOMPARE(text(dialog, box), QString());
        }

        // (key, stored text, device): a missing key, words, a fraction, too big for int16 or for
        // int32 keep the default; one key set leaves the others at theirs.
        for (const auto& [key, text, device] : {std::tuple{"", "", 0},
                                                {"Settings/Midi In Device", "5", 5},
                                                {"Settings/Midi In BufLen", "lots", 0},
                                                {"Settings/Midi In BufLen", "1.5", 0},
                                                {"Settings/Default Track Length", "40000", 0},
                                                {"Settings/Midi In Device", "99999999999", 0}})
        {
            m_store->clear();
            if (*key != 0)
                m_store->setValue(QString::fromLatin1(key), QString::fromLatin1(text));
            const StudioSettings mod = LoadSettings(*m_store);
            QCOMPARE((QList<int>{mod.midiInDevice, mod.midiBufLen, mod.defaultTrackMB}),
                     (QList<int>{device, 32768, 4}));
            QCOMPARE(mod.mixerPath, defaultMixerPath());
            QCOMPARE(mod.sequencerPath, defaultSequencerPath());
        }
    }

    void projectSettingsShowTheFiguresOnAnUpsideDownBarAndCheckTheMemory()
    {
        ProjectProps project;
        project.trackLength = 4 * kFramesPerMB;
        project.projTitle.assign(QStringLiteral("Demo"));
        ScriptedUiServices ui;
        FrmProjProps dialog(project, true, ui, 2048);
        const auto shown = [&dialog] { return texts(dialog, {"txtMem", "txtTotalMem", "txtSec"}); };
        QCOMPARE(text(dialog, "txtTitle"), "Demo");
        QCOMPARE(shown(), (QStringList{"4", "13", "00.24"}));
        QCOMPARE(child<QScrollBar>(dialog, "vscMem")->value(), 252);
        child<QScrollBar>(dialog, "vscMem")->setValue(0); // the bar runs upside down
        QCOMPARE(shown(), (QStringList{"256", "769", "25.22"}));
        child<QScrollBar>(dialog, "vscMem")->setValue(255);
        child<QPushButton>(dialog, "cmdOK")->click();
        QCOMPARE(dialog.values().trackLength, kFramesPerMB);
        QCOMPARE(dialog.values().recTimeText, "00.06");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // A length outside the bar shows the nearest it can set: below 1 MB; not whole MB.
        for (const auto& [frames, mb] : {std::pair{1000, 1}, {3 * kFramesPerMB + 5, 3}})
        {
            FrmProjProps other({project.projTitle, frames, {}}, true, ui, 100000);
            QCOMPARE(text(other, "txtMem"), QString::number(mb));
            QCOMPARE(child<QScrollBar>(other, "vscMem")->value(), 256 - mb);
        }

        // OK needs three buffers and one MB more, and stays open without them.
        FrmProjProps small(project, true, ui, 48);
        small.show();
        child<QScrollBar>(small, "vscMem")->setValue(256 - 16);
        child<QPushButton>(small, "cmdOK")->click();
        QCOMPARE(ui.messages(), QStringList{"You have requested more memory than is available."});
        QVERIFY(small.isVisible());
        child<QPushButton>(small, "cmdCancel")->click();
        QCOMPARE(small.result(), int(QDialog::Rejected));
    }

    void trackPropertiesFixedTextsAndMemoryFigures()
    {
        TrackRecord bass;
        bass.title.assign(QStringLiteral("Bass"));
        bass.fileName.assign(QStringLiteral("/music/bass.wav"));
        ScriptedUiServices ui;
        ui.files.push_back("/music/other.wav");
        FrmTrackProps dialog(bass, ui);
        QCOMPARE(texts(dialog, {"txtTitle", "txtFileName"}),
                 (QStringList{"Bass", "/music/bass.wav"}));
        child<QPushButton>(dialog, "cmdBrowse")->click();
        QCOMPARE(ui.texts(Shown::Kind::FileChoice), QStringList{"*.wav"});
        QCOMPARE(text(dialog, "txtFileName"), "/music/other.wav");
        child<QPushButton>(dialog, "cmdBrowse")->click(); // cancelled: the box is emptied
        QCOMPARE(text(dialog, "txtFileName"), QString());
        child<QPushButton>(dialog, "OKButton")->click();
        QCOMPARE(ui.messages(), QStringList{"You must supply a title and filename."});
        type(dialog, {{"txtFileName", "/music/b.wav"}});
        child<QPushButton>(dialog, "OKButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.names().fileName.trimmed(), "/music/b.wav");
        QCOMPARE(dialog.names().title, bass.title);

        // A fixed text fits only what encodes whole (its cut: tst_project); the memory figures.
        QVERIFY(FixedText<16>::fits(QStringLiteral("Café Crème Br")));
        QVERIFY(!FixedText<16>::fits(QStringLiteral("Café Crème Brû"))); // 17 bytes
        const MemoryStatus s = parseMemInfo("MemTotal:       16318480 kB\nMemFree:          "
                                            "501234 kB\nMemAvailable:    8000000 kB\n");
        QCOMPARE(s.totalBytes, uint64_t(16318480) * 1024);
        QCOMPARE(s.availableBytes, uint64_t(8000000) * 1024);
        QCOMPARE(parseMemInfo("MemTotal: 2048 kB\nMemFree: 1024 kB\n").availableBytes,
                 uint64_t(1024) * 1024);
        QCOMPARE(bytesToRoundedMB(uint64_t(16318480) * 1024), int64_t(15936));
        QCOMPARE(bytesToRoundedMB(1572864), int64_t(2)); // 1.5 MB: halves go to even
        QCOMPARE(bytesToRoundedMB(2621440), int64_t(2)); // 2.5 MB
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
