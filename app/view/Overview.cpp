// Overview: reading a track file's block spans under the engine loader's rules.
#include "view/Overview.h"

#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"
#include "platform/files/RiffWalker.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace vumo::view
{
namespace
{

constexpr int32_t kChunkFrames = 1024 * kOverviewBlockFrames; // 4 MB of stereo frames a read

template <class T> bool readValue(std::FILE* f, T& value)
{
    return std::fread(&value, sizeof value, 1, f) == 1;
}

// Where the samples start and how they are laid out, or why the loader refuses the file.
struct DataStart
{
    QString failure;
    bool mono = false;
    uint64_t bytes = 0; // the data chunk's declared size
};

// The loader's header rules: the ids are matched on their first three letters, the chunk after
// the form type must be the format chunk, the format tag's and bit count's low bytes must say
// PCM and 16; the channel count's low byte 1 is mono, anything else is taken as stereo data.
DataStart readDataStart(std::FILE* f, uint64_t fileSize)
{
    char id[4];
    uint32_t riffSize = 0;
    if (!readValue(f, id) || std::memcmp(id, "RIF", 3) != 0 || !readValue(f, riffSize) ||
        !readValue(f, id) || std::memcmp(id, "WAV", 3) != 0)
        return {QStringLiteral("it is not a wave file")};
    platform::RiffChunk fmt;
    fmt.offset = 20;
    uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
    uint32_t rate = 0, byteRate = 0;
    if (!readValue(f, id) || std::memcmp(id, "fmt", 3) != 0 || !readValue(f, fmt.size) ||
        !readValue(f, tag) || !readValue(f, channels) || (tag & 0xFF) != 1 || !readValue(f, rate) ||
        !readValue(f, byteRate) || !readValue(f, blockAlign) || !readValue(f, bits) ||
        (bits & 0xFF) != 16)
        return {QStringLiteral("its samples are not 16-bit PCM")};
    // The format chunk's 16 bytes are read whatever size it declares; chunk sizes are signed.
    platform::RiffWalker walk(f, fileSize, platform::RiffSizes::Signed, fmt);
    while (const auto chunk = walk.next())
        if (chunk->is("data"))
            return {QString(), (channels & 0xFF) == 1, chunk->size};
    return {QStringLiteral("it has no sample data")};
}

// The span of n interleaved stereo frames.
FrameSpan spanOf(const int16_t* s, int32_t n)
{
    int16_t lowL = s[0], highL = s[0], lowR = s[1], highR = s[1];
    for (int32_t i = 1; i < n; ++i)
    {
        lowL = std::min(lowL, s[2 * i]);
        highL = std::max(highL, s[2 * i]);
        lowR = std::min(lowR, s[2 * i + 1]);
        highR = std::max(highR, s[2 * i + 1]);
    }
    return {lowL, highL, lowR, highR, true};
}

// Reads up to `frames` frames as stereo into dst (mono expanded, a frame the data ends inside
// completed with silence); returns the frames written.
int32_t readFrames(std::FILE* f, DataStart& d, int16_t* dst, int32_t frames)
{
    const size_t frameBytes = d.mono ? 2 : 4;
    const size_t want = size_t(std::min<uint64_t>(d.bytes, uint64_t(frames) * frameBytes));
    const size_t got = std::fread(dst, 1, want, f);
    d.bytes = got < want ? 0 : d.bytes - got;
    if (d.mono)
    {
        for (size_t k = got / 2; k-- > 0;)
            dst[2 * k] = dst[2 * k + 1] = dst[k];
        return int32_t(got / 2);
    }
    if (const size_t part = got % 4; part != 0)
        std::memset(reinterpret_cast<char*>(dst) + got, 0, 4 - part);
    return int32_t((got + 3) / 4);
}

} // namespace

void FrameSpan::add(const FrameSpan& other)
{
    if (!other.any)
        return;
    if (!any)
    {
        *this = other;
        return;
    }
    lowL = std::min(lowL, other.lowL);
    highL = std::max(highL, other.highL);
    lowR = std::min(lowR, other.lowR);
    highR = std::max(highR, other.highR);
}

FrameSpan TrackOverview::span(int64_t firstBlock, int64_t lastBlock) const
{
    FrameSpan s;
    const int64_t stored = int64_t(blocks.size());
    for (int64_t b = std::max<int64_t>(firstBlock, 0); b <= lastBlock && b < stored; ++b)
        s.add(blocks[size_t(b)]);
    if (lastBlock >= stored && lastBlock >= firstBlock)
        s.add(FrameSpan{0, 0, 0, 0, true}); // silence after the data
    return s;
}

TrackOverview readOverview(const QString& path, const std::atomic<bool>* cancel)
{
    TrackOverview ov;
    const QByteArray name = QFile::encodeName(path);
    platform::OpenedFile opened =
        platform::openRegularFile(name.constData(), platform::kMaxTrackFileBytes);
    if (!opened.file)
    {
        ov.failure =
            QString::fromStdString(platform::refusalText(opened, platform::kMaxTrackFileBytes));
        return ov;
    }
    DataStart d = readDataStart(opened.file.get(), opened.size);
    if (!d.failure.isEmpty())
    {
        ov.failure = d.failure;
        return ov;
    }
    const uint64_t dataFrames = d.bytes / (d.mono ? 2 : 4) + 1;
    ov.blocks.reserve(size_t(
        std::min<uint64_t>(dataFrames, platform::kLongestTrackFrames) / kOverviewBlockFrames + 1));
    std::vector<int16_t> chunk(size_t(2) * kChunkFrames);
    for (;;)
    {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return {0, {}, QStringLiteral("cancelled")};
        const int32_t n = readFrames(opened.file.get(), d, chunk.data(), kChunkFrames);
        for (int32_t at = 0; at < n; at += kOverviewBlockFrames)
        {
            const int32_t count = std::min(kOverviewBlockFrames, n - at);
            FrameSpan s = spanOf(chunk.data() + 2 * at, count);
            if (count < kOverviewBlockFrames) // the rest of the last block is silence
                s.add(FrameSpan{0, 0, 0, 0, true});
            ov.blocks.push_back(s);
        }
        ov.frames += n;
        if (n < kChunkFrames)
            break;
    }
    return ov;
}

} // namespace vumo::view
