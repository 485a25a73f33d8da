// StudioToolCommands: the commands that open the studio's tool windows over the current project:
// an effect of the F&X menu, the effect chain (FX List), the mixer (Master), the drum editor,
// and the outside mixer and sequencer programs of the Add-Ins menu.
#pragma once

#include "fx/EffectSetting.h"

#include <QString>

#include <functional>

namespace vumo
{

class EngineSession;
class ProjectModel;
class StudioWindow;
class UiServices;

class StudioToolCommands
{
public:
    // switchTrack: the current-track change (the track controls show the chosen track's values
    // and the engine gets the whole table), run after the mixer's Apply. settingsFile: where
    // the settings are kept, named when an outside program's path is wrong.
    StudioToolCommands(ProjectModel& model, EngineSession& session, UiServices& ui,
                       StudioWindow& window, std::function<void()> switchTrack,
                       QString settingsFile = {});

    // Every item of the F&X menu: item is its name ("mnuFXEcho").
    void mnuFX_Click(const QString& item);
    void mnuFXList();
    void mnuTrackMix();
    void mnuAddInDrum();
    void mnuAddInMixer();
    void mnuAddInMidi();

private:
    // The engine is open and a track is chosen (the user is told otherwise).
    bool editableTrack();
    void startOutsideProgram(const QString& path);

    ProjectModel& m_model;
    EngineSession& m_session;
    UiServices& m_ui;
    StudioWindow& m_window;
    std::function<void()> m_switchTrack;
    QString m_settingsFile;
    fx::EffectSetting m_effectSetting; // the last effect's values, kept while the program runs
};

} // namespace vumo
