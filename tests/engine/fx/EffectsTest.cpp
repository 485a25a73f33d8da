// The time-domain effects over hand-made tracks: worked numbers, the frames each effect leaves
// alone, and properties every effect keeps.
#include "FxTestSupport.h"

#include "engine/fx/Effects.h"
#include "engine/fx/FxTable.h"
#include "engine/fx/PhaseSweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>

using namespace wavorn::fx;
using namespace fxtest;

TEST(Effects, OfConstantTracksGiveTheWorkedNumbers)
{
    const ConstantCase cases[] = {
        // what, effect, frames, P1, P2, P3, input (L, R), output (L, R), head, tail, tolerance
        {"gain 1, left 127/128", applyGain, 8, 16, 255, 128, 1000, -1000, 992, -1000},
        {"gain 2.5 truncates", applyGain, 4, 40, 255, 127, 1001, -1001, 2502, -2482},
        {"gain limit 128 * P2", applyGain, 4, 255, 10, 0, 30000, -30000, 1280, 0},
        {"gain limit negative", applyGain, 4, 255, 10, 255, 30000, -30000, 0, -1280},
        // 128 * sqrt(32767), 127 * sqrt(32767)
        {"compression, full", applyCompression, 2, 128, 255, 127, 32767, -32767, 23170, -22989},
        {"compression of minus", applyCompression, 3, 2, 255, 255, 0, -100, 0, -20},
        {"compression limit", applyCompression, 2, 255, 100, 127, 10000, -10000, 12800, -12800},
        // k = pi / 65281: 3000 cos(3000 k) = 2968.8, times 127/128 = 2945.6
        {"distortion, large P1", applyDistortion, 2, 255, 0, 127, 3000, 3000, 2968, 2945, 0, 0, 1},
        {"ring at P1 0: 1 + weight", applyRing, 16, 0, 0, 127, 1000, 1000, 2000, 1992},
        {"ring at P1 0 limits", applyRing, 2, 0, 0, 255, 20000, -20000, 20000, -32767},
        {"vibe at depth 0", applyVibe, 100, 200, 0, 128, 1000, 1000, 1992, 2000},
        // a = 1, left 127/128: 10000 * 127/128 * (1 + cos 0) / 2; right (1 + cos pi/2) / 2
        {"bounce pan", applyBouncePan, 1, 100, 255, 128, 10000, 10000, 9921, 5000, 0, 0, 1},
        // 1000 + 1000 * 255/256, 1000 + 1000 * 127/128 * 255/256; the last frame is not written
        {"echo at P1 0", applyEcho, 10, 0, 255, 127, 1000, 1000, 1996, 1988, 0, 1},
        {"echo at P1 0 limits", applyEcho, 4, 0, 255, 127, -20000, 20000, -32767, 32767, 0, 1},
        {"mirror exchanges", applyMirror, 3, 0, 0, 0, 5, -7, -7, 5},
        {"negate: the difference", applyNegate, 3, 0, 0, 0, 100, 30, 70, 70},
        {"negate of mono is silence", applyNegate, 3, 0, 0, 0, -500, -500, 0, 0},
        {"negate limits", applyNegate, 3, 0, 0, 0, 32767, -32768, 32767, 32767},
        {"negate limits below", applyNegate, 3, 0, 0, 0, -32768, 32767, -32767, -32767},
        {"monotonize of -32768", applyMonotonize, 2, 0, 0, 0, -32768, -32767, -32767, -32767},
        {"low pass: times weight", applyLowPass, 1000, 128, 0, 127, 1000, -1000, 1000, -992, 64,
         64},
        {"high pass: silence", applyHighPass, 1000, 128, 0, 127, 1000, -1000, 0, 0, 64, 64},
        // 20000 * (1 + 127/128), limited; three voices: weights 1 and 0.5
        {"two voices at P2 0", applyChorus2, 100, 100, 0, 127, 1000, 20000, 2000, 32767, 0, 1},
        {"three voices at P2 0", applyChorus3, 50, 10, 0, 64, 1000, 2000, 2500, 5000, 0, 1},
        // A loud constant keeps the gate open: x - mean is 0. Window 66, h 33.
        {"wah of a loud constant", applyWah, 1000, 128, 1, 0, 1000, -1000, 0, 0, 33, 33},
    };
    for (const ConstantCase& c : cases)
        expectConstantCase(c);
}

TEST(Effects, EchoRepeatsDecayAndTheLastFrameWrittenIsAtMostLMinus2)
{
    TestTrack t(400);
    t.left(10) = 16000;
    applyEcho(t.span(), FxParams{0, 400, 1, 128, 0}); // 64 frames, half
    for (int32_t f = 0; f < 400; ++f) // the last repeat, at 394, comes from 330 < L - 1 - 64
        ASSERT_EQ(t.left(f), f >= 10 && (f - 10) % 64 == 0 ? 16000 >> ((f - 10) / 64) : 0) << f;
    TestTrack u = TestTrack(200).generate([](int32_t, int32_t) { return 1000; });
    applyEcho(u.span(), FxParams{0, 130, 1, 255, 127});
    // Sources are frames 0 ... 64, targets 64 ... 128; frame 64 is raised before it is read.
    for (const auto& [frame, value] : {std::pair{63, 1000}, {64, 1996}, {128, 2988}, {129, 1000}})
        EXPECT_EQ(u.left(frame), value) << frame;
}

TEST(Effects, ReverseAndShiftMoveWholeFrames)
{
    TestTrack t = TestTrack(5).generate([](int32_t f, int32_t c) { return int16_t(10 * f + c); });
    applyReverse(t.span(), FxParams{1, 4, 0, 0, 0});
    EXPECT_EQ(t.samples, (std::vector<int16_t>{0, 1, 30, 31, 20, 21, 10, 11, 40, 41}));
    // Shift delays left by 128 frames (P1 < 128) or right by 127, keeping the range's first ones.
    for (const auto [p1, channel, delay] : {std::array{0, 0, 128}, std::array{255, 1, 127}})
    {
        TestTrack u(1000);
        const TestTrack before = u.generate([](int32_t f, int32_t c) { return c ? -f : f; });
        applyShift(u.span(), FxParams{100, 900, p1, 0, 0});
        for (int32_t f = 0; f < 1000; ++f)
        {
            const int32_t from = f >= 100 + delay && f < 900 ? f - delay : f;
            ASSERT_EQ(std::pair(u.at(f, channel), u.at(f, 1 - channel)),
                      std::pair(before.at(from, channel), before.at(f, 1 - channel)))
                << f;
        }
    }
}

TEST(Effects, LowAndHighPassOfAnImpulseSpreadItOverTheWindow)
{
    // P1 252: N 4, h 2; the window of frame f is f - 1 ... f + 2.
    for (const bool high : {false, true})
    {
        TestTrack t(1000);
        t.left(500) = 4000;
        (high ? applyHighPass : applyLowPass)(t.span(), FxParams{0, 1000, 252, 0, 127});
        for (int32_t f = 490; f < 510; ++f)
        {
            const int32_t mean = f >= 498 && f <= 501 ? 1000 : 0;
            ASSERT_EQ(t.left(f), high ? (f == 500 ? 4000 : 0) - mean : mean) << high << f;
        }
    }
}

TEST(Effects, BandPassAndPitchChangeTonesAsTheirParametersSay)
{
    // In the band and far above it; P3 0 keeps the left channel only.
    for (const auto& [hz, p3] :
         {std::pair{3000.0, 127}, std::pair{12000.0, 127}, std::pair{3000.0, 0}})
    {
        TestTrack t(8000);
        t.samples = tones(8000, {{hz, 1e4}}, {{hz, 1e4}});
        const TestTrack before = t;
        applyBandPass(t.span(), FxParams{100, 7900, 24, 48, p3}); // 2067 ... 4134 Hz, + 1917 Hz
        // 128 earlier inputs are needed, and 127 later ones.
        EXPECT_TRUE(sameFrames(t, before, 0, 100 + 128) && sameFrames(t, before, 7900 - 127, 8000));
        int32_t peak = 0;
        int32_t rightPeak = 0;
        for (int32_t f = 1000; f < 7000; ++f)
        {
            peak = std::max(peak, std::abs(int32_t(t.left(f))));
            rightPeak = std::max(rightPeak, std::abs(int32_t(t.at(f, 1))));
        }
        EXPECT_NEAR(peak, hz < 5000 ? 10000 : 0, hz < 5000 ? 1200 : 99) << hz;
        EXPECT_TRUE(hz > 5000 || (rightPeak == 0) == (p3 == 0)) << hz << " " << rightPeak;
    }
    // The grain pitch shifter turns 440 Hz into 880 or 220 Hz, keeping 2048 frames each end.
    for (const auto [p1, p3, hz] : {std::array{255, 127, 880}, std::array{0, 0, 220}})
    {
        const int32_t frames = 44100, first = 2048, last = frames - 2048;
        TestTrack t(frames);
        t.samples = tones(frames, {{440.0, 12000.0}}, {{440.0, 12000.0}});
        const TestTrack before = t;
        applyPitch(t.span(), FxParams{0, frames, p1, 0, p3});
        EXPECT_NEAR(zeroCrossingHz(t.samples, 0, first, last), hz, hz * 0.05);
        EXPECT_TRUE(sameFrames(t, before, 0, first) && sameFrames(t, before, last, frames));
        for (int32_t f = first; f < last && p3 == 0; ++f)
            ASSERT_EQ(t.at(f, 1), 0) << f; // only the weighted wet signal remains
    }
}

TEST(Effects, ResonatorRingsAtTheTapDistances)
{
    TestTrack t(2000);
    t.left(100) = 10000;
    applyResonator(t.span(), FxParams{0, 2000, 254, 255, 0}); // W 128, n 64, s 255/1024
    // Frame 100 feeds frames 100 + D1 = 147 (0.76) and 146 (0.24) among others.
    EXPECT_NEAR(t.left(147), 0.76 * 10000 * 255.0 / 1024.0, 1.0);
    EXPECT_NEAR(t.left(146), 0.24 * 10000 * 255.0 / 1024.0, 1.0);
    EXPECT_EQ(t.left(120), 0);
}

TEST(Effects, AQuietWahClosesItsGateByTheStepEachFrame)
{
    // Window 2, level 2000 below 128 * 255: the gate falls by 0.01 a frame from frame h = 1,
    // so the output (1 - gate) * x rises by 10 a frame to the whole input.
    TestTrack t = TestTrack(300).generate([](int32_t, int32_t) { return 1000; });
    applyWah(t.span(), FxParams{0, 300, 255, 255, 0});
    EXPECT_EQ(t.left(0), 1000);
    for (int32_t k = 0; k < 100; ++k)
        ASSERT_NEAR(t.left(1 + k), 10 * (k + 1), 1) << k;
    EXPECT_NEAR(t.left(150), 1010, 1); // the gate stops one step below 0
}

TEST(Effects, NoteEffectsActOnEachDetectedNote)
{
    // Window 2 (P1 255) and P2 10: a note starts where the level passes 2560 and ends where it
    // falls below 1280, so the burst at [1000, 1400) is exactly one note.
    TestTrack burst(3000);
    burst.generate([](int32_t f, int32_t c)
                   { return int16_t(f >= 1000 && f < 1400 ? 1000 + 5 * (f - 1000) + c : 0); });
    const auto applied = [&](Effect fx, int32_t p2)
    {
        TestTrack t = burst;
        fx(t.span(), FxParams{0, 3000, 255, p2, 0});
        return t;
    };
    for (const Effect fx : {applyFadeNote, applyReverseNote, applyPitchNote, applyReflectNote})
        EXPECT_EQ(applied(fx, 0).samples, burst.samples) << "with P2 0 no note ever ends";
    TestTrack reversed = burst, pitched = burst, reflected = burst;
    for (int32_t i = 0; i < 400; ++i)
        for (int32_t c = 0; c < 2; ++c)
        {
            reversed.samples[2 * size_t(1000 + i) + c] = burst.at(1399 - i, c);
            if (i == 399)
                continue; // the note's last frame stays; before it, twice as fast, then silence
            pitched.samples[2 * size_t(1000 + i) + c] = 2 * i < 399 ? burst.at(1000 + 2 * i, c) : 0;
            reflected.samples[2 * size_t(999 - i) + c] = burst.at(1000 + i, c);
        }
    EXPECT_EQ(applied(applyReverseNote, 10).samples, reversed.samples);
    EXPECT_EQ(applied(applyPitchNote, 10).samples, pitched.samples);
    EXPECT_EQ(applied(applyReflectNote, 10).samples, reflected.samples);
    // Reflected sums are limited, never wrapping to negative values.
    TestTrack loud = TestTrack(2000).generate(
        [](int32_t f, int32_t) { return int16_t(f >= 800 && f < 1200 ? 30000 : 8000); });
    applyReflectNote(loud.span(), FxParams{0, 2000, 255, 255, 0});
    EXPECT_EQ(*std::min_element(loud.samples.begin(), loud.samples.end()), 8000);
    EXPECT_GT(std::count(loud.samples.begin(), loud.samples.end(), 32767), 100);
}

TEST(PhaseSweep, GivesTheRunningSumOfTheStepRestartingAtZeroPast2Pi)
{
    // Bit for bit against a plain running sum, in uneven blocks, over two restarts or more.
    for (const int32_t units : {0, 1, 37, 128, 255})
    {
        PhaseSweep sweep(units);
        const float step = float(units) * kRadiansPerStep;
        float m = 0.0f;
        std::vector<float> phases(PhaseSweep::kMaxBlock);
        int32_t restarts = 0;
        size_t firstWrong = SIZE_MAX;
        for (size_t frame = 0, block = 1; frame < 3400000;
             frame += block, block = block * 7 % 4096 + 1)
        {
            sweep.next(phases.data(), block);
            for (size_t k = 0; k<block; ++k, m = double(m)> kTwoPi ? 0.0f : m)
            {
                if (std::bit_cast<uint32_t>(phases[k]) != std::bit_cast<uint32_t>(m))
                    firstWrong = std::min(firstWrong, frame + k);
                m += step;
                restarts += double(m) > kTwoPi;
            }
        }
        EXPECT_EQ(firstWrong, SIZE_MAX) << units;
        EXPECT_EQ(restarts > 0, units > 0) << units;
    }
}

class EveryEffect : public ::testing::TestWithParam<int32_t>
{
};

TEST_P(EveryEffect, StaysInsideItsRangeAndNeverProducesMinus32768)
{
    // Random ranges and parameters, and ranges at the track's end (the sanitizers check the
    // reads); results past 16 bits must be limited, not wrapped.
    const Effect fx = findEffect(GetParam())->apply;
    std::mt19937 rng{uint32_t(GetParam())};
    for (int32_t p : {0, 1, 127, 128, 254, 255, -1, -1, -1, -1})
    {
        const TestTrack before = randomTrack(12000, uint32_t(rng()));
        TestTrack t = before;
        const int32_t first = p < 0 ? int32_t(rng() % 3000) : p % 2 ? 11999 : 11000;
        const int32_t last = p < 0 ? first + int32_t(rng() % 9000) : 12000;
        const auto q = [&] { return p < 0 ? int32_t(rng() % 256) : p; };
        fx(t.span(), FxParams{first, last, q(), 255 - q(), q()});
        EXPECT_TRUE(sameFrames(t, before, 0, first) && sameFrames(t, before, last, 12000));
        ASSERT_EQ(std::count(t.samples.begin(), t.samples.end(), -32768), 0) << p;
    }
}

std::vector<int32_t> timeDomainCodes()
{
    std::vector<int32_t> codes;
    for (const FxEntry& entry : fxTable())
        codes.push_back(entry.code);
    return codes;
}

INSTANTIATE_TEST_SUITE_P(TimeDomainCodes, EveryEffect, ::testing::ValuesIn(timeDomainCodes()));
