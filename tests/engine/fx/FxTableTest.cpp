// The effect table and the processor's dispatch, range clamping and edited mark.
#include "FxTestSupport.h"

#include "engine/api/Engine.h"
#include "engine/fx/Fx.h"
#include "engine/fx/FxTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

using namespace wavorn;
using namespace wavorn::fx;
using namespace fxtest;

namespace
{

// Gives the engine a track buffer of `frames` random frames without opening any device.
class ProcessorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Engine& e = engine();
        e.trackLen = kFrames;
        e.trackBuf = allocateFrames(kFrames);
        ASSERT_TRUE(e.trackBuf);
        const TestTrack t = randomTrack(kFrames, 7, 20000);
        std::copy(t.samples.begin(), t.samples.end(), e.trackBuf.get());
        e.dirty = false;
    }
    void TearDown() override
    {
        Engine& e = engine();
        e.trackBuf.reset();
        e.trackLen = 0;
        e.dirty = false;
    }
    std::vector<int16_t> snapshot()
    {
        const SampleSpan s = engine().trackSamples();
        return {s.begin(), s.end()};
    }
    static constexpr int32_t kFrames = 6000;
};

} // namespace

TEST(FxTable, HoldsCodes1To25InOrderOnce)
{
    const auto table = fxTable();
    ASSERT_EQ(table.size(), 25u);
    for (size_t i = 0; i < table.size(); ++i)
    {
        EXPECT_EQ(table[i].code, int32_t(i + 1));
        EXPECT_NE(table[i].apply, nullptr);
        EXPECT_NE(table[i].name, nullptr);
    }
}

TEST(FxTable, NamesAreTheDialogNames)
{
    EXPECT_STREQ(findEffect(1)->name, "Amp - Gain");
    EXPECT_STREQ(findEffect(10)->name, "Hi Pass");
    EXPECT_STREQ(findEffect(14)->name, "Noise Reduc");
    EXPECT_STREQ(findEffect(20)->name, "Shift");
    EXPECT_STREQ(findEffect(25)->name, "Monotonize");
    std::set<std::string> names;
    for (const FxEntry& e : fxTable())
        names.insert(e.name);
    EXPECT_EQ(names.size(), 25u);
}

TEST(FxTable, LacksZeroAndTheSpectralCodes)
{
    EXPECT_EQ(findEffect(0), nullptr);
    EXPECT_EQ(findEffect(26), nullptr);
    EXPECT_EQ(findEffect(32), nullptr);
    EXPECT_EQ(findEffect(255), nullptr);
}

TEST_F(ProcessorTest, AReversedRangeChangesNothingButMarksTheTrackEdited)
{
    const auto before = snapshot();
    EXPECT_EQ(fxIt(19, 4000, 100, 0, 0, 0), 0);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(engine().dirty);
}

TEST_F(ProcessorTest, AnEmptyRangeChangesNothingButMarksTheTrackEdited)
{
    const auto before = snapshot();
    EXPECT_EQ(fxIt(1, 300, 300, 255, 255, 0), 0);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(engine().dirty);
}

TEST_F(ProcessorTest, RangesBeyondTheBufferAreClampedToIt)
{
    auto expected = snapshot();
    // Reverse of the whole buffer, asked for with extreme frame numbers.
    EXPECT_EQ(fxIt(19, INT_MIN, INT_MAX, 0, 0, 0), 0);
    auto after = snapshot();
    for (int32_t f = 0; f < kFrames; ++f)
    {
        ASSERT_EQ(after[2 * size_t(f)], expected[2 * size_t(kFrames - 1 - f)]);
        ASSERT_EQ(after[2 * size_t(f) + 1], expected[2 * size_t(kFrames - 1 - f) + 1]);
    }
}

TEST_F(ProcessorTest, EveryCodeWithExtremeArgumentsStaysInsideTheBuffer)
{
    // Under AddressSanitizer any read or write outside trackBuf fails this test.
    for (int32_t code = 1; code <= 25; ++code)
        for (int32_t p : {0, 128, 255, -1, INT_MAX})
            EXPECT_EQ(fxIt(code, kFrames - 3000, INT_MAX, p, p, p), 0);
}

TEST_F(ProcessorTest, OnlyTheLow8BitsOfCodeAndParametersCount)
{
    auto a = snapshot();
    fxIt(256 + 1, 0, kFrames, 256 + 8, 256 + 255, 512 + 128); // gain 0.5
    const auto viaHighBits = snapshot();
    std::copy(a.begin(), a.end(), engine().trackBuf.get());
    fxIt(1, 0, kFrames, 8, 255, 128);
    EXPECT_EQ(snapshot(), viaHighBits);
    EXPECT_NE(viaHighBits, a);
}

TEST_F(ProcessorTest, AMissingTrackBufferIsLeftAloneWithResultZero)
{
    engine().trackBuf.reset();
    EXPECT_EQ(fxIt(3, 0, kFrames, 1, 255, 0), 0);
    EXPECT_TRUE(engine().dirty);
}

TEST_F(ProcessorTest, DispatchRunsTheTableEntryForTheCode)
{
    auto expected = snapshot();
    TestTrack t(kFrames);
    t.samples = expected;
    findEffect(15)->apply(t.span(), params(10, 500, 0, 0, 0));
    fxIt(15, 10, 500, 0, 0, 0);
    EXPECT_EQ(snapshot(), t.samples);
}
