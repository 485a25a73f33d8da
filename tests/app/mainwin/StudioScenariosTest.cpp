// What a musician meets in the real window over the real engine and its virtual devices: a
// preset of another effect, Copy To onto a new or an existing file, wave files whose samples
// Vumo cannot read, and the picture of a steady tone and after Delete.
#include "../StudioFixture.h"
#include "fx/EffectSetting.h"
#include "project/ProjectFile.h"
#include "view/ViewColours.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QTest>

#include <cmath>

using namespace vumo;
using namespace vumo::test;

namespace
{

constexpr int kFrames = 8000;
constexpr int kTrack = 262144; // a 1 MB project

// A saw per channel, never silent.
std::vector<int16_t> saw(int frames)
{
    std::vector<int16_t> s(2 * size_t(frames));
    for (int f = 0; f < frames; ++f)
    {
        s[2 * size_t(f)] = int16_t((f * 37) % 30000 - 15000 + 1);
        s[2 * size_t(f) + 1] = int16_t((f * 53) % 26000 - 13000 + 1);
    }
    return s;
}

// 440 Hz in both channels at the given amplitude.
std::vector<int16_t> sine(int frames, double amplitude)
{
    std::vector<int16_t> s(2 * size_t(frames));
    for (int f = 0; f < frames; ++f)
        s[2 * size_t(f)] = s[2 * size_t(f) + 1] =
            int16_t(std::lround(amplitude * std::sin(2 * M_PI * 440 * f / 44100.0)));
    return s;
}

// A wave file of 64 bytes of samples stored as the format tag and bits say; the extensible
// layout (tag 0xFFFE) carries subTag as its sub-format.
QByteArray storedAs(uint16_t tag, uint16_t bits, uint16_t subTag = 0)
{
    const bool extensible = tag == 0xFFFE;
    QByteArray fmt(extensible ? 40 : 16, '\0');
    uchar* p = reinterpret_cast<uchar*>(fmt.data());
    qToLittleEndian<quint16>(tag, p);
    qToLittleEndian<quint16>(2, p + 2);
    qToLittleEndian<quint32>(44100, p + 4);
    qToLittleEndian<quint32>(44100 * 2 * bits / 8, p + 8);
    qToLittleEndian<quint16>(2 * bits / 8, p + 12);
    qToLittleEndian<quint16>(bits, p + 14);
    if (extensible)
        qToLittleEndian<quint16>(22, p + 16), qToLittleEndian<quint16>(subTag, p + 24);
    QByteArray b = "WAVEfmt " + QByteArray(4, '\0') + fmt + "data" + QByteArray(4, '\0');
    qToLittleEndian<quint32>(quint32(fmt.size()), b.data() + 8);
    qToLittleEndian<quint32>(64, b.data() + b.size() - 4);
    b += QByteArray(64, '\x11');
    QByteArray riff = "RIFF" + QByteArray(4, '\0') + b;
    qToLittleEndian<quint32>(quint32(b.size()), riff.data() + 4);
    return riff;
}

void trigger(StudioFixture& s, const char* name)
{
    child<QAction>(s.w, name)->trigger();
}

// Opens (File > Open) a 1 MB project "Song.vum" whose tracks t0 ... hold the given samples.
void openProject(StudioFixture& s, const std::vector<std::vector<int16_t>>& tracks)
{
    project::ProjectData data = project::newProjectData(1);
    data.projTitle = "Song";
    for (size_t k = 0; k < tracks.size(); ++k)
    {
        const QString file = s.path(QStringLiteral("t%1.wav").arg(k));
        QVERIFY(writeWave(file, tracks[k]));
        data.tracks.append({QStringLiteral("t%1").arg(k).toUtf8(), QFile::encodeName(file)});
    }
    QCOMPARE(project::writeProject(s.path("Song.vum"), data), QString());
    s.ui.files.push_back(s.path("Song.vum"));
    s.w.mnuFileOpen();
    QCOMPARE(s.cboTrack().count(), int(tracks.size()));
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
    void aPresetOfAnotherEffectIsRefusedAndTheEchoRunsAsShown_data()
    {
        QTest::addColumn<int>("presetCode");
        QTest::addColumn<int>("presetValue"); // all three values
        QTest::addColumn<int>("valueRun");    // all three values of the echo run
        QTest::addColumn<bool>("refused");
        QTest::newRow("an echo preset") << 3 << 50 << 50 << false;
        QTest::newRow("an Amp - Gain preset") << 1 << 16 << 128 << true;
    }
    void aPresetOfAnotherEffectIsRefusedAndTheEchoRunsAsShown()
    {
        QFETCH(int, presetCode);
        QFETCH(int, presetValue);
        QFETCH(int, valueRun);
        QFETCH(bool, refused);
        StudioFixture s;
        openProject(s, {saw(kFrames)});
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
        trigger(s, "mnuFXEcho");
        QCOMPARE(title, QStringLiteral("FX - Echo"));
        QCOMPARE(s.ui.messages(),
                 refused ? QStringList{"The effect file " + s.path("preset.sfx") +
                                       " holds a setting of \"Amp - Gain\", not of \"Echo\"; it "
                                       "is not loaded."}
                         : QStringList());
        // The samples are those of the echo with the values run, on the track's file.
        const std::vector<int16_t> after = s.trackSamples(0, kFrames);
        QCOMPARE(s.engine->Undo(), 0);
        QCOMPARE(s.engine->FXIt(3, 1000, 5000, valueRun, valueRun, valueRun), 0);
        QVERIFY(after == s.trackSamples(0, kFrames));
    }

    // Edit > Copy To with a name typed into the file dialog: a new name (with or without
    // ".wav") makes the file; an existing file is replaced only after Yes to the dialog's
    // question.
    void copyToWritesANewFileAndAsksBeforeReplacingOne_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("old"); // a file of that name is there
        QTest::addColumn<bool>("yes"); // the answer to the question
        QTest::addColumn<bool>("replaced");
        QTest::newRow("a new name") << "take.wav"
                                    << "take.wav" << false << false << true;
        QTest::newRow("a new name, no extension") << "take"
                                                  << "take.wav" << false << false << true;
        QTest::newRow("an old file, No") << "old.wav"
                                         << "old.wav" << true << false << false;
        QTest::newRow("an old file, Yes") << "old.wav"
                                          << "old.wav" << true << true << true;
    }
    void copyToWritesANewFileAndAsksBeforeReplacingOne()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(bool, old);
        QFETCH(bool, yes);
        QFETCH(bool, replaced);
        StudioFixture s;
        s.ui.checkFileChoices = true;
        openProject(s, {saw(kFrames)});
        const QByteArray oldBytes = waveBytes(sine(10, 1000));
        if (old)
            QVERIFY(putFile(s.path(written), oldBytes));
        s.ui.files.push_back(s.path(typed));
        s.ui.answers.push_back(yes ? Answer::Yes : Answer::No);
        s.sel() = {100, 600};
        trigger(s, "mnuEditCopyTo");
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

    // A wave file Vumo cannot read, met by Paste From, Copy From or a track's new file, is
    // named for what it holds; the clipboard and the track stay as they were.
    void wavesVumoCannotReadAreNamedForWhatTheyHold_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message"); // %1: the file
        const QString reads = QStringLiteral("; Vumo reads 16-bit wave files.");
        const auto row = [](const char* tag, const char* command, const QByteArray& bytes,
                            const QString& message)
        { QTest::newRow(tag) << QString::fromLatin1(command) << bytes << message; };
        row("Paste From, 24-bit", "mnuEditPasteFromStraight", storedAs(1, 24),
            "Error in PasteFrom: 14\n%1 holds 24-bit samples" + reads);
        row("Paste From, float", "mnuEditPasteFromStraight", storedAs(3, 32),
            "Error in PasteFrom: 13\n%1 holds 32-bit floating-point samples" + reads);
        row("Paste From, extensible 16-bit", "mnuEditPasteFromStraight", storedAs(0xFFFE, 16, 1),
            "Error in PasteFrom: 13\n%1 holds 16-bit samples in the extensible layout; Vumo reads "
            "16-bit wave files in the plain PCM layout.");
        row("Paste From, ADPCM", "mnuEditPasteFromStraight", storedAs(2, 4),
            "Error in PasteFrom: 13\n%1 holds compressed samples (wave format 2)" + reads);
        row("Copy From, extensible 24-bit", "mnuEditCopyFrom", storedAs(0xFFFE, 24, 1),
            "%1 holds 24-bit samples" + reads + "\nThe clipboard is unchanged.");
        row("a track's file, 24-bit", "mnuTrackProps", storedAs(1, 24),
            "Error in SetCurTrack: 14\n%1 holds 24-bit samples" + reads);
    }
    void wavesVumoCannotReadAreNamedForWhatTheyHold()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        StudioFixture s;
        openProject(s, {saw(kFrames)});
        const QByteArray clip = waveBytes(sine(10, 500));
        QVERIFY(putFile(s.w.CLIPFILE, clip));
        const QString file = s.path(QStringLiteral("studio.wav"));
        QVERIFY(putFile(file, bytes));
        s.ui.files.push_back(file);
        s.ui.dialogs.push_back(trackPropsOK(QString(), file)); // Track > Properties
        s.w.mnuEditSelectAll();
        trigger(s, command.toLatin1().constData());
        QCOMPARE(s.ui.messages(), QStringList{message.arg(file)});
        QCOMPARE(fileBytes(s.w.CLIPFILE), clip);
        if (command != QStringLiteral("mnuTrackProps"))
            QVERIFY(s.trackSamples(0, kFrames) == saw(kFrames));
    }

    // A 440 Hz tone at full view: every column spans the tone's whole swing in both channels
    // (no beating lobes).
    void aSteadyToneFillsEveryColumn()
    {
        StudioFixture s;
        openProject(s, {sine(kTrack, 20000)});
        const QImage& picture = shownPicture(s, 0);
        const int height = picture.height(), q = height / 4, m = height - q;
        const int swing = 2 * int(std::lround(picView(s).hscale() * 20000)); // its rows
        QVERIFY(swing > 40);
        for (int x = 1; x < picture.width(); ++x)
            for (const auto& [rows, centre] : {std::pair(drawnRows(picture, x, 0, 2 * q), q),
                                               std::pair(drawnRows(picture, x, 2 * q, height), m)})
            {
                const QString at = QStringLiteral("column %1: rows %2 ... %3, centre %4")
                                       .arg(x)
                                       .arg(rows.first)
                                       .arg(rows.second)
                                       .arg(centre);
                QVERIFY2(rows.second - rows.first + 1 >= swing - 2, qPrintable(at));
                QVERIFY2(std::abs(rows.first + rows.second + 1 - 2 * centre) <= 2, qPrintable(at));
            }
    }

    // After Delete of the track shown no track is chosen and the picture shows none; picking
    // one shows it again.
    void afterDeleteThePictureShowsNoTrack()
    {
        StudioFixture s;
        openProject(s, {sine(kTrack, 20000), saw(kTrack)});
        const QImage tone = shownPicture(s, 0).copy();
        const QImage& picture = shownPicture(s, 1);
        s.ui.answers.push_back(Answer::No); // Delete File: keep it
        trigger(s, "mnuTrackDelete");
        QCOMPARE(s.cboTrack().currentIndex(), -1);
        for (int x = 0; x < picture.width(); ++x)
            QCOMPARE(drawnRows(picture, x, 0, picture.height()), std::pair(-1, -1));
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(picture, tone);
    }
};

QTEST_MAIN(StudioScenariosTest)
#include "StudioScenariosTest.moc"
