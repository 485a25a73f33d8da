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
#include "model/ProjectModel.h"
#include "model/ProjectRecords.h"
#include "project/FixedField.h"
#include "project/ProjectFile.h"
#include "services/UiServices.h"
#include "tracks/TrackSound.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <tuple>
#include <utility>

namespace vumo
{
namespace
{

// The title and length of a project file's header, as Project Settings shows them.
ProjectProps headerProps(const project::ProjectData& data, const QString& recTimeText)
{
    ProjectProps props;
    props.projTitle.assignBytes(project::padField(data.projTitle, project::kTitleBytes));
    props.trackLength = data.trackLength;
    props.recTimeText = recTimeText;
    return props;
}

} // namespace

FileCommands::FileCommands(ProjectModel& model, EngineSession& session, UiServices& ui,
                           StudioWindow& window, TrackCommands& tracks, QString& fileSpec,
                           const std::function<MemoryStatus()>& memoryProbe)
    : m_model(model), m_mod(model.mod()), m_session(session), m_ui(ui), m_window(window),
      m_tracks(tracks), m_fileSpec(fileSpec), m_memoryProbe(memoryProbe)
{
}

bool FileCommands::offerToSaveProject()
{
    if (!m_model.unsaved())
        return true;
    const Answer answer = m_ui.ask(
        QStringLiteral("Save changes to the project \"%1\"?").arg(m_mod.projTitle.trimmed()),
        Buttons::YesNoCancel);
    if (answer == Answer::Yes)
        return SaveProject();
    return answer == Answer::No;
}

void FileCommands::mnuFileNew(bool startupNew)
{
    if (!offerToSaveProject())
        return;
    // The fresh header is the project file's own new project; the reserved bytes stay. A
    // cancelled New leaves the open project as it was; at start-up there is no project before,
    // and the fresh values stay, as a project without tracks.
    project::ProjectData fresh = project::newProjectData(m_mod.settings.defaultTrackMB);
    fresh.projReserved = m_mod.projReserved.toByteArray();
    const std::optional<ProjectProps> props =
        ProjectSettings(headerProps(fresh, m_mod.recTimeText), !startupNew);
    if (!props && !startupNew)
        return;
    m_fileSpec.clear();
    m_model.replaceProject(fresh, m_mod.recTimeText);
    if (!props)
    {
        m_model.markSaved(); // the fresh project, without tracks
        return;
    }
    reopenWith(*props, -1);
    m_tracks.mnuTrackAdd();
    m_model.markSaved();
    m_window.UpdateCaption();
}

std::optional<ProjectProps> FileCommands::ProjectSettings(const ProjectProps& shown,
                                                          bool cancellable)
{
    return runProjectSettings(m_ui, shown, cancellable,
                              bytesToRoundedMB(m_memoryProbe().totalBytes),
                              m_window.dialogParent());
}

void FileCommands::mnuFileProps()
{
    const int current = m_window.chosenTrack();
    std::optional<ProjectProps> props =
        ProjectSettings({m_mod.projTitle, m_mod.trackLength, m_mod.recTimeText}, true);
    if (!props)
        return;
    if (!shorterLengthAgreed(props->trackLength))
    {
        props->trackLength = m_mod.trackLength;
        props->recTimeText = m_mod.recTimeText;
    }
    reopenWith(*props, current);
}

void FileCommands::reopenWith(const ProjectProps& props, int current)
{
    m_model.setProjectProps(props);
    m_window.UpdateCaption();
    m_window.showMessage(QStringLiteral("Changing properties ..."));
    CloseProject();
    OpenEngine();
    reloadTracks(current);
    m_window.updateProjectLabels();
    m_window.hideMessage();
}

void FileCommands::reloadTracks(int current)
{
    if (!m_session.isOpen())
        return; // the user has been told; the records stay in memory
    const int last = m_mod.trackCount - 1;
    const bool other = current >= 0 && current < last;
    for (int k = 0; k <= last; ++k)
        m_window.LoadTrack(k, k == last && !other ? -1 : 0);
    if (other)
        m_window.chooseTrack(current);
}

bool FileCommands::shorterLengthAgreed(int32_t length)
{
    const int32_t oldLength = m_mod.trackLength;
    if (length >= oldLength)
        return true;
    // The current track's buffer may hold edits its file does not have yet.
    const int current = m_session.isOpen() ? m_window.chosenTrack() : -1;
    const auto read = [this](int32_t i) { return m_session.engine().TrackRead(i); };
    int64_t end = length;
    int longest = -1;
    for (int k = 0; k < m_mod.trackCount; ++k)
    {
        const int64_t e = k == current
                              ? tracks::bufferSoundEnd(read, length, oldLength)
                              : tracks::fileSoundEnd(m_mod.tracks[k].fileName.text(), length);
        if (e > end)
            std::tie(end, longest) = std::pair(e, k);
    }
    if (longest < 0)
        return true; // no sound past the new length
    const auto seconds = [](int64_t frames)
    { return QString::number(double(frames) / 44100.0, 'f', 2); };
    return m_ui.ask(QStringLiteral("Making the tracks %1 seconds long cuts off %2 seconds of sound "
                                   "at the end of track \"%3\" (the most of any track) when the "
                                   "track is next saved.\n\nMake the tracks shorter?")
                        .arg(seconds(length), seconds(end - length),
                             m_mod.tracks[longest].title.trimmed()),
                    Buttons::YesNo, Answer::No) == Answer::Yes;
}

// ---- Open -----------------------------------------------------------------------------------

void FileCommands::mnuFileOpen()
{
    const QString path = m_ui.browseForFile(QStringLiteral("*.vum;*.cab"), QStringLiteral("Open"));
    if (path.isEmpty())
        return; // cancelled
    openFile(path);
}

void FileCommands::openFile(const QString& path)
{
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
    if (!offerToSaveProject())
        return;
    project::ProjectData data = read.project;
    findMissingTracks(data);
    m_window.showMessage(QStringLiteral("Opening project ..."));
    CloseProject();
    m_model.replaceProject(data, recordingTimeText(data.trackLength / kFramesPerMB));
    OpenEngine();
    reloadTracks();
    m_fileSpec = path;
    m_model.markSaved(read.project); // a track file found since is a change to save
    m_window.UpdateCaption();
    m_window.updateProjectLabels();
    m_window.DrawTrack();
    m_window.hideMessage();
}

void FileCommands::findMissingTracks(project::ProjectData& data)
{
    QList<QByteArray> silent;
    for (project::TrackRecordData& track : data.tracks)
    {
        if (trackFileExists(track.fileName))
            continue;
        if (m_ui.ask(
                QStringLiteral("The file of track \"%1\" does not exist:\n%2\n\nDo you want to "
                               "find it? (No keeps the track silent.)")
                    .arg(project::displayText(track.title),
                         QDir::toNativeSeparators(project::displayText(track.fileName)))) ==
            Answer::Yes)
        {
            const QString found =
                m_ui.browseForFile(QStringLiteral("*.wav"), QStringLiteral("Open"));
            const QString refused = found.isEmpty() ? QString() : project::checkTrackPath(found);
            if (!refused.isEmpty())
                m_ui.message(refused, MsgIcon::Critical);
            else if (!found.isEmpty())
            {
                track.fileName = QFile::encodeName(found);
                continue;
            }
        }
        silent.append(track.fileName);
    }
    m_window.silenceMissing(silent);
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
    m_model.markSaved();
    m_window.UpdateCaption();
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
        // The mix written is the one the user has set now, not the one of the last switch or
        // pass: the gains of the table, over a premix rebuilt when other tracks' changed.
        if (refreshPremix(m_session, m_mod, m_ui, m_window.chosenTrack()))
            m_window.DrawTrack();
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
