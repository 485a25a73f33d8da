// frmVumo's menu tree: names, captions with access keys, shortcuts, in menu order.
#include "mainwin/frmVumo.h"

#include <QMenuBar>

namespace vumo
{
namespace
{

// depth 0: a menu of the bar; 1: an item (a submenu when deeper items follow); 2: a
// submenu's item. "-" is a separator.
struct MenuEntry
{
    int depth;
    const char* name;
    const char* caption;
    const char* shortcut;
};

constexpr MenuEntry kMenuTree[] = {
    {0, "mnuFile", "&File", ""},
    {1, "mnuFileNew", "&New", "Ctrl+N"},
    {1, "mnuFileOpen", "&Open", "Ctrl+O"},
    {1, "mnuFileProps", "&Properties", ""},
    {1, "mnuFileSave", "&Save", "Ctrl+S"},
    {1, "mnuFileSaveAs", "&Save As...", ""},
    {1, "mnuFileCab", "&Create Cab", ""},
    {1, "mnuFileExit", "E&xit", ""},
    {0, "mnuEdit", "&Edit", ""},
    {1, "mnuEditUndo", "&Undo", ""},
    {1, "mnuEditCut", "C&ut", "Ctrl+X"},
    {1, "mnuEditCopy", "&Copy", "Ctrl+C"},
    {1, "mnuEditPaste", "&Paste", "Ctrl+V"},
    {1, "mnuEditMerge", "&Merge", "Ctrl+M"},
    {1, "mnuEditCopyFrom", "Copy &From", ""},
    {1, "mnuEditCopyTo", "Copy &To", ""},
    {1, "mnuEditPasteFrom", "Pa&ste From", ""},
    {2, "mnuEditPasteFromStraight", "&Straight", ""},
    {2, "mnuEditPasteFromMerged", "&Merged", ""},
    {2, "mnuEditPasteFromRing", "&Ring", ""},
    {2, "mnuEditPasteFromNegative", "&Negative", ""},
    {1, "mnuEditSelectAll", "Select &All", "Ctrl+A"},
    {0, "mnuControl", "&Control", ""},
    {1, "mnuControlPlay", "&Play", "F5"},
    {1, "mnuControlRecord", "&Record", "F6"},
    {1, "mnuControlStop", "&Stop", "F7"},
    {1, "mnuControlHyph1", "-", ""},
    {1, "mnuControlArm", "&Arm for Record", ""},
    {1, "mnuControlMerge", "&Merge Record", ""},
    {1, "mnuControlHyph2", "-", ""},
    {1, "mnuControlActivateDrums", "Activate &Drums", ""},
    {0, "mnuTrack", "&Track", ""},
    {1, "mnuTrackAdd", "&Add", ""},
    {1, "mnuTrackProps", "&Properties", ""},
    {1, "mnuTrackDelete", "&Delete", ""},
    {1, "mnuTrackClone", "&Clone", ""},
    {2, "mnuTrackCloneThis", "&This Track", ""},
    {2, "mnuTrackCloneAll", "&All Tracks Merged", ""},
    {0, "mnuFX", "F&X", ""},
    {1, "mnuFXAmp", "&Amp", ""},
    {2, "mnuFXGain", "&Gain", ""},
    {2, "mnuFXCompression", "&Compression", ""},
    {2, "mnuFXDistortion", "&Distortion", ""},
    {2, "mnuFXFade", "&Fade", ""},
    {1, "mnuFXChorus", "&Chorus", ""},
    {2, "mnuFXChorus2", "&2 Voices", ""},
    {2, "mnuFXChorus3", "&3 Voices", ""},
    {1, "mnuFXVibe", "&Vibe", ""},
    {2, "mnuFXVibeAmp", "&Amplitude", ""},
    {2, "mnuFXBouncePan", "&Bounce Pan", ""},
    {2, "mnuFXRing", "&Ring", ""},
    {1, "mnuFXFilter", "F&ilter", ""},
    {2, "mnuFXLoPass", "&Low  Pass", ""},
    {2, "mnuFXHiPass", "&Hi Pass", ""},
    {2, "mnuFXBandPass", "&Band Pass", ""},
    {2, "mnuFXNoiseReduction", "&Noise Reduction", ""},
    {1, "mnuFXDelay", "&Delay", ""},
    {2, "mnuFXShiftRight", "&Shift Right", ""},
    {2, "mnuFXEcho", "&Echo", ""},
    {2, "mnuFXResNormal", "&Resonate", ""},
    {1, "mnuFXfft", "&FFT", ""},
    {2, "mnuFXfftPitch", "&Pitch", ""},
    {2, "mnuFXfftBow", "&Bow", ""},
    {2, "mnuFXfftEqu", "&Equalizer", ""},
    {2, "mnuFXfftPerfect", "&Perfect Pitch", ""},
    {2, "mnuFXfftDigitize", "&Digitize", ""},
    {2, "mnuFXfftHarmonics", "&Harmonics", ""},
    {2, "mnuFXfftBassBoost", "B&ass Boost", ""},
    {1, "mnuFXNote", "&Note", ""},
    {2, "mnuFXRevNote", "&Reverse", ""},
    {2, "mnuFXWah", "&Wah", ""},
    {2, "mnuFXFadeNote", "&Fade", ""},
    {2, "mnuFXReflectNote", "Ref&lect", ""},
    {2, "mnuFXPitchNote", "&Pitch", ""},
    {1, "mnuFXMisc", "&Misc", ""},
    {2, "mnuFXPitch", "&Pitch", ""},
    {2, "mnuFXMirror", "&Mirror", ""},
    {2, "mnuFXNegate", "&Negate", ""},
    {2, "mnuFXReverse", "&Reverse", ""},
    {2, "mnuFXMonotonize", "Monotoni&ze", ""},
    {0, "mnuTools", "&Tools", ""},
    {1, "mnuFXList", "&FX List", "Ctrl+F1"},
    {1, "mnuTrackMix", "&Master", "Ctrl+F2"},
    {1, "mnuControlRip", "&Rip MCI", "Ctrl+F3"},
    {1, "mnuControlSK1", "&SK1 Mode", "Ctrl+F4"},
    {1, "mnuAddInDrum", "&Drum Machine", "Ctrl+F5"},
    {1, "mnuAddInMixer", "&Audio Mixer", "Ctrl+F6"},
    {1, "mnuAddInMidi", "&Midi Sequencer", "Ctrl+F7"},
    {1, "mnuToolsHyph1", "-", ""},
    {1, "mnuToolsOptions", "&Options...", ""},
    {0, "mnuHelp", "&Help", ""},
    {1, "mnuHelpContents", "&Contents", "F1"},
    {1, "mnuHelpAbout", "&About", ""},
};

constexpr std::size_t kMenuCount = sizeof(kMenuTree) / sizeof(kMenuTree[0]);

bool opensSubmenu(std::size_t i)
{
    return i + 1 < kMenuCount && kMenuTree[i + 1].depth > kMenuTree[i].depth;
}

} // namespace

void frmVumo::buildMenus()
{
    QMenu* menus[2] = {nullptr, nullptr}; // the open menu of the bar and the open submenu
    QString topMenu;
    for (std::size_t i = 0; i < kMenuCount; ++i)
    {
        const MenuEntry& e = kMenuTree[i];
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QString::fromLatin1(e.caption);
        QAction* action = nullptr;
        if (e.depth == 0)
        {
            menus[0] = menuBar()->addMenu(caption);
            menus[0]->setObjectName(name);
            action = menus[0]->menuAction();
            topMenu = name;
        }
        else if (opensSubmenu(i))
        {
            menus[1] = menus[0]->addMenu(caption);
            menus[1]->setObjectName(name);
            action = menus[1]->menuAction();
        }
        else
        {
            QMenu* owner = e.depth == 2 ? menus[1] : menus[0];
            action =
                caption == QStringLiteral("-") ? owner->addSeparator() : owner->addAction(caption);
            if (caption != QStringLiteral("-"))
            {
                if (topMenu == QStringLiteral("mnuFX"))
                    connect(action, &QAction::triggered, this, [this, name] { mnuFX_Click(name); });
                else
                    connect(action, &QAction::triggered, this,
                            [this, name]
                            { QMetaObject::invokeMethod(this, name.toLatin1().constData()); });
            }
        }
        action->setObjectName(name);
        if (*e.shortcut != '\0')
            action->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
        m_actions.insert(name, action);
    }
    for (const char* checkable : {"mnuControlArm", "mnuControlMerge", "mnuControlActivateDrums"})
        m_actions.value(QString::fromLatin1(checkable))->setCheckable(true);
}

} // namespace vumo
