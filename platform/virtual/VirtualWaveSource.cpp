// VirtualWaveSource: reads a 16-bit stereo PCM wave file's frames, walking its RIFF chunks.
#include "VirtualWaveSource.h"

#include "../WaveHeader.h"
#include "../files/RegularFile.h"
#include "../files/RiffWalker.h"

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
    if (!f || !readRiffWaveHead(f))
        return false;
    bool formatOk = false;
    RiffWalker walk(f, opened.size);
    while (const auto chunk = walk.next())
    {
        if (chunk->is("fmt "))
        {
            std::array<uint8_t, 16> fmt{};
            formatOk = chunk->size >= fmt.size() &&
                       std::fread(fmt.data(), 1, fmt.size(), f) == fmt.size() && isStereo16Pcm(fmt);
            if (!formatOk)
                return false;
        }
        else if (chunk->is("data"))
        {
            if (!formatOk)
                return false;
            // No more than the file holds, whatever the chunk states; a data chunk cut short by
            // the end of the file gives the frames that are there.
            const size_t frames = size_t(std::min<uint64_t>(chunk->bytesInFile / 4, maxFrames));
            std::vector<uint8_t> raw(frames * 4);
            const size_t got = std::fread(raw.data(), 1, raw.size(), f) / 4;
            samples.resize(got * 2);
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = readLe16(&raw[2 * i]);
            return true;
        }
    }
    return false;
}

} // namespace platform
