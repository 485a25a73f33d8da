// TransportCommands: Play, Record and Stop, the preparation every pass goes through and the
// wait for its end. They act on the project, the engine session and the transport, and reach
// the window only through StudioWindow.
#pragma once

#include <cstdint>

namespace vumo
{

class EngineSession;
class ProjectModel;
class StudioWindow;
class Transport;
class UiServices;
struct ModVumo;

class TransportCommands
{
public:
    TransportCommands(ProjectModel& model, EngineSession& session, Transport& transport,
                      UiServices& ui, StudioWindow& window);

    void mnuControlPlay();
    void mnuControlRecord();
    void mnuControlStop();

    // True from PrepareTransport to the end of Play or Record.
    bool passRunning() const { return m_passRunning; }

    // Locks the controls, shows "Mixing Tracks ...", hands the track table to the engine and
    // queues the drum song when drums are active.
    void PrepareTransport();
    // Waits for the transport's end, then stops the drums and unlocks the controls.
    void WaitWhilePlaying();
    // The end of a pass that a command other than Play and Record ran.
    void endPass() { m_passRunning = false; }
    // Asks to unmute the chosen track for a take when its gains are zero; false when the user
    // keeps it so (the take would be silence).
    bool takeWillBeHeard();

private:
    bool canStart();

    ProjectModel& m_model;
    const ModVumo& m_mod; // the model's state, read only
    EngineSession& m_session;
    Transport& m_transport;
    UiServices& m_ui;
    StudioWindow& m_window;
    bool m_passRunning = false;
};

} // namespace vumo
