// VirtualWaveSource: reads the frames of a wave file that the virtual input captures from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform
{

// Reads at most maxFrames frames of a 16-bit stereo PCM wave file (its chunks are walked, so
// headers longer than 44 bytes are fine) into samples, interleaved. False, with samples empty,
// when the file cannot be read or holds another format.
bool readWaveFrames(const std::string& path, size_t maxFrames, std::vector<int16_t>& samples);

} // namespace platform
