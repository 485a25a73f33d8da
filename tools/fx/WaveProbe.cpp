// Reads a wave file's header to size the engine for it.
#include "WaveProbe.h"

#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"
#include "platform/files/RiffWalker.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vumo::fxtool
{

namespace
{

// The format chunk's fields into info; an error for a format the engine cannot process.
std::string readFormat(std::FILE* f, uint32_t size, WaveInfo& info)
{
    unsigned char fmt[16];
    if (size < 16 || std::fread(fmt, 1, 16, f) != 16)
        return "its format chunk is too short";
    if (platform::readLe16(fmt) != 1)
        return "it is not PCM";
    info.channels = uint16_t(platform::readLe16(fmt + 2));
    info.rate = int32_t(platform::readLe32(fmt + 4));
    info.bits = uint16_t(platform::readLe16(fmt + 14));
    if (info.bits != 16)
        return "it has " + std::to_string(info.bits) +
               " bits per sample; only 16-bit files can be processed";
    return {};
}

} // namespace

WaveInfo probeWave(const std::string& path)
{
    WaveInfo info;
    // Only a regular file a track can take: a FIFO or a device would stall the read or never
    // end it.
    const platform::OpenedFile opened =
        platform::openRegularFile(path.c_str(), platform::kMaxTrackFileBytes);
    if (!opened.file)
    {
        info.error =
            "cannot open it: " + platform::refusalText(opened, platform::kMaxTrackFileBytes);
        return info;
    }
    std::FILE* f = opened.file.get();
    if (!platform::readRiffWaveHead(f))
    {
        info.error = "it is not a RIFF WAVE file";
        return info;
    }
    bool haveFormat = false;
    platform::RiffWalker walk(f, opened.size);
    while (const auto chunk = walk.next())
    {
        if (chunk->is("fmt "))
        {
            info.error = readFormat(f, chunk->size, info);
            if (!info.error.empty())
                return info;
            haveFormat = true;
        }
        else if (chunk->is("data"))
        {
            if (!haveFormat)
                info.error = "its data chunk comes before the format chunk";
            else
                info.frames = int64_t(chunk->bytesInFile / (info.channels == 1 ? 2 : 4));
            return info;
        }
    }
    info.error = haveFormat ? "it has no data chunk" : "it has no format chunk";
    return info;
}

std::string loadResultText(int32_t result)
{
    switch (result)
    {
    case 10:
        return "it has no RIFF header";
    case 11:
        return "it is not a WAVE file";
    case 12:
        return "its format chunk does not directly follow the WAVE header";
    case 13:
        return "it is not PCM";
    case 14:
        return "it is not 16 bits per sample";
    case 15:
        return "it cannot be opened";
    case 16:
        return "it has no data chunk";
    default:
        return "the engine refused it (load result " + std::to_string(result) + ")";
    }
}

} // namespace vumo::fxtool
