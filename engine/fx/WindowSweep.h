// The sliding window that the level-following and note effects share: n = (260 - P1) / 2
// frames, lag h = n / 2. After the update for frame f the window covers frames
// f - h + 1 ... f + n - h; the frame leaving it comes from a ring of unprocessed samples,
// since the effect may already have rewritten it.
#pragma once

#include "FxMath.h"

namespace wavorn::fx
{

constexpr int32_t kMaxWindowFrames = 130;

// The four window sums move together as one vector: left, right, |left|, |right|.
typedef int32_t WindowLanes __attribute__((vector_size(16)));

// Per channel: the sum of the window's samples and the sum of their absolute values.
struct WindowSums
{
    WindowLanes lanes;
    int32_t sumLeft() const { return lanes[0]; }
    int32_t sumRight() const { return lanes[1]; }
    int32_t absLeft() const { return lanes[2]; }
    int32_t absRight() const { return lanes[3]; }
};

constexpr int32_t windowFrames(int32_t p1)
{
    return (260 - (p1 & 0xFF)) / 2;
}

// Calls step(f, sums) for every output frame f = first + h ... last - (n - h) - 1 with the
// window sums after f's update. A range of n frames or fewer has no output frame.
inline WindowLanes windowLanes(int16_t l, int16_t r)
{
    const int32_t left = l;
    const int32_t right = r;
    return WindowLanes{left, right, left < 0 ? -left : left, right < 0 ? -right : right};
}

// Calls step(f, sums) for every output frame f = first + h ... last - (n - h) - 1 with the
// window sums after f's update. A range of n frames or fewer has no output frame.
template <class Step>
void sweepWindow(SampleSpan track, int32_t first, int32_t last, int32_t n, Step&& step)
{
    if (n < 1 || n > kMaxWindowFrames || int64_t(last) - first <= n)
        return;
    const int32_t h = n / 2;
    const int16_t* x = track.data();
    // The ring keeps each frame of the window with its absolute values, as it entered.
    WindowLanes ring[kMaxWindowFrames];
    WindowLanes sums = {0, 0, 0, 0};
    for (int32_t i = 0; i < n; ++i)
    {
        const size_t at = 2 * (size_t(first) + size_t(i));
        ring[i] = windowLanes(x[at], x[at + 1]);
        sums += ring[i];
    }
    int32_t slot = 0; // (f - h - first) mod n: the leaving frame's slot, the entering one's too
    const size_t end = size_t(last) - size_t(n - h);
    for (size_t f = size_t(first) + size_t(h); f < end; ++f)
    {
        const size_t in = 2 * (f + size_t(n - h));
        const WindowLanes entering = windowLanes(x[in], x[in + 1]);
        sums += entering - ring[slot];
        ring[slot] = entering;
        if (++slot == n)
            slot = 0;
        step(f, WindowSums{sums});
    }
}

} // namespace wavorn::fx
