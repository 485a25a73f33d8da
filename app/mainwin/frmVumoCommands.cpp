// frmVumo's commands: every menu item's handler. Commands whose work comes with later parts of
// the studio (projects, tracks, transport, editing, effects, drums, mixer, capture) say so
// through the UI services and change nothing.
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

void frmVumo::mnuFileNew()
{
    started("mnuFileNew");
    FILESPEC.clear();
    m_mod.projVersion.assign(QStringLiteral("1.00"));
    m_mod.trackLength = m_mod.defaultTrackMB * kFramesPerMB;
    m_mod.trackCount = 0;
    m_mod.projTitle.assign(QStringLiteral("untitled"));
    m_mod.tempo = 100;
    ProjectSettings();
    if (!m_mod.dialogCancelled)
        mnuTrackAdd();
}

void frmVumo::mnuFileOpen()
{
    started("mnuFileOpen");
    const QString path = m_ui.browseForFile(QStringLiteral("*.vum;*.cab"), QStringLiteral("Open"));
    if (path.size() <= 3)
        return;
    const QString kind = path.right(3).toUpper();
    if (kind == QStringLiteral("VUM"))
        OpenProject(path);
    else if (kind == QStringLiteral("CAB"))
        notAvailable(QStringLiteral("Opening a project cabinet"));
}

void frmVumo::mnuFileProps()
{
    started("mnuFileProps");
    ProjectSettings();
}

void frmVumo::ProjectSettings()
{
    // The Project Settings dialog comes with the project files; until then it reports that
    // and counts as cancelled, so New adds no first track and Properties changes nothing.
    m_mod.dialogCancelled = false;
    notAvailable(QStringLiteral("The Project Settings dialog"));
    m_mod.dialogCancelled = true;
}

void frmVumo::mnuFileSave()
{
    started("mnuFileSave");
    notAvailable(QStringLiteral("Save"));
}

void frmVumo::mnuFileSaveAs()
{
    started("mnuFileSaveAs");
    notAvailable(QStringLiteral("Save As"));
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

void frmVumo::mnuControlPlay()
{
    started("mnuControlPlay");
    notAvailable(QStringLiteral("Play"));
}

void frmVumo::mnuControlRecord()
{
    started("mnuControlRecord");
    notAvailable(QStringLiteral("Record"));
}

void frmVumo::mnuControlStop()
{
    started("mnuControlStop");
    // The running pass sees this on its next turn and stops itself.
    WAVEPLAYING = false;
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

void frmVumo::mnuTrackAdd()
{
    started("mnuTrackAdd");
    notAvailable(QStringLiteral("Add Track"));
}

void frmVumo::mnuTrackProps()
{
    started("mnuTrackProps");
    notAvailable(QStringLiteral("Track Properties"));
}

void frmVumo::mnuTrackDelete()
{
    started("mnuTrackDelete");
    notAvailable(QStringLiteral("Delete Track"));
}

void frmVumo::mnuTrackCloneThis()
{
    started("mnuTrackCloneThis");
    notAvailable(QStringLiteral("Clone This Track"));
}

void frmVumo::mnuTrackCloneAll()
{
    started("mnuTrackCloneAll");
    notAvailable(QStringLiteral("Clone All Tracks Merged"));
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
