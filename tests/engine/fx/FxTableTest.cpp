// The effect table and the processor's dispatch, range clamping and edited mark.
#include "FxTestSupport.h"

#include "engine/api/Engine.h"
#include "engine/fx/Effects.h"
#include "engine/fx/Fx.h"
#include "engine/fx/FxTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace wavorn;
using namespace wavorn::fx;
using namespace fxtest;

namespace
{

// Gives the engine a track buffer of random frames without opening any device.
class ProcessorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Engine& e = engine();
        e.trackLen = kFrames;
        e.trackBuf = allocateFrames(kFrames);
        ASSERT_TRUE(e.trackBuf);
        std::copy(m_start.samples.begin(), m_start.samples.end(), e.trackBuf.get());
        e.dirty = false;
    }
    void TearDown() override
    {
        engine().trackBuf.reset();
        engine().trackLen = 0;
        engine().dirty = false;
    }
    std::vector<int16_t> snapshot()
    {
        const SampleSpan s = engine().trackSamples();
        return {s.begin(), s.end()};
    }
    static constexpr int32_t kFrames = 6000;
    const TestTrack m_start = randomTrack(kFrames, 7, 20000);
};

} // namespace

TEST(FxTable, HoldsCodes1To25InOrderWithTheirEffectsAndDialogNames)
{
    const Effect effects[] = {
        applyGain,        applyChorus2,    applyEcho,        applyPitch,          applyRing,
        applyVibe,        applyBandPass,   applyCompression, applyLowPass,        applyHighPass,
        applyBouncePan,   applyDistortion, applyResonator,   applyNoiseReduction, applyMirror,
        applyChorus3,     applyWah,        applyNegate,      applyReverse,        applyShift,
        applyReverseNote, applyFadeNote,   applyReflectNote, applyPitchNote,      applyMonotonize};
    const auto table = fxTable();
    ASSERT_EQ(table.size(), 25u);
    std::set<std::string> names;
    for (size_t i = 0; i < table.size(); ++i)
    {
        EXPECT_EQ(table[i].code, int32_t(i + 1));
        EXPECT_EQ(table[i].apply, effects[i]) << table[i].code;
        EXPECT_EQ(findEffect(int32_t(i + 1)), &table[i]);
        names.insert(table[i].name);
    }
    EXPECT_EQ(names.size(), 25u);
    EXPECT_STREQ(findEffect(1)->name, "Amp - Gain");
    EXPECT_STREQ(findEffect(10)->name, "Hi Pass");
    EXPECT_STREQ(findEffect(14)->name, "Noise Reduc");
    EXPECT_STREQ(findEffect(25)->name, "Monotonize");
    for (int32_t code : {0, 26, 32, 255})
        EXPECT_EQ(findEffect(code), nullptr) << code;
}

TEST_F(ProcessorTest, RunsTheTableEntryOfTheLow8BitsOfCodeAndParameters)
{
    TestTrack expected = m_start;
    findEffect(1)->apply(expected.span(), params(10, 5000, 8, 255, 128)); // gain 0.5
    EXPECT_EQ(fxIt(256 + 1, 10, 5000, 256 + 8, 256 + 255, 512 + 128), 0);
    EXPECT_EQ(snapshot(), expected.samples);
    EXPECT_NE(expected.samples, m_start.samples);
}

TEST_F(ProcessorTest, AMissingTrackBufferIsLeftAloneWithResultZero)
{
    engine().trackBuf.reset();
    EXPECT_EQ(fxIt(3, 0, kFrames, 1, 255, 0), 0);
    EXPECT_TRUE(engine().dirty);
}
