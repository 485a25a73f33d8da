// Reads a wave file's header to size the engine for it.
#include "WaveProbe.h"

#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vumo::fxtool
{

namespace
{

uint32_t le32(const unsigned char* b)
{
    return platform::readLe32(b);
}
uint16_t le16(const unsigned char* b)
{
    return uint16_t(platform::readLe16(b));
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
    const long size = long(opened.size);
    unsigned char header[12];
    if (std::fread(header, 1, 12, f) != 12 || !platform::isRiffWave(header))
    {
        info.error = "it is not a RIFF WAVE file";
        return info;
    }
    bool haveFormat = false;
    for (;;)
    {
        unsigned char chunk[8];
        if (std::fread(chunk, 1, 8, f) != 8)
        {
            info.error = haveFormat ? "it has no data chunk" : "it has no format chunk";
            return info;
        }
        const uint32_t length = le32(chunk + 4);
        const long start = std::ftell(f);
        if (std::memcmp(chunk, "fmt ", 4) == 0)
        {
            unsigned char fmt[16];
            if (length < 16 || std::fread(fmt, 1, 16, f) != 16)
            {
                info.error = "its format chunk is too short";
                return info;
            }
            if (le16(fmt) != 1)
            {
                info.error = "it is not PCM";
                return info;
            }
            info.channels = le16(fmt + 2);
            info.rate = int32_t(le32(fmt + 4));
            info.bits = le16(fmt + 14);
            if (info.bits != 16)
            {
                info.error = "it has " + std::to_string(info.bits) +
                             " bits per sample; only 16-bit files can be processed";
                return info;
            }
            haveFormat = true;
        }
        else if (std::memcmp(chunk, "data", 4) == 0)
        {
            if (!haveFormat)
            {
                info.error = "its data chunk comes before the format chunk";
                return info;
            }
            const int64_t available = std::max<int64_t>(0, int64_t(size) - start);
            const int64_t bytes = std::min<int64_t>(length, available);
            info.frames = bytes / (info.channels == 1 ? 2 : 4);
            return info;
        }
        if (std::fseek(f, start, SEEK_SET) != 0 || !platform::skipChunkRest(f, length, length))
        {
            info.error = "its chunks run past the end of the file";
            return info;
        }
    }
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
