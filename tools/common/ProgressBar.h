// A progress bar on standard error for the command-line tools.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace vumo::tools
{

// A one-line bar on standard error, redrawn when the whole percentage changes.
class ProgressBar
{
public:
    ProgressBar(bool enabled, int64_t total)
        : m_enabled(enabled), m_total(std::max<int64_t>(total, 1))
    {
    }
    ~ProgressBar()
    {
        if (m_enabled && m_drawn)
            std::fputc('\n', stderr);
    }
    void setTotal(int64_t total) { m_total = std::max<int64_t>(total, 1); }
    void show(int64_t done, int32_t step, int32_t steps, const char* name)
    {
        if (!m_enabled)
            return;
        const int percent = int(done * 100 / m_total);
        if (m_drawn && percent == m_percent && step == m_step)
            return;
        m_percent = percent;
        m_step = step;
        m_drawn = true;
        constexpr int kWidth = 30;
        const int filled = percent * kWidth / 100;
        std::fprintf(stderr, "\r[%.*s%*s] %3d%%  %d/%d %-16s", filled,
                     "==============================", kWidth - filled, "", percent, step, steps,
                     name);
        std::fflush(stderr);
    }

private:
    bool m_enabled;
    int64_t m_total;
    bool m_drawn = false;
    int m_percent = -1;
    int32_t m_step = -1;
};

} // namespace vumo::tools
