// What a musician meets in the real window over the real engine and its virtual devices: a
// preset of another effect, Copy To onto a new or an existing file, wave files whose samples
// Vumo cannot read, and the picture of a steady tone and after Delete.
#include "../StudioFixture.h"
#include "fx/EffectSetting.h"
#include "view/ViewColours.h"
#include "view/WaveformView.h"

#include <QTest>

using namespace vumo;
using namespace vumo::test;

namespace
{

constexpr int kFrames = 8000;
constexpr int kTrack = 262144; // a 1 MB project

std::vector<int16_t> sine(int frames, double amplitude)
{
    return tones(frames, amplitude, 440, amplitude, 440);
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

// The first and last row of column x in [from, to) that the waveform coloured, or (-1, -1).
std::pair<int, int> drawnRows(const QImage& image, int x, int from, int to)
{
    std::pair<int, int> rows{-1, -1};
    for (int y = from; y < to; ++y)
        if (image.pixel(x, y) == kRed.rgb())
            rows = {rows.first < 0 ? y : rows.first, y};
    return rows;
}

const view::WaveformView& picView(StudioFixture& s)
{
    return *child<view::WaveformView>(s.w, "picView");
}

// The picture once track k is chosen, drawn with an empty selection at frame 0.
const QImage& shownPicture(StudioFixture& s, int k)
{
    s.cboTrack().setCurrentIndex(k);
    s.sel() = {0, 0};
    s.w.DrawTrack();
    return picView(s).picture();
}

} // namespace

class StudioScenariosTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useVirtualDevices(); }

    // F&X > Echo, Load of a preset, OK: a preset of the echo loads and runs; one of Amp - Gain
    // is refused with a message naming both, and the echo runs with the values it shows.
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

    // Edit > Copy To with a name typed into the file dialog: a new name (with or without
    // ".wav") makes the file; an existing file is replaced only after Yes to the dialog's
    // question. (typed, the file written, a file of that name there, Yes, replaced)
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
            const QByteArray oldBytes = waveBytes(sine(10, 1000));
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

    // A wave file Vumo cannot read, met by Paste From, Copy From or a track's new file, is
    // named for what it holds in the question that offers its conversion; No leaves the
    // clipboard and the track as they were.
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
            const QByteArray clip = waveBytes(sine(10, 500));
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

    // After Delete of the track shown no track is chosen and the picture shows none; picking
    // one shows it again.
    void afterDeleteThePictureShowsNoTrack()
    {
        StudioFixture s;
        QVERIFY(s.openSong({sine(kTrack, 20000), saw(kTrack)}));
        const QImage tone = shownPicture(s, 0).copy();
        const QImage& picture = shownPicture(s, 1);
        s.ui.answers.push_back(Answer::No); // Delete File: keep it
        trigger(s.w, "mnuTrackDelete");
        QCOMPARE(s.cboTrack().currentIndex(), -1);
        for (int x = 0; x < picture.width(); ++x)
            QCOMPARE(drawnRows(picture, x, 0, picture.height()), std::pair(-1, -1));
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(picture, tone);
    }
};

QTEST_MAIN(StudioScenariosTest)
#include "StudioScenariosTest.moc"
