// TransportCommands: Play, Record and Stop.
#include "commands/TransportCommands.h"

#include "commands/StudioWindow.h"
#include "commands/TrackTable.h"
#include "engineapi/EngineBinding.h"
#include "engineapi/EngineSession.h"
#include "engineapi/Transport.h"
#include "model/ModVumo.h"
#include "model/ProjectModel.h"
#include "services/UiServices.h"

namespace vumo
{

TransportCommands::TransportCommands(ProjectModel& model, EngineSession& session,
                                     Transport& transport, UiServices& ui, StudioWindow& window)
    : m_model(model), m_mod(model.mod()), m_session(session), m_transport(transport), m_ui(ui),
      m_window(window)
{
}

bool TransportCommands::canStart()
{
    return !m_transport.running() && engineReady(m_session, m_ui) &&
           trackSelected(m_window.chosenTrack(), m_mod.trackCount, m_ui);
}

void TransportCommands::PrepareTransport()
{
    m_passRunning = true;
    m_window.EnableControls(false);
    m_window.showMessage(QStringLiteral("Mixing Tracks ..."));
    PushAllTracks(m_session, m_mod, m_ui);
    if (m_window.drumsActive())
    {
        EngineBinding& engine = m_session.engine();
        engine.OpenMidiPlay(m_mod.settings.midiBufLen);
        drums::QueueDrums(m_mod.drums, [&engine](int32_t timeMs, int32_t message)
                          { return engine.AddMidi(timeMs, message); });
    }
}

void TransportCommands::WaitWhilePlaying()
{
    m_window.hideMessage();
    m_transport.follow(m_window.selection().selStart, m_window.selection().selEnd);
    m_transport.waitForFinished();
    if (m_window.drumsActive())
    {
        m_session.engine().StopMidi();
        m_session.engine().CloseMidiPlay();
    }
    m_window.EnableControls(true);
}

void TransportCommands::mnuControlPlay()
{
    if (!canStart())
        return;
    EngineBinding& engine = m_session.engine();
    PrepareTransport();
    const int32_t rc =
        engine.PlayTracks(m_window.selection().selStart, m_window.selection().selEnd);
    if (m_window.drumsActive())
        engine.PlayMidi();
    checkEngine(m_ui, "PlayTracks", rc);
    WaitWhilePlaying();
    checkEngine(m_ui, "StopTracks",
                engine.StopTracks(m_window.selection().selStart, m_window.selection().selEnd, 0));
    m_passRunning = false;
}

bool TransportCommands::takeWillBeHeard()
{
    // The take is committed through the track's gains: a muted track, or one at volume 0,
    // would keep silence in place of the take.
    const int k = m_window.chosenTrack();
    if (k < 0 || k >= m_mod.trackCount)
        return true;
    const TrackRecord& t = m_mod.tracks[k];
    if (t.mute != 1 && t.volume != 0)
        return true;
    if (m_ui.ask(QStringLiteral("The track is muted or its volume is 0, so the take would be "
                                "silent. Unmute the track for the take?")) != Answer::Yes)
        return false;
    m_model.setTrackGains(k, t.volume == 0 ? int16_t{255} : t.volume, t.pan, 0);
    return true;
}

void TransportCommands::mnuControlRecord()
{
    // The engine records over the buffer from its first frame and places the take over a reload
    // of the track's file: the whole track is the step.
    if (!canStart() || !takeWillBeHeard() ||
        !m_window.keepStep(0, m_mod.trackLength, QStringLiteral("Record")))
        return;
    EngineBinding& engine = m_session.engine();
    const int32_t merge = m_window.mergeRecord() ? 1 : 0;
    PrepareTransport();
    const int32_t rc =
        engine.RecordTrack(m_window.selection().selStart, m_window.selection().selEnd, merge);
    if (m_window.drumsActive())
        engine.PlayMidi();
    checkEngine(m_ui, "RecordTrack", rc);
    WaitWhilePlaying();
    m_window.showMessage(QStringLiteral("Saving recorded track..."));
    engine.StopTracks(m_window.selection().selStart, m_window.selection().selEnd, merge);
    m_window.DrawTrack();
    m_window.hideMessage();
    m_passRunning = false;
}

void TransportCommands::mnuControlStop()
{
    m_transport.stop();
}

} // namespace vumo
