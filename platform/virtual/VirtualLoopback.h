// VirtualLoopback: the frames that virtual outputs handed over, keyed by stream frame, so a
// virtual input in loopback mode captures what the output plays at the same moment.
//
// A small ring of the latest frames; each slot is one atomic word holding a frame and which lap
// of the ring it belongs to, so a time no output played reads as silence. Written and read on
// the clock's stepping thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace platform
{

class VirtualLoopback
{
public:
    VirtualLoopback();

    // Records that `frame` (left sample in the low 16 bits, right in the high) was handed over
    // at stream frame `time`.
    void publish(uint64_t time, uint32_t frame);
    // The frame handed over at stream frame `time`, or 0 (silence) when none is held.
    uint32_t frameAt(uint64_t time) const;

    // Frames held; larger than a clock step, so one step's frames are all still there.
    static constexpr uint64_t kFrames = 8192;

private:
    // (time / kFrames + 1) << 32 | frame; 0 when empty.
    std::unique_ptr<std::atomic<uint64_t>[]> m_slots;
};

} // namespace platform
