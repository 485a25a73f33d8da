// Test helpers: temporary folders and wave files laid out by hand, apart from the engine's writer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testwave
{

// A fresh folder under the temp folder, removed with everything in it at the end of scope.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

struct WaveLayout
{
    uint16_t formatTag = 1;
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    uint32_t fmtSize = 16;                          // extra bytes beyond 16 are written as zeros
    std::vector<std::string> chunksBeforeData = {}; // ids of 4-byte chunks put between fmt and data
    int64_t declaredDataBytes = -1;                 // -1: the real size
};

// Bytes of a wave file holding `samples` (interleaved as the channel count says).
std::vector<uint8_t> waveBytes(const std::vector<int16_t>& samples, const WaveLayout& layout = {});
// The bytes with a 5-byte "LIST" chunk and its pad byte after the format chunk (other tools');
// a negative padByte leaves the pad out, as some writers do.
std::vector<uint8_t> withOddListChunk(std::vector<uint8_t> bytes, int padByte = 0);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::string& path);
// Writes a canonical stereo 44100 file of the interleaved samples through the shared header.
void writeStereo(const std::string& path, const std::vector<int16_t>& samples);
// Samples of a canonical wave file (after its 44-byte header); none for any other header.
std::vector<int16_t> readSamples(const std::string& path);
// Frames of a stereo ramp: left = base + k, right = -(base + k), within +-32767.
std::vector<int16_t> ramp(int32_t frames, int32_t base = 1);

} // namespace testwave
