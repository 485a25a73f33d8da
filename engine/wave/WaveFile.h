// Wave files: the loader that every track, clip and paste goes through, and the writer of
// the canonical 44-byte-header 16-bit stereo 44100 file.
#pragma once

#include "platform/files/RegularFile.h"

#include <cstdint>

namespace wavorn
{

// Load results: below 10 the file was loaded, 10 and above it was refused and the buffer
// is unchanged.
enum class LoadResult : int32_t
{
    Loaded = 0,    // stereo, 44100 frames per second
    NotStereo = 1, // mono expanded to stereo; other channel counts taken as stereo data
    OtherRate = 2, // samples taken unchanged at their own rate
    NotStereoOtherRate = 3,
    NoRiff = 10,     // no "RIFF" header
    NoWave = 11,     // no "WAVE" form type
    NoFmt = 12,      // the chunk after the form type is not "fmt "
    NotPcm = 13,     // format tag is not PCM
    Not16Bit = 14,   // not 16 bits per sample
    CannotOpen = 15, // the file does not exist or cannot be read
    NoData = 16,     // the chunks end without a "data" chunk
};

constexpr bool isLoaded(LoadResult r)
{
    return int32_t(r) < 10;
}

// LoadWavToBuf: reads fileName's samples into buffer (frames frames). Stereo data fills the
// buffer from frame 0, mono data is expanded to both channels, a longer file is cut and the
// rest of the buffer after the data actually read is silenced. The file is opened for reading
// only, and only a regular file of at most platform::kMaxTrackFileBytes is read: a FIFO, a
// device, a folder or a larger file gives CannotOpen at once.
LoadResult loadWavToBuf(const char* fileName, int16_t* buffer, int32_t frames);

// Reads a wave file's samples piece by piece under the loader's rules, as stereo frames (mono
// expanded), so several files can be read side by side. Logs as the loader does.
class WaveReader
{
public:
    explicit WaveReader(const char* fileName);
    // The load result: below 10 the samples can be read; refusals as for the loader.
    LoadResult result() const { return m_result; }
    // Reads up to `frames` frames into dst and returns how many it wrote; a frame the data
    // ends inside is completed with silence. 0 once the data is used up.
    int32_t read(int16_t* dst, int32_t frames);

private:
    platform::FilePtr m_file;
    LoadResult m_result = LoadResult::CannotOpen;
    bool m_mono = false;
    uint64_t m_bytesLeft = 0; // of the data chunk
};

// SaveBufToWave: writes frames [fromFrame, toFrame) of buffer as a wave file.
// Returns 0, or -1 when the file cannot be created or any write, flush or close fails. A FIFO
// that nobody reads and a terminal are refused at once (-1), never waited on.
int32_t saveBufToWave(int32_t fromFrame, int32_t toFrame, const char* fileName,
                      const int16_t* buffer);

// Frames of sample data a wave file declares (its data size / 4), or -1 when the file is not
// a wave file the loader accepts. Used by tools to size a one-file project.
int32_t waveFileFrames(const char* fileName);

} // namespace wavorn
