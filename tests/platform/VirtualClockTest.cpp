// Virtual clocks: stepping, device order, real time × speed, the loopback ring and the
// process-wide clock.
#include "PlatformTestSupport.h"
#include "platform/MmResult.h"
#include "platform/TimerClock.h"
#include "platform/virtual/RealTimeClock.h"
#include "platform/virtual/SteppedClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace platform;
using namespace std::chrono;
using platform::test::ScopedEnv;

namespace
{

// Records each call as "<name>@<now>" into a shared log.
class LoggingDevice : public VirtualDevice
{
public:
    LoggingDevice(std::string name, std::vector<std::string>& log) : m_name(name), m_log(log) {}
    void advanceTo(uint64_t now) override { m_log.push_back(m_name + "@" + std::to_string(now)); }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

using Log = std::vector<std::string>;

} // namespace

TEST(SteppedClock, MovesOutputsThenInputsInStepsOfAtMost1024FramesUntilDetached)
{
    SteppedClock clock;
    Log log;
    LoggingDevice in("in", log), out("out", log);
    ASSERT_EQ(clock.attach(in, false), kMmNoError);
    ASSERT_EQ(clock.attach(out, true), kMmNoError);
    clock.advance(300);
    clock.advance(1800);
    EXPECT_EQ(clock.nowFrames(), 2100u);
    EXPECT_EQ(log, (Log{"out@300", "in@300", "out@1324", "in@1324", "out@2100", "in@2100"}));
    clock.detach(out);
    clock.advance(10);
    EXPECT_EQ(log.back(), "in@2110");
    EXPECT_EQ(log.size(), 7u);
    clock.detach(in);
}

TEST(SteppedClock, AttachFailsWithNoMemWhenAllEightSlotsAreTaken)
{
    SteppedClock clock;
    Log log;
    std::vector<std::unique_ptr<LoggingDevice>> devices;
    for (int i = 0; i < 9; ++i)
    {
        devices.push_back(std::make_unique<LoggingDevice>("d", log));
        EXPECT_EQ(clock.attach(*devices.back(), true), i < 8 ? kMmNoError : kMmNoMem) << i;
    }
    for (auto& d : devices)
        clock.detach(*d);
}

TEST(RealTimeClock, FramesAreElapsedTimeAt44100TimesTheSpeed)
{
    const struct
    {
        nanoseconds elapsed;
        double speed;
        uint64_t frames;
    } rows[] = {{seconds(1), 1.0, 44100}, {milliseconds(10), 1.0, 441}, {seconds(1), 4.0, 176400},
                {seconds(2), 0.5, 44100}, {hours(10), 1.0, 1587600000}, {nanoseconds(-5), 1.0, 0},
                {seconds(1), 0.0, 0}};
    for (const auto& r : rows)
        EXPECT_EQ(RealTimeClock::framesAfter(r.elapsed, r.speed), r.frames)
            << r.elapsed.count() << " ns at " << r.speed;
}

TEST(RealTimeClock, PumpMovesDevicesToTheTimeDueNow)
{
    nanoseconds fakeNow{5'000'000'000};
    RealTimeClock clock(2.0, [&] { return fakeNow; });
    Log log;
    LoggingDevice device("d", log);
    ASSERT_EQ(clock.attach(device, true), kMmNoError);
    fakeNow += milliseconds(10); // 441 frames of real time, 882 at speed 2
    clock.pump();
    EXPECT_EQ(clock.nowFrames(), 882u);
    EXPECT_EQ(log, (Log{"d@882"}));
    clock.detach(device);
}

TEST(VirtualSpeed, BothClocksAcceptPositiveFactorsUpTo1000AndOtherwiseOne)
{
    const std::pair<std::optional<std::string>, double> rows[] = {
        {std::nullopt, 1.0}, {"8", 8.0},   {"0.5", 0.5},  {"1000", 1000.0},
        {"0", 1.0},          {"-3", 1.0},  {"5000", 1.0}, {"fast", 1.0},
        {"2x", 1.0},         {"nan", 1.0}, {"inf", 1.0},  {"", 1.0}};
    for (const auto& [text, speed] : rows)
    {
        ScopedEnv env("VUMO_VIRTUAL_SPEED", text);
        EXPECT_EQ(virtualSpeedFromEnv(), speed) << text.value_or("(unset)");
    }
}

TEST(VirtualLoopback, ReturnsTheFrameHandedOverAtThatTimeUntilALaterTimeOverwritesIt)
{
    VirtualLoopback loopback;
    loopback.publish(7, 0x00020001u);
    EXPECT_EQ(loopback.frameAt(7), 0x00020001u);
    EXPECT_EQ(loopback.frameAt(6), 0u);
    loopback.publish(7 + VirtualLoopback::kFrames, 22);
    EXPECT_EQ(loopback.frameAt(7), 0u);
    EXPECT_EQ(loopback.frameAt(7 + VirtualLoopback::kFrames), 22u);
}

TEST(AcquireVirtualClock, GivesTheClockSetForTestsElseOneSharedRealTimeClock)
{
    auto stepped = std::make_shared<SteppedClock>();
    setVirtualClock(stepped);
    EXPECT_EQ(acquireVirtualClock(), stepped);
    setVirtualClock(nullptr);
    ScopedEnv env("VUMO_VIRTUAL_SPEED", "3");
    auto first = acquireVirtualClock();
    EXPECT_EQ(acquireVirtualClock(), first);
    auto* realTime = dynamic_cast<RealTimeClock*>(first.get());
    ASSERT_NE(realTime, nullptr);
    EXPECT_EQ(realTime->speed(), 3.0);
}
