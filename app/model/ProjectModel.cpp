// ProjectModel: the project state's changes, each with its signal, and its unsaved changes.
#include "model/ProjectModel.h"

#include "model/ProjectRecords.h"

namespace vumo
{

void ProjectModel::replaceProject(const project::ProjectData& data, const QString& recTimeText)
{
    fromProjectData(m_mod, data);
    m_mod.recTimeText = recTimeText;
    emit projectReplaced();
}

void ProjectModel::setProjectProps(const ProjectProps& props)
{
    const ProjectProps now{m_mod.projTitle, m_mod.trackLength, m_mod.recTimeText};
    if (props == now)
        return;
    m_mod.projTitle = props.projTitle;
    m_mod.trackLength = props.trackLength;
    m_mod.recTimeText = props.recTimeText;
    emit headerChanged();
}

void ProjectModel::setTempo(int32_t tempo)
{
    if (tempo == m_mod.tempo)
        return;
    m_mod.tempo = tempo;
    emit headerChanged();
}

bool ProjectModel::addTrack(const TrackRecord& track)
{
    const int k = m_mod.trackCount;
    if (k >= kMaxTracks)
        return false;
    m_mod.tracks[k] = track;
    m_mod.trackCount = static_cast<int16_t>(k + 1);
    emit trackAdded(k);
    return true;
}

void ProjectModel::removeTrack(int k)
{
    if (!inTable(k))
        return;
    for (int j = k; j + 1 < m_mod.trackCount; ++j)
        m_mod.tracks[j] = m_mod.tracks[j + 1];
    m_mod.trackCount = static_cast<int16_t>(m_mod.trackCount - 1);
    emit trackRemoved(k);
}

void ProjectModel::setTrackNames(int k, const FixedText<16>& title, const FixedText<128>& fileName)
{
    if (!inTable(k))
        return;
    TrackRecord& t = m_mod.tracks[k];
    if (t.title == title && t.fileName == fileName)
        return;
    t.title = title;
    t.fileName = fileName;
    emit trackChanged(k);
}

void ProjectModel::setTrackGains(int k, int16_t volume, int16_t pan, int16_t mute)
{
    if (!inTable(k))
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
    if (inTable(k))
        setTrackGains(k, static_cast<int16_t>(value), m_mod.tracks[k].pan, m_mod.tracks[k].mute);
}

void ProjectModel::setPan(int k, int value)
{
    if (inTable(k))
        setTrackGains(k, m_mod.tracks[k].volume, static_cast<int16_t>(value), m_mod.tracks[k].mute);
}

void ProjectModel::setMute(int k, bool on)
{
    if (inTable(k))
        setTrackGains(k, m_mod.tracks[k].volume, m_mod.tracks[k].pan, on ? 1 : 0);
}

void ProjectModel::setCurrentTrack(int k)
{
    if (!inTable(k) || k == m_mod.currentTrack)
        return;
    m_mod.currentTrack = k;
    emit currentTrackChanged(k);
}

void ProjectModel::setSettings(const StudioSettings& settings)
{
    if (settings == m_mod.settings)
        return;
    m_mod.settings = settings;
    emit settingsChanged();
}

void ProjectModel::setDrums(const drums::DrumData& drums)
{
    m_mod.drums = drums;
    emit drumsChanged();
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
