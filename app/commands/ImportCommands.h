// ImportCommands: Track > Import Audio... and audio files dropped on the main window, each
// decoded into a new track; and the offer to convert a wave file Vumo cannot take as it is
// (24-bit, floating point, another rate ...) when a track load, Paste From or Copy From meets
// one.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace vumo
{

class EngineSession;
class ProjectModel;
class StudioWindow;
class UiServices;
struct ModVumo;

class ImportCommands
{
public:
    // appFolder: where new track files go, as for Add (read at each command).
    ImportCommands(ProjectModel& model, EngineSession& session, UiServices& ui,
                   StudioWindow& window, const QString& appFolder);

    // Asks for a file and imports it.
    void mnuTrackImport();
    // True while files are imported or converted (window events are handled between pieces):
    // another import waits for this one to end, and so does closing the studio.
    bool busy() const { return m_busy; }
    // Imports the files one after the other, each as a new track at the volume, pan and mute
    // Add gives, titled after its file name, and makes the last one current. A file that
    // cannot be imported is named and skipped; a cancel or the 17-track limit ends the run.
    void importFiles(const QStringList& files);

    enum class Conversion
    {
        NotNeeded, // the file is a wave file Vumo takes as it is, or no wave file at all
        Converted, // the target holds the converted copy
        UseAsIs,   // the user said No to a file the engine takes (at the wrong rate)
        Stop       // No to a file the engine refuses, or the conversion failed or was cancelled
    };
    // When file needs converting (files::conversionNeed), asks with the reason, headed by
    // `heading` and followed by `question`; Yes converts it into target, cut at maxFrames.
    Conversion offerConversion(const QString& file, const QString& target, const QString& heading,
                               const QString& question, int64_t maxFrames);
    // After track k's load gave rc: a wave file the engine refused for its samples (12 to 14)
    // or took wrongly (1 to 3: more than two channels, another rate) is offered for conversion into
    // a new file beside it that the track then uses (its original stays as it is). Returns the
    // result left to report: rc, the load of the converted copy, or 0 when the user was told or
    // said No. A file kept as it is is not asked about again while the studio runs.
    int32_t convertOnLoad(int k, int32_t rc);
    // Where a converted copy for one Paste From is written (removed after the paste).
    QString pasteScratchFile() const;
    // The most frames a converted clip or track holds: the project's track length.
    int64_t trackFrames() const;

private:
    bool canImport();
    // Decodes file into a new track; false when the run should stop (cancelled).
    bool importOne(const QString& file);
    // A name of no existing file for track k's imported file, or empty (told).
    QString newImportFileName(int k);
    void addImportedTrack(int k, const QString& file, const QString& path);

    ProjectModel& m_model;
    const ModVumo& m_mod; // the model's state, read only
    EngineSession& m_session;
    UiServices& m_ui;
    StudioWindow& m_window;
    const QString& m_appFolder;
    QSet<QString> m_keptAsIs; // track files the user chose to keep at their own rate
    bool m_busy = false;
};

} // namespace vumo
