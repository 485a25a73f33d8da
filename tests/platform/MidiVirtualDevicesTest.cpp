// Tests of the virtual MIDI output (the message log) and the virtual MIDI input (the events
// file played back at its times).
#include "platform/MmResult.h"
#include "platform/TimerClock.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using platform::JumpClock;
using platform::MidiInNotice;

namespace
{

// A file name in the temp folder, unique to this test and process, removed at the end.
class TempFile
{
public:
    explicit TempFile(const char* tag)
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() /
                 (std::string("vumo_") + info->name() + "_" + tag + "_" + std::to_string(getpid()) +
                  ".txt");
        std::filesystem::remove(m_path);
    }
    ~TempFile() { std::filesystem::remove(m_path); }
    std::string path() const { return m_path.string(); }

    void write(const std::string& text) const { std::ofstream(m_path) << text; }

    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::ifstream file(m_path);
        for (std::string line; std::getline(file, line);)
            result.push_back(line);
        return result;
    }

private:
    std::filesystem::path m_path;
};

constexpr uint32_t pack(uint32_t status, uint32_t data1, uint32_t data2)
{
    return status | data1 << 8 | data2 << 16;
}

struct Received
{
    MidiInNotice notice;
    uint32_t message;
    uint32_t timeMs;
    int64_t clockMs; // the clock when it arrived, relative to start()
};

// Collects what an input delivers, from the input's thread.
class Collector
{
public:
    platform::MidiInCallback callback(platform::TimerClock& clock, int64_t& startMs)
    {
        return [this, &clock, &startMs](MidiInNotice n, uint32_t message, uint32_t timeMs)
        {
            std::lock_guard lock(m_mutex);
            m_events.push_back({n, message, timeMs, clock.now().count() / 1000 - startMs});
        };
    }

    bool waitFor(size_t count, std::chrono::milliseconds limit = 5s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end)
        {
            if (events().size() >= count)
                return true;
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }

    std::vector<Received> events()
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }

private:
    std::mutex m_mutex;
    std::vector<Received> m_events;
};

} // namespace

TEST(VirtualMidiOut, LogsEachMessageWithItsMillisecondsSinceOpen)
{
    TempFile log("out");
    auto clock = std::make_shared<JumpClock>();
    clock->advance(5ms);
    platform::VirtualMidiOut out(clock, log.path());
    ASSERT_EQ(out.open(), platform::kMmNoError);
    clock->advance(7ms);
    EXPECT_EQ(out.shortMsg(pack(0x90, 60, 100)), platform::kMmNoError);
    clock->advance(3500us);
    EXPECT_EQ(out.shortMsg(pack(0x80, 60, 0)), platform::kMmNoError);
    EXPECT_EQ(out.close(), platform::kMmNoError);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"7 144 60 100", "10 128 60 0"}));
    EXPECT_EQ(out.sentCount(), 2);
}

TEST(VirtualMidiOut, AppendsToALogThatAlreadyHoldsLines)
{
    TempFile log("out");
    log.write("0 176 7 100\n");
    auto clock = std::make_shared<JumpClock>();
    platform::VirtualMidiOut out(clock, log.path());
    ASSERT_EQ(out.open(), platform::kMmNoError);
    EXPECT_EQ(out.shortMsg(pack(0xC0, 5, 0)), platform::kMmNoError);
    out.close();
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"0 176 7 100", "0 192 5 0"}));
}

TEST(VirtualMidiOut, TakesItsLogFromTheEnvironmentWhenGivenNoPath)
{
    TempFile log("env");
    setenv("VUMO_VIRTUAL_MIDI_OUT", log.path().c_str(), 1);
    platform::VirtualMidiOut out(std::make_shared<JumpClock>());
    ASSERT_EQ(out.open(), platform::kMmNoError);
    out.shortMsg(pack(0x99, 36, 127));
    out.close();
    unsetenv("VUMO_VIRTUAL_MIDI_OUT");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"0 153 36 127"}));
}

TEST(VirtualMidiOut, OnlyCountsWithoutALog)
{
    unsetenv("VUMO_VIRTUAL_MIDI_OUT");
    platform::VirtualMidiOut out(std::make_shared<JumpClock>());
    ASSERT_EQ(out.open(), platform::kMmNoError);
    EXPECT_EQ(out.shortMsg(pack(0x90, 1, 2)), platform::kMmNoError);
    EXPECT_EQ(out.sentCount(), 1);
}

TEST(VirtualMidiOut, CallsOutOfOrderGiveTheDeviceErrors)
{
    platform::VirtualMidiOut out(std::make_shared<JumpClock>());
    EXPECT_EQ(out.shortMsg(pack(0x90, 60, 100)), platform::kMmInvalidHandle);
    EXPECT_EQ(out.close(), platform::kMmInvalidHandle);
    ASSERT_EQ(out.open(), platform::kMmNoError);
    EXPECT_EQ(out.open(), platform::kMmAllocated);
    EXPECT_EQ(out.close(), platform::kMmNoError);
    EXPECT_EQ(out.close(), platform::kMmInvalidHandle);
}

TEST(VirtualMidiIn, OffersExactlyOneDevice)
{
    platform::VirtualMidiIn in(std::make_shared<JumpClock>());
    auto ignore = [](MidiInNotice, uint32_t, uint32_t) {};
    EXPECT_EQ(in.open(1, ignore), platform::kMmBadDeviceId);
    EXPECT_EQ(in.open(-1, ignore), platform::kMmBadDeviceId);
    EXPECT_EQ(in.open(0, nullptr), platform::kMmInvalidParam);
    EXPECT_EQ(in.open(0, ignore), platform::kMmNoError);
    EXPECT_EQ(in.open(0, ignore), platform::kMmAllocated);
    EXPECT_EQ(in.close(), platform::kMmNoError);
    EXPECT_EQ(in.close(), platform::kMmInvalidHandle);
    EXPECT_EQ(in.start(), platform::kMmInvalidHandle);
    EXPECT_EQ(in.stop(), platform::kMmInvalidHandle);
    EXPECT_EQ(in.reset(), platform::kMmInvalidHandle);
}

TEST(VirtualMidiIn, DeliversTheFileEventsAtTheirTimesWithThoseTimeStamps)
{
    TempFile events("in");
    events.write("0 144 60 100\n5 254 0 0\n10 128 60 0\n");
    auto clock = std::make_shared<JumpClock>();
    clock->advance(1000ms);
    int64_t startMs = 1000;
    Collector got;
    platform::VirtualMidiIn in(clock, events.path());
    ASSERT_EQ(in.open(0, got.callback(*clock, startMs)), platform::kMmNoError);
    ASSERT_EQ(in.reset(), platform::kMmNoError);
    ASSERT_EQ(in.start(), platform::kMmNoError);
    ASSERT_TRUE(got.waitFor(3));
    EXPECT_EQ(in.stop(), platform::kMmNoError);
    EXPECT_EQ(in.close(), platform::kMmNoError);
    const auto e = got.events();
    ASSERT_EQ(e.size(), 3u);
    const uint32_t messages[] = {pack(0x90, 60, 100), pack(0xFE, 0, 0), pack(0x80, 60, 0)};
    const uint32_t times[] = {0, 5, 10};
    for (size_t i = 0; i < 3; ++i)
    {
        EXPECT_EQ(e[i].notice, MidiInNotice::Data);
        EXPECT_EQ(e[i].message, messages[i]);
        EXPECT_EQ(e[i].timeMs, times[i]);
        EXPECT_EQ(e[i].clockMs, int64_t(times[i])) << "delivered at its time";
    }
}

TEST(VirtualMidiIn, WaitsInRealTimeForAnEventThatIsNotYetDue)
{
    TempFile events("in");
    events.write("0 144 60 100\n30 128 60 0\n");
    auto clock = platform::makeSteadyTimerClock(1.0);
    int64_t startMs = 0;
    Collector got;
    platform::VirtualMidiIn in(clock, events.path());
    ASSERT_EQ(in.open(0, got.callback(*clock, startMs)), platform::kMmNoError);
    startMs = clock->now().count() / 1000;
    ASSERT_EQ(in.start(), platform::kMmNoError);
    ASSERT_TRUE(got.waitFor(2));
    in.close();
    const auto e = got.events();
    EXPECT_EQ(e[1].timeMs, 30u);
    EXPECT_GE(e[1].clockMs, 29); // whole milliseconds on both sides of the subtraction
}

TEST(VirtualMidiIn, StopEndsTheWaitForALaterEventAtOnce)
{
    TempFile events("in");
    events.write("0 144 60 100\n600000 128 60 0\n");
    auto clock = platform::makeSteadyTimerClock(1.0);
    int64_t startMs = 0;
    Collector got;
    platform::VirtualMidiIn in(clock, events.path());
    ASSERT_EQ(in.open(0, got.callback(*clock, startMs)), platform::kMmNoError);
    ASSERT_EQ(in.start(), platform::kMmNoError);
    ASSERT_TRUE(got.waitFor(1));
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(in.stop(), platform::kMmNoError);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 60s);
    EXPECT_EQ(got.events().size(), 1u);
    EXPECT_EQ(in.close(), platform::kMmNoError);
}

TEST(VirtualMidiIn, NothingArrivesBeforeStartAndEachStartPlaysTheFileAgain)
{
    TempFile events("in");
    events.write("2 144 64 90\n");
    auto clock = std::make_shared<JumpClock>();
    int64_t startMs = 0;
    Collector got;
    platform::VirtualMidiIn in(clock, events.path());
    ASSERT_EQ(in.open(0, got.callback(*clock, startMs)), platform::kMmNoError);
    std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(got.events().empty());
    ASSERT_EQ(in.start(), platform::kMmNoError);
    ASSERT_TRUE(got.waitFor(1));
    in.stop();
    startMs = clock->now().count() / 1000;
    ASSERT_EQ(in.start(), platform::kMmNoError);
    ASSERT_TRUE(got.waitFor(2));
    in.close();
    const auto e = got.events();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].timeMs, 2u);
    EXPECT_EQ(e[1].clockMs, 2);
}

TEST(VirtualMidiIn, TakesItsEventsFromTheEnvironmentWhenGivenNoPath)
{
    TempFile events("env");
    events.write("1 176 64 127\n");
    setenv("VUMO_VIRTUAL_MIDI_IN", events.path().c_str(), 1);
    auto clock = std::make_shared<JumpClock>();
    int64_t startMs = 0;
    Collector got;
    platform::VirtualMidiIn in(clock);
    ASSERT_EQ(in.open(0, got.callback(*clock, startMs)), platform::kMmNoError);
    ASSERT_EQ(in.start(), platform::kMmNoError);
    ASSERT_TRUE(got.waitFor(1));
    in.close();
    unsetenv("VUMO_VIRTUAL_MIDI_IN");
    EXPECT_EQ(got.events()[0].message, pack(0xB0, 64, 127));
}

TEST(VirtualMidiIn, EventsFileSkipsLinesThatAreNotFourNumbers)
{
    TempFile events("in");
    events.write("# header\n0 144 60 100\n12 128 60\n\n7 128 60 0 extra\nx 1 2 3\n"
                 "4294967296 144 1 1\n4294967295 300 1 1\n");
    const auto e = platform::readMidiEventsFile(events.path());
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].timeMs, 0u);
    EXPECT_EQ(e[0].message, pack(0x90, 60, 100));
    EXPECT_EQ(e[1].timeMs, 7u);
    EXPECT_EQ(e[2].timeMs, 4294967295u);
    EXPECT_EQ(e[2].message, pack(300 & 0xFF, 1, 1));
    EXPECT_TRUE(platform::readMidiEventsFile(events.path() + ".missing").empty());
}
