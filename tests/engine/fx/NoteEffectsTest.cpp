// Note detection and the four note actions.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"
#include "engine/fx/WindowSweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

using namespace wavorn::fx;
using namespace fxtest;

namespace
{

// Notes [start, end) found by the level rule, written out without a ring: the window of
// frame f covers f - h + 1 ... f + n - h of the unprocessed track.
std::vector<std::pair<int32_t, int32_t>> findNotes(const TestTrack& t, int32_t first, int32_t last,
                                                   int32_t p1, int32_t p2)
{
    const int32_t n = windowFrames(p1), h = n / 2;
    std::vector<std::pair<int32_t, int32_t>> notes;
    bool in = false;
    int32_t start = 0;
    for (int32_t f = first + h; f < last - (n - h); ++f)
    {
        int32_t level = 0;
        for (int32_t g = f - h + 1; g <= f + n - h; ++g)
            level += std::abs(int32_t(t.left(g))) + std::abs(int32_t(t.right(g)));
        if (in && level < 128 * p2)
        {
            notes.emplace_back(start, f);
            in = false;
        }
        else if (!in && level > 256 * p2)
        {
            start = f;
            in = true;
        }
    }
    return notes;
}

// Silence with bursts of a ramp at [1000, 1400) and [3000, 3600).
TestTrack bursts()
{
    TestTrack t(5000);
    t.generate(
        [](int32_t f, int32_t c)
        {
            const bool on = (f >= 1000 && f < 1400) || (f >= 3000 && f < 3600);
            return int16_t(on ? 1000 + (f % 400) * 10 + c : 0);
        });
    return t;
}

} // namespace

TEST(NoteDetection, FindsEachIsolatedBurstOnce)
{
    const auto notes = findNotes(bursts(), 0, 5000, 128, 100);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_LT(notes[0].first, 1000);
    EXPECT_GT(notes[0].second, 1300);
}

TEST(ReverseNote, ReversesExactlyTheFramesOfEachNote)
{
    TestTrack t = bursts();
    const TestTrack before = t;
    const auto notes = findNotes(before, 0, 5000, 128, 100);
    applyReverseNote(t.span(), params(0, 5000, 128, 100, 0));
    TestTrack expected = before;
    for (const auto& [s, e] : notes)
        for (int32_t i = 0; i < e - s; ++i)
        {
            expected.left(s + i) = before.left(e - 1 - i);
            expected.right(s + i) = before.right(e - 1 - i);
        }
    EXPECT_EQ(t.samples, expected.samples);
    EXPECT_NE(t.samples, before.samples);
}

TEST(FadeNote, ScalesFromP1Over256ToP2Over256)
{
    TestTrack t = bursts();
    const TestTrack before = t;
    const auto notes = findNotes(before, 0, 5000, 200, 40);
    ASSERT_EQ(notes.size(), 2u);
    applyFadeNote(t.span(), params(0, 5000, 200, 40, 0));
    for (const auto& [s, e] : notes)
    {
        const int32_t k = 2 * (e - s);
        for (int32_t i = 0; i < k; ++i)
        {
            const float factor =
                200.0f / 256.0f + float(i) * (40.0f / 256.0f - 200.0f / 256.0f) / float(k);
            ASSERT_EQ(t.samples[size_t(2 * s + i)],
                      int16_t(float(before.samples[size_t(2 * s + i)]) * factor));
        }
    }
}

TEST(FadeNote, WithP1EqualP2ScalesEveryNoteUniformly)
{
    TestTrack t = bursts();
    const TestTrack before = t;
    applyFadeNote(t.span(), params(0, 5000, 64, 64, 0));
    int32_t scaled = 0;
    for (size_t i = 0; i < t.samples.size(); ++i)
    {
        const int16_t quarter = int16_t(float(before.samples[i]) * 0.25f);
        ASSERT_TRUE(t.samples[i] == before.samples[i] || t.samples[i] == quarter) << i;
        scaled += t.samples[i] != before.samples[i];
    }
    EXPECT_GT(scaled, 1500);
}

TEST(NoteEffects, WithP2ZeroNoNoteEverEnds)
{
    TestTrack t = bursts();
    const TestTrack before = t;
    applyFadeNote(t.span(), params(0, 5000, 128, 0, 0));
    applyReverseNote(t.span(), params(0, 5000, 128, 0, 0));
    applyPitchNote(t.span(), params(0, 5000, 128, 0, 0));
    applyReflectNote(t.span(), params(0, 5000, 128, 0, 0));
    EXPECT_EQ(t.samples, before.samples);
}

TEST(PitchNote, At255PlaysTheNoteTwiceAsFastThenSilence)
{
    TestTrack t = bursts();
    const TestTrack before = t;
    const auto notes = findNotes(before, 0, 5000, 255, 10);
    ASSERT_EQ(notes.size(), 2u);
    applyPitchNote(t.span(), params(0, 5000, 255, 10, 0));
    for (const auto& [s, e] : notes)
    {
        const int32_t c = e - 1 - s;
        for (int32_t j = 0; j < c; ++j)
        {
            const int32_t q = 2 * j;
            ASSERT_EQ(t.left(s + j), q < c ? before.left(s + q) : 0) << j;
            ASSERT_EQ(t.right(s + j), q < c ? before.right(s + q) : 0) << j;
        }
        EXPECT_EQ(t.left(e - 1), before.left(e - 1));
    }
}

TEST(ReflectNote, AddsTheNoteBackwardBeforeItsStart)
{
    TestTrack t = bursts();
    const TestTrack before = t;
    const auto notes = findNotes(before, 0, 5000, 128, 100);
    applyReflectNote(t.span(), params(0, 5000, 128, 100, 0));
    TestTrack expected = before;
    for (const auto& [s, e] : notes)
        for (int32_t j = 0; j < e - 1 - s && s - 1 - j > 33; ++j)
        {
            expected.left(s - 1 - j) = int16_t(expected.left(s - 1 - j) + before.left(s + j));
            expected.right(s - 1 - j) = int16_t(expected.right(s - 1 - j) + before.right(s + j));
        }
    EXPECT_EQ(t.samples, expected.samples);
}

TEST(ReflectNote, NeverWritesAtOrBeforeTheFirstOutputFrame)
{
    TestTrack t(2000);
    t.generate([](int32_t f, int32_t) { return int16_t(f >= 300 && f < 900 ? 5000 : 50); });
    const TestTrack before = t;
    applyReflectNote(t.span(), params(200, 2000, 128, 100, 0)); // first output frame 233
    for (int32_t f = 0; f <= 233; ++f)
        ASSERT_EQ(t.left(f), before.left(f)) << f;
    EXPECT_NE(t.left(234), before.left(234));
}

TEST(ReflectNote, LimitsSumsTo32767)
{
    TestTrack t(2000);
    // Window of 2 frames; the floor of 8000 stays below the off threshold of 32640.
    t.generate([](int32_t f, int32_t) { return int16_t(f >= 800 && f < 1200 ? 30000 : 8000); });
    applyReflectNote(t.span(), params(0, 2000, 255, 255, 0));
    int32_t limited = 0;
    for (int16_t s : t.samples)
    {
        ASSERT_GE(s, 0); // no wrap-around to negative values
        limited += s == 32767;
    }
    EXPECT_GT(limited, 100);
}
