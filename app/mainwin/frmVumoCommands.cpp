// frmVumo's commands: the menu items' handlers outside projects, tracks and the transport.
// Commands whose work comes with later parts of the studio (effects, drums, mixer,
// capture) say so through the UI services and change nothing.
#include "mainwin/frmVumo.h"

#include "commands/CabinetCommands.h"
#include "commands/CaptureCommands.h"
#include "commands/EditCommands.h"
#include "commands/FileCommands.h"
#include "commands/TrackTable.h"
#include "dialogs/frmOptions.h"
#include "drums/DrumEngine.h"
#include "drums/frmDrums.h"
#include "engineapi/EngineBinding.h"
#include "fx/EffectCatalog.h"
#include "fx/EffectDispatch.h"
#include "fx/frmFXList.h"
#include "mixer/frmMix.h"
#include "project/ProjectRecords.h"
#include "services/UiServices.h"
#include "state/MidiInputs.h"
#include "state/ProjectModel.h"
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

bool frmVumo::editableTrack()
{
    return vumo::engineReady(m_session, m_ui) &&
           vumo::trackSelected(chosenTrack(), m_mod.trackCount, m_ui);
}

void frmVumo::mnuFX_Click(const QString& item)
{
    if (!editableTrack())
        return;
    fx::FxEngineOver<EngineBinding> engine(m_session.engine());
    const fx::FxStudioHooks hooks{[this](const QString& text) { showMessage(text); },
                                  [this] { hideMessage(); }, [this] { DrawTrack(); }};
    fx::dispatchEffect(fx::codeFromMenuItem(item.toStdString()), m_effectSetting,
                       {m_mod.selStart, m_mod.selEnd}, engine, m_ui, hooks, this);
}

void frmVumo::mnuFXList()
{
    if (!editableTrack())
        return;
    const int k = chosenTrack();
    fx::FxEngineOver<EngineBinding> engine(m_session.engine());
    fx::frmFXList window(
        engine, m_ui, m_effectSetting,
        {m_mod.selStart, m_mod.selEnd, k, m_mod.tracks[k].volume, m_mod.tracks[k].pan}, this);
    m_ui.runDialog(window);
    DrawTrack();
}

void frmVumo::mnuTrackMix()
{
    QList<mixer::MixRow> rows;
    for (int k = 0; k < m_mod.trackCount; ++k)
    {
        const TrackRecord& t = m_mod.tracks[k];
        rows.append({t.title.toByteArray(), t.volume, t.pan, t.mute});
    }
    const std::optional<QList<mixer::MixRow>> applied = mixer::runMixer(m_ui, rows, this);
    if (!applied)
        return; // Cancel, or the window's close button
    for (int k = 0; k < m_mod.trackCount && k < applied->size(); ++k)
        m_model->setTrackGains(k, int16_t(applied->at(k).volume), int16_t(applied->at(k).pan),
                               int16_t(applied->at(k).mute));
    // The current-track change: the track controls show the new values and the engine gets
    // the whole table with them.
    if (chosenTrack() >= 0)
        SwitchTrack();
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
    if (!vumo::engineReady(m_session, m_ui))
        return;
    drums::DrumEngineOver<EngineBinding> engine(m_session.engine());
    drums::frmDrums window(m_mod.drums, engine, m_ui, m_mod.tempo, m_mod.midiBufLen, this);
    m_ui.runDialog(window);
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
