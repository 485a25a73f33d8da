// The periodic multimedia timer (timeSetEvent with TIME_PERIODIC) behind PeriodicTimer, and the
// system timer resolution requests (timeBeginPeriod, timeEndPeriod).
#pragma once

#include "../PeriodicTimer.h"

#include <cstdint>
#include <memory>

namespace platform
{

// A timer whose ticks come from the system's multimedia timer thread, at its resolution.
std::unique_ptr<PeriodicTimer> makeMultimediaTimer();

// timeBeginPeriod and timeEndPeriod: the system's own results (TIMERR_NOCANDO, 97, for a period it
// cannot do).
int32_t systemTimerBeginPeriod(int32_t periodMs);
int32_t systemTimerEndPeriod(int32_t periodMs);

} // namespace platform
