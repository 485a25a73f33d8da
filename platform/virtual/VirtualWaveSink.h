// VirtualWaveSink: the wave file into which the virtual output writes every frame it plays.
//
// The file is a canonical 44-byte-header 16-bit stereo 44100 wave file. A missing file is
// created; an existing one in that form is continued after its last frame, so every pass of
// the output lands in the same file. flush() rewrites the RIFF and data sizes, so the file is
// a valid wave file after every flush while it stays open.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace platform
{

class VirtualWaveSink
{
public:
    VirtualWaveSink() = default;
    VirtualWaveSink(const VirtualWaveSink&) = delete;
    VirtualWaveSink& operator=(const VirtualWaveSink&) = delete;
    ~VirtualWaveSink() { close(); }

    // Opens or creates the file. kMmError (and nothing written) when it cannot be created or
    // exists but is not a canonical 16-bit stereo 44100 wave file.
    int32_t open(const std::string& path);
    bool isOpen() const { return m_file != nullptr; }
    // Appends interleaved frames; frames past the 4 GiB limit of the format are dropped.
    void append(std::span<const int16_t> samples);
    // Brings the header up to date and hands everything to the operating system.
    void flush();
    // Flushes and closes; does nothing when not open.
    void close();

    uint64_t frames() const { return m_dataBytes / 4; }

private:
    std::FILE* m_file = nullptr;
    uint64_t m_dataBytes = 0;
};

} // namespace platform
