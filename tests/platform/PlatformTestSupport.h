// Helpers for the device tests: scoped environment values, scratch files and wave bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::test
{

// Sets (or with nullopt removes) an environment value and restores the old one on exit.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// A fresh path in a per-process scratch folder; nothing exists there yet.
std::string scratchPath(const std::string& name);

std::vector<uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// A canonical 44-byte-header 16-bit stereo 44100 wave file image of the given samples.
std::vector<uint8_t> waveImage(const std::vector<int16_t>& samples);
// The samples of a canonical wave image after checking its header; fails the test otherwise.
std::vector<int16_t> samplesOfCanonicalWave(const std::vector<uint8_t>& bytes);

// Interleaved frames counting up from `first`: frame k = (first + k, -(first + k)).
std::vector<int16_t> rampFrames(uint32_t frames, int16_t first = 1);

} // namespace platform::test
