// Overview: a track file's waveform in brief, the lowest and highest sample of each channel
// over every block of 256 frames, read from the file as the engine's loader would load it.
#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <vector>

namespace vumo::view
{

constexpr int32_t kOverviewBlockFrames = 256;

// The lowest and highest sample of each channel over a run of frames.
struct FrameSpan
{
    int16_t lowL = 0, highL = 0, lowR = 0, highR = 0;
    bool any = false; // whether the run held a frame

    void add(const FrameSpan& other);
};

struct TrackOverview
{
    int64_t frames = 0;            // frames of sample data the file holds
    std::vector<FrameSpan> blocks; // block b covers frames [256 b, 256 b + 256)
    QString failure;               // why the file could not be read; empty when it was

    // The span of blocks firstBlock ... lastBlock. The last block of the data counts the
    // frames after the data as silence, and blocks past the data are silence, as the engine
    // loads a short file into a longer track.
    FrameSpan span(int64_t firstBlock, int64_t lastBlock) const;
};

// Reads path under the engine loader's rules ("RIFF", "WAVE", directly "fmt ", PCM, 16 bits,
// chunks up to "data" skipped, mono expanded to both channels, a frame the data ends inside
// completed with silence). Only a regular file a track can take is read; anything else gives an
// overview with a failure and no blocks. cancel, when set, stops the reading early (the
// overview then has a failure).
TrackOverview readOverview(const QString& path, const std::atomic<bool>* cancel = nullptr);

} // namespace vumo::view
