// The main window's effect and mixer commands end to end: through the real
// frmVumo, the real engine and its virtual devices, with the dialogs answered by scripts.
#include "../StudioFixture.h"
#include "project/ProjectFile.h"

#include <QAction>
#include <QCheckBox>
#include <QProcess>
#include <QTest>

using namespace vumo;
using namespace vumo::test;

namespace
{

// A saw per channel, different for each seed, never silent.
std::vector<int16_t> saw(int frames, int seed)
{
    std::vector<int16_t> s(2 * size_t(frames));
    for (int f = 0; f < frames; ++f)
    {
        s[2 * size_t(f)] = int16_t((f * (31 + seed)) % 30000 - 15000 + 1);
        s[2 * size_t(f) + 1] = int16_t((f * (47 + 3 * seed)) % 26000 - 13000 + 1);
    }
    return s;
}

std::function<void(QDialog&)> clickButton(const char* name)
{
    return [name](QDialog& d) { child<QAbstractButton>(d, name)->click(); };
}

} // namespace

class WiredCommandsTest : public QObject
{
    Q_OBJECT

private:
    static void trigger(StudioFixture& s, const char* name)
    {
        QAction* a = s.w.findChild<QAction*>(QString::fromLatin1(name));
        QVERIFY2(a != nullptr, name);
        a->trigger();
    }

    // A 1 MB project "Song" (file Song.vum) of n tracks r0 ... holding saw(kFrames, k), opened
    // through File > Open.
    static constexpr int kFrames = 8000;
    static void openProject(StudioFixture& s, int n)
    {
        project::ProjectData data = project::newProjectData(1);
        data.projTitle = "Song";
        for (int k = 0; k < n; ++k)
        {
            const QString file = s.path(QStringLiteral("r%1.wav").arg(k));
            QVERIFY(writeWave(file, saw(kFrames, k)));
            data.tracks.append({QStringLiteral("r%1").arg(k).toUtf8(), QFile::encodeName(file)});
        }
        QCOMPARE(project::writeProject(s.path("Song.vum"), data), QString());
        s.ui.files.push_back(s.path("Song.vum"));
        s.w.mnuFileOpen();
        QCOMPARE(s.cboTrack().count(), n);
    }

private slots:
    void initTestCase() { useVirtualDevices("200"); }

    // (Each effect's samples, and the 1024-frame minimum: the engine's tests and tst_fxdialog.)
    void effectMenuItemChangesOnlyTheSelection_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK reverses") << true;
        QTest::newRow("Cancel does not") << false;
    }
    void effectMenuItemChangesOnlyTheSelection()
    {
        QFETCH(bool, accept);
        StudioFixture s;
        openProject(s, 2);
        s.cboTrack().setCurrentIndex(1);
        const std::vector<int16_t> before = s.trackSamples(0, kFrames);
        QCOMPARE(before, saw(kFrames, 1));
        s.mod.selStart = 1000;
        s.mod.selEnd = 5000;
        s.ui.dialogs.push_back(accept ? clickButton("OKButton") : cancelDialog());
        trigger(s, "mnuFXReverse");
        QCOMPARE(s.ui.shown.last().kind, Shown::Kind::Dialog);
        std::vector<int16_t> expected = before;
        if (accept)
            for (int f = 1000; f < 5000; ++f)
            {
                const size_t j = 2 * size_t(5000 - 1 - (f - 1000));
                expected[2 * size_t(f)] = before[j];
                expected[2 * size_t(f) + 1] = before[j + 1];
            }
        QCOMPARE(s.trackSamples(0, kFrames), expected);
        QVERIFY(s.ui.messages().isEmpty());
        // The other track is untouched.
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(s.trackSamples(0, kFrames), saw(kFrames, 0));
    }

    void masterMixerSetsTheTableAndTheControls_data()
    {
        QTest::addColumn<bool>("apply");
        QTest::newRow("Apply") << true;
        QTest::newRow("Cancel") << false;
    }
    void masterMixerSetsTheTableAndTheControls()
    {
        QFETCH(bool, apply);
        StudioFixture s;
        openProject(s, 3);
        s.cboTrack().setCurrentIndex(2);
        // Mute r0 and r1, turn r2 down to 128 with pan 127.
        s.ui.dialogs.push_back(
            [apply](QDialog& d)
            {
                child<QCheckBox>(d, "chkMute0")->setChecked(true);
                child<QCheckBox>(d, "chkMute1")->setChecked(true);
                child<QScrollBar>(d, "hscVol2")->setValue(128);
                child<QScrollBar>(d, "hscPan2")->setValue(127);
                child<QAbstractButton>(d, apply ? "cmdApply" : "cmdCancel")->click();
            });
        const size_t switches = EngineSpy::switches.size();
        trigger(s, "mnuTrackMix");
        QCOMPARE(s.ui.shown.last().kind, Shown::Kind::Dialog);
        // Apply hands the engine the new table at once (a track switch); Cancel does not.
        QCOMPARE(EngineSpy::switches.size() > switches, apply);
        const QList<int> want = apply ? QList<int>{1, 1, 0, 128} : QList<int>{0, 0, 0, 255};
        QCOMPARE((QList<int>{s.mod.tracks[0].mute, s.mod.tracks[1].mute, s.mod.tracks[2].mute,
                             s.mod.tracks[2].volume}),
                 want);
        QCOMPARE(child<QScrollBar>(s.w, "hscVol")->value(), want[3]);
        QVERIFY(!child<QCheckBox>(s.w, "chkMute")->isChecked());
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(child<QCheckBox>(s.w, "chkMute")->isChecked(), apply);
    }

    void vumoMixWritesWhatSaveAsWaveWrites()
    {
        StudioFixture s;
        openProject(s, 3);
        s.mod.tracks[1].mute = 1;
        s.mod.tracks[2].volume = 100;
        s.mod.tracks[2].pan = 40;
        s.w.SwitchTrack();                   // the engine mixes the gains of the last track switch
        s.ui.answers.push_back(Answer::Yes); // Save track edits?
        s.w.mnuFileSave();
        s.w.mnuEditSelectAll();
        s.ui.files.push_back(s.path("studio.wav"));
        s.w.mnuFileSaveAs();
        QProcess mix;
        mix.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vumo-mix"),
                  {s.path("Song.vum"), s.path("tool.wav"), QStringLiteral("--from"),
                   QString::number(s.mod.selStart), QStringLiteral("--to"),
                   QString::number(s.mod.selEnd)});
        QVERIFY(mix.waitForFinished(20000));
        QCOMPARE(mix.exitCode(), 0);
        QFile studio(s.path("studio.wav")), tool(s.path("tool.wav"));
        QVERIFY(studio.open(QIODevice::ReadOnly) && tool.open(QIODevice::ReadOnly));
        const QByteArray written = studio.readAll();
        QVERIFY(written.size() > 44 + 4 * 1000);
        QCOMPARE(tool.readAll(), written);
    }
};

QTEST_MAIN(WiredCommandsTest)
#include "WiredCommandsTest.moc"
