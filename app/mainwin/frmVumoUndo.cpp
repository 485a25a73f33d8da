// frmVumo's undo and redo steps: the step kept before each change of the current track, Ctrl+Z
// and Ctrl+Shift+Z (Ctrl+Y), the Edit menu's captions naming the next step, and the steps
// following the project's tracks.
#include "mainwin/frmVumo.h"

#include "commands/TransportCommands.h"
#include "engineapi/Transport.h"
#include "model/ProjectModel.h"
#include "services/UiServices.h"
#include "undo/UndoSteps.h"

#include <QAction>
#include <QDir>
#include <QTimer>

#include <algorithm>

namespace vumo
{

void frmVumo::connectUndoSteps()
{
    connect(&m_model, &ProjectModel::projectReplaced, this, [this] { m_undo->clear(); });
    connect(&m_model, &ProjectModel::trackRemoved, this,
            [this](int k) { m_undo->trackRemoved(k); });
    // A track given another file (Track Properties) no longer holds what its steps were kept of.
    connect(&m_model, &ProjectModel::trackChanged, this,
            [this](int k)
            {
                if (k >= 0 && k < m_mod.trackCount)
                    m_undo->trackFileNamed(k, m_mod.tracks[k].fileName.trimmed());
            });
    connect(&m_model, &ProjectModel::currentTrackChanged, this, &frmVumo::refreshUndoItems);
    connect(this, &frmVumo::trackFileChangedOutside, this, &frmVumo::dropStepsChangedOutside);
    // A fifth of a second without a command or a switch counts as idle: a user going through
    // the tracks or pressing keys in a row does not write an image at each one.
    m_imageTimer = new QTimer(this);
    m_imageTimer->setSingleShot(true);
    m_imageTimer->setInterval(200);
    connect(m_imageTimer, &QTimer::timeout, this, &frmVumo::keepTrackImage);
    refreshUndoItems();
}

void frmVumo::keepTrackImage()
{
    const int k = chosenTrack();
    if (m_commandDepth == 0 && k >= 0 && k < m_mod.trackCount && m_session.isOpen() &&
        !m_transport->running() && !m_transportCommands->passRunning())
        m_undo->prepareImage(k, m_mod.trackLength);
}

bool frmVumo::keepStep(int32_t first, int32_t last, const QString& label)
{
    const int k = chosenTrack();
    if (k < 0 || k >= m_mod.trackCount || !m_session.isOpen())
        return true;
    first = std::clamp(first, 0, m_mod.trackLength);
    last = std::clamp(last, first, m_mod.trackLength);
    QString why;
    if (m_undo->keep(k, m_mod.tracks[k].fileName.trimmed(), first, last, label, &why))
        return true;
    // Without this step the track's earlier steps could no longer be undone in order: going on
    // drops them too.
    const QString question =
        QStringLiteral("The undo step of %1 could not be kept: %2\n\nGo on without undo? The "
                       "earlier undo steps of this track are dropped as well.")
            .arg(label, why);
    if (m_ui.ask(question, Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    m_undo->dropTrack(k);
    return true;
}

void frmVumo::mnuEditUndoStep()
{
    stepTrack(true);
}

void frmVumo::mnuEditRedoStep()
{
    stepTrack(false);
}

void frmVumo::stepTrack(bool back)
{
    // A pass plays from the buffers a step would write (a key pressed while it runs does nothing).
    const int k = chosenTrack();
    if (k < 0 || k >= m_mod.trackCount || !m_session.isOpen() || m_transport->running() ||
        m_transportCommands->passRunning())
        return;
    const QString label = back ? m_undo->undoLabel(k) : m_undo->redoLabel(k);
    if (label.isEmpty())
        return;
    showMessage(
        (back ? QStringLiteral("Undoing %1 ...") : QStringLiteral("Redoing %1 ...")).arg(label));
    const TrackRecord& t = m_mod.tracks[k];
    const int32_t volume = t.mute == 1 ? 0 : t.volume;
    QString why;
    const bool done =
        back ? m_undo->undo(k, volume, t.pan, &why) : m_undo->redo(k, volume, t.pan, &why);
    DrawTrack();
    hideMessage();
    if (!done)
        m_ui.message(why, MsgIcon::Exclamation);
}

void frmVumo::refreshUndoItems()
{
    const int k = m_session.isOpen() ? chosenTrack() : -1;
    const auto show = [this](const char* item, const QString& caption, const QString& label)
    {
        QAction* action = m_actions.value(QString::fromLatin1(item));
        action->setText(label.isEmpty() ? caption : caption + u' ' + label);
        action->setEnabled(!label.isEmpty());
    };
    show("mnuEditUndoStep", QStringLiteral("&Undo"), k >= 0 ? m_undo->undoLabel(k) : QString());
    show("mnuEditRedoStep", QStringLiteral("&Redo"), k >= 0 ? m_undo->redoLabel(k) : QString());
    m_imageTimer->start(); // (what the timer finds when it fires decides)
}

void frmVumo::dropStepsChangedOutside(int k, const QString& path)
{
    if (m_undo->undoLabel(k).isEmpty() && m_undo->redoLabel(k).isEmpty())
        return;
    m_undo->dropTrack(k);
    refreshUndoItems();
    m_ui.message(QStringLiteral("%1 was changed by another program. The undo steps of track %2 "
                                "no longer match it and were dropped.")
                     .arg(QDir::toNativeSeparators(path))
                     .arg(k + 1),
                 MsgIcon::Information);
}

} // namespace vumo
