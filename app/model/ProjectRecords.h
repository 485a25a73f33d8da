// ProjectRecords: moves the project between the studio's state (modVumo) and the project
// file's records. Texts move as their bytes, never decoded and encoded again.
#pragma once

#include "model/ModVumo.h"
#include "project/ProjectFile.h"

namespace vumo
{

// The header fields and the first trackCount track records of mod, as the file stores them.
project::ProjectData toProjectData(const ModVumo& mod);

// Replaces the project header and the track table of mod by the file's; records after the
// file's last one are left as they were (they are not in use).
void fromProjectData(ModVumo& mod, const project::ProjectData& data);

// One track record of the file into the table.
void assignTrack(TrackRecord& track, const project::TrackRecordData& data);

} // namespace vumo
