// frmVumo's track list: the tracks handed to the engine and the list, the track switch, and the
// Track menu, whose commands TrackCommands carries out.
#include "mainwin/frmVumo.h"

#include "commands/ImportCommands.h"
#include "commands/TrackCommands.h"
#include "commands/TrackTable.h"
#include "dialogs/FrmTrackProps.h"
#include "engineapi/EngineBinding.h"
#include "files/WaveSampleFormat.h"
#include "model/ProjectModel.h"
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
        checkEngine(m_ui, "SetTrackInfo", m_engine.SetTrackInfo(k, t.fileName.text().constData()));
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
    ++m_commandDepth;
    m_model.setCurrentTrack(k);
    showMessage(QStringLiteral("Switching tracks..."));
    if (m_session.isOpen())
    {
        // A wave file Vumo cannot take as it is may be converted, and the copy loaded.
        const int32_t rc =
            m_importCommands->convertOnLoad(k, switchToTrack(m_session, m_mod, m_ui, k, reload));
        if (reload != 0)
            noteTrackLoaded(k, rc);
        if (loadFailed(rc))
            reportLoadFailure(k, rc);
    }
    const TrackRecord& t = m_mod.tracks[k];
    m_hscVol->setValue(t.volume);
    m_hscPan->setValue(t.pan);
    m_chkMute->setChecked(t.mute == 1);
    hideMessage();
    --m_commandDepth;
    refreshStrip();
    // While a project's tracks are handed over one by one (no reload) the buffer still holds
    // another track: the picture is drawn once the last one has been loaded.
    if (reload != 0)
        DrawTrack();
}

void frmVumo::reportLoadFailure(int k, int32_t rc)
{
    const TrackRecord& t = m_mod.tracks[k];
    // A missing file the user chose to leave silent when the project opened is no news.
    if (m_silentFiles.contains(t.fileName.text()) && !trackFileExists(t.fileName.text()))
        return;
    // The previous track's edits that were not written are not this file's fault; a file of
    // samples Vumo cannot read is named for what it holds.
    const QString file = t.fileName.trimmed();
    if (rc < 10 || (rc >= 12 && rc <= 14 && !files::sampleFormatRefusal(file).isEmpty()))
    {
        checkLoad(m_ui, "SetCurTrack", rc, file);
        return;
    }
    QString text = QStringLiteral("Error in SetCurTrack: %1").arg(rc);
    if (const QString reason = engineReason(rc); !reason.isEmpty())
        text += u'\n' + reason;
    m_ui.message(text + QStringLiteral("\nTrack \"%1\": %2")
                            .arg(t.title.trimmed(), QDir::toNativeSeparators(file)));
}

void frmVumo::chooseTrack(int k)
{
    {
        const QSignalBlocker quiet(m_cboTrack);
        m_cboTrack->setCurrentIndex(k);
    }
    SwitchTrack();
}

void frmVumo::silenceMissing(const QList<QByteArray>& files)
{
    m_silentFiles = QSet<QByteArray>(files.begin(), files.end());
}

void frmVumo::mnuTrackAdd()
{
    m_trackCommands->mnuTrackAdd();
}

void frmVumo::mnuTrackDelete()
{
    m_trackCommands->mnuTrackDelete();
}

void frmVumo::mnuTrackCloneThis()
{
    m_trackCommands->mnuTrackCloneThis();
}

void frmVumo::mnuTrackCloneAll()
{
    m_trackCommands->mnuTrackCloneAll();
}

void frmVumo::mnuTrackProps()
{
    m_trackCommands->mnuTrackProps();
}

void frmVumo::removeTrackItem(int k)
{
    {
        const QSignalBlocker quiet(m_cboTrack);
        m_cboTrack->removeItem(k);
        m_cboTrack->setCurrentIndex(-1);
    }
    m_fraTrack->hide();
    refreshStrip();
}

QWidget* frmVumo::dialogParent()
{
    return this;
}

} // namespace vumo
