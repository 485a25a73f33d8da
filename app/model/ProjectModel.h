// ProjectModel: the project (modVumo) as an object that tells its changes. The track controls
// and the commands (and the mixer) edit a track's gains through it and follow each other; it
// also knows whether the project differs from its file.
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
    explicit ProjectModel(ModVumo& mod, QObject* parent = nullptr) : QObject(parent), m_mod(mod) {}

    ModVumo& mod() const { return m_mod; }

    // Sets track k's volume, pan and mute; trackGainsChanged tells a change. A track outside
    // the table is left alone.
    void setTrackGains(int k, int16_t volume, int16_t pan, int16_t mute);
    void setVolume(int k, int value);
    void setPan(int k, int value);
    void setMute(int k, bool on);

    // The project as its file holds it, at the last Save, Open or New: asStored, or the project
    // as it is now.
    void markSaved();
    void markSaved(const project::ProjectData& asStored) { m_saved = asStored; }
    // Whether the project's own values (the header and the track records: titles, files,
    // volumes, pans, mutes, length, tempo) differ from what markSaved recorded; false before
    // the first project.
    bool unsaved() const;

signals:
    void trackGainsChanged(int track);

private:
    ModVumo& m_mod;
    std::optional<project::ProjectData> m_saved;
};

} // namespace vumo
