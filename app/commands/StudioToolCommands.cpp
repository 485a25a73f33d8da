// StudioToolCommands: effects, the chain, the mixer, the drum editor and the outside programs.
#include "commands/StudioToolCommands.h"

#include "commands/StudioWindow.h"
#include "commands/TrackTable.h"
#include "dialogs/frmDrums.h"
#include "dialogs/frmMix.h"
#include "drums/DrumEngine.h"
#include "engineapi/EngineBinding.h"
#include "engineapi/EngineSession.h"
#include "fx/EffectCatalog.h"
#include "fx/EffectDispatch.h"
#include "fx/FxEngine.h"
#include "fx/frmFXList.h"
#include "model/ProjectModel.h"
#include "services/UiServices.h"

#include <QDir>

namespace vumo
{

StudioToolCommands::StudioToolCommands(ProjectModel& model, EngineSession& session, UiServices& ui,
                                       StudioWindow& window, std::function<void()> switchTrack,
                                       QString settingsFile)
    : m_model(model), m_session(session), m_ui(ui), m_window(window),
      m_switchTrack(std::move(switchTrack)), m_settingsFile(std::move(settingsFile))
{
}

bool StudioToolCommands::editableTrack()
{
    return engineReady(m_session, m_ui) &&
           trackSelected(m_window.chosenTrack(), m_model.mod().trackCount, m_ui);
}

void StudioToolCommands::mnuFX_Click(const QString& item)
{
    if (!editableTrack())
        return;
    fx::FxEngineOver<EngineBinding> engine(m_session.engine());
    const int32_t code = fx::codeFromMenuItem(item.toStdString());
    const fx::EffectInfo* info = fx::findEffectInfo(code);
    const QString label =
        info ? QString::fromLatin1(info->menuCaption).remove(u'&') : QStringLiteral("Effect");
    const fx::FxStudioHooks hooks{[this](const QString& text) { m_window.showMessage(text); },
                                  [this] { m_window.hideMessage(); },
                                  [this] { m_window.DrawTrack(); },
                                  [this, &label](int32_t first, int32_t last)
                                  { return m_window.keepStep(first, last, label); }};
    fx::dispatchEffect(code, m_effectSetting,
                       {m_window.selection().selStart, m_window.selection().selEnd}, engine, m_ui,
                       hooks, m_window.dialogParent());
}

void StudioToolCommands::mnuFXList()
{
    if (!editableTrack())
        return;
    const int k = m_window.chosenTrack();
    fx::FxEngineOver<EngineBinding> engine(m_session.engine());
    fx::frmFXList window(engine, m_ui, m_effectSetting,
                         {m_window.selection().selStart, m_window.selection().selEnd, k,
                          m_model.mod().tracks[k].volume, m_model.mod().tracks[k].pan},
                         m_window.dialogParent());
    window.setKeepStep([this](int32_t first, int32_t last)
                       { return m_window.keepStep(first, last, QStringLiteral("FX List")); });
    m_ui.runDialog(window);
    m_window.DrawTrack();
}

void StudioToolCommands::mnuTrackMix()
{
    QList<mixer::MixRow> rows;
    for (int k = 0; k < m_model.mod().trackCount; ++k)
    {
        const TrackRecord& t = m_model.mod().tracks[k];
        rows.append({t.title.toByteArray(), t.volume, t.pan, t.mute});
    }
    const std::optional<QList<mixer::MixRow>> applied =
        mixer::runMixer(m_ui, rows, m_window.dialogParent());
    if (!applied)
        return; // Cancel, or the window's close button
    for (int k = 0; k < m_model.mod().trackCount && k < applied->size(); ++k)
        m_model.setTrackGains(k, int16_t(applied->at(k).volume), int16_t(applied->at(k).pan),
                              int16_t(applied->at(k).mute));
    if (m_window.chosenTrack() >= 0 && m_switchTrack)
        m_switchTrack();
}

void StudioToolCommands::mnuAddInDrum()
{
    if (!engineReady(m_session, m_ui))
        return;
    // The editor works on its own copy of the drum data; what it leaves is kept for the next
    // opening and for the passes with drums.
    drums::DrumData drums = m_model.mod().drums;
    drums::DrumEngineOver<EngineBinding> engine(m_session.engine());
    {
        drums::frmDrums window(drums, engine, m_ui, m_model.mod().tempo,
                               m_model.mod().settings.midiBufLen, m_window.dialogParent());
        m_ui.runDialog(window);
    }
    m_model.setDrums(drums);
}

void StudioToolCommands::startOutsideProgram(const QString& path)
{
    if (m_ui.startProgram(path))
        return;
    // The registry of the message is, here, the Options dialog and the settings file.
    QString text = QStringLiteral("Unable to find the file: \n%1\nEdit the registry with the "
                                  "proper file name and path.")
                       .arg(path);
    text += QStringLiteral("\nHere the path is set in Tools > Options (Audio Mixer, Midi "
                           "Sequencer)");
    if (!m_settingsFile.isEmpty())
        text += QStringLiteral(" and kept in the settings file %1")
                    .arg(QDir::toNativeSeparators(m_settingsFile));
    m_ui.message(text + u'.');
}

void StudioToolCommands::mnuAddInMixer()
{
    startOutsideProgram(m_model.mod().settings.mixerPath);
}

void StudioToolCommands::mnuAddInMidi()
{
    startOutsideProgram(m_model.mod().settings.sequencerPath);
}

} // namespace vumo
