// ProjectRecords: the project state to and from the project file's records.
#include "model/ProjectRecords.h"

namespace vumo
{

project::ProjectData toProjectData(const ModVumo& mod)
{
    project::ProjectData data;
    data.projVersion = mod.projVersion.toByteArray();
    data.projTitle = project::fieldText(mod.projTitle.toByteArray());
    data.trackLength = mod.trackLength;
    data.tempo = mod.tempo;
    data.projReserved = mod.projReserved.toByteArray();
    for (int k = 0; k < mod.trackCount && k < kMaxTracks; ++k)
    {
        const TrackRecord& t = mod.tracks[k];
        project::TrackRecordData r;
        r.title = project::fieldText(t.title.toByteArray());
        r.fileName = project::fieldText(t.fileName.toByteArray());
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
    track.title.assignBytes(project::padField(data.title, project::kTitleBytes));
    track.fileName.assignBytes(project::padField(data.fileName, project::kFileNameBytes));
    track.volume = data.volume;
    track.pan = data.pan;
    track.mute = data.mute;
    track.reserved.assignBytes(data.reserved);
}

void fromProjectData(ModVumo& mod, const project::ProjectData& data)
{
    mod.projVersion.assignBytes(data.projVersion);
    mod.projTitle.assignBytes(project::padField(data.projTitle, project::kTitleBytes));
    mod.trackLength = data.trackLength;
    mod.trackCount = static_cast<int16_t>(std::min<qsizetype>(data.tracks.size(), kMaxTracks));
    mod.tempo = data.tempo;
    mod.projReserved.assignBytes(data.projReserved);
    for (int k = 0; k < mod.trackCount; ++k)
        assignTrack(mod.tracks[k], data.tracks[k]);
}

} // namespace vumo
