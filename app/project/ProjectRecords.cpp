// ProjectRecords: the project state to and from the project file's records.
#include "project/ProjectRecords.h"

namespace vumo
{

project::ProjectData toProjectData(const ModVumo& mod)
{
    project::ProjectData data;
    data.projVersion = mod.projVersion.toByteArray();
    data.projTitle = mod.projTitle.trimmed();
    data.trackLength = mod.trackLength;
    data.tempo = mod.tempo;
    data.projReserved = mod.projReserved.toByteArray();
    for (int k = 0; k < mod.trackCount && k < kMaxTracks; ++k)
    {
        const TrackRecord& t = mod.tracks[k];
        project::TrackRecordData r;
        r.title = t.title.trimmed();
        r.fileName = t.fileName.trimmed();
        r.volume = t.volume;
        r.pan = t.pan;
        r.mute = t.mute;
        r.reserved = t.reserved.toByteArray();
        data.tracks.append(r);
    }
    return data;
}

void assignTrack(TrackRecord& track, const project::TrackRecordData& data)
{
    track.title.assign(data.title);
    track.fileName.assign(data.fileName);
    track.volume = data.volume;
    track.pan = data.pan;
    track.mute = data.mute;
    track.reserved.assignBytes(data.reserved);
}

void fromProjectData(ModVumo& mod, const project::ProjectData& data)
{
    mod.projVersion.assignBytes(data.projVersion);
    mod.projTitle.assign(data.projTitle);
    mod.trackLength = data.trackLength;
    mod.trackCount = static_cast<int16_t>(std::min<qsizetype>(data.tracks.size(), kMaxTracks));
    mod.tempo = data.tempo;
    mod.projReserved.assignBytes(data.projReserved);
    for (int k = 0; k < mod.trackCount; ++k)
        assignTrack(mod.tracks[k], data.tracks[k]);
}

} // namespace vumo
