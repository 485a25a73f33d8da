// SteppedClock: a virtual clock that moves only when told to, for tests that must not sleep.
#pragma once

#include "VirtualClock.h"

namespace platform
{

class SteppedClock : public VirtualClock
{
public:
    // Moves time on by `frames` stream frames and lets every attached device process them,
    // on the calling thread; done notifications fire from inside this call.
    void advance(uint64_t frames) { runUpTo(nowFrames() + frames); }
};

} // namespace platform
