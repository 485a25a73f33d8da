// The drum editor's play path end to end (tests/servers.sh): a song queued into the real engine
// as the editor queues it, sent by its timer through rtmidi, heard at another JACK client's port.
#include "JackPeer.h"
#include "PlatformTestSupport.h"
#include "drums/DrumData.h"
#include "platform/rtmidi/RtMidiDevices.h"
#include "wavorn.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace vumo::drums;

TEST(DrumsOnJack, TheSongsNotesReachAJackInputInOrderAndNoneBeforeItsTick)
{
    VUMO_NEED_DEVICE(platform::rtMidiUsesJack(), "JACK server");
    platform::test::ScopedEnv midi("VUMO_MIDI_BACKEND", "rtmidi");
    platform::test::PeerIn peer("vumo-drums-peer"); // the only port the engine can send to

    // Song "1 21" (the blank is skipped): pattern 1 is 3 beats of 20 ms, pattern 2 is 2 beats of
    // 30 ms; both instruments on pattern 1's third beat go out in instrument order.
    DrumData drums;
    drums.songPattern = QStringLiteral("1 21");
    drums.drumNotes[0] = 24; // note 36
    drums.drumNotes[5] = 30; // note 42
    drums.patLastBeat[0] = 2;
    drums.patMsPerBeat[0] = 20;
    drums.patLastBeat[1] = 1;
    drums.patMsPerBeat[1] = 30;
    for (const auto& [pattern, instrument, beat, velocity] :
         {std::tuple{0, 0, 0, 100}, {0, 5, 1, 90}, {0, 0, 2, 80}, {0, 5, 2, 70}, {1, 5, 1, 127}})
        drums.drumGrid[pattern][instrument][beat] = uint8_t(velocity);
    // Each note with the time it is due after PlayMidi.
    const std::pair<int, std::vector<unsigned char>> expected[] = {
        {0, {0x99, 36, 100}},  {20, {0x99, 42, 90}},  {40, {0x99, 36, 80}},
        {40, {0x99, 42, 70}},  {90, {0x99, 42, 127}}, {120, {0x99, 36, 100}},
        {140, {0x99, 42, 90}}, {160, {0x99, 36, 80}}, {160, {0x99, 42, 70}},
    };

    ASSERT_EQ(OpenMidiPlay(32768), 0);
    // JACK connects from a later cycle on: the song starts once an all-notes-off came through.
    const std::vector<unsigned char> allNotesOff = {0xB9, 123, 0};
    for (int i = 0; i < 50 && peer.waitFor(1, {}, 100ms).empty(); ++i)
        CmdMidi(0xB9, 123, 0);
    EXPECT_EQ(QueueDrums(drums, &AddMidi), int32_t(std::size(expected)));
    const auto beforePlay = std::chrono::steady_clock::now();
    EXPECT_EQ(PlayMidi(), int32_t(2 * std::size(expected)));
    const auto heard = peer.waitFor(std::size(expected), allNotesOff);
    EXPECT_TRUE(platform::test::waitUntil([] { return MidiPlaying() == 0; }, 10s));
    EXPECT_EQ(CloseMidiPlay(), 0);

    ASSERT_EQ(heard.size(), std::size(expected));
    for (size_t k = 0; k < heard.size(); ++k)
    {
        EXPECT_EQ(heard[k].bytes, expected[k].second) << "note " << k;
        // An event due at t ms goes out on the first 10 ms tick past t, never sooner.
        EXPECT_GE(heard[k].at - beforePlay, (expected[k].first / 10 + 1) * 10ms) << "note " << k;
    }
}
