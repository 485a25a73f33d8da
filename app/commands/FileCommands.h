// FileCommands: the File menu's New, Open, Save, Save As and Properties, and the opening and
// closing of the engine for a project. They act on the project, the engine session and the
// UI services; the caption, the labels and the track list are the window's (StudioWindow).
#pragma once

#include "settings/PhysicalMemory.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace vumo
{

class EngineSession;
class ProjectModel;
class StudioWindow;
class TrackCommands;
class UiServices;
struct ModVumo;
struct ProjectProps;
namespace project
{
struct ProjectData;
}

class FileCommands
{
public:
    // model: the project and its unsaved changes; fileSpec: the open project file (FILESPEC);
    // memoryProbe: the physical memory figures.
    FileCommands(ProjectModel& model, EngineSession& session, UiServices& ui, StudioWindow& window,
                 TrackCommands& tracks, QString& fileSpec,
                 const std::function<MemoryStatus()>& memoryProbe);

    // startupNew: the New of the start-up, whose Project Settings dialog has no Cancel; closing it
    // leaves a project without tracks.
    void mnuFileNew(bool startupNew = false);
    void mnuFileOpen();
    // What Open does with the file chosen: a project is opened, a cabinet unpacked and its
    // project opened; anything else is refused with a message.
    void openFile(const QString& path);
    // OpenCabinet for Open of a ".cab": unpacks it and returns the project to open, or empty.
    void setCabinetOpener(std::function<QString(const QString&)> opener)
    {
        m_openCabinet = std::move(opener);
    }
    void OpenProject(const QString& path);
    void mnuFileSave();
    void mnuFileSaveAs();
    void mnuFileProps();
    // Writes the project file (Save As when there is none yet) and the current track's
    // pending edits. False when the project file could not be written (the user is told).
    bool SaveProject();
    // Shows the Project Settings dialog over shown: the values set, nothing when cancelled.
    std::optional<ProjectProps> ProjectSettings(const ProjectProps& shown, bool cancellable);
    void CloseProject();
    void OpenEngine();
    // Before the project is closed for another or for good: when it has unsaved changes, asks
    // whether to save them. True to go on (saved, or No); false to keep the studio as it is
    // (Cancel, or a save that did not happen).
    bool offerToSaveProject();

private:
    // Sets the project's title and length, then closes and opens the engine for them and hands
    // the tracks over again; `current` (when another than the last) stays chosen.
    void reopenWith(const ProjectProps& props, int current);
    // Hands the records in memory to the engine one by one; only the last one is loaded, or
    // `current` when it is another track.
    void reloadTracks(int current = -1);
    // A length shorter than the project's cuts off the sound past it at each track's next save:
    // says how much, for the track that loses most, and asks. True to make it shorter.
    bool shorterLengthAgreed(int32_t length);
    // Offers to find each track file of data that does not exist; a file found replaces the
    // record's, the others are left silent.
    void findMissingTracks(project::ProjectData& data);

    ProjectModel& m_model;
    const ModVumo& m_mod; // the model's state, read only
    EngineSession& m_session;
    UiServices& m_ui;
    StudioWindow& m_window;
    TrackCommands& m_tracks;
    QString& m_fileSpec;
    const std::function<MemoryStatus()>& m_memoryProbe;
    std::function<QString(const QString&)> m_openCabinet;
};

} // namespace vumo
