// FileCommands: the File menu's New, Open, Save, Save As and Properties, and the opening and
// closing of the engine for a project. They act on the project, the engine session and the
// UI services; the caption, the labels and the track list are the window's (StudioWindow).
#pragma once

#include "settings/PhysicalMemory.h"

#include <QString>

#include <functional>

namespace vumo
{

class EngineSession;
class StudioWindow;
class TrackCommands;
class UiServices;
struct ModVumo;

class FileCommands
{
public:
    // fileSpec: the open project file (FILESPEC); memoryProbe: the physical memory figures.
    FileCommands(ModVumo& mod, EngineSession& session, UiServices& ui, StudioWindow& window,
                 TrackCommands& tracks, QString& fileSpec,
                 const std::function<MemoryStatus()>& memoryProbe);

    void mnuFileNew();
    void mnuFileOpen();
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
    // Shows the Project Settings dialog; false when it was cancelled.
    bool ProjectSettings();
    void CloseProject();
    void OpenEngine();

private:
    bool runProjectProperties();
    // Hands the records in memory to the engine one by one; only the last one is loaded.
    void reloadTracks();

    ModVumo& m_mod;
    EngineSession& m_session;
    UiServices& m_ui;
    StudioWindow& m_window;
    TrackCommands& m_tracks;
    QString& m_fileSpec;
    const std::function<MemoryStatus()>& m_memoryProbe;
    std::function<QString(const QString&)> m_openCabinet;
};

} // namespace vumo
