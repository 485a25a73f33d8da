// OpenLib, CloseLib and the track table exports.
#pragma once

#include <cstdint>

namespace wavorn
{

int32_t openLib(int32_t trackLen, bool logging);
int32_t closeLib();
int32_t clearTracks();
int32_t setTrackInfo(int32_t track, const char* fileName);
int32_t setTrackAttr(int32_t track, int32_t volume, int32_t pan);
int32_t setCurTrack(int32_t track, bool reload);

} // namespace wavorn
