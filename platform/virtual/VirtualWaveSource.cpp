// VirtualWaveSource: reads a 16-bit stereo PCM wave file's frames, walking its RIFF chunks.
#include "VirtualWaveSource.h"

#include "../WaveHeader.h"
#include "../files/RegularFile.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace platform
{

namespace
{

bool isStereo16Pcm(const std::array<uint8_t, 16>& fmt)
{
    const auto tag = uint16_t(readLe16(&fmt[0]));
    const auto channels = uint16_t(readLe16(&fmt[2]));
    const auto bits = uint16_t(readLe16(&fmt[14]));
    return tag == 1 && channels == 2 && bits == 16;
}

} // namespace

bool readWaveFrames(const std::string& path, size_t maxFrames, std::vector<int16_t>& samples)
{
    samples.clear();
    // Only a regular file a track can take: a FIFO or a device would stall the read.
    const OpenedFile opened = openRegularFile(path.c_str(), kMaxTrackFileBytes);
    std::FILE* f = opened.file.get();
    if (!f)
        return false;
    std::array<uint8_t, 12> riff{};
    if (std::fread(riff.data(), 1, riff.size(), f) != riff.size() || !isRiffWave(riff.data()))
        return false;
    bool formatOk = false;
    std::array<uint8_t, 8> chunk{};
    while (std::fread(chunk.data(), 1, chunk.size(), f) == chunk.size())
    {
        const uint32_t bytes = readLe32(&chunk[4]);
        if (std::equal(chunk.begin(), chunk.begin() + 4, "fmt "))
        {
            std::array<uint8_t, 16> fmt{};
            if (bytes < fmt.size() || std::fread(fmt.data(), 1, fmt.size(), f) != fmt.size())
                return false;
            formatOk = isStereo16Pcm(fmt);
            if (!formatOk || !skipChunkRest(f, bytes - uint32_t(fmt.size()), bytes))
                return false;
        }
        else if (std::equal(chunk.begin(), chunk.begin() + 4, "data"))
        {
            if (!formatOk)
                return false;
            // No more than the file holds, whatever the chunk states.
            const size_t frames = std::min<size_t>({bytes / 4, maxFrames, size_t(opened.size / 4)});
            std::vector<uint8_t> raw(frames * 4);
            // A data chunk cut short by the end of the file gives the frames that are there.
            const size_t got = std::fread(raw.data(), 1, raw.size(), f) / 4;
            samples.resize(got * 2);
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = readLe16(&raw[2 * i]);
            return true;
        }
        else if (!skipChunkRest(f, bytes, bytes))
        {
            return false;
        }
    }
    return false;
}

} // namespace platform
