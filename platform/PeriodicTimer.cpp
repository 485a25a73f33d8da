// PeriodicTimer: a thread that sleeps until each tick's due time and runs the tick.
#include "PeriodicTimer.h"

#include "MmResult.h"
#if defined(_WIN32)
#include "win/WinMmTimer.h"
#endif

#include <atomic>
#include <map>
#include <mutex>
#include <stop_token>
#include <thread>

namespace platform
{

namespace
{

class ThreadTimer final : public PeriodicTimer
{
public:
    explicit ThreadTimer(std::shared_ptr<Clock> clock) : m_clock(std::move(clock)) {}
    ~ThreadTimer() override { cancel(); }

    int32_t start(int32_t periodMs, Tick tick) override
    {
        if (periodMs < kMinTimerPeriodMs || periodMs > kMaxTimerPeriodMs || !tick)
            return kTimerError;
        if (running())
            return kMmAllocated;
        join(); // a timer that cancelled itself from its tick has still to be joined
        // A fresh stop source before the thread exists: a tick may cancel before the thread
        // object below has even been assigned, so the tick thread never touches m_thread.
        m_stop = std::stop_source();
        m_running.store(true);
        m_thread = std::thread([this, stop = m_stop.get_token(), periodMs, tick = std::move(tick)]
                               { run(stop, std::chrono::milliseconds(periodMs), tick); });
        return kMmNoError;
    }

    void cancel() override
    {
        m_running.store(false);
        m_stop.request_stop();
        if (m_tickThread.load() == std::this_thread::get_id())
            return; // from inside the tick: the loop ends when the tick returns
        join();
    }

    bool running() const override { return m_running.load(); }

private:
    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

    void run(std::stop_token stop, std::chrono::microseconds period, const Tick& tick)
    {
        m_tickThread.store(std::this_thread::get_id());
        auto due = m_clock->now() + period;
        while (m_clock->sleepUntil(due, stop) && !stop.stop_requested())
        {
            tick(*this);
            due += period;
            // Far behind schedule: drop the missed ticks and go on from now.
            if (m_clock->now() - due > kMaxLatePeriods * period)
                due = m_clock->now() + period;
        }
        m_tickThread.store(std::thread::id());
    }

    std::shared_ptr<Clock> m_clock;
    std::thread m_thread;    // started, assigned and joined on the caller's thread only
    std::stop_source m_stop; // replaced only while no timer thread exists; any thread stops it
    std::atomic<bool> m_running{false};          // cleared by cancel(), from any thread
    std::atomic<std::thread::id> m_tickThread{}; // written once by the timer's thread
};

std::mutex g_periodMutex; // resolution requests come from the application's thread only
std::map<int32_t, int32_t> g_periodRequests;

bool validPeriod(int32_t periodMs)
{
    return periodMs >= kMinTimerPeriodMs && periodMs <= kMaxTimerPeriodMs;
}

} // namespace

std::unique_ptr<PeriodicTimer> makePeriodicTimer(std::shared_ptr<Clock> clock)
{
#if defined(_WIN32)
    // The system's multimedia timer runs in real time; a test's clock or a sped-up run
    // (VUMO_VIRTUAL_SPEED) needs the thread timer.
    if (!clock && virtualSpeedFromEnv() == 1.0)
        return makeMultimediaTimer();
#endif
    return std::make_unique<ThreadTimer>(clock ? std::move(clock) : steadyClock());
}

int32_t timerBeginPeriod(int32_t periodMs)
{
    if (!validPeriod(periodMs))
        return kTimerError;
#if defined(_WIN32)
    if (const int32_t rc = systemTimerBeginPeriod(periodMs); rc != kMmNoError)
        return rc;
#endif
    std::lock_guard lock(g_periodMutex);
    ++g_periodRequests[periodMs];
    return kMmNoError;
}

int32_t timerEndPeriod(int32_t periodMs)
{
    std::lock_guard lock(g_periodMutex);
    auto it = g_periodRequests.find(periodMs);
    if (it == g_periodRequests.end())
        return kTimerError;
    if (--it->second == 0)
        g_periodRequests.erase(it);
#if defined(_WIN32)
    return systemTimerEndPeriod(periodMs);
#else
    return kMmNoError;
#endif
}

int32_t timerPeriodRequests()
{
    std::lock_guard lock(g_periodMutex);
    int32_t total = 0;
    for (const auto& [period, count] : g_periodRequests)
        total += count;
    return total;
}

} // namespace platform
