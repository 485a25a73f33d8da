// The main window's menu tree read from the real menu bar: names, captions, order, shortcuts.
#include "../MainWindowFixture.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using namespace vumo;

namespace
{

struct Expected
{
    QString path; // menu names from the bar down, "/"-joined, ending in the item's name
    QString caption;
    QString shortcut;
};

// Walks a menu depth first, in order: every item (separators included) with its path.
void walk(const QMenu* menu, const QString& prefix, QList<Expected>& out)
{
    for (QAction* action : menu->actions())
    {
        const QString path = prefix + QLatin1Char('/') + action->objectName();
        out.append({path, action->isSeparator() ? QStringLiteral("-") : action->text(),
                    action->shortcut().toString()});
        if (action->menu() != nullptr)
            walk(action->menu(), path, out);
    }
}

// The tree as name|caption|shortcut, indented two spaces a level; "-" is a separator.
constexpr const char* kTree = R"(
mnuFile|&File
  mnuFileNew|&New|Ctrl+N
  mnuFileOpen|&Open|Ctrl+O
  mnuFileProps|&Properties
  mnuFileSave|&Save|Ctrl+S
  mnuFileSaveAs|&Save As...
  mnuFileCab|&Create Cab
  mnuFileExit|E&xit
mnuEdit|&Edit
  mnuEditUndo|&Undo
  mnuEditCut|C&ut|Ctrl+X
  mnuEditCopy|&Copy|Ctrl+C
  mnuEditPaste|&Paste|Ctrl+V
  mnuEditMerge|&Merge|Ctrl+M
  mnuEditCopyFrom|Copy &From
  mnuEditCopyTo|Copy &To
  mnuEditPasteFrom|Pa&ste From
    mnuEditPasteFromStraight|&Straight
    mnuEditPasteFromMerged|&Merged
    mnuEditPasteFromRing|&Ring
    mnuEditPasteFromNegative|&Negative
  mnuEditSelectAll|Select &All|Ctrl+A
mnuControl|&Control
  mnuControlPlay|&Play|F5
  mnuControlRecord|&Record|F6
  mnuControlStop|&Stop|F7
  mnuControlHyph1|-
  mnuControlArm|&Arm for Record
  mnuControlMerge|&Merge Record
  mnuControlHyph2|-
  mnuControlActivateDrums|Activate &Drums
mnuTrack|&Track
  mnuTrackAdd|&Add
  mnuTrackProps|&Properties
  mnuTrackDelete|&Delete
  mnuTrackClone|&Clone
    mnuTrackCloneThis|&This Track
    mnuTrackCloneAll|&All Tracks Merged
mnuFX|F&X
  mnuFXAmp|&Amp
    mnuFXGain|&Gain
    mnuFXCompression|&Compression
    mnuFXDistortion|&Distortion
    mnuFXFade|&Fade
  mnuFXChorus|&Chorus
    mnuFXChorus2|&2 Voices
    mnuFXChorus3|&3 Voices
  mnuFXVibe|&Vibe
    mnuFXVibeAmp|&Amplitude
    mnuFXBouncePan|&Bounce Pan
    mnuFXRing|&Ring
  mnuFXFilter|F&ilter
    mnuFXLoPass|&Low  Pass
    mnuFXHiPass|&Hi Pass
    mnuFXBandPass|&Band Pass
    mnuFXNoiseReduction|&Noise Reduction
  mnuFXDelay|&Delay
    mnuFXShiftRight|&Shift Right
    mnuFXEcho|&Echo
    mnuFXResNormal|&Resonate
  mnuFXfft|&FFT
    mnuFXfftPitch|&Pitch
    mnuFXfftBow|&Bow
    mnuFXfftEqu|&Equalizer
    mnuFXfftPerfect|&Perfect Pitch
    mnuFXfftDigitize|&Digitize
    mnuFXfftHarmonics|&Harmonics
    mnuFXfftBassBoost|B&ass Boost
  mnuFXNote|&Note
    mnuFXRevNote|&Reverse
    mnuFXWah|&Wah
    mnuFXFadeNote|&Fade
    mnuFXReflectNote|Ref&lect
    mnuFXPitchNote|&Pitch
  mnuFXMisc|&Misc
    mnuFXPitch|&Pitch
    mnuFXMirror|&Mirror
    mnuFXNegate|&Negate
    mnuFXReverse|&Reverse
    mnuFXMonotonize|Monotoni&ze
mnuTools|&Tools
  mnuFXList|&FX List|Ctrl+F1
  mnuTrackMix|&Master|Ctrl+F2
  mnuControlRip|&Rip MCI|Ctrl+F3
  mnuControlSK1|&SK1 Mode|Ctrl+F4
  mnuAddInDrum|&Drum Machine|Ctrl+F5
  mnuAddInMixer|&Audio Mixer|Ctrl+F6
  mnuAddInMidi|&Midi Sequencer|Ctrl+F7
  mnuToolsHyph1|-
  mnuToolsOptions|&Options...
mnuHelp|&Help
  mnuHelpContents|&Contents|F1
  mnuHelpAbout|&About
)";

QList<Expected> expectedTree()
{
    QList<Expected> rows;
    QStringList parents;
    for (const QString& line : QString::fromLatin1(kTree).split(u'\n', Qt::SkipEmptyParts))
    {
        const qsizetype depth = (line.size() - line.trimmed().size()) / 2;
        const QStringList f = line.trimmed().split(u'|');
        parents.resize(depth);
        parents.append(f[0]);
        rows.append({parents.join(u'/'), f[1], f.value(2)});
    }
    return rows;
}

QList<Expected> actualTree(const frmVumo& window)
{
    QList<Expected> rows;
    for (QAction* top : window.menuBar()->actions())
    {
        rows.append({top->objectName(), top->text(), top->shortcut().toString()});
        walk(top->menu(), top->objectName(), rows);
    }
    return rows;
}

} // namespace

class MenuTreeTest : public QObject
{
    Q_OBJECT

private slots:
    void menuBarHoldsTheWholeTreeInOrder()
    {
        test::MainWindowFixture f;
        const QList<Expected> actual = actualTree(*f.window);
        const QList<Expected> expected = expectedTree();
        for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i)
        {
            QCOMPARE(actual[i].path, expected[i].path);
            QCOMPARE(actual[i].caption, expected[i].caption);
            QCOMPARE(actual[i].shortcut, expected[i].shortcut);
        }
        QCOMPARE(actual.size(), expected.size());
    }

    void everyCommandItemRunsItsOwnCommand()
    {
        test::MainWindowFixture f;
        f.ui.urlsOpen = true;
        f.ui.programsStart = true;
        const QStringList skipped = {QStringLiteral("mnuFileExit"),     // closes the window
                                     QStringLiteral("mnuToolsOptions"), // modal dialog
                                     QStringLiteral("mnuFileOpen")};    // covered elsewhere
        int checked = 0;
        for (const Expected& e : expectedTree())
        {
            const QString name = e.path.section(QLatin1Char('/'), -1);
            QAction* action = f.window->findChild<QAction*>(name);
            QVERIFY2(action != nullptr, qPrintable(name));
            if (action->menu() != nullptr || action->isSeparator() || !e.path.contains(u'/') ||
                skipped.contains(name))
                continue;
            action->setEnabled(true);
            QSignalSpy spy(f.window.get(), &frmVumo::commandStarted);
            action->trigger();
            QVERIFY2(spy.size() >= 1, qPrintable(name));
            QCOMPARE(spy.at(0).at(0).toString(), name); // shared captions run their own effect
            ++checked;
        }
        QCOMPARE(checked, 70); // 73 commands less the three skipped
    }

    void functionKeyRunsItsCommand()
    {
        test::MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QSignalSpy spy(f.window.get(), &frmVumo::commandStarted);
        QTest::keyClick(f.window.get(), Qt::Key_F7);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("mnuControlStop"));
    }
};

QTEST_MAIN(MenuTreeTest)
#include "MenuTreeTest.moc"
