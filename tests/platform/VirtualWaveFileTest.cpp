// The virtual input's wave file source; the output's file is tested through the device.
#include "platform/MmResult.h"
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
