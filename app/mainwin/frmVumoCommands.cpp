// frmVumo's commands: the menu items' handlers outside projects, tracks and the transport.
// Commands whose work comes with later parts of the studio (editing, effects, drums, mixer,
// capture) say so through the UI services and change nothing.
#include "mainwin/frmVumo.h"

#include "dialogs/frmOptions.h"
#include "services/UiServices.h"
#include "state/MidiInputs.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>

namespace vumo
{

void frmVumo::started(const char* menuItem)
{
    emit commandStarted(QString::fromLatin1(menuItem));
}

void frmVumo::notAvailable(const QString& what)
{
    m_ui.message(QStringLiteral("%1 is not available yet in this version of Vumo.").arg(what),
                 MsgIcon::Information);
}

void frmVumo::mnuFileCab()
{
    started("mnuFileCab");
    notAvailable(QStringLiteral("Create Cab"));
}

void frmVumo::mnuFileExit()
{
    started("mnuFileExit");
    close();
}

void frmVumo::mnuEditUndo()
{
    started("mnuEditUndo");
    notAvailable(QStringLiteral("Undo"));
}

void frmVumo::mnuEditCut()
{
    started("mnuEditCut");
    notAvailable(QStringLiteral("Cut"));
}

void frmVumo::mnuEditCopy()
{
    started("mnuEditCopy");
    notAvailable(QStringLiteral("Copy"));
}

void frmVumo::mnuEditPaste()
{
    started("mnuEditPaste");
    notAvailable(QStringLiteral("Paste"));
}

void frmVumo::mnuEditMerge()
{
    started("mnuEditMerge");
    notAvailable(QStringLiteral("Merge"));
}

void frmVumo::mnuEditCopyFrom()
{
    started("mnuEditCopyFrom");
    notAvailable(QStringLiteral("Copy From"));
}

void frmVumo::mnuEditCopyTo()
{
    started("mnuEditCopyTo");
    notAvailable(QStringLiteral("Copy To"));
}

void frmVumo::mnuEditPasteFromStraight()
{
    started("mnuEditPasteFromStraight");
    notAvailable(QStringLiteral("Paste From Straight"));
}

void frmVumo::mnuEditPasteFromMerged()
{
    started("mnuEditPasteFromMerged");
    notAvailable(QStringLiteral("Paste From Merged"));
}

void frmVumo::mnuEditPasteFromRing()
{
    started("mnuEditPasteFromRing");
    notAvailable(QStringLiteral("Paste From Ring"));
}

void frmVumo::mnuEditPasteFromNegative()
{
    started("mnuEditPasteFromNegative");
    notAvailable(QStringLiteral("Paste From Negative"));
}

void frmVumo::mnuEditSelectAll()
{
    started("mnuEditSelectAll");
    m_view->SelectAll();
}

void frmVumo::mnuControlArm()
{
    started("mnuControlArm");
    m_chkArm->setChecked(!m_chkArm->isChecked());
}

void frmVumo::mnuControlMerge()
{
    started("mnuControlMerge");
    m_chkMerge->setChecked(!m_chkMerge->isChecked());
}

void frmVumo::mnuControlActivateDrums()
{
    started("mnuControlActivateDrums");
    m_chkDrums->setChecked(!m_chkDrums->isChecked());
}

void frmVumo::mnuFX_Click(const QString& item)
{
    emit commandStarted(item);
    const QAction* action = m_actions.value(item);
    const QString caption = action != nullptr ? action->text().remove(u'&') : item;
    notAvailable(QStringLiteral("The effect %1 (%2)").arg(caption, item));
}

void frmVumo::mnuFXList()
{
    started("mnuFXList");
    notAvailable(QStringLiteral("The effects list"));
}

void frmVumo::mnuTrackMix()
{
    started("mnuTrackMix");
    notAvailable(QStringLiteral("The Master mixer"));
}

void frmVumo::mnuControlRip()
{
    started("mnuControlRip");
    notAvailable(QStringLiteral("Rip MCI"));
}

void frmVumo::mnuControlSK1()
{
    started("mnuControlSK1");
    notAvailable(QStringLiteral("SK1 Mode"));
}

void frmVumo::mnuAddInDrum()
{
    started("mnuAddInDrum");
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
    started("mnuAddInMixer");
    startOutsideProgram(m_mod.mixerPath);
}

void frmVumo::mnuAddInMidi()
{
    started("mnuAddInMidi");
    startOutsideProgram(m_mod.sequencerPath);
}

void frmVumo::mnuToolsOptions()
{
    started("mnuToolsOptions");
    frmOptions dialog(m_mod, m_ui, midiInputNames(), m_store, this);
    dialog.exec();
    DrawTrack(); // the tempo may have changed
}

void frmVumo::mnuHelpContents()
{
    started("mnuHelpContents");
    ShowHelp(QString());
}

void frmVumo::mnuHelpAbout()
{
    started("mnuHelpAbout");
    m_ui.message(aboutText());
}

} // namespace vumo
