// frmVumo: start-up and shut-down, help mode, and the commands of the menu tree.
#include "mainwin/frmVumo.h"

#include "commands/CabinetCommands.h"
#include "commands/CaptureCommands.h"
#include "commands/EditCommands.h"
#include "commands/FileCommands.h"
#include "commands/ImportCommands.h"
#include "commands/StudioToolCommands.h"
#include "commands/TrackCommands.h"
#include "commands/TransportCommands.h"
#include "dialogs/FrmMessage.h"
#include "engineapi/EngineBinding.h"
#include "engineapi/Transport.h"
#include "model/ProjectModel.h"
#include "services/UiServices.h"
#include "settings/AppFolder.h"
#include "settings/Settings.h"
#include "settings/StartUp.h"
#include "undo/UndoSteps.h"
#include "view/ViewMath.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QScrollBar>
#include <QSettings>
#include <QUrl>

#ifndef VUMO_VERSION
#define VUMO_VERSION "1.1.0"
#endif

// Resources of a static library are registered by hand, from the global namespace.
static void initResources()
{
    Q_INIT_RESOURCE(vumo);
}

namespace vumo
{

frmVumo::frmVumo(ProjectModel& model, EngineBinding& engine, UiServices& ui, QSettings& store,
                 QWidget* parent)
    : QMainWindow(parent), m_model(model), m_mod(model.mod()), m_engine(engine), m_ui(ui),
      m_store(store), m_appFolderChoice(applicationFolderChoice()),
      m_appFolder(m_appFolderChoice.path)
{
    initResources();
    setObjectName(QStringLiteral("frmVumo"));
    setWindowTitle(QStringLiteral("Multi-track Audio"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vumo.svg")));
    m_transport = new Transport(m_engine, this);
    buildMenus();
    buildControls();
    m_transportCommands =
        std::make_unique<TransportCommands>(m_model, m_session, *m_transport, m_ui, *this);
    m_trackCommands =
        std::make_unique<TrackCommands>(m_model, m_session, m_ui, *this, m_appFolder, CLIPFILE);
    m_fileCommands = std::make_unique<FileCommands>(m_model, m_session, m_ui, *this,
                                                    *m_trackCommands, FILESPEC, m_memoryProbe);
    m_editCommands = std::make_unique<EditCommands>(m_model, m_session, m_ui, *this, CLIPFILE);
    m_cabinetCommands = std::make_unique<CabinetCommands>(m_ui, m_appFolder, this);
    m_fileCommands->setCabinetOpener([this](const QString& path)
                                     { return m_cabinetCommands->openCabinet(path); });
    m_captureCommands = std::make_unique<CaptureCommands>(
        m_model, m_session, *m_transportCommands, m_ui, *this, CLIPFILE, deviceMediaCapture());
    m_toolCommands = std::make_unique<StudioToolCommands>(
        m_model, m_session, m_ui, *this, [this] { SwitchTrack(); }, m_store.fileName());
    m_importCommands =
        std::make_unique<ImportCommands>(m_model, m_session, m_ui, *this, m_appFolder);
    m_editCommands->setConversion(m_importCommands.get());
    m_trackCommands->setLoadCheck([this](int k, int32_t rc)
                                  { return m_importCommands->convertOnLoad(k, rc); });
    m_undo = std::make_unique<UndoSteps>(m_engine, m_appFolder);
    connectUndoSteps();
    setAcceptDrops(true);
    connect(m_transport, &Transport::position, this, &frmVumo::showPlayPosition);
    connect(m_transport, &Transport::finished, this, &frmVumo::hidePlayCursor);
    m_message = new FrmMessage(this);
    resize(1000, 560);
}

frmVumo::~frmVumo() = default;

void frmVumo::startUp(const QStringList& arguments)
{
    const QString commandLine = commandLineFile(arguments);
    QDir::setCurrent(m_appFolder);
    m_model.setSettings(LoadSettings(m_store));
    tellApplicationFolder();
    drums::DrumData drums = m_mod.drums;
    drums::InitDrumNames(drums);
    m_model.setDrums(drums);
    CLIPFILE = joinPath(m_appFolder, QStringLiteral("clipper.wav"));
    m_view->setHeightScale();
    SetViewWindow();
    ++m_commandDepth;
    chooseFirstProject(commandLine, m_ui, *this);
    --m_commandDepth;
    refreshStrip();
    repaint();
    closeIfPending();
}

void frmVumo::tellApplicationFolder()
{
    const QString told = QStringLiteral("Settings/Application Folder Told");
    if (m_appFolderChoice.notice.isEmpty() || m_store.value(told).toString() == m_appFolder)
        return;
    m_ui.message(m_appFolderChoice.notice, MsgIcon::Information);
    m_store.setValue(told, m_appFolder);
}

// ---- help -------------------------------------------------------------------------------

bool frmVumo::helpMode() const
{
    return cursor().shape() == Qt::WhatsThisCursor;
}

void frmVumo::setHelpMode(bool on)
{
    if (on)
        setCursor(Qt::WhatsThisCursor);
    else
        unsetCursor();
}

void frmVumo::cmdHelp_Click()
{
    setHelpMode(!helpMode());
}

void frmVumo::ShowHelp(const QString& topic)
{
    QUrl page = QUrl::fromLocalFile(QDir::fromNativeSeparators(helpPagePath(m_appFolder)));
    if (topic.startsWith(u'#'))
        page.setFragment(topic.mid(1));
    if (!m_ui.openUrl(page))
        m_ui.message(QStringLiteral("Unable to open the help file."));
    // A help-mode lookup serves one click.
    if (helpMode())
        setHelpMode(false);
}

QString frmVumo::aboutText()
{
    return QStringLiteral("Vumo - Multitrack Audio Recording\nby the Vumo developers\nVersion %1")
        .arg(QStringLiteral(VUMO_VERSION));
}

bool frmVumo::eventFilter(QObject* watched, QEvent* event)
{
    // In help mode a click on the track list or a track check box opens the help page
    // instead of changing anything.
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if ((press || release) && helpMode())
    {
        if (release)
            ShowHelp(watched->property("tag").toString());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- view -------------------------------------------------------------------------------

void frmVumo::DrawTrack()
{
    m_view->setSamplesShown(m_cboTrack->currentIndex() >= 0);
    m_view->setOverview(overviewForView());
    m_view->DrawTrack();
    showSelectionTimes();
}

void frmVumo::SetViewWindow()
{
    const int32_t zoom = m_hscZoom->value();
    m_view->setViewWindow(zoom, view::viewWindowStart(m_mod.trackLength, zoom, m_hscView->value()));
}

// ---- project hooks ----------------------------------------------------------------------

void frmVumo::NewAtStartup()
{
    runCommand(QStringLiteral("mnuFileNew"), [this] { m_fileCommands->mnuFileNew(true); });
}

void frmVumo::EnableRecord()
{
    findChild<QWidget*>(QStringLiteral("cmdRec"))->setEnabled(true);
    m_actions.value(QStringLiteral("mnuControlRecord"))->setEnabled(true);
}

void frmVumo::DisableRecord()
{
    findChild<QWidget*>(QStringLiteral("cmdRec"))->setEnabled(false);
    m_actions.value(QStringLiteral("mnuControlRecord"))->setEnabled(false);
}

// ---- shut-down ----------------------------------------------------------------------------

void frmVumo::closeEvent(QCloseEvent* event)
{
    // The engine cannot close under a running command: a pass is stopped, and the command
    // closes the window once it has finished (a command yields to the window system only
    // while it waits for its pass, while its message window is up or between an import's pieces).
    if (m_transport->running() || m_transportCommands->passRunning() || m_message->isVisible() ||
        m_importCommands->busy())
    {
        m_transport->stop();
        m_closePending = true;
        event->ignore();
        return;
    }
    if (!m_shutDown)
    {
        // Unsaved volumes, pans, mutes, titles ... are asked about first; Cancel keeps the
        // studio open.
        if (!m_fileCommands->offerToSaveProject())
        {
            event->ignore();
            return;
        }
        m_shutDown = true;
        m_message->setMessage(QStringLiteral("Shutting down..."));
        m_message->Init();
        CloseProject();
        m_message->hide();
    }
    event->accept();
}

} // namespace vumo
