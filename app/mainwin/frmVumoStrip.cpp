// frmVumo's track strip beside the picture, the time ruler above it, the status bar with the
// selection's and the play position's times, Space for Play and Stop, and the overview the
// picture draws from while the buffer holds its file unchanged.
#include "mainwin/frmVumo.h"

#include "commands/TransportCommands.h"
#include "dialogs/FrmMessage.h"
#include "engineapi/EngineBinding.h"
#include "engineapi/Transport.h"
#include "model/ProjectModel.h"
#include "view/Ruler.h"
#include "view/TrackRenderer.h"
#include "view/TrackStrip.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace vumo
{
namespace
{

// The commands that leave the engine's buffer as it is.
constexpr const char* kBufferKept[] = {
    "mnuControlPlay",   "mnuControlStop",  "mnuEditCopy",     "mnuEditCopyTo",
    "mnuEditSelectAll", "mnuControlArm",   "mnuControlMerge", "mnuControlActivateDrums",
    "mnuTrackMix",      "mnuHelpContents", "mnuHelpAbout"};

QLabel* statusLabel(QWidget* parent, const char* name, const QString& widest)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 8);
    return label;
}

} // namespace

QWidget* frmVumo::buildViewArea(QWidget* parent)
{
    m_overviews = new view::Overviews(this);
    m_overviews->setBusy(
        [this]
        {
            return m_commandDepth > 0 || m_transport->running() ||
                   (m_message != nullptr && m_message->isVisible());
        });
    auto* area = new QWidget(parent);
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    m_strip = new view::TrackStrip(m_mod, *m_overviews, area);
    m_strip->installEventFilter(this); // help mode: a click opens the help page
    row->addWidget(m_strip);
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    m_ruler = new view::Ruler(*m_view, area);
    column->addWidget(m_ruler);
    column->addWidget(m_view, 1);
    row->addLayout(column, 1);

    // A row clicked is the track chosen in the list, with the list's switch.
    connect(m_strip, &view::TrackStrip::trackClicked, this,
            [this](int k)
            {
                if (m_cboTrack->isEnabled() && k != m_cboTrack->currentIndex())
                    m_cboTrack->setCurrentIndex(k);
            });
    connect(m_strip, &view::TrackStrip::fileChangedOutside, this,
            &frmVumo::trackFileChangedOutside);
    connect(&m_model, &ProjectModel::trackGainsChanged, m_strip, [this] { m_strip->update(); });
    connect(m_view, &view::WaveformView::selectionChanged, this, &frmVumo::showSelectionTimes);

    // Space plays or stops wherever the focus is, unless a dialog holds the window.
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setObjectName(QStringLiteral("keySpace"));
    space->setContext(Qt::ApplicationShortcut);
    connect(space, &QShortcut::activated, this, &frmVumo::playOrStop);
    return area;
}

void frmVumo::buildStatusBar()
{
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setSizeGripEnabled(false);
    m_lblMem = new QLabel(QStringLiteral("Mem:"), bar);
    m_lblMem->setObjectName(QStringLiteral("lblMem"));
    m_lblLength = new QLabel(QStringLiteral("Len:"), bar);
    m_lblLength->setObjectName(QStringLiteral("lblLength"));
    bar->addWidget(m_lblMem);
    bar->addWidget(m_lblLength);
    m_lblSelection =
        statusLabel(bar, "lblSelection", view::selectionText(99 * 2646000, 99 * 2646000 + 1));
    m_lblPosition = statusLabel(bar, "lblPosition", view::positionText(99 * 2646000));
    bar->addPermanentWidget(m_lblSelection);
    bar->addPermanentWidget(m_lblPosition);
    m_lblPosition->setText(view::positionText(0));
    setStatusBar(bar);
    showSelectionTimes();
}

void frmVumo::showSelectionTimes()
{
    const Selection& sel = m_view->selection();
    m_lblSelection->setText(view::selectionText(sel.selStart, sel.selEnd));
    m_ruler->update();
}

void frmVumo::refreshStrip()
{
    m_strip->refresh(m_cboTrack->currentIndex());
}

void frmVumo::playOrStop()
{
    // The same commands as the Play and Stop buttons; Stop also ends a take. While another
    // command waits for its message window to be painted, Space starts nothing inside it.
    if (m_transport->running() || m_transportCommands->passRunning())
        runCommand(QStringLiteral("mnuControlStop"), &frmVumo::mnuControlStop);
    else if (m_commandDepth == 0 && m_actions.value(QStringLiteral("mnuControlPlay"))->isEnabled())
        runCommand(QStringLiteral("mnuControlPlay"), &frmVumo::mnuControlPlay);
}

// ---- the picture's overview -------------------------------------------------------------------

void frmVumo::noteCommand(const QString& menuItem)
{
    const QByteArray item = menuItem.toLatin1();
    const bool kept = std::any_of(std::begin(kBufferKept), std::end(kBufferKept),
                                  [&item](const char* name) { return item == name; });
    if (!kept)
        m_bufferClean = false;
}

void frmVumo::noteTrackLoaded(int k, int32_t rc)
{
    // Below 10 the file was loaded (0 ... 3); -1: the pending edits were not written and
    // perhaps nothing was loaded; 10 and above: refused, the buffer unchanged.
    m_bufferClean = rc >= 0 && rc < 10;
    m_bufferFile = m_strip->trackFile(k);
    m_bufferStamp = view::FileStamp::of(m_bufferFile);
    m_bufferChecked = false;
}

std::shared_ptr<const view::TrackOverview> frmVumo::overviewForView()
{
    const int k = m_cboTrack->currentIndex();
    if (!m_bufferClean || !m_session.isOpen() || k < 0 || m_strip->trackFile(k) != m_bufferFile)
        return nullptr;
    auto overview = m_overviews->findAt(m_bufferFile, m_bufferStamp);
    if (!overview || !overview->failure.isEmpty())
        return nullptr;
    // A first look at some blocks of the buffer: a file the loader read otherwise than the
    // overview did is drawn from the buffer alone.
    if (!m_bufferChecked)
    {
        auto read = [this](int32_t i) { return m_engine.TrackRead(i); };
        m_bufferClean = view::overviewMatchesTrack(*overview, m_mod.trackLength, read);
        m_bufferChecked = m_bufferClean;
        if (!m_bufferClean)
            return nullptr;
    }
    return overview;
}

} // namespace vumo
