// FileCommands: the File menu's New, Open, Save, Save As and Properties, and the opening and
// closing of the engine for a project.
#include "commands/FileCommands.h"

#include "commands/StudioWindow.h"
#include "commands/TrackCommands.h"
#include "commands/TrackTable.h"
#include "dialogs/FrmProjProps.h"
#include "engineapi/EngineBinding.h"
#include "engineapi/EngineSession.h"
#include "model/ModVumo.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecords.h"
#include "services/UiServices.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vumo
{

FileCommands::FileCommands(ModVumo& mod, EngineSession& session, UiServices& ui,
                           StudioWindow& window, TrackCommands& tracks, QString& fileSpec,
                           const std::function<MemoryStatus()>& memoryProbe)
    : m_mod(mod), m_session(session), m_ui(ui), m_window(window), m_tracks(tracks),
      m_fileSpec(fileSpec), m_memoryProbe(memoryProbe)
{
}

void FileCommands::mnuFileNew()
{
    // A cancelled New leaves the open project as it was: its header is put back. (At start-up
    // there is no project before; the fresh values stay, as a project without tracks.)
    const QString oldFile = m_fileSpec;
    const auto oldVersion = m_mod.projVersion;
    const auto oldTitle = m_mod.projTitle;
    const int32_t oldLength = m_mod.trackLength;
    const int16_t oldCount = m_mod.trackCount;
    const int32_t oldTempo = m_mod.tempo;

    m_fileSpec.clear();
    // The fresh header is the project file's own new project; the reserved bytes stay.
    const auto reserved = m_mod.projReserved;
    fromProjectData(m_mod, project::newProjectData(m_mod.defaultTrackMB));
    m_mod.projReserved = reserved;
    if (!runProjectProperties())
    {
        if (m_mod.startupNew)
            return;
        m_fileSpec = oldFile;
        m_mod.projVersion = oldVersion;
        m_mod.projTitle = oldTitle;
        m_mod.trackLength = oldLength;
        m_mod.trackCount = oldCount;
        m_mod.tempo = oldTempo;
        return;
    }
    m_tracks.mnuTrackAdd();
}

bool FileCommands::ProjectSettings()
{
    FrmProjProps dialog(m_mod, m_ui, bytesToRoundedMB(m_memoryProbe().totalBytes),
                        m_window.dialogParent());
    return m_ui.runDialog(dialog) == QDialog::Accepted;
}

void FileCommands::mnuFileProps()
{
    runProjectProperties();
}

bool FileCommands::runProjectProperties()
{
    if (!ProjectSettings())
        return false;
    m_window.UpdateCaption();
    m_window.showMessage(QStringLiteral("Changing properties ..."));
    CloseProject();
    OpenEngine();
    reloadTracks();
    m_window.updateProjectLabels();
    m_window.hideMessage();
    return true;
}

// Hands the records in memory to the engine one by one; only the last one is loaded.
void FileCommands::reloadTracks()
{
    if (!m_session.isOpen())
        return; // the user has been told; the records stay in memory
    for (int k = 0; k + 1 < m_mod.trackCount; ++k)
        m_window.LoadTrack(k, 0);
    if (m_mod.trackCount > 0)
        m_window.LoadTrack(m_mod.trackCount - 1);
}

// ---- Open -----------------------------------------------------------------------------------

void FileCommands::mnuFileOpen()
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
    {
        const QString project = m_openCabinet ? m_openCabinet(path) : QString();
        if (!project.isEmpty())
            OpenProject(project);
    }
    else
        m_ui.message(
            QStringLiteral("%1 is neither a project (.vum) nor a cabinet (.cab).").arg(shown),
            MsgIcon::Critical);
}

void FileCommands::OpenProject(const QString& path)
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
    m_window.showMessage(QStringLiteral("Opening project ..."));
    CloseProject();
    fromProjectData(m_mod, read.project);
    m_mod.recTimeText = recordingTimeText(m_mod.trackLength / kFramesPerMB);
    OpenEngine();
    reloadTracks();
    m_fileSpec = path;
    m_window.UpdateCaption();
    m_window.updateProjectLabels();
    m_window.DrawTrack();
    m_window.hideMessage();
}

// ---- Save, Save As ------------------------------------------------------------------------

void FileCommands::mnuFileSave()
{
    SaveProject();
}

bool FileCommands::SaveProject()
{
    if (m_fileSpec.isEmpty())
    {
        mnuFileSaveAs();
        return !m_fileSpec.isEmpty();
    }
    m_window.showMessage(QStringLiteral("Saving project ..."));
    const QString error = project::writeProject(m_fileSpec, toProjectData(m_mod));
    if (m_session.isOpen())
        checkEngine(m_ui, "SaveEdits", m_session.engine().SaveEdits());
    m_window.hideMessage();
    if (!error.isEmpty())
    {
        m_ui.message(error, MsgIcon::Critical);
        return false;
    }
    return true;
}

void FileCommands::mnuFileSaveAs()
{
    const QString path =
        m_ui.browseForFile(QStringLiteral("*.vum;*.wav"), QStringLiteral("Save as"));
    if (path.isEmpty())
        return;
    const QString kind = path.right(3).toUpper();
    if (kind == QStringLiteral("WAV"))
    {
        if (!engineReady(m_session, m_ui) ||
            !trackSelected(m_window.chosenTrack(), m_mod.trackCount, m_ui))
            return;
        int32_t rc = m_session.engine().SaveAsWave(m_window.selection().selStart,
                                                   m_window.selection().selEnd,
                                                   QFile::encodeName(path).constData());
        checkEngine(m_ui, "SaveAsWave", rc);
    }
    else if (kind == QStringLiteral("VUM"))
    {
        const QString previous = m_fileSpec;
        m_fileSpec = path;
        if (!SaveProject())
            m_fileSpec = previous; // nothing was saved under the new name
    }
    else
    {
        m_ui.message(QStringLiteral("Unsupported file extension!"), MsgIcon::Critical);
    }
}

// ---- the engine ---------------------------------------------------------------------------

void FileCommands::CloseProject()
{
    if (m_session.isOpen())
    {
        if (m_ui.ask(QStringLiteral("Save track edits?")) == Answer::Yes)
            checkEngine(m_ui, "SaveEdits", m_session.engine().SaveEdits());
        checkEngine(m_ui, "CloseLib", m_session.close());
    }
    m_window.clearTrackList();
}

void FileCommands::OpenEngine()
{
    const int32_t rc = m_session.open(m_mod.trackLength);
    if (rc != 0)
    {
        // A library that is missing or incomplete says why; the engine's own refusal keeps
        // its number.
        if (rc == EngineBinding::kUnavailable)
            m_ui.message(m_session.engine().errorText(), MsgIcon::Critical);
        else
            m_ui.message(
                QStringLiteral("There was an error opening the device drivers: %1").arg(rc));
        m_window.clearTrackList();
        return;
    }
    m_session.engine().ClearTracks();
    m_window.engineOpened();
}

} // namespace vumo
