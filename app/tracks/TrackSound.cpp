// TrackSound: the end of a track's sound, read backwards from the end of its data.
#include "tracks/TrackSound.h"

#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"
#include "platform/files/RiffWalker.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace vumo::tracks
{
namespace
{

constexpr int64_t kBlockFrames = 65536;

struct DataChunk
{
    int64_t offset = 0; // of the first sample
    int64_t frames = 0; // whole frames the file holds of it
};

// The "data" chunk, found by walking the chunks after the RIFF header with the loader's rule
// for the pad byte after an odd size. None in a file that is no RIFF WAVE file.
DataChunk findData(std::FILE* f, uint64_t fileSize)
{
    if (!platform::readRiffWaveHead(f))
        return {};
    platform::RiffWalker walk(f, fileSize);
    while (const auto chunk = walk.next())
        if (chunk->is("data"))
            return {int64_t(chunk->offset), int64_t(chunk->bytesInFile / 4)};
    return {};
}

} // namespace

int64_t fileSoundEnd(const QByteArray& path, int64_t from)
{
    const platform::OpenedFile opened =
        platform::openRegularFile(path.constData(), std::numeric_limits<uint64_t>::max());
    if (opened.refusal != platform::OpenRefusal::None)
        return from;
    std::FILE* f = opened.file.get();
    const DataChunk data = findData(f, opened.size);
    std::vector<int16_t> block;
    for (int64_t end = data.frames; end > from;)
    {
        const int64_t first = std::max(from, end - kBlockFrames);
        const auto frames = size_t(end - first);
        block.resize(2 * frames);
        if (fseeko(f, off_t(data.offset + 4 * first), SEEK_SET) != 0 ||
            std::fread(block.data(), 4, frames, f) != frames)
            return from;
        for (size_t i = frames; i-- > 0;)
            if (block[2 * i] != 0 || block[2 * i + 1] != 0)
                return first + int64_t(i) + 1;
        end = first;
    }
    return from;
}

int64_t bufferSoundEnd(const std::function<int32_t(int32_t)>& read, int32_t from, int32_t frames)
{
    for (int32_t f = frames; f-- > from;)
        if (read(2 * f) != 0 || read(2 * f + 1) != 0)
            return int64_t(f) + 1;
    return from;
}

} // namespace vumo::tracks
