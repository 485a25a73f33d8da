// Wave files: the loader's acceptance rules and the canonical 16-bit stereo writer.
#include "WaveFile.h"

#include "engine/api/Engine.h"
#include "engine/api/TraceLog.h"
#include "platform/WaveHeader.h"
#include "platform/files/FileNames.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#if !defined(_WIN32)
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

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
// "data" are skipped, each with the pad byte that follows a chunk of odd size when the file has
// it (some writers leave it out). Refusals carry their log text.
DataChunk readHeader(std::FILE* f)
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
    int32_t fmtSize = 0;
    uint16_t tag = 0, blockAlign = 0, bits = 0;
    uint32_t rate = 0, byteRate = 0;
    if (!readValue(f, fmtSize) || !readValue(f, tag) || !readValue(f, d.channels))
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
    if (fmtSize > 16 && !platform::skipChunkRest(f, uint32_t(fmtSize) - 16, uint32_t(fmtSize)))
        return {LoadResult::NoData};
    // Walk the chunks up to "data"; a skip past the end makes the next read fail, so the walk
    // always ends.
    for (;;)
    {
        int32_t size = 0;
        if (!readValue(f, id) || !readValue(f, size))
            return {LoadResult::NoData};
        if (std::memcmp(id, "data", 4) == 0)
        {
            d.bytes = uint32_t(size);
            break;
        }
        if (size > 0 && !platform::skipChunkRest(f, uint32_t(size), uint32_t(size)))
            return {LoadResult::NoData};
    }
    d.result = LoadResult(result);
    return d;
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

enum class WriteOutcome
{
    Written,
    CannotCreate,
    Failed // created, but a write, flush or close failed
};

// Opens path for writing, truncating a file that is there. fresh: the file must not exist yet
// (a part file, created here and never through a link or a file someone left in its place).
std::FILE* openForWrite(const std::string& path, bool fresh)
{
#if defined(_WIN32)
    (void)fresh;
    return std::fopen(path.c_str(), "wb");
#else
    // O_NONBLOCK: a FIFO that nobody reads refuses the open instead of stalling it; O_NOCTTY:
    // a terminal never becomes ours, and none takes a wave file.
    const int flags =
        O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (fresh ? O_EXCL : O_TRUNC);
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0)
        return nullptr;
    const int status = ::fcntl(fd, F_GETFL);
    if (::isatty(fd) || status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0)
    {
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f)
        ::close(fd);
    return f;
#endif
}

WriteOutcome writeAll(const std::string& path, const int16_t* samples, uint32_t frames,
                      bool fresh = false)
{
    std::FILE* raw = openForWrite(path, fresh);
    if (!raw)
        return WriteOutcome::CannotCreate;
    const std::array<uint8_t, platform::kWaveHeaderBytes> header = platform::waveHeader(frames);
    bool ok = std::fwrite(header.data(), 1, header.size(), raw) == header.size();
    ok = ok && (frames == 0 || std::fwrite(samples, 4, frames, raw) == frames);
    ok = std::fflush(raw) == 0 && ok;
    ok = std::fclose(raw) == 0 && ok;
    return ok ? WriteOutcome::Written : WriteOutcome::Failed;
}

bool existsReadOnly(const char* fileName)
{
#if defined(_WIN32)
    (void)fileName;
    return false; // the rename below fails on a read-only file there
#else
    return ::access(fileName, F_OK) == 0 && ::access(fileName, W_OK) != 0;
#endif
}

} // namespace

WaveReader::WaveReader(const char* fileName)
{
    logText("LoadWavToBuf\n");
    // Read-only: a track file the user protected still loads. Only a regular file that a track
    // can take is read: a FIFO or a device would stall the read or never end it.
    m_file = platform::openRegularFile(fileName, platform::kMaxTrackFileBytes).file;
    if (!m_file)
        return;
    const DataChunk d = readHeader(m_file.get());
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
    if (!fileName || !*fileName || existsReadOnly(fileName))
        return -1;
    const uint32_t frames = uint32_t(std::max(toFrame - fromFrame, 0));
    const int16_t* samples = buffer ? buffer + 2 * size_t(std::max(fromFrame, 0)) : nullptr;
    if (frames > 0 && !samples)
        return -1;
    // A regular file, and a file that does not exist yet, is written beside itself and renamed
    // over, so a failed write (a full disk, a file size limit) leaves the previous file whole
    // or no file at all; a link is followed to the file it names. Devices and other special
    // files, and folders where nothing can be created, are written in place.
    namespace fs = std::filesystem;
    std::error_code ec;
    // Names stay the caller's 8-bit texts (platform/files/FileNames.h): paths are only asked.
    fs::path target = platform::pathOf(fileName);
    std::string name = fileName;
    if (fs::is_symlink(fs::symlink_status(target, ec)))
    {
        // A link to a file that is not there yet is written through, creating that file.
        target = fs::canonical(target, ec);
        if (ec)
            return writeAll(fileName, samples, frames) == WriteOutcome::Written ? 0 : -1;
        name = platform::nameOf(target);
    }
    const fs::file_type type = fs::status(target, ec).type();
    const bool existed = type != fs::file_type::not_found;
    if (existed && (ec || type != fs::file_type::regular))
        return writeAll(fileName, samples, frames) == WriteOutcome::Written ? 0 : -1;
    // A part left by a writer that was stopped half-way (or anything else in its place, a link
    // included) goes first; the new part is created afresh.
    const std::string temp = name + ".vumo-part";
    const fs::path tempPath = platform::pathOf(temp);
    if (!fs::is_directory(fs::symlink_status(tempPath, ec)))
        fs::remove(tempPath, ec);
    const WriteOutcome beside = writeAll(temp, samples, frames, true);
    if (beside == WriteOutcome::CannotCreate)
    {
        if (writeAll(name, samples, frames) == WriteOutcome::Written)
        {
            // A part left by a writer that was stopped half-way goes with this save.
            if (fs::is_regular_file(fs::symlink_status(tempPath, ec)))
                fs::remove(tempPath, ec);
            return 0;
        }
        if (!existed)
            fs::remove(target, ec);
        return -1;
    }
    if (beside == WriteOutcome::Written && platform::replaceFile(temp, name) == 0)
        return 0;
    fs::remove(tempPath, ec);
    return -1;
}

int32_t waveFileFrames(const char* fileName)
{
    const platform::FilePtr f =
        platform::openRegularFile(fileName, platform::kMaxTrackFileBytes).file;
    if (!f)
        return -1;
    const DataChunk d = readHeader(f.get());
    if (!isLoaded(d.result))
        return -1;
    return int32_t(
        std::min<uint32_t>(d.bytes / ((d.channels & 0xFF) == 1 ? 2 : 4), uint32_t(kMaxTrackLen)));
}

} // namespace wavorn
