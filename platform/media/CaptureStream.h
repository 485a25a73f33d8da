// CaptureStream: the media that a capture pass records, decoded ahead of the pass on a thread
// of its own.
//
// A wave input (virtual or PortAudio) reads VUMO_CAPTURE_SOURCE when capture starts. Unset or
// empty, the input captures as usual. Otherwise it names a source (media/MediaReader.h): the
// input then captures that media's frames from frame 0 of its block, at the pass's pace,
// instead of what the device hears; after the media's end it captures silence, and the media
// is cut where the block ends. The same stream becomes the process's active capture, and a wave
// output that starts a block while it is active mixes the media into what it plays, frame k of
// the block with frame k of the media, so the capture is heard. The input's reset() (or
// close()) ends the capture.
#pragma once

#include "MediaReader.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform::media
{

class CaptureStream
{
public:
    // Decodes at most maxFrames frames of `reader` on its own thread.
    CaptureStream(std::unique_ptr<MediaReader> reader, uint64_t maxFrames);
    // Stops decoding and waits for the thread.
    ~CaptureStream();
    CaptureStream(const CaptureStream&) = delete;
    CaptureStream& operator=(const CaptureStream&) = delete;

    // How many of the frames [first, first + count) can be read now: all of them once decoding
    // has ended (frames past the media's end are silence), else those decoded so far.
    uint32_t readyCount(uint64_t first, uint32_t count) const;
    // Writes frames [first, first + count) into `frames`; silence where none is decoded (yet).
    void copyTo(uint64_t first, int16_t* frames, uint32_t count) const;
    // Adds frames [first, first + count) into `frames`, saturating at the 16-bit limits.
    void mixInto(uint64_t first, int16_t* frames, uint32_t count) const;

    bool finished() const { return m_done.load(); }
    uint64_t decodedFrames() const { return m_ready.load(); }
    // Why decoding stopped early (the rest is silence); empty when it did not. Read after
    // finished().
    std::string error() const;

private:
    static constexpr uint32_t kChunkBits = 16;
    static constexpr uint64_t kChunkFrames = uint64_t(1) << kChunkBits;

    void decode();
    // Frame k, which must be below m_ready.
    const int16_t* frame(uint64_t k) const;

    std::unique_ptr<MediaReader> m_reader;
    uint64_t m_maxFrames;
    // Fixed-size chunks, so a reader never sees storage move; chunk i is written only before
    // m_ready passes its frames.
    std::vector<std::unique_ptr<int16_t[]>> m_chunks;
    std::string m_error;
    std::atomic<uint64_t> m_ready{0};
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct CaptureStart
{
    bool requested = false;                // VUMO_CAPTURE_SOURCE names a source
    std::shared_ptr<CaptureStream> stream; // its stream; null when it cannot be opened
    std::string error;                     // why not
};

// Reads VUMO_CAPTURE_SOURCE and, when it names a source that opens, starts decoding it (at
// most maxFrames frames) and makes it the process's active capture.
CaptureStart startCaptureFromEnvironment(uint64_t maxFrames);
// The active capture, or null.
std::shared_ptr<CaptureStream> activeCapture();
// Ends `stream`'s turn as the active capture (nothing when another one is active).
void endCapture(const CaptureStream* stream);

} // namespace platform::media
