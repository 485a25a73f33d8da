// Tests of the rtmidi backend: refusals without ports, and on a JACK server (tests/servers.sh
// starts one) messages out to another client's port and in from it. SynthMidiOutTest covers the
// choice of backend.
#include "JackPeer.h"
#include "PlatformTestSupport.h"
#include "platform/MmResult.h"
#include "platform/rtmidi/RtMidiDevices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

using namespace platform;
using platform::test::PeerIn;
using platform::test::PeerOut;

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
    PeerOut source("vumo-peer-out");
    auto in = makeRtMidiIn();
    ASSERT_EQ(in->open(inputDevice("vumo-peer-out:out"), [](MidiInNotice, uint32_t, uint32_t) {}),
              kMmNoError);
    PeerIn peer("vumo-peer-in");
    auto out = makeRtMidiOut();
    ASSERT_EQ(out->open(), kMmNoError);
    EXPECT_EQ(out->deviceName(), "vumo-peer-in:in");
    // JACK routes a new connection from a later process cycle on: the messages go once a
    // controller message (all notes off) has come through.
    const std::vector<unsigned char> allNotesOff = {0xB0, 123, 0};
    for (int i = 0; i < 50 && peer.waitFor(1, {}, 100ms).empty(); ++i)
        out->shortMsg(0x7BB0);
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
    EXPECT_EQ(peer.waitForBytes(expected.size(), allNotesOff), expected);
    EXPECT_EQ(out->close(), kMmNoError);
    EXPECT_EQ(in->close(), kMmNoError);
}

TEST(RtMidiJack, VumosInputReceivesANoteWithItsTimeSinceStart)
{
    VUMO_NEED_DEVICE(rtMidiUsesJack(), "JACK server");
    PeerOut peer("vumo-peer-out");
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
