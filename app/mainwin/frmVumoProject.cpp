// frmVumo's File menu, carried out by FileCommands, and the caption and labels of a project.
#include "mainwin/frmVumo.h"

#include "commands/FileCommands.h"
#include "commands/TrackTable.h"
#include "dialogs/FrmMessage.h"
#include "dialogs/FrmProjProps.h"
#include "engineapi/EngineBinding.h"
#include "model/ProjectModel.h"
#include "model/ProjectRecords.h"
#include "project/ProjectFile.h"
#include "services/UiServices.h"
#include "undo/UndoSteps.h"
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

// ---- the File menu, carried out by FileCommands ---------------------------------------------

void frmVumo::mnuFileNew()
{
    m_fileCommands->mnuFileNew();
}

void frmVumo::mnuFileOpen()
{
    m_fileCommands->mnuFileOpen();
}

void frmVumo::OpenProject(const QString& path)
{
    m_fileCommands->OpenProject(path);
}

void frmVumo::OpenCabinet(const QString& path)
{
    m_fileCommands->openFile(path);
}

void frmVumo::mnuFileSave()
{
    m_fileCommands->mnuFileSave();
}

bool frmVumo::SaveProject()
{
    return m_fileCommands->SaveProject();
}

void frmVumo::mnuFileSaveAs()
{
    m_fileCommands->mnuFileSaveAs();
}

void frmVumo::mnuFileProps()
{
    m_fileCommands->mnuFileProps();
}

void frmVumo::CloseProject()
{
    m_fileCommands->CloseProject();
}

void frmVumo::OpenEngine()
{
    m_fileCommands->OpenEngine();
}

// ---- what the commands see of the window ----------------------------------------------------

void frmVumo::clearTrackList()
{
    const QSignalBlocker quiet(m_cboTrack);
    m_cboTrack->clear();
    m_fraTrack->hide();
    m_bufferClean = false; // the engine closes with the project
    m_undo->clear();
    refreshStrip();
}

void frmVumo::engineOpened()
{
    m_bufferClean = false; // a new buffer, silent
    m_view->setScaleForTrack();
    m_view->SelectAll();
}

void frmVumo::UpdateCaption()
{
    // A "*" marks changes of the project that its file does not hold yet.
    m_captioned = true;
    setWindowTitle(QStringLiteral("Vumo - ") + m_mod.projTitle.trimmed() +
                   (m_model.unsaved() ? QStringLiteral(" *") : QString()));
}

void frmVumo::refreshCaption()
{
    if (m_captioned)
        UpdateCaption();
}

void frmVumo::updateProjectLabels()
{
    m_lblLength->setText(QStringLiteral("Len: ") + m_mod.recTimeText);
    m_lblMem->setText(
        QStringLiteral("Mem: %1MB").arg(bytesToRoundedMB(m_memoryProbe().availableBytes)));
}

// ---- New, Properties ----------------------------------------------------------------------

} // namespace vumo
