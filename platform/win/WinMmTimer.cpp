// The multimedia timer: timeSetEvent calls back on the system's timer thread every period.
#include "WinMmTimer.h"

#include "../MmResult.h"

#include <windows.h>

#include <atomic>
#include <mmsystem.h>
#include <thread>

namespace platform
{

namespace
{

class MultimediaTimer final : public PeriodicTimer
{
public:
    ~MultimediaTimer() override { cancel(); }

    int32_t start(int32_t periodMs, Tick tick) override
    {
        if (periodMs < kMinTimerPeriodMs || periodMs > kMaxTimerPeriodMs || !tick)
            return kTimerError;
        if (running())
            return kMmAllocated;
        waitForTick(); // a tick that cancelled its timer may still be returning
        m_tick = std::move(tick);
        m_running.store(true);
        const UINT id = timeSetEvent(UINT(periodMs), UINT(periodMs), &onTimer, DWORD_PTR(this),
                                     TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
        if (id == 0)
        {
            m_running.store(false);
            return kTimerError;
        }
        m_event.store(id);
        return kMmNoError;
    }

    void cancel() override
    {
        m_running.store(false);
        killEvent(); // the system allows this from inside the timer's own callback
        if (m_tickThread.load() == GetCurrentThreadId())
            return; // from inside the tick: it ends when the tick returns
        waitForTick();
    }

    bool running() const override { return m_running.load(); }

private:
    static void CALLBACK onTimer(UINT, UINT, DWORD_PTR instance, DWORD_PTR, DWORD_PTR)
    {
        reinterpret_cast<MultimediaTimer*>(instance)->fire();
    }

    void fire()
    {
        // Counted before the flag is looked at, so that cancel() waits for this tick when it
        // found the timer running.
        m_inTick.fetch_add(1);
        if (m_running.load())
        {
            m_tickThread.store(GetCurrentThreadId());
            m_tick(*this);
            m_tickThread.store(0);
        }
        m_inTick.fetch_sub(1);
    }

    void waitForTick() const
    {
        while (m_inTick.load() != 0)
            std::this_thread::yield();
    }

    void killEvent()
    {
        if (const UINT id = m_event.exchange(0); id != 0)
            timeKillEvent(id);
    }

    Tick m_tick;                        // set by start() before the event exists
    std::atomic<UINT> m_event{0};       // the event's identifier; 0 when none
    std::atomic<bool> m_running{false}; // cleared by cancel(), from any thread
    std::atomic<int32_t> m_inTick{0};   // ticks running now (timer thread)
    std::atomic<DWORD> m_tickThread{0}; // the thread running a tick, 0 between ticks
};

} // namespace

std::unique_ptr<PeriodicTimer> makeMultimediaTimer()
{
    return std::make_unique<MultimediaTimer>();
}

int32_t systemTimerBeginPeriod(int32_t periodMs)
{
    return int32_t(timeBeginPeriod(UINT(periodMs)));
}

int32_t systemTimerEndPeriod(int32_t periodMs)
{
    return int32_t(timeEndPeriod(UINT(periodMs)));
}

} // namespace platform
