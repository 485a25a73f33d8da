// frmVumo: the main window: picture buttons, track controls, the waveform view and the whole
// menu tree. Every command of the studio starts here.
#pragma once

#include "commands/ProjectCommands.h"
#include "commands/StudioWindow.h"
#include "engineapi/EngineSession.h"
#include "model/ModVumo.h"
#include "settings/AppFolder.h"
#include "settings/PhysicalMemory.h"
#include "view/Overviews.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QScrollBar;
class QSettings;
class QTimer;
class QToolButton;

namespace vumo
{

class CabinetCommands;
class CaptureCommands;
class EditCommands;
class EngineBinding;
class FrmMessage;
class ImportCommands;
class Transport;
class ProjectModel;
class TransportCommands;
class TrackCommands;
class FileCommands;
class UndoSteps;
class StudioToolCommands;
class UiServices;
namespace view
{
class Overviews;
class Ruler;
class TrackStrip;
class WaveformView;
} // namespace view

class frmVumo : public QMainWindow, public ProjectCommands, public StudioWindow
{
    Q_OBJECT

public:
    // model: the project state (modVumo), which every command changes through it; engine: the
    // wavorn exports; ui: message boxes and file choices; store: the per-user settings.
    frmVumo(ProjectModel& model, EngineBinding& engine, UiServices& ui, QSettings& store,
            QWidget* parent = nullptr);
    ~frmVumo() override;

    QString FILESPEC;    // the open project file; empty until saved or opened
    QString CLIPFILE;    // application folder + "clipper.wav"
    int32_t sampPos = 0; // play position, frames

    // Whether the engine is open for the project (bInitLib), and its opening and closing.
    EngineSession& session() { return m_session; }

    // The start-up sequence after the window is shown: settings, clipboard path, view scales,
    // then the first project from the command line (program arguments) or the user's choice.
    void startUp(const QStringList& arguments);

    // Help mode: the "what's this" pointer; the next picture button click opens its topic.
    bool helpMode() const;
    void setHelpMode(bool on);
    // Opens the help page at topic (an anchor such as "#Open", or empty) in the web browser.
    void ShowHelp(const QString& topic);
    // The About box's text.
    static QString aboutText();

    // The waveform view and its routines.
    view::WaveformView* picView() const { return m_view; }
    // Every track in view beside the picture, the time ruler above it, and the overviews of the
    // track files they draw from.
    view::TrackStrip* trackStrip() const { return m_strip; }
    view::Ruler* ruler() const { return m_ruler; }
    view::Overviews& overviews() const { return *m_overviews; }
    // Follows Play and Record; the play cursor follows it.
    Transport& transport() const { return *m_transport; }
    void DrawTrack() override;
    void SetViewWindow();

    // Project commands completed with the project files; start-up calls them.
    void OpenProject(const QString& path) override;
    void OpenCabinet(const QString& path) override;
    void NewAtStartup() override;
    QString projectFile() const override { return FILESPEC; }
    void CloseProject();
    void OpenEngine();
    // Writes the project file (Save As when there is none yet) and the current track's
    // pending edits. False when the project file could not be written (the user is told).
    bool SaveProject();
    void UpdateCaption() override;
    void updateProjectLabels() override;
    void clearTrackList() override;
    void engineOpened() override;

    // The track table and the engine.
    void PushAllTracks();
    // Hands track k to the engine and the track list and switches to it; reload 0 leaves the
    // engine's buffer as it is (while a project's tracks are handed over one by one).
    void LoadTrack(int k, int32_t reload = -1) override;
    void SwitchTrack(int32_t reload = -1);

    // EnableRecord / DisableRecord: both cmdRec and mnuControlRecord.
    void EnableRecord();
    void DisableRecord();

    // What the commands see of the window (StudioWindow).
    void EnableControls(bool enable) override;
    Selection& selection() override;
    int chosenTrack() const override;
    void showMessage(const QString& text) override;
    void hideMessage() override;
    bool drumsActive() const override;
    bool mergeRecord() const override;
    void chooseTrack(int k) override;
    void silenceMissing(const QList<QByteArray>& files) override;
    void removeTrackItem(int k) override;
    QWidget* dialogParent() override;
    bool keepStep(int32_t first, int32_t last, const QString& label) override;

    // The undo and redo steps of every track of the open project.
    UndoSteps& undoSteps() const { return *m_undo; }

    // Where the physical memory figures come from (the platform; tests set their own).
    void setMemoryProbe(std::function<MemoryStatus()> probe) { m_memoryProbe = std::move(probe); }

    // A command of the menu tree or a picture button: a handler of this window.
    using Command = void (frmVumo::*)();
    // Runs a command (menuItem names it, "mnuControlRecord"), then brings the caption and the
    // strip up to date and closes the window when a close came while it ran.
    void runCommand(const QString& menuItem, Command command);
    void runCommand(const QString& menuItem, const std::function<void()>& command);

signals:
    // Another program wrote the file of track k while the project was open.
    void trackFileChangedOutside(int track, const QString& path);

public slots:
    void mnuFileNew();
    void mnuFileOpen() override;
    void mnuFileProps();
    void mnuFileSave();
    void mnuFileSaveAs();
    void mnuFileCab();
    void mnuFileExit();
    // Ctrl+Z and Ctrl+Shift+Z (Ctrl+Y): the last change of the current track undone, redone.
    void mnuEditUndoStep();
    void mnuEditRedoStep();
    // Revert to Saved: the current track back to its file as last saved, after a question.
    void mnuEditUndo();
    void mnuEditCut();
    void mnuEditCopy();
    void mnuEditPaste();
    void mnuEditMerge();
    void mnuEditCopyFrom();
    void mnuEditCopyTo();
    void mnuEditPasteFromStraight();
    void mnuEditPasteFromMerged();
    void mnuEditPasteFromRing();
    void mnuEditPasteFromNegative();
    void mnuEditSelectAll();
    void mnuControlPlay();
    void mnuControlRecord();
    void mnuControlStop();
    void mnuControlArm();
    void mnuControlMerge();
    void mnuControlActivateDrums();
    void mnuTrackAdd();
    void mnuTrackImport();
    void mnuTrackProps();
    void mnuTrackDelete();
    void mnuTrackCloneThis();
    void mnuTrackCloneAll();
    // Every item of the FX menu: item is its name ("mnuFXEcho").
    void mnuFX_Click(const QString& item);
    void mnuFXList();
    void mnuTrackMix();
    void mnuControlRip();
    void mnuControlSK1();
    void mnuAddInDrum();
    void mnuAddInMixer();
    void mnuAddInMidi();
    void mnuToolsOptions();
    void mnuHelpContents();
    void mnuHelpAbout();
    void cmdHelp_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Audio files dropped on the window are imported as tracks (Track > Import Audio...).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    QWidget* buildButtonRow();
    QWidget* buildTrackRow();
    QToolButton* addPictureButton(const char* name, const char* icon, const QString& tip,
                                  const char* tag, const char* menuItem, Command command);
    void connectCheckBox(QCheckBox* box, const char* menuItem);
    // Closes the window when a close came while a command was running.
    void closeIfPending();
    // Says once for good (remembered in the settings) that the working files are not kept
    // beside the program.
    void tellApplicationFolder();
    // The caption follows the project's unsaved changes once a project is shown.
    void refreshCaption();
    // The undo steps follow the project's tracks; the Edit menu names the next undo and redo
    // (frmVumoUndo.cpp).
    void connectUndoSteps();
    void refreshUndoItems();
    // While the studio is idle, the current track's image is written for the next step to take.
    void keepTrackImage();
    void stepTrack(bool back);
    void dropStepsChangedOutside(int k, const QString& path);
    // A track file that could not be loaded: the engine's result with the track and its file.
    void reportLoadFailure(int k, int32_t rc);
    void zoomChanged();
    void trackListChanged(int index);
    // The play cursor follows the transport's position.
    void showPlayPosition(int32_t frame);
    void hidePlayCursor();
    // The track strip, the ruler, the status bar's times and Space (frmVumoStrip.cpp).
    QWidget* buildViewArea(QWidget* parent);
    void buildStatusBar();
    void refreshStrip();
    void showSelectionTimes();
    void playOrStop();
    // Whether the engine's buffer may no longer hold its file as loaded once menuItem has run.
    void noteCommand(const QString& menuItem);
    // The buffer holds track k's file as just loaded, when rc says it was loaded.
    void noteTrackLoaded(int k, int32_t rc);
    // The overview the picture may draw from: the buffer's file, unchanged since it was loaded.
    std::shared_ptr<const view::TrackOverview> overviewForView();

    ProjectModel& m_model;
    const ModVumo& m_mod; // the model's state, read only
    EngineBinding& m_engine;
    EngineSession m_session{m_engine};
    UiServices& m_ui;
    QSettings& m_store;
    const AppFolderChoice m_appFolderChoice;
    QString m_appFolder;
    bool m_shutDown = false;
    bool m_closePending = false;    // a close asked for under a running command
    bool m_captioned = false;       // the caption shows a project
    QSet<QByteArray> m_silentFiles; // missing track files the user chose to leave silent
    Transport* m_transport = nullptr;
    std::unique_ptr<TransportCommands> m_transportCommands;
    std::unique_ptr<TrackCommands> m_trackCommands;
    std::unique_ptr<FileCommands> m_fileCommands;
    std::unique_ptr<EditCommands> m_editCommands;
    std::unique_ptr<CabinetCommands> m_cabinetCommands;
    std::unique_ptr<CaptureCommands> m_captureCommands;
    std::unique_ptr<StudioToolCommands> m_toolCommands;
    std::unique_ptr<ImportCommands> m_importCommands;
    std::unique_ptr<UndoSteps> m_undo;
    QTimer* m_imageTimer = nullptr; // started by every command and switch, fires when idle
    int32_t m_cursorX = -1;         // the column of the play cursor drawn, -1 for none
    std::function<MemoryStatus()> m_memoryProbe = physicalMemory;

    view::WaveformView* m_view = nullptr;
    view::Overviews* m_overviews = nullptr;
    view::TrackStrip* m_strip = nullptr;
    view::Ruler* m_ruler = nullptr;
    QLabel* m_lblSelection = nullptr;
    QLabel* m_lblPosition = nullptr;
    int m_commandDepth = 0; // commands and track switches under way
    // The file the engine's buffer was loaded from, as it was then, and whether the buffer
    // still holds it unchanged (no command that may edit it has run since).
    QString m_bufferFile;
    view::FileStamp m_bufferStamp;
    bool m_bufferClean = false;
    bool m_bufferChecked = false; // the overview was compared with the buffer and matched
    FrmMessage* m_message = nullptr;
    QStringList m_messageTexts;         // of the operations showing it, the innermost last
    QHash<QString, QAction*> m_actions; // menu items by name
    QComboBox* m_cboTrack = nullptr;
    QGroupBox* m_fraTrack = nullptr;
    QCheckBox* m_chkArm = nullptr;
    QCheckBox* m_chkMerge = nullptr;
    QCheckBox* m_chkDrums = nullptr;
    QCheckBox* m_chkMute = nullptr;
    QScrollBar* m_hscVol = nullptr;
    QScrollBar* m_hscPan = nullptr;
    QScrollBar* m_hscZoom = nullptr;
    QScrollBar* m_hscView = nullptr;
    QLabel* m_lblMem = nullptr;
    QLabel* m_lblLength = nullptr;
};

} // namespace vumo
