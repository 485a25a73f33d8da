// frmVumo's commands: the menu items' handlers outside projects, tracks and the transport.
// Commands whose work comes with later parts of the studio (effects, drums, mixer,
// capture) say so through the UI services and change nothing.
#include "mainwin/frmVumo.h"

#include "commands/EditCommands.h"
#include "commands/TrackTable.h"
#include "dialogs/frmOptions.h"
#include "services/UiServices.h"
#include "state/MidiInputs.h"
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
    emit commandStarted(menuItem);
    command();
    closeIfPending();
}

void frmVumo::closeIfPending()
{
    if (std::exchange(m_closePending, false))
        close();
}

void frmVumo::notAvailable(const QString& what)
{
    vumo::notAvailable(m_ui, what);
}

void frmVumo::mnuFileCab()
{
    notAvailable(QStringLiteral("Create Cab"));
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
    const QAction* action = m_actions.value(item);
    const QString caption = action != nullptr ? action->text().remove(u'&') : item;
    notAvailable(QStringLiteral("The effect %1 (%2)").arg(caption, item));
}

void frmVumo::mnuFXList()
{
    notAvailable(QStringLiteral("The effects list"));
}

void frmVumo::mnuTrackMix()
{
    notAvailable(QStringLiteral("The Master mixer"));
}

void frmVumo::mnuControlRip()
{
    notAvailable(QStringLiteral("Rip MCI"));
}

void frmVumo::mnuControlSK1()
{
    notAvailable(QStringLiteral("SK1 Mode"));
}

void frmVumo::mnuAddInDrum()
{
    notAvailable(QStringLiteral("The Drum Machine"));
}

void frmVumo::startOutsideProgram(const QString& path)
{
    if (!m_ui.startProgram(path))
        m_ui.message(QStringLiteral("Unable to find the file: \n%1\nEdit the registry with the "
                                    "proper file name and path.")
                         .arg(path));
}

void frmVumo::mnuAddInMixer()
{
    startOutsideProgram(m_mod.mixerPath);
}

void frmVumo::mnuAddInMidi()
{
    startOutsideProgram(m_mod.sequencerPath);
}

void frmVumo::mnuToolsOptions()
{
    frmOptions dialog(m_mod, m_ui, midiInputNames(), m_store, this);
    dialog.exec();
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
