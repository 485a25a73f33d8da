// What a musician meets in the real window over the real engine and its virtual devices: the
// mixdown beside vumo-mix, SK1 Mode, Rip MCI, presets, Copy To, wave files Vumo cannot read.
#include "../StudioFixture.h"
#include "fx/EffectSetting.h"
#include "services/QtUiServices.h"
#include "support/BoxAnswerer.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace vumo;
using namespace vumo::test;

namespace
{

constexpr int kFrames = 8000;
constexpr int kTrack = 262142; // the whole track of a 1 MB project, as Select All selects it

// A 1 MB project "Song.vum" opened: tracks t0 ... of saw(frames, k), a lone track saw(frames).
void openSaws(StudioFixture& s, int n, int frames)
{
    std::vector<std::vector<int16_t>> tracks;
    for (int k = 0; k < n; ++k)
        tracks.push_back(n == 1 ? saw(frames) : saw(frames, k));
    QVERIFY(s.openSong(tracks));
}

// What vumo-mix writes from the saved project "Song.vum" with the arguments given.
QByteArray mixdown(StudioFixture& s, const QStringList& range)
{
    QProcess mix;
    mix.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vumo-mix"),
              QStringList{s.path("Song.vum"), s.path("tool.wav")} + range);
    if (!mix.waitForFinished(20000) || mix.exitCode() != 0)
        return "vumo-mix failed: " + mix.readAllStandardError();
    return fileBytes(s.path("tool.wav"));
}

// A wave file of 64 bytes of samples stored as the format tag and bits say; the extensible
// layout (tag 0xFFFE) carries subTag as its sub-format.
QByteArray storedAs(uint16_t tag, uint16_t bits, uint16_t subTag = 0)
{
    const bool extensible = tag == 0xFFFE;
    std::vector<uint8_t> b =
        testwave::waveBytes(std::vector<int16_t>(32, 0x1111),
                            {.formatTag = tag, .bits = bits, .fmtSize = extensible ? 40u : 16u});
    if (extensible) // the extension's size, then the sub-format's tag
        b[36] = 22, b[44] = uint8_t(subTag);
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

} // namespace

class WiredCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    // Note times are the keyboard's own ms: 1000 ms lands 44100 frames in, whatever the speed.
    void initTestCase() { useVirtualDevices("20"); }
    void cleanup()
    {
        qunsetenv("VUMO_VIRTUAL_MIDI_IN");
        qunsetenv("VUMO_VIRTUAL_OUTPUT");
        qunsetenv("VUMO_VIRTUAL_CD");
    }

    // Save As ".wav" writes the mix as just set: the bytes vumo-mix writes from the saved project.
    void saveAsWaveWritesTheMixAsSet()
    {
        using Act = std::function<void(StudioFixture&)>;
        const QStringList range{"--from", "0", "--to", QString::number(kTrack)};
        for (const Act& change :
             {Act(
                  [](StudioFixture& s)
                  {
                      s.ui.dialogs.push_back(
                          [](QDialog& d)
                          {
                              child<QCheckBox>(d, "chkMute0")->setChecked(true);
                              child<QScrollBar>(d, "hscVol1")->setValue(128);
                              child<QAbstractButton>(d, "cmdApply")->click();
                          });
                      trigger(s.w, "mnuTrackMix");
                  }),
              Act([](StudioFixture& s) { child<QScrollBar>(s.w, "hscVol")->setValue(70); }),
              Act([](StudioFixture& s) { child<QScrollBar>(s.w, "hscPan")->setValue(10); }),
              Act([](StudioFixture& s) { child<QCheckBox>(s.w, "chkMute")->setChecked(true); }),
              Act(
                  [](StudioFixture& s)
                  {
                      s.ui.answers.push_back(Answer::Yes); // Mute cloned track? (t1, the source)
                      trigger(s.w, "mnuTrackCloneThis");
                  })})
        {
            StudioFixture s;
            openSaws(s, 2, kFrames);
            const QByteArray before = mixdown(s, range);
            change(s);
            trigger(s.w, "mnuFileSave");
            trigger(s.w, "mnuEditSelectAll");
            s.ui.files.push_back(s.path("studio.wav"));
            trigger(s.w, "mnuFileSaveAs");
            const QByteArray studio = fileBytes(s.path("studio.wav"));
            QCOMPARE(studio.size(), 44 + 4 * kTrack);
            QVERIFY(studio != before);
            QCOMPARE(mixdown(s, range), studio);
            QCOMPARE(mixdown(s, {}).mid(44), studio.mid(44) + QByteArray(8, '\0'));
            QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        }
    }

    void sk1ModeRendersEachNoteFromTheClip()
    {
        StudioFixture s;
        openSaws(s, 1, kTrack);
        // The clip: 2000 frames of a tone, quiet enough that notes rarely clamp.
        QVERIFY(writeWave(s.w.CLIPFILE, tones(2000, 6000, 440, 4500, 660, 1)));
        // "ms status data1 data2": velocity 0 is silent; a note-off with a velocity is a note.
        QVERIFY(putFile(s.path("keys.txt"),
                        "5 144 60 90\n15 144 61 30\n100 128 60 0\n200 144 72 0\n300 128 84 40\n"));
        qputenv("VUMO_VIRTUAL_MIDI_IN", QFile::encodeName(s.path("keys.txt")));
        const int selStart = 3001;
        s.sel().selStart = selStart;
        s.sel().selEnd = kTrack;
        s.ui.answers = {Answer::Yes, Answer::Yes};
        trigger(s.w, "mnuControlSK1");
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        QCOMPARE(s.engine->GetRecordLength(), -1); // the MIDI input is closed
        const std::vector<int16_t> rendered = s.trackSamples(0, kTrack);

        // The same notes through the exports on a fresh copy: notes 60, 61, 84 step at 1.0, 1.055,
        // 4.0, velocity v gains v / 128, t ms lands t × 44.1 frames (halves to even) in.
        const std::vector<int16_t> original = saw(kTrack);
        for (int32_t i = 0; i < 2 * kTrack; ++i)
            s.engine->TrackWrite(i, original[size_t(i)]);
        const int32_t clipLength = s.engine->LoadSK1(QFile::encodeName(s.w.CLIPFILE).constData());
        QCOMPARE(clipLength, 1998);
        s.engine->SK1(selStart + 220, clipLength, 1.0, 90 / 128.0);
        s.engine->SK1(selStart + 662, clipLength, 1.055, 30 / 128.0);
        s.engine->SK1(selStart + 13230, clipLength, 4.0, 0.3125);
        QVERIFY(rendered != original);
        QCOMPARE(rendered, s.trackSamples(0, kTrack));
    }

    void ripMciCapturesACdTrack()
    {
        StudioFixture s;
        // Every pass appends what it plays here (the devices open with the project).
        qputenv("VUMO_VIRTUAL_OUTPUT", QFile::encodeName(s.path("heard.wav")));
        openSaws(s, 1, kTrack);
        s.w.mnuEditSelectAll();
        QCOMPARE(s.sel().selEnd - s.sel().selStart, kTrack);
        const std::vector<int16_t> source = tones(44100, 12000, 440, 9000, 660, 1);
        QVERIFY(QDir().mkpath(s.path("cd")));
        QVERIFY(writeWave(s.path("cd/track01.wav"), source));
        qputenv("VUMO_VIRTUAL_CD", QFile::encodeName(s.path("cd")));
        // The question is answered in the real box: No, not a file but a CD track.
        QtUiServices real;
        s.ui.realQuestions = &real;
        BoxAnswerer user;
        user.push(BoxAnswerer::click(QMessageBox::No));
        s.ui.inputs.push_back(QStringLiteral("1"));
        const qint64 heardBefore = QFileInfo(s.path("heard.wav")).size();
        trigger(s.w, "mnuControlRip");
        QVERIFY(user.allPressed());
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        // One pass over the selection.
        QVERIFY(QFileInfo(s.path("heard.wav")).size() - heardBefore >= 4 * qint64(kTrack));
        // The take holds the CD track, then silence; it may end up to two frames early.
        const std::vector<int16_t> track = s.trackSamples(0, kTrack);
        std::vector<int16_t> want = source;
        want.resize(track.size(), 0);
        for (size_t i = source.size() - 4; i < source.size(); ++i)
            if (track[i] == 0)
                want[i] = 0;
        QCOMPARE(track, want);
    }

    // A preset of the echo loads and runs; one of Amp - Gain is refused, the echo runs as shown.
    // (the preset's effect code and its three values, the three values of the echo run)
    void aPresetOfAnotherEffectIsRefusedAndTheEchoRunsAsShown()
    {
        for (const auto& [presetCode, presetValue, valueRun] :
             {std::tuple{3, 50, 50}, {1, 16, 128}})
        {
            StudioFixture s;
            QVERIFY(s.openSong({saw(kFrames)}));
            fx::EffectSetting preset;
            fx::fillDefaults(preset, presetCode);
            preset.value1 = preset.value2 = preset.value3 = presetValue;
            QVERIFY(putFile(s.path("preset.sfx"), fx::effectFileBytes(preset)));
            s.ui.files.push_back(s.path("preset.sfx"));
            QString title;
            s.ui.dialogs.push_back(
                [&title](QDialog& d)
                {
                    child<QAbstractButton>(d, "cmdLoad")->click();
                    title = d.windowTitle();
                    child<QAbstractButton>(d, "OKButton")->click();
                });
            s.sel() = {1000, 5000};
            trigger(s.w, "mnuFXEcho");
            QCOMPARE(title, QStringLiteral("FX - Echo"));
            QCOMPARE(s.ui.messages(),
                     presetCode != 3 ? QStringList{"The effect file " + s.path("preset.sfx") +
                                                   " holds a setting of \"Amp - Gain\", not of "
                                                   "\"Echo\"; it is not loaded."}
                                     : QStringList());
            // The samples are those of the echo with the values run, on the track's file.
            const std::vector<int16_t> after = s.trackSamples(0, kFrames);
            QCOMPARE(s.engine->Undo(), 0);
            QCOMPARE(s.engine->FXIt(3, 1000, 5000, valueRun, valueRun, valueRun), 0);
            QVERIFY(after == s.trackSamples(0, kFrames));
        }
    }

    // Copy To makes a new file; an existing one is replaced only after Yes.
    // (typed, the file written, a file of that name there, Yes, replaced)
    void copyToWritesANewFileAndAsksBeforeReplacingOne()
    {
        for (const auto& [typed, written, old, yes, replaced] :
             {std::tuple{"take.wav", "take.wav", false, false, true},
              {"take", "take.wav", false, false, true},
              {"old.wav", "old.wav", true, false, false},
              {"old.wav", "old.wav", true, true, true}})
        {
            StudioFixture s;
            s.ui.checkFileChoices = true;
            QVERIFY(s.openSong({saw(kFrames)}));
            const QByteArray oldBytes = waveBytes(saw(10, 1));
            if (old)
                QVERIFY(putFile(s.path(written), oldBytes));
            s.ui.files.push_back(s.path(typed));
            s.ui.answers.push_back(yes ? Answer::Yes : Answer::No);
            s.sel() = {100, 600};
            trigger(s.w, "mnuEditCopyTo");
            QCOMPARE(s.ui.questions(),
                     old ? QStringList{"This file already exists.  Are you sure you want to "
                                       "overwrite it?"}
                         : QStringList());
            QVERIFY(s.ui.messages().isEmpty());
            if (replaced)
                QVERIFY(readWaveSamples(s.path(written)) == s.trackSamples(100, 600));
            else
                QCOMPARE(fileBytes(s.path(written)), oldBytes);
        }
    }

    // A wave file Vumo cannot read is named for what it holds; No leaves clipboard and track.
    void wavesVumoCannotReadAreNamedForWhatTheyHold()
    {
        const QString reads = QStringLiteral(
            "; Vumo reads 16-bit wave files. Use Track > Import Audio to convert it.");
        const QString paste = QStringLiteral("\nConvert it to 16-bit 44100 Hz and paste that?");
        const QString pasteFrom = QStringLiteral("mnuEditPasteFromStraight");
        for (const auto& [command, bytes, question] : // question: %1 the file, %2 its copy
             {std::tuple{pasteFrom, storedAs(1, 24), "%1 holds 24-bit samples" + reads + paste},
              {pasteFrom, storedAs(3, 32),
               "%1 holds 32-bit floating-point samples" + reads + paste},
              {pasteFrom, storedAs(0xFFFE, 16, 1),
               "%1 holds 16-bit samples in the extensible layout; Vumo reads 16-bit wave files in "
               "the plain PCM layout. Use Track > Import Audio to convert it." +
                   paste},
              {pasteFrom, storedAs(2, 4),
               "%1 holds compressed samples (wave format 2)" + reads + paste},
              {"mnuEditCopyFrom", storedAs(0xFFFE, 24, 1),
               "%1 holds 24-bit samples" + reads +
                   "\nConvert it to 16-bit 44100 Hz into the clipboard?"},
              {"mnuTrackProps", storedAs(1, 24),
               "Error in SetCurTrack: 14\n%1 holds 24-bit samples" + reads +
                   "\nConvert it to 16-bit 44100 Hz into %2 for this track? The file itself "
                   "stays as it is."}})
        {
            StudioFixture s;
            QVERIFY(s.openSong({saw(kFrames)}));
            const QByteArray clip = waveBytes(saw(10, 2));
            QVERIFY(putFile(s.w.CLIPFILE, clip));
            const QString file = s.path(QStringLiteral("studio.wav"));
            QVERIFY(putFile(file, bytes));
            s.ui.files.push_back(file);
            s.ui.dialogs.push_back(trackPropsOK(QString(), file)); // Track > Properties
            s.w.mnuEditSelectAll();
            trigger(s.w, command.toLatin1().constData());
            // Track > Properties asks first whether to delete the old file.
            QCOMPARE(s.ui.questions().constLast(),
                     question.arg(file, s.path(QStringLiteral("studio-converted.wav"))));
            QVERIFY(s.ui.messages().isEmpty());
            QCOMPARE(fileBytes(s.w.CLIPFILE), clip);
            if (command != QStringLiteral("mnuTrackProps"))
                QVERIFY(s.trackSamples(0, kFrames) == saw(kFrames));
        }
    }
};

QTEST_MAIN(WiredCommandsTest)
#include "WiredCommandsTest.moc"
