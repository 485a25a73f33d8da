// The MIDI exports through libwavorn over the virtual MIDI devices, in real time.
#include "tests/engine/TestWave.h"
#include "tests/platform/PlatformTestSupport.h"
#include "wavorn.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(MidiExports, PlayTheQueueOnTicksAndRefuseHugeCapacities)
{
    testwave::TempDir dir;
    platform::test::ScopedEnv midi{"VUMO_MIDI_BACKEND", "virtual"},
        out{"VUMO_VIRTUAL_MIDI_OUT", dir.file("out")};
    EXPECT_EQ(CmdMidi(0x90, 60, 100), 5); // nothing open yet
    ASSERT_EQ(OpenMidiPlay(64), 0);
    EXPECT_EQ(OpenMidiPlay(16 * 1024 * 1024 + 1), 11); // the open queue stays
    EXPECT_EQ(OpenMidiRec(1111638594, 0), 11);         // 4.4 GB asked for
    EXPECT_EQ(CmdMidi(0xB0, 123, 0), 0);               // sent at once
    AddMidi(5, 0x99 | 36 << 8 | 100 << 16);
    EXPECT_EQ(AddMidi(10, 0x99 | 38 << 8 | 80 << 16), 4);
    EXPECT_EQ(PlayMidi(), 4);
    for (int i = 0; i < 5000 && MidiPlaying(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(CloseMidiPlay(), 0);
    std::vector<std::string> messages; // after "<ms since open> "
    for (const std::string& line : platform::test::fileLines(dir.file("out")))
        messages.push_back(line.substr(line.find(' ') + 1));
    EXPECT_EQ(messages, (std::vector<std::string>{"176 123 0", "153 36 100", "153 38 80"}));
}
