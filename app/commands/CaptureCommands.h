// CaptureCommands: "&SK1 Mode" (play the project while recording the MIDI keyboard, then render
// every note into the current track from the clipboard sample) and "&Rip MCI" (record a media
// file or a CD track into the selection of the current track, sample for sample).
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace vumo
{

class EngineSession;
class ProjectModel;
class StudioWindow;
class TransportCommands;
class UiServices;

// The media a Rip pass records, through the device layer: a file path, or "cdda:" and a track
// number.
struct MediaCapture
{
    // Empty when the source can be recorded; otherwise why not, for the user.
    std::function<QString(const QString& source)> probe;
    // The source the next recording pass takes its input from; empty: the wave input again.
    std::function<void(const QString& source)> select;
};

// The device layer's media: probed with its reader, and handed to the engine's wave devices for
// the next recording pass through VUMO_CAPTURE_SOURCE (the engine's input reads it when a pass
// starts).
MediaCapture deviceMediaCapture();

class CaptureCommands
{
public:
    CaptureCommands(const ProjectModel& model, EngineSession& session, TransportCommands& transport,
                    UiServices& ui, StudioWindow& window, const QString& clipFile,
                    MediaCapture media);

    void mnuControlSK1();
    void mnuControlRip();

    // The pitch ratio of MIDI note n, from the sample keyboard's fixed table: note 60 is 1.0,
    // each octave doubles, and the twelve steps are the table's decimal values (not equal
    // temperament).
    static double noteRatio(int note);

private:
    bool canStart();
    // Renders every note of the record list into the current track with SK1.
    void renderNotes();

    const ProjectModel& m_model;
    EngineSession& m_session;
    TransportCommands& m_transport;
    UiServices& m_ui;
    StudioWindow& m_window;
    const QString& m_clipFile; // the window's CLIPFILE, set at start-up
    MediaCapture m_media;
};

} // namespace vumo
