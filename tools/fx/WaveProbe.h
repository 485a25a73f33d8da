// Reads a wave file's header to size the engine for it: how many frames its data holds.
#pragma once

#include <cstdint>
#include <string>

namespace vumo::fxtool
{

struct WaveInfo
{
    int64_t frames = 0; // frames of data the file actually holds (mono samples count as frames)
    int32_t channels = 0;
    int32_t rate = 0;
    int32_t bits = 0;
    std::string error; // empty when the header could be read
};

// Walks the RIFF chunks of path for "fmt " and "data". A data size larger than the file is cut
// to what the file holds.
WaveInfo probeWave(const std::string& path);

// The message for a load result of 10 or more from the engine.
std::string loadResultText(int32_t result);

} // namespace vumo::fxtool
