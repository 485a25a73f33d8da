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

using Notes = std::vector<std::pair<int32_t, int32_t>>;

// Notes [start, end) found by the level rule, written out without a ring: the window of
// frame f covers f - h + 1 ... f + n - h of the unprocessed track.
Notes findNotes(const TestTrack& t, int32_t p1, int32_t p2)
{
    const int32_t n = windowFrames(p1), h = n / 2;
    Notes notes;
    bool in = false;
    int32_t start = 0;
    for (int32_t f = h; f < t.frames() - (n - h); ++f)
    {
        int32_t level = 0;
        for (int32_t g = f - h + 1; g <= f + n - h; ++g)
            level += std::abs(t.left(g)) + std::abs(t.right(g));
        if (in && level < 128 * p2)
            notes.emplace_back(start, f);
        else if (!in && level > 256 * p2)
            start = f;
        in = in ? level >= 128 * p2 : level > 256 * p2;
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

// What applying fx to bursts() over the whole track with P1, P2 and P3 0 gives.
TestTrack applied(Effect fx, int32_t p1, int32_t p2)
{
    TestTrack t = bursts();
    fx(t.span(), params(0, 5000, p1, p2, 0));
    return t;
}

} // namespace

TEST(NoteDetection, FindsEachIsolatedBurstOnce)
{
    for (const auto& [p1, p2] : {std::pair{128, 100}, std::pair{200, 40}, std::pair{255, 10}})
    {
        const Notes notes = findNotes(bursts(), p1, p2);
        ASSERT_EQ(notes.size(), 2u) << p1;
        EXPECT_LT(notes[0].first, 1000);
        EXPECT_GT(notes[0].second, 1300);
        EXPECT_LT(notes[1].first, 3000);
        EXPECT_GT(notes[1].second, 3500);
    }
}

TEST(NoteEffects, WithP2ZeroNoNoteEverEnds)
{
    for (const Effect fx : {applyFadeNote, applyReverseNote, applyPitchNote, applyReflectNote})
        EXPECT_EQ(applied(fx, 128, 0).samples, bursts().samples);
}

TEST(NoteEffects, ReverseFadeAndPitchTransformExactlyTheFramesOfEachNote)
{
    const TestTrack before = bursts();
    TestTrack reversed = before;
    for (const auto& [s, e] : findNotes(before, 128, 100))
        for (int32_t i = 0; i < e - s; ++i)
        {
            reversed.left(s + i) = before.left(e - 1 - i);
            reversed.right(s + i) = before.right(e - 1 - i);
        }
    EXPECT_EQ(applied(applyReverseNote, 128, 100).samples, reversed.samples);
    EXPECT_NE(reversed.samples, before.samples);

    // Fade scales sample i of a note of k samples by P1/256 + i (P2 - P1) / 256 / k.
    TestTrack faded = before;
    for (const auto& [s, e] : findNotes(before, 200, 40))
        for (int32_t i = 0, k = 2 * (e - s); i < k; ++i)
            faded.samples[size_t(2 * s + i)] = int16_t(
                float(before.samples[size_t(2 * s + i)]) *
                (200.0f / 256.0f + float(i) * (40.0f / 256.0f - 200.0f / 256.0f) / float(k)));
    EXPECT_EQ(applied(applyFadeNote, 200, 40).samples, faded.samples);

    // Pitch at 255 plays the note twice as fast, then silence; the note's last frame stays.
    TestTrack pitched = before;
    for (const auto& [s, e] : findNotes(before, 255, 10))
        for (int32_t j = 0, c = e - 1 - s; j < c; ++j)
        {
            pitched.left(s + j) = 2 * j < c ? before.left(s + 2 * j) : 0;
            pitched.right(s + j) = 2 * j < c ? before.right(s + 2 * j) : 0;
        }
    EXPECT_EQ(applied(applyPitchNote, 255, 10).samples, pitched.samples);
}

TEST(ReflectNote, AddsTheNoteBackwardBeforeItsStartButNotBeforeTheFirstOutputFrame)
{
    const TestTrack before = bursts();
    TestTrack expected = before;
    for (const auto& [s, e] : findNotes(before, 128, 100))
        for (int32_t j = 0; j < e - 1 - s && s - 1 - j > 33; ++j)
        {
            expected.left(s - 1 - j) = int16_t(expected.left(s - 1 - j) + before.left(s + j));
            expected.right(s - 1 - j) = int16_t(expected.right(s - 1 - j) + before.right(s + j));
        }
    EXPECT_EQ(applied(applyReflectNote, 128, 100).samples, expected.samples);

    TestTrack t(2000);
    t.generate([](int32_t f, int32_t) { return int16_t(f >= 300 && f < 900 ? 5000 : 50); });
    const TestTrack floor = t;
    applyReflectNote(t.span(), params(200, 2000, 128, 100, 0)); // first output frame 233
    EXPECT_TRUE(sameFrames(t, floor, 0, 234));
    EXPECT_NE(t.left(234), floor.left(234));
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
