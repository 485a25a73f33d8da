// frmVumo's commands: the menu items' handlers outside projects, tracks and the transport,
// each forwarding to its command object.
#include "mainwin/frmVumo.h"

#include "commands/CabinetCommands.h"
#include "commands/CaptureCommands.h"
#include "commands/EditCommands.h"
#include "commands/FileCommands.h"
#include "commands/StudioToolCommands.h"
#include "commands/TrackTable.h"
#include "dialogs/FrmMessage.h"
#include "dialogs/frmOptions.h"
#include "engineapi/EngineBinding.h"
#include "model/ProjectModel.h"
#include "model/ProjectRecords.h"
#include "services/UiServices.h"
#include "settings/MidiInputs.h"
#include "settings/Settings.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>

#include <utility>

namespace vumo
{

void frmVumo::runCommand(const QString& menuItem, Command command)
{
    runCommand(menuItem, [this, command] { (this->*command)(); });
}

void frmVumo::runCommand(const QString& menuItem, const std::function<void()>& command)
{
    // Every menu item, picture button and function key comes through here.
    noteCommand(menuItem);
    ++m_commandDepth;
    command();
    --m_commandDepth;
    // A command's message window never outlives it.
    if (!std::exchange(m_messageTexts, {}).isEmpty())
        m_message->hide();
    refreshStrip(); // the strip follows what the command did to the tracks and their files
    refreshCaption();
    refreshUndoItems();
    closeIfPending();
}

void frmVumo::closeIfPending()
{
    if (std::exchange(m_closePending, false))
        close();
}

void frmVumo::mnuFileCab()
{
    // The cabinet packs the project as saved; without a file (Save As cancelled) nothing is
    // written.
    if (!m_fileCommands->SaveProject() || FILESPEC.isEmpty())
        return;
    m_cabinetCommands->createCab(FILESPEC, toProjectData(m_mod));
}

void frmVumo::mnuFileExit()
{
    close();
}

void frmVumo::mnuEditUndo()
{
    m_editCommands->mnuEditUndo();
}

void frmVumo::mnuEditCut()
{
    m_editCommands->mnuEditCut();
}

void frmVumo::mnuEditCopy()
{
    m_editCommands->mnuEditCopy();
}

void frmVumo::mnuEditPaste()
{
    m_editCommands->mnuEditPaste();
}

void frmVumo::mnuEditMerge()
{
    m_editCommands->mnuEditMerge();
}

void frmVumo::mnuEditCopyFrom()
{
    m_editCommands->mnuEditCopyFrom();
}

void frmVumo::mnuEditCopyTo()
{
    m_editCommands->mnuEditCopyTo();
}

void frmVumo::mnuEditPasteFromStraight()
{
    m_editCommands->PasteFromFile(EditCommands::kStraight);
}

void frmVumo::mnuEditPasteFromMerged()
{
    m_editCommands->PasteFromFile(EditCommands::kMerged);
}

void frmVumo::mnuEditPasteFromRing()
{
    m_editCommands->PasteFromFile(EditCommands::kRing);
}

void frmVumo::mnuEditPasteFromNegative()
{
    m_editCommands->PasteFromFile(EditCommands::kNegative);
}

void frmVumo::mnuEditSelectAll()
{
    m_view->SelectAll();
}

void frmVumo::mnuControlArm()
{
    m_chkArm->setChecked(!m_chkArm->isChecked());
}

void frmVumo::mnuControlMerge()
{
    m_chkMerge->setChecked(!m_chkMerge->isChecked());
}

void frmVumo::mnuControlActivateDrums()
{
    m_chkDrums->setChecked(!m_chkDrums->isChecked());
}

void frmVumo::mnuFX_Click(const QString& item)
{
    m_toolCommands->mnuFX_Click(item);
}

void frmVumo::mnuFXList()
{
    m_toolCommands->mnuFXList();
}

void frmVumo::mnuTrackMix()
{
    m_toolCommands->mnuTrackMix();
}

void frmVumo::mnuControlRip()
{
    m_captureCommands->mnuControlRip();
}

void frmVumo::mnuControlSK1()
{
    m_captureCommands->mnuControlSK1();
}

void frmVumo::mnuAddInDrum()
{
    m_toolCommands->mnuAddInDrum();
}

void frmVumo::mnuAddInMixer()
{
    m_toolCommands->mnuAddInMixer();
}

void frmVumo::mnuAddInMidi()
{
    m_toolCommands->mnuAddInMidi();
}

void frmVumo::mnuToolsOptions()
{
    if (const std::optional<OptionsValues> values =
            runOptions(m_ui, {m_mod.settings, m_mod.tempo}, midiInputNames(), this))
    {
        m_model.setSettings(values->settings);
        SaveSettings(values->settings, m_store);
        m_model.setTempo(values->tempo);
    }
    DrawTrack(); // the tempo may have changed
}

void frmVumo::mnuHelpContents()
{
    ShowHelp(QString());
}

void frmVumo::mnuHelpAbout()
{
    m_ui.message(aboutText());
}

} // namespace vumo
