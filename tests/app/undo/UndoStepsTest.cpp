// Undo and redo in steps through the real window and engine: random edits undone and redone to
// the sample, named steps, steps per track, and a file size limit.
#include "undo/UndoSteps.h"
#include "../StudioFixture.h"
#include "../WriteFaults.h"
#include "fx/EffectCatalog.h"

#include <QCheckBox>
#include <QListWidget>
#include <QTest>

#include <random>

using namespace vumo;
using namespace vumo::test;

namespace
{

constexpr int kTrack = 262144; // a 1 MB project
using Samples = std::vector<int16_t>;
using Rng = std::mt19937;

int pick(Rng& rng, int low, int high) // inclusive
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// The effect dialog answered with random values.
std::function<void(QDialog&)> randomValues(Rng& rng)
{
    const int v[3] = {pick(rng, 0, 255), pick(rng, 0, 255), pick(rng, 0, 255)};
    return [v](QDialog& d)
    {
        for (int i = 0; i < 3; ++i)
            child<QScrollBar>(d, QStringLiteral("HScroll%1").arg(i + 1).toLatin1().constData())
                ->setValue(v[i]);
        child<QAbstractButton>(d, "OKButton")->click();
    };
}

// A random selection longer than an effect needs; a quarter of them reach the track's end.
void randomSelection(StudioFixture& s, Rng& rng)
{
    const int start = pick(rng, 0, kTrack - 4000);
    s.sel() = {start, pick(rng, 0, 3) == 0 ? kTrack : pick(rng, start + 1100, kTrack - 1)};
}

void runEffect(StudioFixture& s, Rng& rng, const char* menuItem)
{
    s.ui.dialogs.push_back(randomValues(rng));
    trigger(s.w, menuItem);
}

// One random change: a cut, a paste, a merge, an effect, the fade, or a chain of one effect.
void randomChange(StudioFixture& s, Rng& rng, int i)
{
    randomSelection(s, rng);
    const int kind = i == 3 ? 4 : i == 7 || i == 12 ? 5 : pick(rng, 0, 3);
    if (kind == 0)
        trigger(s.w, "mnuEditCut");
    else if (kind == 1)
        trigger(s.w, pick(rng, 0, 1) ? "mnuEditPaste" : "mnuEditMerge");
    else if (kind == 4)
    {
        s.sel().selEnd = std::min(s.sel().selEnd, kTrack - 10); // the fade's extra frame inside
        runEffect(s, rng, "mnuFXFade");
    }
    else if (kind == 5)
    {
        const auto offered = fx::chainOffered();
        const QString name = QString::fromLatin1(offered[size_t(pick(rng, 0, 9))]->listName);
        auto values = randomValues(rng);
        s.ui.dialogs.push_back(
            [name, values, &s](QDialog& d)
            {
                auto* available = child<QListWidget>(d, "lstAvailable");
                available->setCurrentItem(available->findItems(name, Qt::MatchExactly)[0]);
                s.ui.dialogs.push_front(values);
                child<QAbstractButton>(d, "cmdAdd")->click();
                child<QAbstractButton>(d, "cmdApply")->click();
            });
        trigger(s.w, "mnuFXList");
    }
    else
    {
        std::vector<const fx::EffectInfo*> effects;
        for (const fx::EffectInfo& e : fx::effectCatalog())
            if (*e.menuItem != '\0' && fx::isEngineEffect(e.code))
                effects.push_back(&e);
        runEffect(s, rng, effects[size_t(pick(rng, 0, int(effects.size()) - 1))]->menuItem);
    }
}

QString caption(StudioFixture& s, const char* item)
{
    QAction* a = child<QAction>(s.w, item);
    return a->isEnabled() ? a->text() : QStringLiteral("(off) ") + a->text();
}

// Tracks compared whole, named in the failure.
#define SAME(a, b, what) QVERIFY2((a) == (b), qPrintable(QString(what)))

} // namespace

class UndoStepsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useVirtualDevices(); }
    void cleanup()
    {
        qunsetenv("VUMO_VIRTUAL_INPUT");
        qunsetenv("VUMO_VIRTUAL_MIDI_IN");
    }

    // 20 random changes from a fixed seed, then 20 undos, each giving back the track as it was
    // before its change, then 20 redos giving back each changed track, bit for bit.
    void randomChangesUndoAndRedoToTheSample()
    {
        StudioFixture s;
        QVERIFY(s.openSong({saw(kTrack)}));
        QVERIFY(writeWave(s.w.CLIPFILE, tones(30000, 9000, 330, 7000, 550)));
        Rng rng(22);
        std::vector<Samples> states{s.trackSamples(0, kTrack)};
        int changed = 0;
        for (int i = 0; i < 20; ++i)
        {
            if (i % 2 == 1) // every other step may take an image of the whole track
                s.w.undoSteps().prepareImage(0, kTrack);
            randomChange(s, rng, i);
            states.push_back(s.trackSamples(0, kTrack));
            changed += states[size_t(i)] != states[size_t(i + 1)] ? 1 : 0;
        }
        QVERIFY(changed >= 15); // a few effects leave some selections as they were
        QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        for (int i = 20; i > 0; --i)
        {
            trigger(s.w, "mnuEditUndoStep");
            SAME(s.trackSamples(0, kTrack), states[size_t(i - 1)], "undo " + QString::number(i));
        }
        QCOMPARE(caption(s, "mnuEditUndoStep"), QStringLiteral("(off) &Undo"));
        for (int i = 1; i <= 20; ++i)
        {
            trigger(s.w, "mnuEditRedoStep");
            SAME(s.trackSamples(0, kTrack), states[size_t(i)], "redo " + QString::number(i));
        }
        QCOMPARE(caption(s, "mnuEditRedoStep"), QStringLiteral("(off) &Redo"));
        QVERIFY(s.ui.messages().isEmpty());
    }

    // A take, an SK1 render and Revert to Saved are named steps, undone and redone exactly.
    void eachKindOfChangeIsANamedStep()
    {
        using Act = std::function<void(StudioFixture&)>;
        const Act echo = [](StudioFixture& s)
        {
            s.ui.dialogs.push_back([](QDialog& d)
                                   { child<QAbstractButton>(d, "OKButton")->click(); });
            trigger(s.w, "mnuFXEcho");
        };
        const Act take = [](StudioFixture& s)
        {
            QVERIFY(writeWave(s.path("in.wav"), tones(60000, 8000, 440, 8000, 220)));
            qputenv("VUMO_VIRTUAL_INPUT", QFile::encodeName(s.path("in.wav")));
            s.sel() = {5000, 65000};
            child<QCheckBox>(s.w, "chkArm")->setChecked(true);
            trigger(s.w, "mnuControlRecord");
        };
        const Act sk1 = [](StudioFixture& s)
        {
            QVERIFY(writeWave(s.w.CLIPFILE, tones(2000, 6000, 440, 4500, 660, 1)));
            QVERIFY(putFile(s.path("keys.txt"), "5 144 60 90\n300 128 84 40\n"));
            qputenv("VUMO_VIRTUAL_MIDI_IN", QFile::encodeName(s.path("keys.txt")));
            s.sel() = {3001, kTrack};
            s.ui.answers = {Answer::Yes, Answer::Yes};
            trigger(s.w, "mnuControlSK1");
        };
        const Act revert = [](StudioFixture& s)
        {
            s.ui.answers = {Answer::Yes};
            trigger(s.w, "mnuEditUndo");
            SAME(s.trackSamples(0, kTrack), saw(kTrack), "reverted to the file");
        };
        for (const auto& [first, act, name] : {std::tuple{Act(), take, "Record"},
                                               {Act(), sk1, "SK1 Mode"},
                                               {echo, revert, "Revert to Saved"}})
        {
            StudioFixture s;
            QVERIFY(s.openSong({saw(kTrack)}));
            s.sel() = {1000, 200000};
            if (first)
                first(s);
            const Samples before = s.trackSamples(0, kTrack);
            act(s);
            const Samples after = s.trackSamples(0, kTrack);
            QVERIFY(after != before);
            QCOMPARE(caption(s, "mnuEditUndoStep"), QStringLiteral("&Undo ") + name);
            trigger(s.w, "mnuEditUndoStep");
            SAME(s.trackSamples(0, kTrack), before, name);
            QCOMPARE(caption(s, "mnuEditRedoStep"), QStringLiteral("&Redo ") + name);
            trigger(s.w, "mnuEditRedoStep");
            SAME(s.trackSamples(0, kTrack), after, name);
            QVERIFY2(s.ui.messages().isEmpty(), qPrintable(s.ui.messages().join('\n')));
        }
    }

    // A change over an eighth of the track takes the image written while idle as its step, unless
    // the engine changed the track behind the window's back. (frames, a change behind, taken)
    void aChangeOverMuchOfTheTrackTakesTheImageWrittenWhileIdle()
    {
        const int eighth = kTrack / 8;
        for (const auto& [first, last, behind, taken] : {std::tuple{0, kTrack, false, true},
                                                         {1000, 1000 + eighth, false, true},
                                                         {1000, 999 + eighth, false, false},
                                                         {0, kTrack, true, false}})
        {
            StudioFixture s;
            QVERIFY(s.openSong({saw(kTrack)}));
            const auto image = [&s] { return s.w.undoSteps().folder() + "/image.wav"; };
            QTRY_VERIFY(QFileInfo::exists(image())); // the window's idle timer wrote it
            if (behind)
                s.engine->TrackWrite(2 * 500, 4321);
            const Samples before = s.trackSamples(0, kTrack);
            s.sel() = {first, last};
            Rng rng(3);
            runEffect(s, rng, "mnuFXEcho");
            const Samples after = s.trackSamples(0, kTrack);
            QCOMPARE(QFileInfo(s.w.undoSteps().folder() + "/step1.wav").size(),
                     44 + 4 * qint64(taken ? kTrack : last - first));
            QCOMPARE(QFileInfo::exists(image()), !taken);
            trigger(s.w, "mnuEditUndoStep");
            SAME(s.trackSamples(0, kTrack), before, "undone");
            trigger(s.w, "mnuEditRedoStep");
            SAME(s.trackSamples(0, kTrack), after, "redone");
        }
    }

    // Each track keeps its own steps across switches, Delete and a change by another program;
    // closing the project removes the undo folder.
    void stepsFollowTheirTracks()
    {
        StudioFixture s;
        QVERIFY(s.openSong({saw(kTrack, 0), saw(kTrack, 1), saw(kTrack, 2)}));
        Rng rng(5);
        std::vector<Samples> edited;
        for (int k = 0; k < 3; ++k)
        {
            s.cboTrack().setCurrentIndex(k);
            s.sel() = {2000, 90000};
            runEffect(s, rng, k == 1 ? "mnuFXReverse" : "mnuFXEcho");
            edited.push_back(s.trackSamples(0, kTrack));
        }
        s.cboTrack().setCurrentIndex(1);
        QCOMPARE(caption(s, "mnuEditUndoStep"), QStringLiteral("&Undo Reverse"));
        trigger(s.w, "mnuEditUndoStep");
        SAME(s.trackSamples(0, kTrack), saw(kTrack, 1), "track 2 undone");
        s.cboTrack().setCurrentIndex(2);
        SAME(s.trackSamples(0, kTrack), edited[2], "track 3 still edited");
        // Track 1 goes: track 3 becomes track 2 with its step.
        s.cboTrack().setCurrentIndex(0);
        s.ui.answers = {Answer::No};
        trigger(s.w, "mnuTrackDelete");
        s.cboTrack().setCurrentIndex(1);
        QCOMPARE(caption(s, "mnuEditUndoStep"), QStringLiteral("&Undo Echo"));
        emit s.w.trackFileChangedOutside(1, s.path("t2.wav"));
        QCOMPARE(s.ui.messages(),
                 QStringList{s.path("t2.wav") + " was changed by another program. The undo steps "
                                                "of track 2 no longer match it and were dropped."});
        QCOMPARE(caption(s, "mnuEditUndoStep"), QStringLiteral("(off) &Undo"));
        const QString folder = s.w.undoSteps().folder();
        QVERIFY(QFileInfo(folder).isDir());
        s.w.CloseProject();
        QVERIFY(!QFileInfo::exists(folder));
    }

    // A step that cannot be kept asks first: No leaves track and steps; Yes drops the steps.
    void aStepThatCannotBeKeptAsksFirst()
    {
        for (const Answer answer : {Answer::No, Answer::Yes})
        {
            StudioFixture s;
            QVERIFY(s.openSong({saw(kTrack)}));
            Rng rng(9);
            s.sel() = {2000, 4000}; // a step of 8 KB
            runEffect(s, rng, "mnuFXReverse");
            const Samples before = s.trackSamples(0, kTrack);
            s.sel() = {2000, 200000};
            s.ui.answers = {answer};
            {
                const FileSizeLimit limit(64 * 1024);
                runEffect(s, rng, "mnuFXEcho");
            }
            QCOMPARE(s.ui.questions().size(), 1);
            QVERIFY2(s.ui.questions()[0].startsWith("The undo step of Echo could not be kept: "),
                     qPrintable(s.ui.questions()[0]));
            QCOMPARE(s.trackSamples(0, kTrack) == before, answer == Answer::No);
            QCOMPARE(caption(s, "mnuEditUndoStep"), answer == Answer::No
                                                        ? QStringLiteral("&Undo Reverse")
                                                        : QStringLiteral("(off) &Undo"));
            QCOMPARE(QDir(s.w.undoSteps().folder()).entryList(QDir::Files).size(),
                     answer == Answer::No ? 1 : 0);
        }
    }
};

QTEST_MAIN(UndoStepsTest)
#include "UndoStepsTest.moc"
