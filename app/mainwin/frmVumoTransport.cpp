// frmVumo's side of the transport: the locking of the controls around a pass, the play cursor,
// and what the transport commands see of the window.
#include "mainwin/frmVumo.h"

#include "commands/TransportCommands.h"
#include "dialogs/FrmMessage.h"
#include "engineapi/Transport.h"
#include "view/Ruler.h"
#include "view/TrackStrip.h"
#include "view/ViewMath.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
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
    m_strip->setEnabled(enable); // its rows choose tracks as the list does
}

void frmVumo::showPlayPosition(int32_t frame)
{
    // The cursor is an XOR line: the last one is drawn again to erase it. It is drawn only
    // inside the picture; left of it (zoomed in) and right of it there is nothing to draw.
    hidePlayCursor();
    sampPos = frame;
    m_lblPosition->setText(view::positionText(frame));
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
    m_transportCommands->mnuControlPlay();
}

void frmVumo::mnuControlRecord()
{
    m_transportCommands->mnuControlRecord();
}

void frmVumo::mnuControlStop()
{
    m_transportCommands->mnuControlStop();
}

// ---- what the commands see of the window ----------------------------------------------------

Selection& frmVumo::selection()
{
    return m_view->selection();
}

int frmVumo::chosenTrack() const
{
    return m_cboTrack->currentIndex();
}

void frmVumo::showMessage(const QString& text)
{
    // A step of a longer operation (a track switch while a project opens) shows its text in the
    // window already up, which stays until the operation ends.
    m_messageTexts.append(text);
    m_message->setMessage(text);
    m_message->Init();
}

void frmVumo::hideMessage()
{
    if (!m_messageTexts.isEmpty())
        m_messageTexts.removeLast();
    if (m_messageTexts.isEmpty())
    {
        m_message->hide();
        return;
    }
    m_message->setMessage(m_messageTexts.last());
    m_message->Init();
}

bool frmVumo::mergeRecord() const
{
    return m_chkMerge->isChecked();
}

} // namespace vumo
