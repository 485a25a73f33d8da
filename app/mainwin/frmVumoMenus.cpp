// frmVumo's menu tree: names, captions with access keys, shortcuts, in menu order.
#include "mainwin/frmVumo.h"

#include "fx/EffectCatalog.h"

#include <QMenuBar>

#include <vector>

namespace vumo
{
namespace
{

// depth 0: a menu of the bar; 1: an item (a submenu when deeper items follow); 2: a
// submenu's item. "-" is a separator. The F&X submenus' items are the effect catalog's.
struct MenuEntry
{
    int depth;
    const char* name;
    const char* caption;
    const char* shortcut;
    frmVumo::Command handler; // null for menus, submenus, separators and the effects
};

constexpr MenuEntry kMenuTree[] = {
    {0, "mnuFile", "&File", "", nullptr},
    {1, "mnuFileNew", "&New", "Ctrl+N", &frmVumo::mnuFileNew},
    {1, "mnuFileOpen", "&Open", "Ctrl+O", &frmVumo::mnuFileOpen},
    {1, "mnuFileProps", "&Properties", "", &frmVumo::mnuFileProps},
    {1, "mnuFileSave", "&Save", "Ctrl+S", &frmVumo::mnuFileSave},
    {1, "mnuFileSaveAs", "&Save As...", "", &frmVumo::mnuFileSaveAs},
    {1, "mnuFileCab", "&Create Cab", "", &frmVumo::mnuFileCab},
    {1, "mnuFileExit", "E&xit", "", &frmVumo::mnuFileExit},
    {0, "mnuEdit", "&Edit", "", nullptr},
    {1, "mnuEditUndoStep", "&Undo", "Ctrl+Z", &frmVumo::mnuEditUndoStep},
    {1, "mnuEditRedoStep", "&Redo", "Ctrl+Shift+Z", &frmVumo::mnuEditRedoStep},
    {1, "mnuEditUndo", "Re&vert to Saved", "", &frmVumo::mnuEditUndo},
    {1, "mnuEditHyph1", "-", "", nullptr},
    {1, "mnuEditCut", "C&ut", "Ctrl+X", &frmVumo::mnuEditCut},
    {1, "mnuEditCopy", "&Copy", "Ctrl+C", &frmVumo::mnuEditCopy},
    {1, "mnuEditPaste", "&Paste", "Ctrl+V", &frmVumo::mnuEditPaste},
    {1, "mnuEditMerge", "&Merge", "Ctrl+M", &frmVumo::mnuEditMerge},
    {1, "mnuEditCopyFrom", "Copy &From", "", &frmVumo::mnuEditCopyFrom},
    {1, "mnuEditCopyTo", "Copy &To", "", &frmVumo::mnuEditCopyTo},
    {1, "mnuEditPasteFrom", "Pa&ste From", "", nullptr},
    {2, "mnuEditPasteFromStraight", "&Straight", "", &frmVumo::mnuEditPasteFromStraight},
    {2, "mnuEditPasteFromMerged", "&Merged", "", &frmVumo::mnuEditPasteFromMerged},
    {2, "mnuEditPasteFromRing", "&Ring", "", &frmVumo::mnuEditPasteFromRing},
    {2, "mnuEditPasteFromNegative", "&Negative", "", &frmVumo::mnuEditPasteFromNegative},
    {1, "mnuEditSelectAll", "Select &All", "Ctrl+A", &frmVumo::mnuEditSelectAll},
    {0, "mnuControl", "&Control", "", nullptr},
    {1, "mnuControlPlay", "&Play", "F5", &frmVumo::mnuControlPlay},
    {1, "mnuControlRecord", "&Record", "F6", &frmVumo::mnuControlRecord},
    {1, "mnuControlStop", "&Stop", "F7", &frmVumo::mnuControlStop},
    {1, "mnuControlHyph1", "-", "", nullptr},
    {1, "mnuControlArm", "&Arm for Record", "", &frmVumo::mnuControlArm},
    {1, "mnuControlMerge", "&Merge Record", "", &frmVumo::mnuControlMerge},
    {1, "mnuControlHyph2", "-", "", nullptr},
    {1, "mnuControlActivateDrums", "Activate &Drums", "", &frmVumo::mnuControlActivateDrums},
    {0, "mnuTrack", "&Track", "", nullptr},
    {1, "mnuTrackAdd", "&Add", "", &frmVumo::mnuTrackAdd},
    {1, "mnuTrackImport", "&Import Audio...", "", &frmVumo::mnuTrackImport},
    {1, "mnuTrackProps", "&Properties", "", &frmVumo::mnuTrackProps},
    {1, "mnuTrackDelete", "&Delete", "", &frmVumo::mnuTrackDelete},
    {1, "mnuTrackClone", "&Clone", "", nullptr},
    {2, "mnuTrackCloneThis", "&This Track", "", &frmVumo::mnuTrackCloneThis},
    {2, "mnuTrackCloneAll", "&All Tracks Merged", "", &frmVumo::mnuTrackCloneAll},
    {0, "mnuFX", "F&X", "", nullptr},
    {1, "mnuFXAmp", "&Amp", "", nullptr},
    {1, "mnuFXChorus", "&Chorus", "", nullptr},
    {1, "mnuFXVibe", "&Vibe", "", nullptr},
    {1, "mnuFXFilter", "F&ilter", "", nullptr},
    {1, "mnuFXDelay", "&Delay", "", nullptr},
    {1, "mnuFXfft", "&FFT", "", nullptr},
    {1, "mnuFXNote", "&Note", "", nullptr},
    {1, "mnuFXMisc", "&Misc", "", nullptr},
    {0, "mnuTools", "&Tools", "", nullptr},
    {1, "mnuFXList", "&FX List", "Ctrl+F1", &frmVumo::mnuFXList},
    {1, "mnuTrackMix", "&Master", "Ctrl+F2", &frmVumo::mnuTrackMix},
    {1, "mnuControlRip", "&Rip MCI", "Ctrl+F3", &frmVumo::mnuControlRip},
    {1, "mnuControlSK1", "&SK1 Mode", "Ctrl+F4", &frmVumo::mnuControlSK1},
    {1, "mnuAddInDrum", "&Drum Machine", "Ctrl+F5", &frmVumo::mnuAddInDrum},
    {1, "mnuAddInMixer", "&Audio Mixer", "Ctrl+F6", &frmVumo::mnuAddInMixer},
    {1, "mnuAddInMidi", "&Midi Sequencer", "Ctrl+F7", &frmVumo::mnuAddInMidi},
    {1, "mnuToolsHyph1", "-", "", nullptr},
    {1, "mnuToolsOptions", "&Options...", "", &frmVumo::mnuToolsOptions},
    {0, "mnuHelp", "&Help", "", nullptr},
    {1, "mnuHelpContents", "&Contents", "F1", &frmVumo::mnuHelpContents},
    {1, "mnuHelpAbout", "&About", "", &frmVumo::mnuHelpAbout},
};

// The menu tree with the effects' items after their F&X submenus, from the effect catalog.
std::vector<MenuEntry> menuEntries()
{
    std::vector<MenuEntry> entries;
    for (const MenuEntry& e : kMenuTree)
    {
        entries.push_back(e);
        if (e.depth == 1)
            for (const fx::EffectInfo* effect : fx::submenuEffects(e.name))
                entries.push_back({2, effect->menuItem, effect->menuCaption, "", nullptr});
    }
    return entries;
}

bool opensSubmenu(const std::vector<MenuEntry>& entries, std::size_t i)
{
    return i + 1 < entries.size() && entries[i + 1].depth > entries[i].depth;
}

} // namespace

void frmVumo::buildMenus()
{
    QMenu* menus[2] = {nullptr, nullptr}; // the open menu of the bar and the open submenu
    QString topMenu;
    const std::vector<MenuEntry> entries = menuEntries();
    for (std::size_t i = 0; i < entries.size(); ++i)
    {
        const MenuEntry& e = entries[i];
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
        else if (opensSubmenu(entries, i))
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
            // Each item is bound to its handler here, at compile time; the effects share one.
            if (e.handler != nullptr)
                connect(action, &QAction::triggered, this,
                        [this, name, handler = e.handler] { runCommand(name, handler); });
            else if (topMenu == QStringLiteral("mnuFX") && caption != QStringLiteral("-"))
                connect(action, &QAction::triggered, this,
                        [this, name] { runCommand(name, [this, name] { mnuFX_Click(name); }); });
        }
        action->setObjectName(name);
        if (*e.shortcut != '\0')
            action->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
        m_actions.insert(name, action);
    }
    m_actions.value(QStringLiteral("mnuEditRedoStep"))
        ->setShortcuts(
            {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    for (const char* checkable : {"mnuControlArm", "mnuControlMerge", "mnuControlActivateDrums"})
        m_actions.value(QString::fromLatin1(checkable))->setCheckable(true);
}

} // namespace vumo
