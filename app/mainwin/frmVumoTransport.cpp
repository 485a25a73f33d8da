// frmVumo's transport: Play, Record and Stop, the preparation every pass goes through, the wait
// loop with the play cursor, and the locking of the controls around a pass.
#include "mainwin/frmVumo.h"

#include "dialogs/FrmMessage.h"
#include "engine/EngineApi.h"
#include "services/UiServices.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>

#include <cmath>

namespace vumo
{
namespace
{

// One turn of the wait loop hands the window system this long: events are handled as they
// come, and the loop sleeps in between instead of spinning.
constexpr int kTurnMs = 5;

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

int frmVumo::cursorColumn() const
{
    const double framesPerColumn = static_cast<double>(tscale) / zoom;
    return static_cast<int>(std::nearbyint((sampPos - trkbegin) / framesPerColumn));
}

void frmVumo::WaitWhilePlaying()
{
    m_message->hide();
    WAVEPLAYING = true;
    const int width = m_view->geometry().width;
    for (;;)
    {
        if (!(m_engine.IsPlaying() != 0 && WAVEPLAYING))
            break;
        sampPos = m_mod.selStart + m_engine.GetPosition();
        // The cursor is drawn only inside the picture; left of it (zoomed in) and right of it
        // there is nothing to draw.
        const int x = cursorColumn();
        const bool visible = x > 0 && x < width;
        if (visible)
            m_view->drawCursor(x);
        QEventLoop turn;
        QTimer::singleShot(kTurnMs, &turn, &QEventLoop::quit);
        turn.exec();
        if (visible)
            m_view->drawCursor(x);
        if (m_mod.selEnd <= sampPos)
            WAVEPLAYING = false;
    }
    WAVEPLAYING = false;
    if (drumsActive())
    {
        m_engine.StopMidi();
        m_engine.CloseMidiPlay();
    }
    EnableControls(true);
}

void frmVumo::mnuControlPlay()
{
    started("mnuControlPlay");
    if (WAVEPLAYING || !engineReady() || !trackSelected())
        return;
    PrepareTransport();
    lRet = m_engine.PlayTracks(m_mod.selStart, m_mod.selEnd);
    if (drumsActive())
        m_engine.PlayMidi();
    checkEngine(m_ui, "PlayTracks", lRet);
    WaitWhilePlaying();
    lRet = m_engine.StopTracks(m_mod.selStart, m_mod.selEnd, 0);
    checkEngine(m_ui, "StopTracks", lRet);
    m_passRunning = false;
}

void frmVumo::mnuControlRecord()
{
    started("mnuControlRecord");
    if (WAVEPLAYING || !engineReady() || !trackSelected())
        return;
    PrepareTransport();
    lRet = m_engine.RecordTrack(m_mod.selStart, m_mod.selEnd, m_chkMerge->isChecked() ? 1 : 0);
    if (drumsActive())
        m_engine.PlayMidi();
    checkEngine(m_ui, "RecordTrack", lRet);
    WaitWhilePlaying();
    m_message->setMessage(QStringLiteral("Saving recorded track..."));
    m_message->Init();
    lRet = m_engine.StopTracks(m_mod.selStart, m_mod.selEnd, m_chkMerge->isChecked() ? 1 : 0);
    DrawTrack();
    m_message->hide();
    m_passRunning = false;
}

void frmVumo::mnuControlStop()
{
    started("mnuControlStop");
    // The running pass sees this on its next turn and stops itself.
    WAVEPLAYING = false;
}

} // namespace vumo
