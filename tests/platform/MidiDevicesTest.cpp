// The MIDI devices: the virtual output's log and input's events file, rtmidi (refusals; on JACK,
// tests/servers.sh, out to and in from another client), the synth's sound, the backend choice.
#include "JackPeer.h"
#include "PlatformTestSupport.h"
#include "TestClocks.h"
#include "platform/MidiBackend.h"
#include "platform/MmResult.h"
#include "platform/rtmidi/RtMidiDevices.h"
#include "platform/synth/SoundFont.h"
#include "platform/synth/SynthMidiOut.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using namespace platform;
using namespace platform::test;

namespace
{

constexpr uint32_t pack(uint32_t status, uint32_t data1, uint32_t data2)
{
    return status | data1 << 8 | data2 << 16;
}

struct Received
{
    MidiInNotice notice;
    uint32_t message;
    uint32_t timeMs;
    int64_t clockMs; // the clock when it arrived, relative to startMs
    bool operator==(const Received&) const = default;
};

// What an input delivers (from its thread) with the time on `clock` it came; a virtual input on it.
class MidiInTest : public ::testing::Test
{
protected:
    MidiInCallback keep()
    {
        return [this](MidiInNotice n, uint32_t message, uint32_t timeMs)
        {
            std::lock_guard lock(mutex);
            got.push_back({n, message, timeMs, nowMs() - startMs});
        };
    }
    // Opens the virtual input on `c`, playing `text` as its events file.
    void open(std::shared_ptr<Clock> c, const char* text)
    {
        clock = std::move(c);
        writeText(events, text);
        in = std::make_unique<VirtualMidiIn>(clock, events);
        ASSERT_EQ(in->open(0, keep()), kMmNoError);
    }
    int64_t nowMs() const { return clock->now().count() / 1000; }

    // What has arrived once `count` events have, or after 5 s.
    std::vector<Received> waitFor(size_t count)
    {
        std::vector<Received> now;
        platform::test::waitUntil(
            [&]
            {
                std::lock_guard lock(mutex);
                now = got;
                return now.size() >= count;
            });
        return now;
    }

    testwave::TempDir dir;
    std::string events = dir.file("in.txt");
    std::shared_ptr<Clock> clock;
    int64_t startMs = 0;
    std::mutex mutex;
    std::vector<Received> got;
    std::unique_ptr<VirtualMidiIn> in; // last, so its thread ends before the rest goes
};
using RtMidiJack = MidiInTest;

const MidiInCallback ignore = [](MidiInNotice, uint32_t, uint32_t) {};

// The number of an rtmidi input port.
int32_t inputDevice(const std::string& name)
{
    const std::vector<std::string> names = rtMidiInputNames();
    return int32_t(std::find(names.begin(), names.end(), name) - names.begin());
}

int64_t frameAt(int64_t ms)
{
    return ms * 441 / 10;
}

// The first `lengthMs` of a synth on a stepped clock sent these messages at these ms (interleaved).
std::vector<int16_t> render(const std::vector<std::pair<int64_t, uint32_t>>& notes,
                            int64_t lengthMs)
{
    testwave::TempDir dir;
    ScopedEnv audio("VUMO_VIRTUAL_MIDI_AUDIO", dir.file("synth.wav"));
    auto clock = std::make_shared<SteppedStream>();
    SynthMidiOut synth(clock);
    EXPECT_EQ(synth.open(), kMmNoError);
    for (const auto& [ms, message] : notes)
    {
        clock->advance(uint64_t(frameAt(ms)) - clock->nowFrames());
        EXPECT_EQ(synth.shortMsg(message), kMmNoError);
    }
    clock->advance(uint64_t(frameAt(lengthMs)) - clock->nowFrames());
    EXPECT_EQ(synth.close(), kMmNoError);
    return testwave::readSamples(dir.file("synth.wav"));
}

// The first frame in [fromMs, toMs) louder than `level` (-50 dBFS: sound), or -1.
int64_t firstSoundFrame(const std::vector<int16_t>& s, int64_t fromMs, int64_t toMs,
                        int level = 100)
{
    const size_t end = std::min(s.size(), size_t(frameAt(toMs)) * 2);
    for (size_t i = size_t(frameAt(fromMs)) * 2; i < end; ++i)
        if (std::abs(s[i]) > level)
            return int64_t(i / 2);
    return -1;
}

class SynthMidiOutTest : public ::testing::Test
{
protected:
    // Without a SoundFont the synthesizer cannot be heard: a failure, never a silent pass.
    void SetUp() override
    {
        ASSERT_FALSE(findSoundFont().path.empty())
            << "no General MIDI SoundFont installed (the timgm6mb-soundfont package)";
    }
    ScopedEnv m_soundFont{"VUMO_SOUNDFONT", std::nullopt};
};

} // namespace

TEST(VirtualMidiDevices, OutputLogsEachMessageAtItsTimeInputIsOneDeviceAndReadsOnlyFourNumberLines)
{
    testwave::TempDir dir;
    const std::string log = dir.file("out.txt");
    writeText(log, "0 176 7 100\n");
    auto clock = std::make_shared<JumpClock>();
    clock->advance(5ms);
    VirtualMidiOut out(clock, log);
    ASSERT_EQ(out.open(), kMmNoError);
    clock->advance(7ms);
    EXPECT_EQ(out.shortMsg(pack(0x90, 60, 100)), kMmNoError);
    clock->advance(3500us);
    EXPECT_EQ(out.shortMsg(pack(0x80, 60, 0)), kMmNoError);
    EXPECT_EQ(out.close(), kMmNoError);
    EXPECT_EQ(platform::test::fileLines(log),
              (platform::test::Lines{"0 176 7 100", "7 144 60 100", "10 128 60 0"}));
    EXPECT_EQ(out.sentCount(), 2);
    // Without a log; calls out of order give device errors.
    ScopedEnv noLog("VUMO_VIRTUAL_MIDI_OUT", std::nullopt);
    VirtualMidiOut counting(std::make_shared<JumpClock>());
    EXPECT_EQ((Results{counting.shortMsg(pack(0x90, 60, 100)), counting.close(), counting.open(),
                       counting.open(), counting.shortMsg(pack(0x90, 1, 2)), counting.sentCount(),
                       counting.close(), counting.close()}),
              (Results{kMmInvalidHandle, kMmInvalidHandle, kMmNoError, kMmAllocated, kMmNoError, 1,
                       kMmNoError, kMmInvalidHandle}));
    // The virtual input is one device; its events file skips lines that are not four numbers.
    VirtualMidiIn in(std::make_shared<JumpClock>());
    EXPECT_EQ(
        (Results{in.open(1, ignore), in.open(-1, ignore), in.open(0, nullptr), in.open(0, ignore),
                 in.open(0, ignore), in.close(), in.close(), in.start(), in.stop(), in.reset()}),
        (Results{kMmBadDeviceId, kMmBadDeviceId, kMmInvalidParam, kMmNoError, kMmAllocated,
                 kMmNoError, kMmInvalidHandle, kMmInvalidHandle, kMmInvalidHandle,
                 kMmInvalidHandle}));
    writeText(dir.file("in.txt"), "# header\n0 144 60 100\n12 128 60\n\n7 128 60 0 extra\nx 1 2 3\n"
                                  "4294967296 144 1 1\n4294967295 300 1 1\n");
    std::vector<std::pair<uint32_t, uint32_t>> events;
    for (const TimedMidiEvent& e : readMidiEventsFile(dir.file("in.txt")))
        events.emplace_back(e.timeMs, e.message);
    EXPECT_EQ(events,
              (std::vector<std::pair<uint32_t, uint32_t>>{{0, pack(0x90, 60, 100)},
                                                          {7, pack(0x80, 60, 0)},
                                                          {4294967295u, pack(300 & 0xFF, 1, 1)}}));
    EXPECT_TRUE(readMidiEventsFile(dir.file("missing.txt")).empty());
}

TEST_F(MidiInTest, DeliversNothingBeforeStartThenTheFileEventsAtTheirTimesAtEachStart)
{
    auto jump = std::make_shared<JumpClock>();
    jump->advance(1000ms);
    startMs = 1000;
    open(jump, "0 144 60 100\n5 254 0 0\n10 128 60 0\n");
    std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(waitFor(0).empty());
    ASSERT_EQ(in->reset(), kMmNoError);
    ASSERT_EQ(in->start(), kMmNoError);
    // Each stamped with its time from start and delivered when the clock reached it.
    const std::vector<Received> file = {{MidiInNotice::Data, pack(0x90, 60, 100), 0, 0},
                                        {MidiInNotice::Data, pack(0xFE, 0, 0), 5, 5},
                                        {MidiInNotice::Data, pack(0x80, 60, 0), 10, 10}};
    EXPECT_EQ(waitFor(3), file);
    EXPECT_EQ(in->stop(), kMmNoError);
    startMs = nowMs();
    ASSERT_EQ(in->start(), kMmNoError);
    auto e = waitFor(6);
    EXPECT_EQ(in->close(), kMmNoError);
    EXPECT_EQ(std::vector(e.begin() + 3, e.end()), file);
}

TEST_F(RtMidiJack, RefusesUnopenedDevicesAndUnknownInputsAndPassesMessagesBothWays)
{
    EXPECT_EQ(makeRtMidiOut()->shortMsg(0x643C90), kMmInvalidHandle);
    auto rtIn = makeRtMidiIn();
    for (const int32_t device : {int32_t(rtMidiInputNames().size()), -1, INT32_MAX})
        EXPECT_EQ(rtIn->open(device, ignore), kMmBadDeviceId) << device;
    EXPECT_EQ((Results{rtIn->start(), rtIn->close()}),
              (Results{kMmInvalidHandle, kMmInvalidHandle}));
    auto out = makeRtMidiOut();
    if (!rtMidiHasOutput()) // without any output port
    {
        EXPECT_EQ((Results{out->open(), out->shortMsg(0x643C90), out->close()}),
                  (Results{kMidiNoDevice, kMmInvalidHandle, kMmInvalidHandle}));
    }
    VUMO_NEED_DEVICE(rtMidiUsesJack(), "JACK server");
    // Vumo's own input port comes first on the server; the output passes over it.
    platform::test::PeerOut source("vumo-peer-out");
    clock = std::make_shared<SteadyClock>(1.0);
    ASSERT_EQ(rtIn->open(inputDevice("vumo-peer-out:out"), keep()), kMmNoError);
    platform::test::PeerIn peer("vumo-peer-in");
    ASSERT_EQ(out->open(), kMmNoError);
    EXPECT_EQ(out->deviceName(), "vumo-peer-in:in");
    // JACK connects from a later cycle on: the messages go once an all-notes-off came through.
    const std::vector<unsigned char> allNotesOff = {0xB0, 123, 0};
    for (int i = 0; i < 50 && peer.waitFor(1, {}, 100ms).empty(); ++i)
        out->shortMsg(0x7BB0);
    // Note on, program change (two bytes), pitch bend, timing clock (one byte), note off.
    const std::vector<std::vector<unsigned char>> expected = {
        {0x90, 0x3C, 0x64}, {0xC1, 0x05}, {0xE2, 0x00, 0x40}, {0xF8}, {0x80, 0x3C, 0x00}};
    for (const auto& b : expected)
        EXPECT_EQ(out->shortMsg(pack(b[0], b.size() > 1 ? b[1] : 0, b.size() > 2 ? b[2] : 0)),
                  kMmNoError);
    std::vector<std::vector<unsigned char>> heard;
    for (const auto& h : peer.waitFor(expected.size(), allNotesOff))
        heard.push_back(h.bytes);
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(out->close(), kMmNoError);
    // Vumo's input: a note before start() is dropped, one after it keeps its time since start().
    source.send({0x90, 0x40, 0x50});
    std::this_thread::sleep_for(50ms);
    using std::chrono::steady_clock;
    const auto beforeStart = steady_clock::now();
    ASSERT_EQ(rtIn->start(), kMmNoError);
    const auto afterStart = steady_clock::now();
    std::this_thread::sleep_for(60ms);
    const auto sent = steady_clock::now();
    source.send({0x91, 0x3C, 0x64});
    const auto received = waitFor(1);
    const auto seen = steady_clock::now();
    ASSERT_EQ(rtIn->close(), kMmNoError);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(std::pair(received[0].notice, received[0].message),
              std::pair(MidiInNotice::Data, 0x643C91u));
    // The stamp lies between the send and the sight of the message, counted from start().
    const auto ms = [](auto d)
    { return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(d).count()); };
    EXPECT_GE(received[0].timeMs, ms(sent - afterStart));
    EXPECT_LE(received[0].timeMs, ms(seen - beforeStart));
}

TEST_F(SynthMidiOutTest, ANoteSoundsFromItsFrameOnANoteOffEndsItAndDrumsEndByThemselves)
{
    // A bass drum and a snare on the percussion channel, 400 ms apart.
    const std::vector<int16_t> s = render({{100, 0x642499}, {500, 0x642699}}, 700);
    ASSERT_EQ(s.size(), size_t(frameAt(700)) * 2);
    EXPECT_EQ(firstSoundFrame(s, 0, 100, 0), -1);
    for (const int64_t ms : {100, 500})
    {
        const int64_t onset = firstSoundFrame(s, ms - 50, ms + 50);
        EXPECT_GE(onset, frameAt(ms)) << ms;
        EXPECT_LE(onset, frameAt(ms) + 10 * 44) << ms;
    }
    const uint32_t organ = 0x13C0; // program 20, church organ: sounds while the key is held
    // Channel 10's bass drum dies away while held; the same key on channel 1 is a piano note.
    const std::tuple<const char*, std::vector<std::pair<int64_t, uint32_t>>, bool> rows[] = {
        {"held", {{0, organ}, {10, 0x643C90}}, true},
        {"note-off", {{0, organ}, {10, 0x643C90}, {300, 0x003C80}}, false},
        {"note-on at velocity 0", {{0, organ}, {10, 0x643C90}, {300, 0x003C90}}, false},
        {"key 36 held on channel 10", {{10, 0x642499}}, false},
        {"key 36 held on channel 1", {{10, 0x642490}}, true},
    };
    for (const auto& [name, notes, soundAfterRelease] : rows)
    {
        const std::vector<int16_t> held = render(notes, 2500);
        EXPECT_GE(firstSoundFrame(held, 20, 120), 0) << name;
        EXPECT_EQ(firstSoundFrame(held, 2300, 2500) >= 0, soundAfterRelease) << name;
    }
}

TEST_F(SynthMidiOutTest,
       TheSettingChoosesTheBackendsAndTheSynthRefusesMessagesUnlessOpenAndWellFormed)
{
    auto clock = std::make_shared<SteppedStream>();
    SynthMidiOut synth(clock);
    EXPECT_EQ((Results{synth.shortMsg(0x643C90), synth.close(), synth.open(), synth.open()}),
              (Results{kMmInvalidHandle, kMmInvalidHandle, kMmNoError, kMmAllocated}));
    EXPECT_EQ(synth.deviceName(), "built-in synth (" + findSoundFont().path + ")");
    for (const uint32_t message : {0x3Cu, 0x7F7Fu, 0xF0u, 0xF7u})
        EXPECT_EQ(synth.shortMsg(message), kMmInvalidParam) << message;
    EXPECT_EQ(synth.close(), kMmNoError);
    // A SoundFont named that is missing or no SoundFont, and none at the usual places.
    testwave::TempDir dir;
    platform::test::writeText(dir.file("notes.sf2"), "not a SoundFont");
    setSoundFontSearchPaths({});
    for (const std::string& named : {dir.file("missing.sf2"), dir.file("notes.sf2")})
    {
        ScopedEnv soundFont("VUMO_SOUNDFONT", named);
        SynthMidiOut unusable(clock);
        EXPECT_EQ(unusable.open(), kMidiNoDevice) << named;
        EXPECT_EQ(unusable.shortMsg(0x643C90), kMmInvalidHandle) << named;
    }
    resetSoundFontSearchPaths();
    // The setting chooses the backends; auto follows the ports and the SoundFonts.
    const std::string installed = findSoundFont().path;
    const std::string missing = "/nonexistent/vumo-test.sf2";
    const auto rtMidi = MidiBackend::RtMidi, virt = MidiBackend::Virtual;
    const auto orSynth = rtMidiHasRealOutput() ? rtMidi : MidiBackend::Synth;
    const auto orVirtual = rtMidiHasRealOutput() ? rtMidi : virt;
    const auto autoIn = rtMidiHasInput() ? rtMidi : virt;
    // setting, SoundFont named, any at the usual places, backends out and in, the SoundFont found,
    // a problem named
    using Row = std::tuple<std::optional<std::string>, std::optional<std::string>, bool,
                           MidiBackend, MidiBackend, std::string, bool>;
    const Row rows[] = {
        {"synth", std::nullopt, true, MidiBackend::Synth, autoIn, installed, false},
        {"virtual", std::nullopt, true, virt, virt, installed, false},
        {"rtmidi", std::nullopt, false, rtMidi, rtMidi, "", false},
        {std::nullopt, std::nullopt, true, orSynth, autoIn, installed, false},
        {"auto", std::nullopt, false, orVirtual, autoIn, "", false},
        {"auto", installed, false, orSynth, autoIn, installed, false},
        {"auto", missing, true, orSynth, autoIn, installed, true},
        {"auto", missing, false, orVirtual, autoIn, "", true},
    };
    for (const auto& [setting, soundFontEnv, usualPlaces, outBackend, inBackend, path, problem] :
         rows)
    {
        SCOPED_TRACE(setting.value_or("(unset)") + " / " + soundFontEnv.value_or("(unset)") +
                     (usualPlaces ? " / installed" : " / none installed"));
        ScopedEnv backend("VUMO_MIDI_BACKEND", setting);
        ScopedEnv soundFont("VUMO_SOUNDFONT", soundFontEnv);
        if (!usualPlaces)
            setSoundFontSearchPaths({});
        const SoundFontChoice choice = findSoundFont();
        EXPECT_EQ(std::pair(midiOutputBackend(), midiInputBackend()),
                  std::pair(outBackend, inBackend));
        EXPECT_EQ(choice.path, path);
        EXPECT_EQ(choice.problem.find(missing) != std::string::npos, problem);
        const auto out = makeMidiOut();
        EXPECT_EQ(!!dynamic_cast<SynthMidiOut*>(out.get()), outBackend == MidiBackend::Synth);
        EXPECT_EQ(!!dynamic_cast<VirtualMidiOut*>(out.get()), outBackend == virt);
        EXPECT_EQ(!!dynamic_cast<VirtualMidiIn*>(makeMidiIn().get()), inBackend == virt);
        EXPECT_EQ(midiInputNames(), inBackend == virt ? std::vector<std::string>{kVirtualMidiInName}
                                                      : rtMidiInputNames());
        EXPECT_EQ(midiInputCount(), int32_t(midiInputNames().size()));
        resetSoundFontSearchPaths();
    }
}
