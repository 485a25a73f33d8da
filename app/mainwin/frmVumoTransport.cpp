// frmVumo's transport: Play, Record and Stop, the preparation every pass goes through, the wait
// loop with the play cursor, and the locking of the controls around a pass.
#include "mainwin/frmVumo.h"

#include "dialogs/FrmMessage.h"
#include "engineapi/EngineBinding.h"
#include "services/UiServices.h"
#include "transport/Transport.h"
#include "view/ViewMath.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>

namespace vumo
{
namespace
{

// EnableControls' list, in its order; cmdRec (after cmdProps) is handled apart.
constexpr const char* kLockedBefore[] = {"cboTrack", "chkArm",  "chkMerge", "chkMute", "chkDrums",
                                         "cmdCopy",  "cmdCut",  "cmdMerge", "cmdNew",  "cmdOpen",
                                         "cmdPaste", "CmdPlay", "cmdProps"};
constexpr const char* kLockedAfter[] = {
    "cmdSave",       "cmdDrum", "cmdKeys", "cmdFxList", "cmdMaster", "cmdTrackAdd", "cmdTrackDel",
    "cmdTrackProps", "cmdUndo", "hscPan",  "hscView",   "hscVol",    "hscZoom"};
constexpr const char* kLockedMenus[] = {"mnuControlPlay", "mnuControlRecord", "mnuEdit", "mnuFile",
                                        "mnuFX",          "mnuTrack"};

} // namespace

bool frmVumo::drumsActive() const
{
    return m_actions.value(QStringLiteral("mnuControlActivateDrums"))->isChecked();
}

void frmVumo::EnableControls(bool enable)
{
    auto set = [this, enable](const char* name)
    {
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)))
            w->setEnabled(enable);
    };
    for (const char* name : kLockedBefore)
        set(name);
    findChild<QWidget*>(QStringLiteral("cmdRec"))->setEnabled(enable && m_chkArm->isChecked());
    for (const char* name : kLockedAfter)
        set(name);
    for (const char* name : kLockedMenus)
        m_actions.value(QString::fromLatin1(name))->setEnabled(enable);
}

void frmVumo::PrepareTransport()
{
    m_passRunning = true;
    EnableControls(false);
    m_message->setMessage(QStringLiteral("Mixing Tracks ..."));
    m_message->Init();
    PushAllTracks();
    if (drumsActive())
    {
        m_engine.OpenMidiPlay(m_mod.midiBufLen);
        drums::QueueDrums(m_mod.drums, [this](int32_t timeMs, int32_t message)
                          { return m_engine.AddMidi(timeMs, message); });
    }
}

void frmVumo::WaitWhilePlaying()
{
    m_message->hide();
    WAVEPLAYING = true;
    m_transport->follow(m_mod.selStart, m_mod.selEnd);
    m_transport->waitForFinished();
    WAVEPLAYING = false;
    if (drumsActive())
    {
        m_engine.StopMidi();
        m_engine.CloseMidiPlay();
    }
    EnableControls(true);
}

void frmVumo::showPlayPosition(int32_t frame)
{
    // The cursor is an XOR line: the last one is drawn again to erase it. It is drawn only
    // inside the picture; left of it (zoomed in) and right of it there is nothing to draw.
    hidePlayCursor();
    sampPos = frame;
    const view::ViewGeometry g = m_view->geometry();
    const int32_t x = view::cursorColumn(sampPos, g);
    if (x > 0 && x < g.width)
    {
        m_view->drawCursor(x);
        m_cursorX = x;
    }
}

void frmVumo::hidePlayCursor()
{
    if (m_cursorX >= 0)
        m_view->drawCursor(m_cursorX);
    m_cursorX = -1;
}

void frmVumo::mnuControlPlay()
{
    if (WAVEPLAYING || !engineReady() || !trackSelected())
        return;
    PrepareTransport();
    int32_t rc = m_engine.PlayTracks(m_mod.selStart, m_mod.selEnd);
    if (drumsActive())
        m_engine.PlayMidi();
    checkEngine(m_ui, "PlayTracks", rc);
    WaitWhilePlaying();
    rc = m_engine.StopTracks(m_mod.selStart, m_mod.selEnd, 0);
    checkEngine(m_ui, "StopTracks", rc);
    m_passRunning = false;
}

void frmVumo::mnuControlRecord()
{
    if (WAVEPLAYING || !engineReady() || !trackSelected() || !takeWillBeHeard())
        return;
    PrepareTransport();
    int32_t rc =
        m_engine.RecordTrack(m_mod.selStart, m_mod.selEnd, m_chkMerge->isChecked() ? 1 : 0);
    if (drumsActive())
        m_engine.PlayMidi();
    checkEngine(m_ui, "RecordTrack", rc);
    WaitWhilePlaying();
    m_message->setMessage(QStringLiteral("Saving recorded track..."));
    m_message->Init();
    rc = m_engine.StopTracks(m_mod.selStart, m_mod.selEnd, m_chkMerge->isChecked() ? 1 : 0);
    DrawTrack();
    m_message->hide();
    m_passRunning = false;
}

bool frmVumo::takeWillBeHeard()
{
    // The take is committed through the track's gains: a muted track, or one at volume 0,
    // would keep silence in place of the take.
    const int k = m_cboTrack->currentIndex();
    if (k < 0 || k >= m_mod.trackCount)
        return true;
    TrackRecord& t = m_mod.tracks[k];
    if (t.mute != 1 && t.volume != 0)
        return true;
    if (m_ui.ask(QStringLiteral("The track is muted or its volume is 0, so the take would be "
                                "silent. Unmute the track for the take?")) != Answer::Yes)
        return false;
    t.mute = 0;
    if (t.volume == 0)
        t.volume = 255;
    m_chkMute->setChecked(false);
    m_hscVol->setValue(t.volume);
    return true;
}

void frmVumo::mnuControlStop()
{
    WAVEPLAYING = false;
    m_transport->stop();
}

} // namespace vumo
