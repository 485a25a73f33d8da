// ProjectModel: the track gains with their change signal, and the project's unsaved changes.
#include "model/ProjectModel.h"

#include "project/ProjectRecords.h"

namespace vumo
{

void ProjectModel::setTrackGains(int k, int16_t volume, int16_t pan, int16_t mute)
{
    if (k < 0 || k >= m_mod.trackCount)
        return;
    TrackRecord& t = m_mod.tracks[k];
    if (t.volume == volume && t.pan == pan && t.mute == mute)
        return;
    t.volume = volume;
    t.pan = pan;
    t.mute = mute;
    emit trackGainsChanged(k);
}

void ProjectModel::setVolume(int k, int value)
{
    if (k >= 0 && k < m_mod.trackCount)
        setTrackGains(k, static_cast<int16_t>(value), m_mod.tracks[k].pan, m_mod.tracks[k].mute);
}

void ProjectModel::setPan(int k, int value)
{
    if (k >= 0 && k < m_mod.trackCount)
        setTrackGains(k, m_mod.tracks[k].volume, static_cast<int16_t>(value), m_mod.tracks[k].mute);
}

void ProjectModel::setMute(int k, bool on)
{
    if (k >= 0 && k < m_mod.trackCount)
        setTrackGains(k, m_mod.tracks[k].volume, m_mod.tracks[k].pan, on ? 1 : 0);
}

void ProjectModel::markSaved()
{
    m_saved = toProjectData(m_mod);
}

bool ProjectModel::unsaved() const
{
    return m_saved && !(toProjectData(m_mod) == *m_saved);
}

} // namespace vumo
