// TrackCommands: the Track menu's Add, Delete, the two clones and Properties.
#include "commands/TrackCommands.h"

#include "commands/StudioWindow.h"
#include "commands/TrackTable.h"
#include "dialogs/FrmTrackProps.h"
#include "engineapi/EngineBinding.h"
#include "engineapi/EngineSession.h"
#include "model/ProjectModel.h"
#include "project/ProjectFile.h"
#include "services/UiServices.h"
#include "tracks/TrackFiles.h"

#include <QDialog>
#include <QDir>
#include <QFile>

namespace vumo
{

TrackCommands::TrackCommands(ProjectModel& model, EngineSession& session, UiServices& ui,
                             StudioWindow& window, const QString& appFolder,
                             const QString& clipFile)
    : m_model(model), m_mod(model.mod()), m_session(session), m_ui(ui), m_window(window),
      m_appFolder(appFolder), m_clipFile(clipFile)
{
}

bool TrackCommands::WriteBlankWave(int k)
{
    return writeBlankWave(m_mod.tracks[k].fileName.trimmed());
}

bool TrackCommands::writeBlankWave(const QString& path)
{
    const QString error = tracks::writeBlankWave(path);
    if (error.isEmpty())
        return true;
    m_ui.message(QStringLiteral("Unable to write the track file %1: %2")
                     .arg(QDir::toNativeSeparators(path), error),
                 MsgIcon::Critical);
    return false;
}

bool TrackCommands::roomForTrack()
{
    if (m_mod.trackCount < kMaxTracks)
        return true;
    m_ui.message(QStringLiteral("The project already holds %1 tracks, the most it can have.")
                     .arg(kMaxTracks),
                 MsgIcon::Exclamation);
    return false;
}

bool TrackCommands::appendTrack(char kind, int16_t volume, int16_t pan, int16_t mute)
{
    const int k = m_mod.trackCount;
    QStringList taken;
    for (int t = 0; t < k; ++t)
        taken << m_mod.tracks[size_t(t)].fileName.trimmed();
    const QString path = tracks::freeTrackFileName(
        tracks::newTrackFileName(m_appFolder, m_mod.projTitle.trimmed(), kind, k), taken);
    if (const QString refused = project::checkTrackPath(path); !refused.isEmpty())
    {
        m_ui.message(refused, MsgIcon::Critical);
        return false;
    }
    TrackRecord t;
    t.reserved.assignBytes(QByteArray(6, '\0'));
    t.pan = pan;
    t.volume = volume;
    t.mute = mute;
    t.fileName.assign(path);
    t.title.assign(tracks::newTrackTitle(kind, k));
    if (!writeBlankWave(t.fileName.trimmed()) || !m_model.addTrack(t))
        return false;
    m_window.LoadTrack(k);
    return true;
}

// ---- Add, Delete -----------------------------------------------------------------------------

void TrackCommands::mnuTrackAdd()
{
    if (!roomForTrack() || !engineReady(m_session, m_ui))
        return;
    if (appendTrack('t', 255, 127, 0))
        mnuTrackProps();
}

void TrackCommands::mnuTrackDelete()
{
    const int k = m_window.chosenTrack();
    if (k < 0)
    {
        m_ui.message(QStringLiteral("No track selected."));
        return;
    }
    const QString name = m_mod.tracks[k].fileName.trimmed();
    const QByteArray file = m_mod.tracks[k].fileName.text();
    if (m_session.isOpen())
        checkEngine(m_ui, "SaveEdits", m_session.engine().SaveEdits());
    m_model.removeTrack(k);
    if (m_ui.ask(QStringLiteral("Delete File: ") + name, Buttons::YesNo, Answer::No) == Answer::Yes)
        removeTrackFile(file);
    m_window.removeTrackItem(k);
    PushAllTracks(m_session, m_mod, m_ui);
    m_window.DrawTrack(); // no track is chosen: the picture no longer shows the deleted one
}

// ---- the clones ------------------------------------------------------------------------------

void TrackCommands::mnuTrackCloneThis()
{
    const int k = m_window.chosenTrack();
    if (k < 0)
    {
        m_ui.message(QStringLiteral("No track selected."));
        return;
    }
    if (!roomForTrack() || !engineReady(m_session, m_ui))
        return;
    const TrackRecord source = m_mod.tracks[k];
    m_window.showMessage(QStringLiteral("Cloning track..."));
    int32_t rc =
        m_session.engine().CopyTo(0, m_mod.trackLength, QFile::encodeName(m_clipFile).constData());
    if (rc != 0)
    {
        checkEngine(m_ui, "CopyTo", rc);
        m_window.DrawTrack();
        m_window.hideMessage();
        return;
    }
    if (appendTrack('c', source.volume, source.pan, source.mute))
    {
        rc = m_session.engine().PasteFrom(0, m_mod.trackLength,
                                          QFile::encodeName(m_clipFile).constData(), 0);
        if (loadFailed(rc))
            checkEngine(m_ui, "PasteFrom", rc);
        else if (m_ui.ask(QStringLiteral("Mute cloned track?")) == Answer::Yes)
        {
            m_model.setMute(k, true);
            // The source plays in the premix of the clone: it is left out from now on.
            refreshPremix(m_session, m_mod, m_ui, m_window.chosenTrack());
        }
    }
    m_window.DrawTrack();
    m_window.hideMessage();
}

void TrackCommands::mnuTrackCloneAll()
{
    if (!roomForTrack() || !engineReady(m_session, m_ui) ||
        !trackSelected(m_window.chosenTrack(), m_mod.trackCount, m_ui))
        return;
    m_window.showMessage(QStringLiteral("Cloning merged tracks..."));
    // The merge is the mix the user has set now (a premix rebuilt when it changed).
    refreshPremix(m_session, m_mod, m_ui, m_window.chosenTrack());
    int32_t rc = m_session.engine().SaveAsWave(0, m_mod.trackLength - 2,
                                               QFile::encodeName(m_clipFile).constData());
    if (rc != 0)
    {
        checkEngine(m_ui, "SaveAsWave", rc);
        m_window.DrawTrack();
        m_window.hideMessage();
        return;
    }
    if (appendTrack('c', 255, 127, 0))
    {
        const int n = m_mod.trackCount - 1;
        rc = m_session.engine().PasteFrom(0, m_mod.trackLength - 2,
                                          QFile::encodeName(m_clipFile).constData(), 0);
        if (loadFailed(rc))
            checkEngine(m_ui, "PasteFrom", rc);
        else if (m_ui.ask(QStringLiteral("Mute all merged tracks?")) == Answer::Yes)
        {
            for (int j = 0; j < n; ++j)
                m_model.setMute(j, true);
            refreshPremix(m_session, m_mod, m_ui, m_window.chosenTrack());
        }
    }
    m_window.DrawTrack();
    m_window.hideMessage();
}

// ---- Properties ------------------------------------------------------------------------------

void TrackCommands::mnuTrackProps()
{
    const int k = m_window.chosenTrack();
    if (k < 0)
    {
        m_ui.message(QStringLiteral("No track selected."));
        return;
    }
    const std::optional<TrackNames> names =
        runTrackProperties(m_ui, m_mod.tracks[k], m_window.dialogParent());
    if (!names)
        return;
    const TrackRecord old = m_mod.tracks[k];
    const bool fileChanged = !(names->fileName == old.fileName);
    // The buffer holds the track of the old file: its pending edits go there before the
    // engine learns the new name, so they never land in the new file.
    if (fileChanged && m_session.isOpen())
        checkEngine(m_ui, "SaveEdits", m_session.engine().SaveEdits());
    m_model.setTrackNames(k, names->title, names->fileName);
    const TrackRecord& t = m_mod.tracks[k];
    if (m_session.isOpen())
        checkEngine(m_ui, "SetTrackInfo",
                    m_session.engine().SetTrackInfo(k, t.fileName.text().constData()));
    if (fileChanged && m_ui.ask(QStringLiteral("Delete File: ") + old.fileName.trimmed(),
                                Buttons::YesNo, Answer::No) == Answer::Yes)
        removeTrackFile(old.fileName.text());
    if (!trackFileExists(t.fileName.text()))
        WriteBlankWave(k);
    // The track now shows (and edits) the new file.
    if (fileChanged && m_session.isOpen())
    {
        int32_t rc = switchToTrack(m_session, m_mod, m_ui, k, -1);
        if (m_loadCheck)
            rc = m_loadCheck(k, rc);
        if (loadFailed(rc))
            checkLoad(m_ui, "SetCurTrack", rc, t.fileName.trimmed());
        m_window.DrawTrack();
    }
}

} // namespace vumo
