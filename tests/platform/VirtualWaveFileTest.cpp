// The virtual input's wave file source; the output's file is tested through the device.
#include "platform/MmResult.h"
#include "platform/WaveHeader.h"
#include "platform/virtual/VirtualWaveSource.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

using namespace platform;
using testwave::ramp;
using testwave::waveBytes;

namespace
{

// A canonical layout with one change.
template <class Change> testwave::WaveLayout layout(Change change)
{
    testwave::WaveLayout l;
    change(l);
    return l;
}

} // namespace

TEST(VirtualWaveSource, ReadsUpToTheFramesAskedForAndRefusesWhatIsNotA16BitWave)
{
    std::vector<uint8_t> cut = waveBytes(ramp(6));
    cut.resize(44 + 3 * 4 + 2); // three whole frames and half of the fourth
    const struct
    {
        const char* name;
        std::vector<uint8_t> bytes; // empty: no file at all
        uint32_t maxFrames;
        bool ok;
        std::vector<int16_t> frames;
    } rows[] = {
        {"canonical", waveBytes(ramp(10, -3)), 1000, true, ramp(10, -3)},
        {"longer than asked", waveBytes(ramp(10)), 4, true, ramp(4)},
        {"chunk before data",
         waveBytes(ramp(3, 9), layout([](auto& l) { l.chunksBeforeData = {"LIST"}; })), 100, true,
         ramp(3, 9)},
        {"data cut short", cut, 100, true, ramp(3)},
        {"missing", {}, 10, false, {}},
        {"8-bit", waveBytes(ramp(2), layout([](auto& l) { l.bits = 8; })), 10, false, {}},
        {"text", std::vector<uint8_t>(64, 'z'), 10, false, {}},
    };
    testwave::TempDir dir;
    for (const auto& r : rows)
    {
        const std::string path = dir.file(std::string(r.name) + ".wav");
        if (!r.bytes.empty())
            testwave::writeBytes(path, r.bytes);
        std::vector<int16_t> got;
        EXPECT_EQ(readWaveFrames(path, r.maxFrames, got), r.ok) << r.name;
        EXPECT_EQ(got, r.frames) << r.name;
    }
}

TEST(WaveHeader, WritesTheCanonicalBytesAndReadsBackEveryField)
{
    // Against the hand-laid bytes of the test helper; the size fields at their limits.
    const struct
    {
        uint32_t frames, dataBytes;
    } rows[] = {
        {0, 0}, {1, 4}, {10, 40}, {kWaveHeaderMaxFrames, 0xFFFFFFD8u}, {0xFFFFFFFFu, 0xFFFFFFD8u}};
    for (const auto& r : rows)
    {
        const auto h = waveHeader(r.frames);
        auto expected = waveBytes(std::vector<int16_t>(r.frames <= 10 ? 2 * r.frames : 0));
        std::vector<uint8_t> bytes(h.begin(), h.end());
        writeLe32(&expected[4], 36 + r.dataBytes);
        writeLe32(&expected[40], r.dataBytes);
        expected.resize(44);
        EXPECT_EQ(bytes, expected) << r.frames;
        const WaveHeaderFields f = readWaveHeader(h.data());
        EXPECT_TRUE(f.isCanonical());
        EXPECT_EQ(f.dataBytes, r.dataBytes);
        EXPECT_EQ(f.riffSize, 36 + r.dataBytes);
    }
    auto h = waveHeader(3);
    h[22] = 1; // mono
    EXPECT_FALSE(readWaveHeader(h.data()).isCanonical());
    h = waveHeader(3);
    h[36] = 'D';
    EXPECT_FALSE(readWaveHeader(h.data()).ids);
}
