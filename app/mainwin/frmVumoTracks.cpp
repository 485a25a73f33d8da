// frmVumo's track management: the track table handed to the engine, the track list and its
// switch, and the Track menu commands Add, Delete, the two clones and Properties.
#include "mainwin/frmVumo.h"

#include "commands/TrackTable.h"
#include "dialogs/FrmMessage.h"
#include "dialogs/FrmTrackProps.h"
#include "engineapi/EngineBinding.h"
#include "project/ProjectFile.h"
#include "services/UiServices.h"
#include "tracks/TrackFiles.h"
#include "view/WaveformView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QScrollBar>

namespace vumo
{
namespace
{

// A load result of SetCurTrack, Undo, PasteFrom: 0 to 3 loaded, 10 and above refused; -1 a
// write of pending edits that failed.
bool loadFailed(int32_t rc)
{
    return rc < 0 || rc >= 10;
}

} // namespace

// ---- the track table and the engine -------------------------------------------------------

void frmVumo::PushAllTracks()
{
    vumo::PushAllTracks(m_session, m_mod, m_ui);
}

void frmVumo::LoadTrack(int k, int32_t reload)
{
    const TrackRecord& t = m_mod.tracks[k];
    if (m_session.isOpen())
    {
        checkEngine(m_ui, "SetTrackInfo",
                    m_engine.SetTrackInfo(k, enginePath(t.fileName.trimmed()).constData()));
        m_engine.SetTrackAttr(k, t.mute == 1 ? 0 : t.volume, t.pan);
    }
    {
        // The selection is made quietly and the switch run once, whatever was selected.
        const QSignalBlocker quiet(m_cboTrack);
        m_cboTrack->insertItem(k, t.title.trimmed());
        m_cboTrack->setCurrentIndex(k);
    }
    SwitchTrack(reload);
}

void frmVumo::trackListChanged(int index)
{
    if (index < 0)
        return;
    if (helpMode())
    {
        ShowHelp(QString());
        return;
    }
    SwitchTrack();
}

void frmVumo::SwitchTrack(int32_t reload)
{
    const int k = m_cboTrack->currentIndex();
    if (k < 0 || k >= m_mod.trackCount)
        return;
    m_fraTrack->show();
    m_mod.currentTrack = k;
    m_message->setMessage(QStringLiteral("Switching tracks..."));
    m_message->Init();
    if (m_session.isOpen())
    {
        PushAllTracks();
        int32_t rc = m_engine.SetCurTrack(k, reload);
        if (loadFailed(rc))
            checkEngine(m_ui, "SetCurTrack", rc);
    }
    const TrackRecord& t = m_mod.tracks[k];
    m_hscVol->setValue(t.volume);
    m_hscPan->setValue(t.pan);
    m_chkMute->setChecked(t.mute == 1);
    m_message->hide();
    // While a project's tracks are handed over one by one (no reload) the buffer still holds
    // another track: the picture is drawn once the last one has been loaded.
    if (reload != 0)
        DrawTrack();
}

bool frmVumo::WriteBlankWave(int k)
{
    const QString path = m_mod.tracks[k].fileName.trimmed();
    const QString error = tracks::writeBlankWave(path);
    if (error.isEmpty())
        return true;
    m_ui.message(QStringLiteral("Unable to write the track file %1: %2")
                     .arg(QDir::toNativeSeparators(path), error),
                 MsgIcon::Critical);
    return false;
}

bool frmVumo::trackSelected()
{
    return vumo::trackSelected(m_cboTrack->currentIndex(), m_mod.trackCount, m_ui);
}

bool frmVumo::roomForTrack()
{
    if (m_mod.trackCount < kMaxTracks)
        return true;
    m_ui.message(QStringLiteral("The project already holds %1 tracks, the most it can have.")
                     .arg(kMaxTracks),
                 MsgIcon::Exclamation);
    return false;
}

bool frmVumo::appendTrack(char kind, int16_t volume, int16_t pan, int16_t mute)
{
    const int k = m_mod.trackCount;
    const QString path = tracks::newTrackFileName(m_appFolder, m_mod.projTitle.trimmed(), kind, k);
    if (const QString refused = project::checkTrackPath(path); !refused.isEmpty())
    {
        m_ui.message(refused, MsgIcon::Critical);
        return false;
    }
    TrackRecord& t = m_mod.tracks[k];
    t = TrackRecord{};
    t.reserved.assignBytes(QByteArray(6, '\0'));
    t.pan = pan;
    t.volume = volume;
    t.mute = mute;
    t.fileName.assign(path);
    t.title.assign(tracks::newTrackTitle(kind, k));
    if (!WriteBlankWave(k))
        return false;
    m_mod.trackCount = static_cast<int16_t>(k + 1);
    LoadTrack(k);
    return true;
}

// ---- Add, Delete -----------------------------------------------------------------------------

void frmVumo::mnuTrackAdd()
{
    if (!roomForTrack() || !engineReady())
        return;
    if (appendTrack('t', 255, 127, 0))
        mnuTrackProps();
}

void frmVumo::mnuTrackDelete()
{
    const int k = m_cboTrack->currentIndex();
    if (k < 0)
    {
        m_ui.message(QStringLiteral("No track selected."));
        return;
    }
    const QString name = m_mod.tracks[k].fileName.trimmed();
    if (m_session.isOpen())
        checkEngine(m_ui, "SaveEdits", m_engine.SaveEdits());
    for (int j = k; j + 1 < m_mod.trackCount; ++j)
        m_mod.tracks[j] = m_mod.tracks[j + 1];
    m_mod.trackCount = static_cast<int16_t>(m_mod.trackCount - 1);
    if (m_ui.ask(QStringLiteral("Delete File: ") + name, Buttons::YesNo, Answer::No) ==
            Answer::Yes &&
        QFile::exists(name))
        QFile::remove(name);
    {
        const QSignalBlocker quiet(m_cboTrack);
        m_cboTrack->removeItem(k);
        m_cboTrack->setCurrentIndex(-1);
    }
    PushAllTracks();
    m_fraTrack->hide();
}

// ---- the clones ------------------------------------------------------------------------------

void frmVumo::mnuTrackCloneThis()
{
    const int k = m_cboTrack->currentIndex();
    if (k < 0)
    {
        m_ui.message(QStringLiteral("No track selected."));
        return;
    }
    if (!roomForTrack() || !engineReady())
        return;
    const TrackRecord source = m_mod.tracks[k];
    m_message->setMessage(QStringLiteral("Cloning track..."));
    m_message->Init();
    int32_t rc = m_engine.CopyTo(0, m_mod.trackLength, enginePath(CLIPFILE).constData());
    if (rc != 0)
    {
        checkEngine(m_ui, "CopyTo", rc);
        DrawTrack();
        m_message->hide();
        return;
    }
    if (appendTrack('c', source.volume, source.pan, source.mute))
    {
        rc = m_engine.PasteFrom(0, m_mod.trackLength, enginePath(CLIPFILE).constData(), 0);
        if (loadFailed(rc))
            checkEngine(m_ui, "PasteFrom", rc);
        else if (m_ui.ask(QStringLiteral("Mute cloned track?")) == Answer::Yes)
            m_mod.tracks[k].mute = 1;
    }
    DrawTrack();
    m_message->hide();
}

void frmVumo::mnuTrackCloneAll()
{
    if (!roomForTrack() || !engineReady() || !trackSelected())
        return;
    m_message->setMessage(QStringLiteral("Cloning merged tracks..."));
    m_message->Init();
    PushAllTracks();
    int32_t rc = m_engine.SaveAsWave(0, m_mod.trackLength - 2, enginePath(CLIPFILE).constData());
    if (rc != 0)
    {
        checkEngine(m_ui, "SaveAsWave", rc);
        DrawTrack();
        m_message->hide();
        return;
    }
    if (appendTrack('c', 255, 127, 0))
    {
        const int n = m_mod.trackCount - 1;
        rc = m_engine.PasteFrom(0, m_mod.trackLength - 2, enginePath(CLIPFILE).constData(), 0);
        if (loadFailed(rc))
            checkEngine(m_ui, "PasteFrom", rc);
        else if (m_ui.ask(QStringLiteral("Mute all merged tracks?")) == Answer::Yes)
            for (int j = 0; j < n; ++j)
                m_mod.tracks[j].mute = 1;
    }
    DrawTrack();
    m_message->hide();
}

// ---- Properties ------------------------------------------------------------------------------

void frmVumo::mnuTrackProps()
{
    const int k = m_cboTrack->currentIndex();
    if (k < 0)
    {
        m_ui.message(QStringLiteral("No track selected."));
        return;
    }
    const auto oldTitle = m_mod.tracks[k].title;
    const auto oldFile = m_mod.tracks[k].fileName;
    FrmTrackProps dialog(m_mod, m_ui, this);
    if (m_ui.runDialog(dialog) != QDialog::Accepted)
        return;
    TrackRecord& t = m_mod.tracks[k];
    const bool fileChanged = !(t.fileName == oldFile);
    // The buffer holds the track of the old file: its pending edits go there before the
    // engine learns the new name, so they never land in the new file.
    if (fileChanged && m_session.isOpen())
        checkEngine(m_ui, "SaveEdits", m_engine.SaveEdits());
    if (m_session.isOpen())
        checkEngine(m_ui, "SetTrackInfo",
                    m_engine.SetTrackInfo(k, enginePath(t.fileName.trimmed()).constData()));
    if (!(t.title == oldTitle))
        m_cboTrack->setItemText(k, t.title.trimmed());
    if (fileChanged)
    {
        const QString oldName = oldFile.trimmed();
        if (m_ui.ask(QStringLiteral("Delete File: ") + oldName, Buttons::YesNo, Answer::No) ==
                Answer::Yes &&
            QFile::exists(oldName))
            QFile::remove(oldName);
    }
    if (!QFile::exists(t.fileName.trimmed()))
        WriteBlankWave(k);
    // The track now shows (and edits) the new file.
    if (fileChanged && m_session.isOpen())
    {
        int32_t rc = m_engine.SetCurTrack(k, -1);
        if (loadFailed(rc))
            checkEngine(m_ui, "SetCurTrack", rc);
        DrawTrack();
    }
}

} // namespace vumo
