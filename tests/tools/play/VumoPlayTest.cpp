// vumo-play end to end on the virtual device: it says which device plays, and it plays the
// wave files the engine loads.
#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

TEST(VumoPlay, SaysWhichDevicePlaysAndPlaysTheFilesTheEngineLoads)
{
    const testwave::TempDir dir;
    const auto tone = testwave::ramp(4410, -2000); // a tenth of a second
    // (what, the file, VUMO_VIRTUAL_OUTPUT or "" for none, the exit status, what it says)
    const std::tuple<const char*, std::vector<uint8_t>, const char*, int, const char*> rows[] = {
        {"virtual on purpose", testwave::waveBytes(tone), "", 0,
         "Playing on the virtual device (VUMO_AUDIO_BACKEND=virtual): nothing is heard.\n"},
        {"virtual into a file", testwave::waveBytes(tone), "heard.wav", 0,
         "nothing is heard; the frames played are appended to "},
    };
    for (const auto& [what, bytes, heard, status, says] : rows)
    {
        SCOPED_TRACE(what);
        testwave::writeBytes(dir.file("in.wav"), bytes);
        const std::string output = *heard ? dir.file(heard) : "";
        const tooltest::CommandRun r = tooltest::runCommand(
            "VUMO_AUDIO_BACKEND=virtual VUMO_VIRTUAL_SPEED=20 VUMO_VIRTUAL_OUTPUT='" + output +
            "' '" VUMO_PLAY_PROGRAM "' '" + dir.file("in.wav") + "' 2>&1 </dev/null");
        EXPECT_EQ(r.status, status) << r.out;
        EXPECT_NE(r.out.find(says), std::string::npos) << r.out;
        if (!output.empty()) // the frames played: the whole file, after the header
        {
            EXPECT_GE(std::filesystem::file_size(output), 44 + 4 * tone.size() / 2);
        }
    }
}

} // namespace
