// The engine's process-wide state: the three sample buffers, the track table, the current
// track and the transport flags. One instance lives for the whole process (engine()); OpenLib
// fills it and CloseLib empties it. Only the application's thread touches it, except
// `playing`, which the output device's done notification clears.
#pragma once

#include "platform/WaveIn.h"
#include "platform/WaveOut.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

namespace wavorn
{

constexpr int32_t kSampleRate = 44100;
constexpr int32_t kBitsPerSample = 16;
constexpr int32_t kTrackSlots = 32;
constexpr int32_t kTrackNameBytes = 128; // path plus its terminating NUL
constexpr int32_t kFramesPerMb = 262144;
constexpr int32_t kMaxTrackLen = 256 * kFramesPerMb; // frames; 256 MiB per buffer at most
constexpr int32_t kSampleLimit = 32767;              // clamps never produce -32768

// A buffer of interleaved stereo samples, zeroed when allocated. Its pages are taken from the
// system only when first touched, so a buffer that a run never uses costs no memory; a large
// one is taken in huge pages where the system has them (one fault per 2 MB instead of 512).
struct BufferDeleter
{
    size_t mappedBytes = 0; // a mapping of its own; 0 for the heap
    void operator()(int16_t* p) const;
};
using SampleBuffer = std::unique_ptr<int16_t[], BufferDeleter>;
SampleBuffer allocateFrames(int32_t frames); // null when the memory cannot be had

struct TrackSlot
{
    char name[kTrackNameBytes] = {}; // full path of the track's wave file, NUL-terminated
    int32_t volume = 0;              // 0 or less: left out of the premix
    int32_t panLeft = 0;             // min(255, 393 - pan)
    int32_t panRight = 0;            // min(255, pan + 128)
    int32_t gainLeft = 0;            // volume * panLeft / 256, in 1/256 steps
    int32_t gainRight = 0;
};

struct Engine
{
    bool open = false;
    int32_t trackLen = 0;   // frames in each buffer
    SampleBuffer trackBuf;  // current track; the wave input's block
    SampleBuffer playBuf;   // output block and scratch for loads
    SampleBuffer masterBuf; // premix of every audible track but the current one
    int32_t curTrack = -1;  // low 8 bits of the last SetCurTrack; -1 before the first
    bool dirty = false;     // trackBuf holds edits its file lacks
    bool logging = false;
    std::atomic<int32_t> playing{0}; // set by the transport, cleared by waveOutDone
    int32_t transportMode = 0;       // 0 idle, 1 playing, 2 recording
    std::array<TrackSlot, kTrackSlots> tracks{};
    std::unique_ptr<platform::WaveOut> waveOut;
    std::unique_ptr<platform::WaveIn> waveIn;

    // The current track's slot, or null when no valid track is current.
    TrackSlot* currentSlot();
    std::span<int16_t> trackSamples() { return {trackBuf.get(), trackBuf ? samples() : 0}; }
    std::span<int16_t> playSamples() { return {playBuf.get(), playBuf ? samples() : 0}; }
    std::span<int16_t> masterSamples() { return {masterBuf.get(), masterBuf ? samples() : 0}; }

private:
    size_t samples() const { return size_t(trackLen) * 2; }
};

Engine& engine();

// The slot of a track number (low 8 bits), or null for slots 32 and above.
TrackSlot* slotOf(int32_t track);

// A frame range clamped to 0 ... trackLen; a reversed range becomes empty at `first`.
struct FrameRange
{
    int32_t first;
    int32_t last;
    int32_t frames() const { return last - first; }
};
FrameRange clampRange(int32_t first, int32_t last, int32_t trackLen);

} // namespace wavorn
