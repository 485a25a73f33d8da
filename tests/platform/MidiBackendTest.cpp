// Tests of the MIDI backend choice, of the input device list, and of the rtmidi backend on a
// JACK server (tests/servers.sh starts one): messages out to another client's port and in from it.
#include "platform/MidiBackend.h"
#include "PlatformTestSupport.h"
#include "platform/MmResult.h"
#include "platform/rtmidi/RtMidiDevices.h"
#include "platform/synth/SoundFont.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"

#include <RtMidi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace platform;
using platform::test::ScopedEnv;

TEST(MidiBackend, TheSettingChoosesTheBackendAndAutoUsesRtMidiOnlyWhereItHasPorts)
{
    // No SoundFont: auto output has only the ports and the virtual device to choose from
    // (SynthMidiOutTest covers the built-in synthesizer's part in the choice).
    ScopedEnv soundFont("VUMO_SOUNDFONT", std::nullopt);
    setSoundFontSearchPaths({});
    const auto autoOut = rtMidiHasRealOutput() ? MidiBackend::RtMidi : MidiBackend::Virtual;
    const auto autoIn = rtMidiHasInput() ? MidiBackend::RtMidi : MidiBackend::Virtual;
    const struct
    {
        std::optional<std::string> setting;
        MidiBackend out, in;
    } rows[] = {{"virtual", MidiBackend::Virtual, MidiBackend::Virtual},
                {"rtmidi", MidiBackend::RtMidi, MidiBackend::RtMidi},
                {"synth", MidiBackend::Synth, autoIn},
                {"auto", autoOut, autoIn},
                {"something else", autoOut, autoIn},
                {std::nullopt, autoOut, autoIn}};
    for (const auto& r : rows)
    {
        ScopedEnv env("VUMO_MIDI_BACKEND", r.setting);
        const std::string name = r.setting.value_or("(unset)");
        EXPECT_EQ(midiOutputBackend(), r.out) << name;
        EXPECT_EQ(midiInputBackend(), r.in) << name;
        EXPECT_EQ(midiInputNames(), r.in == MidiBackend::Virtual
                                        ? std::vector<std::string>{kVirtualMidiInName}
                                        : rtMidiInputNames())
            << name;
        EXPECT_EQ(midiInputCount(), int32_t(midiInputNames().size())) << name;
        EXPECT_EQ(!!dynamic_cast<VirtualMidiOut*>(makeMidiOut().get()),
                  r.out == MidiBackend::Virtual)
            << name;
        EXPECT_EQ(!!dynamic_cast<VirtualMidiIn*>(makeMidiIn().get()), r.in == MidiBackend::Virtual)
            << name;
    }
    resetSoundFontSearchPaths();
    EXPECT_STREQ(midiBackendName(MidiBackend::RtMidi), "rtmidi");
    EXPECT_STREQ(midiBackendName(MidiBackend::Synth), "synth");
    EXPECT_STREQ(midiBackendName(MidiBackend::Virtual), "virtual");
}

TEST(RtMidiDevices, AnOutputWithoutAnyPortReportsNoDevice)
{
    if (rtMidiHasOutput())
        GTEST_SKIP() << "this machine has a MIDI output port";
    auto out = makeRtMidiOut();
    EXPECT_EQ(out->open(), kMidiNoDevice);
    EXPECT_EQ(out->shortMsg(0x643C90), kMmInvalidHandle);
    EXPECT_EQ(out->close(), kMmInvalidHandle);
}

TEST(RtMidiDevices, UnopenedDevicesAndInputNumbersBeyondThePortsAreRefused)
{
    EXPECT_EQ(makeRtMidiOut()->shortMsg(0x643C90), kMmInvalidHandle);
    auto in = makeRtMidiIn();
    auto ignore = [](MidiInNotice, uint32_t, uint32_t) {};
    for (const int32_t device : {int32_t(rtMidiInputNames().size()), -1, INT32_MAX})
        EXPECT_EQ(in->open(device, ignore), kMmBadDeviceId) << device;
    EXPECT_EQ(in->start(), kMmInvalidHandle);
    EXPECT_EQ(in->close(), kMmInvalidHandle);
}

namespace
{

using namespace std::chrono_literals;

// A client of the test's own on the JACK server with an output port, "vumo-peer-out:out".
class PeerOut
{
public:
    PeerOut() { m_out.openVirtualPort("out"); }
    void send(const std::vector<unsigned char>& bytes) { m_out.sendMessage(&bytes); }

private:
    RtMidiOut m_out{RtMidi::UNIX_JACK, "vumo-peer-out"};
};

// A client of the test's own with an input port, "vumo-peer-in:in", that keeps every message.
class PeerIn
{
public:
    PeerIn()
    {
        m_in.ignoreTypes(false, false, false);
        m_in.setCallback(&PeerIn::received, this);
        m_in.openVirtualPort("in");
    }

    // The messages received so far, once there are at least `count` of them or after 5 s.
    std::vector<std::vector<unsigned char>> waitForMessages(size_t count)
    {
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, 5s, [&] { return m_messages.size() >= count; });
        return m_messages;
    }

private:
    static void received(double, std::vector<unsigned char>* bytes, void* self)
    {
        auto& peer = *static_cast<PeerIn*>(self);
        std::lock_guard lock(peer.m_mutex);
        peer.m_messages.push_back(*bytes);
        peer.m_arrived.notify_all();
    }

    // The client's thread calls received(): what it touches is made before the client.
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<std::vector<unsigned char>> m_messages;
    RtMidiIn m_in{RtMidi::UNIX_JACK, "vumo-peer-in"};
};

int32_t inputDevice(const std::string& name)
{
    const std::vector<std::string> names = rtMidiInputNames();
    return int32_t(std::find(names.begin(), names.end(), name) - names.begin());
}

} // namespace

TEST(RtMidiJack, VumosOutputPortSendsEachMessageToTheConnectedInputPort)
{
    VUMO_NEED_DEVICE(rtMidiUsesJack(), "JACK server");
    // Vumo's own input port comes first on the server; the output passes over it.
    PeerOut source;
    auto in = makeRtMidiIn();
    ASSERT_EQ(in->open(inputDevice("vumo-peer-out:out"), [](MidiInNotice, uint32_t, uint32_t) {}),
              kMmNoError);
    PeerIn peer;
    auto out = makeRtMidiOut();
    ASSERT_EQ(out->open(), kMmNoError);
    EXPECT_EQ(out->deviceName(), "vumo-peer-in:in");
    const std::pair<uint32_t, std::vector<unsigned char>> rows[] = {
        {0x643C90, {0x90, 0x3C, 0x64}}, // note on
        {0x0005C1, {0xC1, 0x05}},       // program change: two bytes
        {0x4000E2, {0xE2, 0x00, 0x40}}, // pitch bend
        {0x0000F8, {0xF8}},             // timing clock: one byte
        {0x003C80, {0x80, 0x3C, 0x00}}, // note off
    };
    std::vector<std::vector<unsigned char>> expected;
    for (const auto& [message, bytes] : rows)
    {
        EXPECT_EQ(out->shortMsg(message), kMmNoError) << std::hex << message;
        expected.push_back(bytes);
    }
    EXPECT_EQ(peer.waitForMessages(expected.size()), expected);
    EXPECT_EQ(out->close(), kMmNoError);
    EXPECT_EQ(in->close(), kMmNoError);
}

TEST(RtMidiJack, VumosInputReceivesANoteWithItsTimeSinceStart)
{
    VUMO_NEED_DEVICE(rtMidiUsesJack(), "JACK server");
    PeerOut peer;
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::pair<uint32_t, uint32_t>> heard; // message, milliseconds since start
    auto in = makeRtMidiIn();
    ASSERT_EQ(in->open(inputDevice("vumo-peer-out:out"),
                       [&](MidiInNotice notice, uint32_t message, uint32_t ms)
                       {
                           std::lock_guard lock(mutex);
                           if (notice == MidiInNotice::Data)
                               heard.emplace_back(message, ms);
                           arrived.notify_all();
                       }),
              kMmNoError);
    peer.send({0x90, 0x40, 0x50}); // before start(): dropped
    std::this_thread::sleep_for(50ms);

    const auto beforeStart = std::chrono::steady_clock::now();
    ASSERT_EQ(in->start(), kMmNoError);
    const auto afterStart = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(60ms);
    const auto sent = std::chrono::steady_clock::now();
    peer.send({0x91, 0x3C, 0x64});
    std::unique_lock lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, 5s, [&] { return !heard.empty(); }));
    const auto got = std::chrono::steady_clock::now();
    lock.unlock();
    ASSERT_EQ(in->close(), kMmNoError);

    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].first, 0x643C91u);
    // The stamp lies between the send and the sight of the message, counted from start().
    EXPECT_GE(heard[0].second, uint32_t(duration_cast<milliseconds>(sent - afterStart).count()));
    EXPECT_LE(heard[0].second, uint32_t(duration_cast<milliseconds>(got - beforeStart).count()));
}
