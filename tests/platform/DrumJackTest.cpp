// The drum editor's play path end to end on the JACK server of tests/servers.sh: a project's drum
// song queued through the editor's engine seam into the real engine (libwavorn), sent by its
// timer through the rtmidi backend, and heard at another client's JACK MIDI input port.
#include "PlatformTestSupport.h"
#include "drums/DrumData.h"
#include "drums/DrumEngine.h"
#include "platform/rtmidi/RtMidiDevices.h"
#include "wavorn.h"

#include <RtMidi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace vumo::drums;
using platform::test::ScopedEnv;
using Clock = std::chrono::steady_clock;

namespace
{

// The engine's MIDI exports as member functions, for the editor's adapter.
struct Exports
{
    int32_t OpenMidiPlay(int32_t words) { return ::OpenMidiPlay(words); }
    int32_t AddMidi(int32_t t, int32_t m) { return ::AddMidi(t, m); }
    int32_t PlayMidi() { return ::PlayMidi(); }
    int32_t MidiPlaying() { return ::MidiPlaying(); }
    int32_t GetMidiTimer() { return ::GetMidiTimer(); }
    int32_t StopMidi() { return ::StopMidi(); }
    int32_t CloseMidiPlay() { return ::CloseMidiPlay(); }
    int32_t CmdMidi(int32_t s, int32_t d1, int32_t d2) { return ::CmdMidi(s, d1, d2); }
};

struct Heard
{
    std::vector<unsigned char> bytes;
    Clock::time_point at; // taken in the callback, so never before the message arrived
};

// Another client's JACK MIDI input port, "vumo-drums-peer:in", that keeps every message.
class PeerIn
{
public:
    PeerIn()
    {
        m_in.setCallback(&PeerIn::received, this);
        m_in.openVirtualPort("in");
    }

    // The messages heard so far, once there are `count` of them or after 10 s.
    std::vector<Heard> waitFor(size_t count)
    {
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, 10s, [&] { return m_heard.size() >= count; });
        return m_heard;
    }

private:
    static void received(double, std::vector<unsigned char>* bytes, void* self)
    {
        const auto at = Clock::now();
        auto& peer = *static_cast<PeerIn*>(self);
        std::lock_guard lock(peer.m_mutex);
        peer.m_heard.push_back({*bytes, at});
        peer.m_arrived.notify_all();
    }

    // The client's thread calls received(): what it touches is made before the client.
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Heard> m_heard;
    RtMidiIn m_in{RtMidi::UNIX_JACK, "vumo-drums-peer"};
};

} // namespace

TEST(DrumsOnJack, TheSongsNotesReachAJackInputInOrderAndNoneBeforeItsTick)
{
    VUMO_NEED_DEVICE(platform::rtMidiUsesJack(), "JACK server");
    ScopedEnv midi("VUMO_MIDI_BACKEND", "rtmidi");
    PeerIn peer; // the only real output port: the engine's output connects to it

    // Song "1 2 1" (the blank is skipped): pattern 1 is 3 beats of 20 ms, pattern 2 is 2 beats
    // of 30 ms; both instruments on pattern 1's third beat go out in instrument order.
    DrumData drums;
    drums.songPattern = QStringLiteral("1 21");
    drums.drumNotes[0] = 24; // note 36
    drums.drumNotes[5] = 30; // note 42
    drums.patLastBeat[0] = 2;
    drums.patMsPerBeat[0] = 20;
    drums.patLastBeat[1] = 1;
    drums.patMsPerBeat[1] = 30;
    drums.drumGrid[0][0][0] = 100;
    drums.drumGrid[0][5][1] = 90;
    drums.drumGrid[0][0][2] = 80;
    drums.drumGrid[0][5][2] = 70;
    drums.drumGrid[1][5][1] = 127;
    const struct
    {
        int dueMs; // when it is due after PlayMidi
        std::vector<unsigned char> bytes;
    } expected[] = {
        {0, {0x99, 36, 100}},  {20, {0x99, 42, 90}},  {40, {0x99, 36, 80}},
        {40, {0x99, 42, 70}},  {90, {0x99, 42, 127}}, {120, {0x99, 36, 100}},
        {140, {0x99, 42, 90}}, {160, {0x99, 36, 80}}, {160, {0x99, 42, 70}},
    };

    Exports exports;
    DrumEngineOver<Exports> engine(exports);
    ASSERT_EQ(engine.OpenMidiPlay(32768), 0);
    EXPECT_EQ(QueueDrums(drums, [&](int32_t t, int32_t m) { return engine.AddMidi(t, m); }),
              int32_t(std::size(expected)));
    const auto beforePlay = Clock::now();
    EXPECT_EQ(engine.PlayMidi(), int32_t(2 * std::size(expected)));
    const std::vector<Heard> heard = peer.waitFor(std::size(expected));
    for (int i = 0; i < 1000 && engine.MidiPlaying() == 1; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(engine.MidiPlaying(), 0);
    EXPECT_EQ(engine.StopMidi(), 0);
    EXPECT_EQ(engine.CloseMidiPlay(), 0);

    std::vector<std::vector<unsigned char>> bytes, expectedBytes;
    for (size_t k = 0; k < std::size(expected); ++k)
    {
        expectedBytes.push_back(expected[k].bytes);
        if (k >= heard.size())
            continue;
        bytes.push_back(heard[k].bytes);
        // An event due at t ms goes out on the first 10 ms tick past t, never sooner.
        const auto tick = std::chrono::milliseconds((expected[k].dueMs / 10 + 1) * 10);
        EXPECT_GE(heard[k].at - beforePlay, tick) << "note " << k;
    }
    EXPECT_EQ(bytes, expectedBytes);
}
