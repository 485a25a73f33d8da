// StepFence: lets the application's thread wait out a device step that may still see old state.
//
// The stepping thread brackets each step with enter()/leave(). After the application's thread
// has published a change (for example "stopped") it calls waitForStep(): any step that started
// before the change has ended when it returns, and every later step sees the change. The
// bracketing words are atomics only; the wait spins with yields for at most one step.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace platform
{

class StepFence
{
public:
    void enter()
    {
        m_stepper.store(std::this_thread::get_id());
        m_busy.store(1);
    }

    void leave()
    {
        m_steps.fetch_add(1);
        m_busy.store(0);
    }

    // Returns once no step that began before this call is still running. From inside a step
    // (a notification calling back into its device) it returns at once.
    void waitForStep() const
    {
        if (m_busy.load() == 0 || m_stepper.load() == std::this_thread::get_id())
            return;
        const uint64_t before = m_steps.load();
        while (m_busy.load() != 0 && m_steps.load() == before)
            std::this_thread::yield();
    }

private:
    std::atomic<int32_t> m_busy{0};           // written by the stepping thread
    std::atomic<uint64_t> m_steps{0};         // steps finished; written by the stepping thread
    std::atomic<std::thread::id> m_stepper{}; // the thread of the latest step
};

} // namespace platform
