// TrackCommands: the Track menu's Add, Delete, the two clones and Properties, acting on the
// project's track table, the engine session and the UI services; the track list is the
// window's (StudioWindow).
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace vumo
{

class EngineSession;
class ProjectModel;
class StudioWindow;
class UiServices;
struct ModVumo;

class TrackCommands
{
public:
    // appFolder: where new track files go; clipFile: the clipboard wave file the clones use
    // (both are read at each command).
    TrackCommands(ProjectModel& model, EngineSession& session, UiServices& ui, StudioWindow& window,
                  const QString& appFolder, const QString& clipFile);

    void mnuTrackAdd();
    void mnuTrackDelete();
    void mnuTrackCloneThis();
    void mnuTrackCloneAll();
    void mnuTrackProps();

    // Writes the blank track file of track k; false (the user is told) when it cannot.
    bool WriteBlankWave(int k);

    // What Properties does with the load result of a track's new file before reporting it (the
    // conversion offered for a wave file Vumo cannot take as it is): the result left to report.
    void setLoadCheck(std::function<int32_t(int k, int32_t rc)> check)
    {
        m_loadCheck = std::move(check);
    }

private:
    bool writeBlankWave(const QString& path);
    bool roomForTrack();
    // Appends a track record (kind 't' for Add, 'c' for a clone) with its blank file and
    // loads it; false when nothing was added.
    bool appendTrack(char kind, int16_t volume, int16_t pan, int16_t mute);

    ProjectModel& m_model;
    const ModVumo& m_mod; // the model's state, read only
    EngineSession& m_session;
    UiServices& m_ui;
    StudioWindow& m_window;
    const QString& m_appFolder;
    const QString& m_clipFile;
    std::function<int32_t(int, int32_t)> m_loadCheck;
};

} // namespace vumo
