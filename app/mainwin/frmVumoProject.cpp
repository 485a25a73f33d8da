// frmVumo's project commands: New, Open, Save, Save As, Properties, and the opening and closing
// of the engine for a project.
#include "mainwin/frmVumo.h"

#include "commands/TrackTable.h"
#include "dialogs/FrmMessage.h"
#include "dialogs/FrmProjProps.h"
#include "engineapi/EngineBinding.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecords.h"
#include "services/UiServices.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>

namespace vumo
{

QByteArray frmVumo::enginePath(const QString& path) const
{
    return QFile::encodeName(path);
}

bool frmVumo::engineReady()
{
    return vumo::engineReady(m_session, m_ui);
}

void frmVumo::UpdateCaption()
{
    setWindowTitle(QStringLiteral("Vumo - ") + m_mod.projTitle.trimmed());
}

void frmVumo::updateProjectLabels()
{
    m_lblLength->setText(QStringLiteral("Len: ") + m_mod.recTimeText);
    m_lblMem->setText(
        QStringLiteral("Mem: %1MB").arg(bytesToRoundedMB(m_memoryProbe().availableBytes)));
}

// ---- New, Properties ----------------------------------------------------------------------

void frmVumo::mnuFileNew()
{
    // A cancelled New leaves the open project as it was: its header is put back. (At start-up
    // there is no project before; the fresh values stay, as a project without tracks.)
    const QString oldFile = FILESPEC;
    const auto oldVersion = m_mod.projVersion;
    const auto oldTitle = m_mod.projTitle;
    const int32_t oldLength = m_mod.trackLength;
    const int16_t oldCount = m_mod.trackCount;
    const int32_t oldTempo = m_mod.tempo;

    FILESPEC.clear();
    // The fresh header is the project file's own new project; the reserved bytes stay.
    const auto reserved = m_mod.projReserved;
    fromProjectData(m_mod, project::newProjectData(m_mod.defaultTrackMB));
    m_mod.projReserved = reserved;
    if (!runProjectProperties())
    {
        if (m_mod.startupNew)
            return;
        FILESPEC = oldFile;
        m_mod.projVersion = oldVersion;
        m_mod.projTitle = oldTitle;
        m_mod.trackLength = oldLength;
        m_mod.trackCount = oldCount;
        m_mod.tempo = oldTempo;
        return;
    }
    mnuTrackAdd();
}

bool frmVumo::ProjectSettings()
{
    FrmProjProps dialog(m_mod, m_ui, bytesToRoundedMB(m_memoryProbe().totalBytes), this);
    return m_ui.runDialog(dialog) == QDialog::Accepted;
}

void frmVumo::mnuFileProps()
{
    runProjectProperties();
}

bool frmVumo::runProjectProperties()
{
    if (!ProjectSettings())
        return false;
    UpdateCaption();
    m_message->setMessage(QStringLiteral("Changing properties ..."));
    m_message->Init();
    CloseProject();
    OpenEngine();
    reloadTracks();
    updateProjectLabels();
    m_message->hide();
    return true;
}

// Hands the records in memory to the engine one by one; only the last one is loaded.
void frmVumo::reloadTracks()
{
    if (!m_session.isOpen())
        return; // the user has been told; the records stay in memory
    for (int k = 0; k + 1 < m_mod.trackCount; ++k)
        LoadTrack(k, 0);
    if (m_mod.trackCount > 0)
        LoadTrack(m_mod.trackCount - 1);
}

// ---- Open -----------------------------------------------------------------------------------

void frmVumo::mnuFileOpen()
{
    const QString path = m_ui.browseForFile(QStringLiteral("*.vum;*.cab"), QStringLiteral("Open"));
    if (path.isEmpty())
        return; // cancelled
    const QFileInfo file(path);
    const QString shown = QDir::toNativeSeparators(path);
    const QString kind = path.right(3).toUpper();
    if (!file.exists())
        m_ui.message(QStringLiteral("The file %1 does not exist.").arg(shown), MsgIcon::Critical);
    else if (file.isDir())
        m_ui.message(QStringLiteral("%1 is a folder, not a project or a cabinet.").arg(shown),
                     MsgIcon::Critical);
    else if (kind == QStringLiteral("VUM"))
        OpenProject(path);
    else if (kind == QStringLiteral("CAB"))
        notAvailable(QStringLiteral("Opening a project cabinet"));
    else
        m_ui.message(
            QStringLiteral("%1 is neither a project (.vum) nor a cabinet (.cab).").arg(shown),
            MsgIcon::Critical);
}

void frmVumo::OpenProject(const QString& path)
{
    // The file is read and checked whole before the open project is closed: a file that
    // cannot be used leaves the open project untouched.
    const project::ProjectReadResult read = project::readProject(path);
    if (!read.ok())
    {
        m_ui.message(read.error, MsgIcon::Critical);
        return;
    }
    for (const project::TrackRecordData& track : read.project.tracks)
    {
        const QString refused = project::checkTrackPath(track.fileName);
        if (!refused.isEmpty())
        {
            m_ui.message(QStringLiteral("The project %1 cannot be opened: %2")
                             .arg(QDir::toNativeSeparators(path), refused),
                         MsgIcon::Critical);
            return;
        }
    }
    m_message->setMessage(QStringLiteral("Opening project ..."));
    m_message->Init();
    CloseProject();
    fromProjectData(m_mod, read.project);
    m_mod.recTimeText = recordingTimeText(m_mod.trackLength / kFramesPerMB);
    OpenEngine();
    reloadTracks();
    FILESPEC = path;
    UpdateCaption();
    updateProjectLabels();
    DrawTrack();
    m_message->hide();
}

// ---- Save, Save As ------------------------------------------------------------------------

void frmVumo::mnuFileSave()
{
    SaveProject();
}

bool frmVumo::SaveProject()
{
    if (FILESPEC.isEmpty())
    {
        mnuFileSaveAs();
        return !FILESPEC.isEmpty();
    }
    m_message->setMessage(QStringLiteral("Saving project ..."));
    m_message->Init();
    const QString error = project::writeProject(FILESPEC, toProjectData(m_mod));
    if (m_session.isOpen())
        checkEngine(m_ui, "SaveEdits", m_engine.SaveEdits());
    m_message->hide();
    if (!error.isEmpty())
    {
        m_ui.message(error, MsgIcon::Critical);
        return false;
    }
    return true;
}

void frmVumo::mnuFileSaveAs()
{
    const QString path =
        m_ui.browseForFile(QStringLiteral("*.vum;*.wav"), QStringLiteral("Save as"));
    if (path.isEmpty())
        return;
    const QString kind = path.right(3).toUpper();
    if (kind == QStringLiteral("WAV"))
    {
        if (!engineReady() || !trackSelected())
            return;
        int32_t rc =
            m_engine.SaveAsWave(m_mod.selStart, m_mod.selEnd, enginePath(path).constData());
        checkEngine(m_ui, "SaveAsWave", rc);
    }
    else if (kind == QStringLiteral("VUM"))
    {
        const QString previous = FILESPEC;
        FILESPEC = path;
        if (!SaveProject())
            FILESPEC = previous; // nothing was saved under the new name
    }
    else
    {
        m_ui.message(QStringLiteral("Unsupported file extension!"), MsgIcon::Critical);
    }
}

// ---- the engine ---------------------------------------------------------------------------

void frmVumo::CloseProject()
{
    if (m_session.isOpen())
    {
        if (m_ui.ask(QStringLiteral("Save track edits?")) == Answer::Yes)
            checkEngine(m_ui, "SaveEdits", m_engine.SaveEdits());
        checkEngine(m_ui, "CloseLib", m_session.close());
    }
    const QSignalBlocker quiet(m_cboTrack);
    m_cboTrack->clear();
    m_fraTrack->hide();
}

void frmVumo::OpenEngine()
{
    const int32_t rc = m_session.open(m_mod.trackLength);
    if (rc != 0)
    {
        // A library that is missing or incomplete says why; the engine's own refusal keeps
        // its number.
        if (rc == EngineBinding::kUnavailable)
            m_ui.message(m_engine.errorText(), MsgIcon::Critical);
        else
            m_ui.message(
                QStringLiteral("There was an error opening the device drivers: %1").arg(rc));
        const QSignalBlocker quiet(m_cboTrack);
        m_cboTrack->clear();
        return;
    }
    m_view->setScaleForTrack();
    m_engine.ClearTracks();
    m_view->SelectAll();
}

} // namespace vumo
