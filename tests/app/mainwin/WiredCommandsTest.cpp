// The main window's effect, mixer, rip and cabinet commands end to end: through the real
// frmVumo, the real engine and its virtual devices, with the dialogs answered by scripts.
#include "../StudioFixture.h"
#include "dialogs/FrmChain.h"
#include "project/ProjectFile.h"

#include <QAction>
#include <QCheckBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

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
    void cleanup() { qunsetenv("VUMO_VIRTUAL_OUTPUT"); }

    void effectMenuItemsChangeOnlyTheSelection_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selEnd");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("applied");
        QTest::newRow("Reverse") << "mnuFXReverse" << 1000 << 5000 << true << true;
        QTest::newRow("Negate") << "mnuFXNegate" << 3001 << 7999 << true << true;
        QTest::newRow("cancelled") << "mnuFXReverse" << 1000 << 5000 << false << false;
        QTest::newRow("1024 frames") << "mnuFXNegate" << 2000 << 3024 << true << false;
        QTest::newRow("1025 frames") << "mnuFXNegate" << 2000 << 3025 << true << true;
    }
    void effectMenuItemsChangeOnlyTheSelection()
    {
        QFETCH(QString, item);
        QFETCH(int, selStart);
        QFETCH(int, selEnd);
        QFETCH(bool, accept);
        QFETCH(bool, applied);
        StudioFixture s;
        openProject(s, 2);
        s.cboTrack().setCurrentIndex(1);
        const std::vector<int16_t> before = s.trackSamples(0, kFrames);
        QCOMPARE(before, saw(kFrames, 1));
        s.mod.selStart = selStart;
        s.mod.selEnd = selEnd;
        s.ui.dialogs.push_back(accept ? clickButton("OKButton") : cancelDialog());
        trigger(s, item.toLatin1().constData());
        QCOMPARE(s.ui.shown.last().kind, Shown::Kind::Dialog);

        std::vector<int16_t> expected = before;
        if (applied)
            for (int f = selStart; f < selEnd; ++f)
            {
                const size_t i = 2 * size_t(f);
                if (item == QStringLiteral("mnuFXReverse"))
                {
                    const size_t j = 2 * size_t(selEnd - 1 - (f - selStart));
                    expected[i] = before[j];
                    expected[i + 1] = before[j + 1];
                }
                else
                    expected[i] = expected[i + 1] =
                        int16_t(std::clamp(before[i] - before[i + 1], -32767, 32767));
            }
        QCOMPARE(s.trackSamples(0, kFrames), expected);
        QVERIFY(s.ui.messages().isEmpty());
        // The other track is untouched.
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(s.trackSamples(0, kFrames), saw(kFrames, 0));
    }

    void masterMixerSetsTheTableTheControlsAndThePlayedMix_data()
    {
        QTest::addColumn<bool>("apply");
        QTest::newRow("Apply") << true;
        QTest::newRow("Cancel") << false;
    }
    void masterMixerSetsTheTableTheControlsAndThePlayedMix()
    {
        QFETCH(bool, apply);
        StudioFixture s;
        qputenv("VUMO_VIRTUAL_OUTPUT", QFile::encodeName(s.path("out.wav")));
        openProject(s, 3);
        s.cboTrack().setCurrentIndex(2);
        // Mute r0 and r1, turn r2 down to 128 with pan 127: both gains 128 * 255 / 256 = 127.
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
        s.cboTrack().setCurrentIndex(2);

        s.mod.selStart = 100;
        s.mod.selEnd = 2100;
        QTest::mouseClick(child<QWidget>(s.w, "CmdPlay"), Qt::LeftButton);
        std::vector<int16_t> heard = readWaveSamples(s.path("out.wav"));
        QVERIFY(heard.size() >= 4000);
        heard.resize(4000);
        std::vector<std::vector<int16_t>> saws{saw(kFrames, 0), saw(kFrames, 1), saw(kFrames, 2)};
        std::vector<int16_t> mix(4000);
        for (size_t i = 0; i < mix.size(); ++i)
        {
            if (apply)
                mix[i] = int16_t((saws[2][200 + i] * 127) >> 8);
            else
            {
                // Every track at 255 and the centre pan: both gains 254; r2 is added last.
                int sum = 0;
                for (int k : {0, 1, 2})
                    sum = std::clamp(((saws[size_t(k)][200 + i] * 254) >> 8) + sum, -32767, 32767);
                mix[i] = int16_t(sum);
            }
        }
        QCOMPARE(heard, mix);
    }

    void ripMciFillsTheTrackWithTheFile()
    {
        StudioFixture s;
        qputenv("VUMO_VIRTUAL_SPEED", "1000");
        s.newProject(1, QStringLiteral("Rip"));
        s.w.mnuEditSelectAll();
        const int frames = s.mod.selEnd - s.mod.selStart;
        QVERIFY(frames > 200000);
        const std::vector<int16_t> file = saw(frames, 5);
        QVERIFY(writeWave(s.path("source.wav"), file));
        s.ui.answers.push_back(Answer::Yes); // browse for a multimedia file
        s.ui.files.push_back(s.path("source.wav"));
        trigger(s, "mnuControlRip");
        qputenv("VUMO_VIRTUAL_SPEED", "200");
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        QCOMPARE(s.trackSamples(0, frames), file);
        QVERIFY(!qEnvironmentVariableIsSet("VUMO_CAPTURE_SOURCE"));
    }

    void createCabThenOpenItRestoresTheProject()
    {
        StudioFixture s;
        openProject(s, 1);
        s.ui.answers.push_back(Answer::Yes); // Save track edits?
        trigger(s, "mnuFileCab");
        auto* chain = s.w.findChild<FrmChain*>();
        QVERIFY(chain != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!chain->running(), 20000);
        QVERIFY2(chain->succeeded(), qPrintable(chain->failure()));
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        const QString cabinet = s.path("Song/Song.cab");
        QVERIFY(QFile::exists(cabinet));

        // The project and its track go; the cabinet brings them back. (The cabinet is named
        // after the title, and only a project file of that name is found in it.)
        s.w.session().close();
        QVERIFY(QFile::remove(s.path("Song.vum")));
        QVERIFY(QFile::remove(s.path("r0.wav")));
        s.ui.files.push_back(cabinet);
        s.w.mnuFileOpen();
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        QCOMPARE(s.cboTrack().count(), 1);
        QCOMPARE(s.cboTrack().itemText(0), QStringLiteral("r0"));
        s.cboTrack().setCurrentIndex(0);
        QCOMPARE(s.trackSamples(0, kFrames), saw(kFrames, 0));
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
