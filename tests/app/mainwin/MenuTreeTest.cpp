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

QList<Expected> expectedTree()
{
    QList<Expected> rows;
    QString top;
    QString sub;
    auto menu = [&](const char* name, const char* caption)
    {
        top = QString::fromLatin1(name);
        rows.append({top, QString::fromLatin1(caption), {}});
    };
    auto item = [&](const char* name, const char* caption, const char* keys = "")
    {
        rows.append({top + QLatin1Char('/') + QString::fromLatin1(name),
                     QString::fromLatin1(caption), QString::fromLatin1(keys)});
    };
    auto submenu = [&](const char* name, const char* caption)
    {
        sub = top + QLatin1Char('/') + QString::fromLatin1(name);
        rows.append({sub, QString::fromLatin1(caption), {}});
    };
    auto subitem = [&](const char* name, const char* caption)
    {
        rows.append(
            {sub + QLatin1Char('/') + QString::fromLatin1(name), QString::fromLatin1(caption), {}});
    };
    menu("mnuFile", "&File");
    item("mnuFileNew", "&New", "Ctrl+N");
    item("mnuFileOpen", "&Open", "Ctrl+O");
    item("mnuFileProps", "&Properties");
    item("mnuFileSave", "&Save", "Ctrl+S");
    item("mnuFileSaveAs", "&Save As...");
    item("mnuFileCab", "&Create Cab");
    item("mnuFileExit", "E&xit");
    menu("mnuEdit", "&Edit");
    item("mnuEditUndo", "&Undo");
    item("mnuEditCut", "C&ut", "Ctrl+X");
    item("mnuEditCopy", "&Copy", "Ctrl+C");
    item("mnuEditPaste", "&Paste", "Ctrl+V");
    item("mnuEditMerge", "&Merge", "Ctrl+M");
    item("mnuEditCopyFrom", "Copy &From");
    item("mnuEditCopyTo", "Copy &To");
    submenu("mnuEditPasteFrom", "Pa&ste From");
    subitem("mnuEditPasteFromStraight", "&Straight");
    subitem("mnuEditPasteFromMerged", "&Merged");
    subitem("mnuEditPasteFromRing", "&Ring");
    subitem("mnuEditPasteFromNegative", "&Negative");
    item("mnuEditSelectAll", "Select &All", "Ctrl+A");
    menu("mnuControl", "&Control");
    item("mnuControlPlay", "&Play", "F5");
    item("mnuControlRecord", "&Record", "F6");
    item("mnuControlStop", "&Stop", "F7");
    item("mnuControlHyph1", "-");
    item("mnuControlArm", "&Arm for Record");
    item("mnuControlMerge", "&Merge Record");
    item("mnuControlHyph2", "-");
    item("mnuControlActivateDrums", "Activate &Drums");
    menu("mnuTrack", "&Track");
    item("mnuTrackAdd", "&Add");
    item("mnuTrackProps", "&Properties");
    item("mnuTrackDelete", "&Delete");
    submenu("mnuTrackClone", "&Clone");
    subitem("mnuTrackCloneThis", "&This Track");
    subitem("mnuTrackCloneAll", "&All Tracks Merged");
    menu("mnuFX", "F&X");
    submenu("mnuFXAmp", "&Amp");
    subitem("mnuFXGain", "&Gain");
    subitem("mnuFXCompression", "&Compression");
    subitem("mnuFXDistortion", "&Distortion");
    subitem("mnuFXFade", "&Fade");
    submenu("mnuFXChorus", "&Chorus");
    subitem("mnuFXChorus2", "&2 Voices");
    subitem("mnuFXChorus3", "&3 Voices");
    submenu("mnuFXVibe", "&Vibe");
    subitem("mnuFXVibeAmp", "&Amplitude");
    subitem("mnuFXBouncePan", "&Bounce Pan");
    subitem("mnuFXRing", "&Ring");
    submenu("mnuFXFilter", "F&ilter");
    subitem("mnuFXLoPass", "&Low  Pass");
    subitem("mnuFXHiPass", "&Hi Pass");
    subitem("mnuFXBandPass", "&Band Pass");
    subitem("mnuFXNoiseReduction", "&Noise Reduction");
    submenu("mnuFXDelay", "&Delay");
    subitem("mnuFXShiftRight", "&Shift Right");
    subitem("mnuFXEcho", "&Echo");
    subitem("mnuFXResNormal", "&Resonate");
    submenu("mnuFXfft", "&FFT");
    subitem("mnuFXfftPitch", "&Pitch");
    subitem("mnuFXfftBow", "&Bow");
    subitem("mnuFXfftEqu", "&Equalizer");
    subitem("mnuFXfftPerfect", "&Perfect Pitch");
    subitem("mnuFXfftDigitize", "&Digitize");
    subitem("mnuFXfftHarmonics", "&Harmonics");
    subitem("mnuFXfftBassBoost", "B&ass Boost");
    submenu("mnuFXNote", "&Note");
    subitem("mnuFXRevNote", "&Reverse");
    subitem("mnuFXWah", "&Wah");
    subitem("mnuFXFadeNote", "&Fade");
    subitem("mnuFXReflectNote", "Ref&lect");
    subitem("mnuFXPitchNote", "&Pitch");
    submenu("mnuFXMisc", "&Misc");
    subitem("mnuFXPitch", "&Pitch");
    subitem("mnuFXMirror", "&Mirror");
    subitem("mnuFXNegate", "&Negate");
    subitem("mnuFXReverse", "&Reverse");
    subitem("mnuFXMonotonize", "Monotoni&ze");
    menu("mnuTools", "&Tools");
    item("mnuFXList", "&FX List", "Ctrl+F1");
    item("mnuTrackMix", "&Master", "Ctrl+F2");
    item("mnuControlRip", "&Rip MCI", "Ctrl+F3");
    item("mnuControlSK1", "&SK1 Mode", "Ctrl+F4");
    item("mnuAddInDrum", "&Drum Machine", "Ctrl+F5");
    item("mnuAddInMixer", "&Audio Mixer", "Ctrl+F6");
    item("mnuAddInMidi", "&Midi Sequencer", "Ctrl+F7");
    item("mnuToolsHyph1", "-");
    item("mnuToolsOptions", "&Options...");
    menu("mnuHelp", "&Help");
    item("mnuHelpContents", "&Contents", "F1");
    item("mnuHelpAbout", "&About");
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

    void fxMenuHoldsExactlyEightSubmenusWithoutShortcuts()
    {
        test::MainWindowFixture f;
        const QMenu* fx = f.window->findChild<QMenu*>(QStringLiteral("mnuFX"));
        QVERIFY(fx != nullptr);
        QCOMPARE(fx->actions().size(), 8);
        int effects = 0;
        for (const QAction* sub : fx->actions())
        {
            QVERIFY(sub->menu() != nullptr);
            for (const QAction* item : sub->menu()->actions())
            {
                QVERIFY(item->shortcut().isEmpty());
                ++effects;
            }
        }
        QCOMPARE(effects, 33);
    }

    void sharedCaptionsRunTheirOwnEffect_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Note Reverse") << QStringLiteral("mnuFXRevNote");
        QTest::newRow("Misc Reverse") << QStringLiteral("mnuFXReverse");
        QTest::newRow("FFT Pitch") << QStringLiteral("mnuFXfftPitch");
        QTest::newRow("Note Pitch") << QStringLiteral("mnuFXPitchNote");
        QTest::newRow("Misc Pitch") << QStringLiteral("mnuFXPitch");
    }
    void sharedCaptionsRunTheirOwnEffect()
    {
        QFETCH(QString, item);
        test::MainWindowFixture f;
        QSignalSpy spy(f.window.get(), &frmVumo::commandStarted);
        f.window->findChild<QAction*>(item)->trigger();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), item);
        QCOMPARE(f.ui.messages().size(), 1);
        QVERIFY(f.ui.messages().first().contains(item));
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
            QCOMPARE(spy.at(0).at(0).toString(), name);
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
