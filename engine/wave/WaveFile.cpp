// Wave files: the loader's acceptance rules and the canonical 16-bit stereo writer.
#include "WaveFile.h"

#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"
#include "platform/WaveHeader.h"
#include "platform/files/RiffWalker.h"
#include "platform/files/SafeWriter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "wave files are little-endian and are read into the buffers as they are");
static_assert(uint32_t(wavorn::kMaxTrackLen) == platform::kLongestTrackFrames,
              "the readers' size limit is made for the engine's longest track");

namespace wavorn
{
namespace
{

template <class T> bool readValue(std::FILE* f, T& value)
{
    return std::fread(&value, sizeof value, 1, f) == 1;
}

// The fields of a header the loader accepted, up to the start of the sample data.
struct DataChunk
{
    LoadResult result = LoadResult::Loaded; // 0..3, or the refusal
    uint16_t channels = 0;
    uint32_t bytes = 0; // declared size of the data chunk
};

// Reads the header up to the start of the "data" chunk's samples, applying the acceptance
// rules: "RIFF", "WAVE", then directly the "fmt " chunk, PCM, 16 bits; other chunks before
// "data" are skipped (sizes read as signed, a negative one skipping nothing), each with the pad
// byte that follows a chunk of odd size when the file has it (some writers leave it out).
// Refusals carry their log text.
DataChunk readHeader(std::FILE* f, uint64_t fileSize)
{
    DataChunk d;
    char id[4];
    uint32_t riffSize = 0;
    if (!readValue(f, id) || std::memcmp(id, "RIF", 3) != 0)
    {
        logText("No Riff.\n");
        return {LoadResult::NoRiff};
    }
    if (!readValue(f, riffSize) || !readValue(f, id) || std::memcmp(id, "WAV", 3) != 0)
    {
        logText("No Wave.\n");
        return {LoadResult::NoWave};
    }
    if (!readValue(f, id) || std::memcmp(id, "fmt", 3) != 0)
    {
        logText("No fmt_.\n");
        return {LoadResult::NoFmt};
    }
    platform::RiffChunk fmt;
    uint16_t tag = 0, blockAlign = 0, bits = 0;
    uint32_t rate = 0, byteRate = 0;
    fmt.offset = 20;
    if (!readValue(f, fmt.size) || !readValue(f, tag) || !readValue(f, d.channels))
        return {LoadResult::NoData};
    if ((tag & 0xFF) != 1)
    {
        logText("Not PCM.\n");
        return {LoadResult::NotPcm};
    }
    int32_t result = (d.channels & 0xFF) != 2 ? 1 : 0;
    if (!readValue(f, rate) || !readValue(f, byteRate) || !readValue(f, blockAlign) ||
        !readValue(f, bits))
        return {LoadResult::NoData};
    if ((rate & 0xFFFF) != uint32_t(kSampleRate))
        result += 2;
    if ((bits & 0xFF) != 16)
        return {LoadResult::Not16Bit};
    // The format chunk's 16 bytes are read whatever size it declares; the walk goes on after
    // them, or after the rest of a longer chunk.
    platform::RiffWalker walk(f, fileSize, platform::RiffSizes::Signed, fmt);
    while (const auto chunk = walk.next())
    {
        if (chunk->is("data"))
        {
            d.bytes = chunk->size;
            d.result = LoadResult(result);
            return d;
        }
    }
    return {LoadResult::NoData};
}

// Mono sample k becomes frame k with the sample in both channels; working from the last
// sample backwards lets the expansion run in place.
void expandMono(int16_t* buffer, size_t monoSamples)
{
    for (size_t k = monoSamples; k-- > 0;)
    {
        const int16_t s = buffer[k];
        buffer[2 * k] = s;
        buffer[2 * k + 1] = s;
    }
}

// Writes the canonical header and the frames through `out`: false when a step failed.
bool writeWave(platform::SafeWriter& out, const int16_t* samples, uint32_t frames)
{
    const std::array<uint8_t, platform::kWaveHeaderBytes> header = platform::waveHeader(frames);
    return out.open() && out.write(header.data(), header.size()) &&
           out.write(samples, size_t(frames) * 4) && out.commit();
}

} // namespace

WaveReader::WaveReader(const char* fileName)
{
    logText("LoadWavToBuf\n");
    // Read-only: a track file the user protected still loads. Only a regular file that a track
    // can take is read: a FIFO or a device would stall the read or never end it.
    platform::OpenedFile opened = platform::openRegularFile(fileName, platform::kMaxTrackFileBytes);
    m_file = std::move(opened.file);
    if (!m_file)
        return;
    const DataChunk d = readHeader(m_file.get(), opened.size);
    m_result = d.result;
    if (!isLoaded(m_result))
    {
        m_file.reset();
        return;
    }
    m_mono = (d.channels & 0xFF) == 1;
    m_bytesLeft = d.bytes;
    if (m_mono)
        logText("Converting to stereo.\n");
}

int32_t WaveReader::read(int16_t* dst, int32_t frames)
{
    if (!m_file || !dst || frames <= 0 || m_bytesLeft == 0)
        return 0;
    const size_t frameBytes = m_mono ? 2 : 4;
    const size_t want = size_t(std::min<uint64_t>(m_bytesLeft, uint64_t(frames) * frameBytes));
#if defined(_WIN32)
    // Wine's file read looks at each page of the destination before it writes it, so a page
    // never touched is faulted in twice (the shared zero page, then a copy on the write): one
    // store per page first makes it one fault. On Windows itself the store costs what the read's
    // own fault would have.
    for (size_t at = 0; at < want; at += 4096)
        reinterpret_cast<volatile char*>(dst)[at] = 0;
#endif
    const size_t got = std::fread(dst, 1, want, m_file.get());
    m_bytesLeft = got < want ? 0 : m_bytesLeft - got;
    if (m_mono)
    {
        expandMono(dst, got / 2); // a stray odd byte is dropped
        return int32_t(got / 2);
    }
    // A frame the data ends inside is completed with silence.
    const size_t part = got % 4;
    if (part != 0)
        std::memset(reinterpret_cast<char*>(dst) + got, 0, 4 - part);
    return int32_t((got + 3) / 4);
}

LoadResult loadWavToBuf(const char* fileName, int16_t* buffer, int32_t frames)
{
    WaveReader reader(fileName);
    if (!isLoaded(reader.result()))
        return reader.result();
    if (!buffer || frames <= 0)
        return LoadResult::CannotOpen;
    // The samples arrive in one read; silence follows what was actually read, so a short or
    // truncated file leaves no stale samples.
    const int32_t loaded = reader.read(buffer, frames);
    std::memset(buffer + 2 * size_t(loaded), 0, size_t(frames - loaded) * 4);
    logText("Wave loaded.\n");
    return reader.result();
}

int32_t saveBufToWave(int32_t fromFrame, int32_t toFrame, const char* fileName,
                      const int16_t* buffer)
{
    logText("SaveBufToWave\n");
    if (!fileName || !*fileName)
        return -1;
    const uint32_t frames = uint32_t(std::max(toFrame - fromFrame, 0));
    const int16_t* samples = buffer ? buffer + 2 * size_t(std::max(fromFrame, 0)) : nullptr;
    if (frames > 0 && !samples)
        return -1;
    // Written beside the file and renamed over it, so a failed write (a full disk, a file size
    // limit) leaves the previous file whole or no file at all; a link is followed to the file it
    // names, a read-only file is refused, devices and FIFOs are written in place
    // (platform/files/SafeWriter.h).
    platform::SafeWriter beside(fileName);
    if (writeWave(beside, samples, frames))
        return 0;
    if (beside.failedStep() != platform::WriteStep::Create)
        return -1;
    // A folder where nothing can be created, but whose file can be written: in place.
    platform::SafeWriter inPlace(fileName, {.inPlace = true});
    return writeWave(inPlace, samples, frames) ? 0 : -1;
}

int32_t waveFileFrames(const char* fileName)
{
    const platform::OpenedFile opened =
        platform::openRegularFile(fileName, platform::kMaxTrackFileBytes);
    if (!opened.file)
        return -1;
    const DataChunk d = readHeader(opened.file.get(), opened.size);
    if (!isLoaded(d.result))
        return -1;
    return int32_t(
        std::min<uint32_t>(d.bytes / ((d.channels & 0xFF) == 1 ? 2 : 4), uint32_t(kMaxTrackLen)));
}

} // namespace wavorn
