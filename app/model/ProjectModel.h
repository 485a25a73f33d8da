// ProjectModel: the project (modVumo) as an object that owns it and tells its changes. Everything
// the studio changes in the project, the settings and the drum data goes through here, and each
// kind of change has its signal; the rest of the studio reads the state through mod(). It also
// knows whether the project differs from its file.
#pragma once

#include "model/ModVumo.h"
#include "project/ProjectFile.h"

#include <QObject>

#include <optional>

namespace vumo
{

class ProjectModel : public QObject
{
    Q_OBJECT

public:
    explicit ProjectModel(QObject* parent = nullptr) : QObject(parent) {}

    // The state, read only: trackLength, trackCount, tracks, currentTrack, settings ...
    const ModVumo& mod() const { return m_mod; }

    // The header and the track table from a project file (Open, New), with the recording time
    // shown for its length: projectReplaced.
    void replaceProject(const project::ProjectData& data, const QString& recTimeText);
    // The title, the track length and the recording time (Project Settings): headerChanged.
    void setProjectProps(const ProjectProps& props);
    // The tempo (Options): headerChanged.
    void setTempo(int32_t tempo);

    // Appends a track record: trackAdded; false (nothing changes) when the table is full.
    bool addTrack(const TrackRecord& track);
    // Removes track k, the later ones moving up: trackRemoved.
    void removeTrack(int k);
    // Track k's title and file (Track Properties): trackChanged.
    void setTrackNames(int k, const FixedText<16>& title, const FixedText<128>& fileName);
    // Track k's volume, pan and mute: trackGainsChanged.
    void setTrackGains(int k, int16_t volume, int16_t pan, int16_t mute);
    void setVolume(int k, int value);
    void setPan(int k, int value);
    void setMute(int k, bool on);
    // The track the track list shows: currentTrackChanged.
    void setCurrentTrack(int k);

    // The per-user settings: settingsChanged.
    void setSettings(const StudioSettings& settings);
    // The drum editor's patterns and song: drumsChanged.
    void setDrums(const drums::DrumData& drums);

    // The project as its file holds it, at the last Save, Open or New: asStored, or the project
    // as it is now.
    void markSaved();
    void markSaved(const project::ProjectData& asStored) { m_saved = asStored; }
    // Whether the project's own values (the header and the track records: titles, files,
    // volumes, pans, mutes, length, tempo) differ from what markSaved recorded; false before
    // the first project.
    bool unsaved() const;

    // Each signal comes after its change, and only when something changed (projectReplaced
    // and drumsChanged always). A track outside the table (k < 0 or k >= trackCount) is left alone.
signals:
    void projectReplaced();
    void headerChanged();
    void trackAdded(int track);
    void trackRemoved(int track);
    void trackChanged(int track);
    void trackGainsChanged(int track);
    void currentTrackChanged(int track);
    void settingsChanged();
    void drumsChanged();

private:
    bool inTable(int k) const { return k >= 0 && k < m_mod.trackCount; }

    ModVumo m_mod;
    std::optional<project::ProjectData> m_saved;
};

} // namespace vumo
