// Virtual clocks: stepping, device order, real time × speed, the loopback ring and the
// process-wide clock.
#include "PlatformTestSupport.h"
#include "platform/MmResult.h"
#include "platform/virtual/RealTimeClock.h"
#include "platform/virtual/SteppedClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;
using platform::test::ScopedEnv;

namespace
{

// Records each call as "<name>@<now>" into a shared log.
class LoggingDevice : public VirtualDevice
{
public:
    LoggingDevice(std::string name, std::vector<std::string>& log)
        : m_name(std::move(name)), m_log(log)
    {
    }
    void advanceTo(uint64_t now) override { m_log.push_back(m_name + "@" + std::to_string(now)); }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

} // namespace

TEST(SteppedClock, AdvanceMovesNowByTheFramesGiven)
{
    SteppedClock clock;
    EXPECT_EQ(clock.nowFrames(), 0u);
    clock.advance(300);
    clock.advance(5000);
    EXPECT_EQ(clock.nowFrames(), 5300u);
}

TEST(SteppedClock, MovesDevicesInStepsOfAtMost1024Frames)
{
    SteppedClock clock;
    std::vector<std::string> log;
    LoggingDevice device("d", log);
    ASSERT_EQ(clock.attach(device, true), kMmNoError);
    clock.advance(2500);
    EXPECT_EQ(log, (std::vector<std::string>{"d@1024", "d@2048", "d@2500"}));
    clock.detach(device);
}

TEST(SteppedClock, MovesOutputsBeforeInputsInEachStep)
{
    SteppedClock clock;
    std::vector<std::string> log;
    LoggingDevice in("in", log);
    LoggingDevice out("out", log);
    ASSERT_EQ(clock.attach(in, false), kMmNoError);
    ASSERT_EQ(clock.attach(out, true), kMmNoError);
    clock.advance(1500);
    EXPECT_EQ(log, (std::vector<std::string>{"out@1024", "in@1024", "out@1500", "in@1500"}));
    clock.detach(in);
    clock.detach(out);
}

TEST(VirtualClock, DetachedDeviceIsNoLongerCalled)
{
    SteppedClock clock;
    std::vector<std::string> log;
    LoggingDevice device("d", log);
    ASSERT_EQ(clock.attach(device, false), kMmNoError);
    clock.advance(10);
    clock.detach(device);
    clock.advance(10);
    EXPECT_EQ(log, (std::vector<std::string>{"d@10"}));
}

TEST(VirtualClock, AttachFailsWithNoMemWhenAllSlotsAreTaken)
{
    SteppedClock clock;
    std::vector<std::string> log;
    std::vector<std::unique_ptr<LoggingDevice>> devices;
    int attached = 0;
    for (int i = 0; i < 20; ++i)
    {
        devices.push_back(std::make_unique<LoggingDevice>("d", log));
        if (clock.attach(*devices.back(), true) != kMmNoError)
            break;
        ++attached;
    }
    EXPECT_EQ(attached, 8);
    EXPECT_EQ(clock.attach(*devices.back(), true), kMmNoMem);
    for (auto& d : devices)
        clock.detach(*d);
}

TEST(RealTimeClock, OneSecondAtSpeedOneIs44100Frames)
{
    EXPECT_EQ(RealTimeClock::framesAfter(std::chrono::seconds(1), 1.0), 44100u);
    EXPECT_EQ(RealTimeClock::framesAfter(std::chrono::milliseconds(10), 1.0), 441u);
}

TEST(RealTimeClock, SpeedFactorMultipliesTheFrames)
{
    EXPECT_EQ(RealTimeClock::framesAfter(std::chrono::seconds(1), 4.0), 176400u);
    EXPECT_EQ(RealTimeClock::framesAfter(std::chrono::seconds(2), 0.5), 44100u);
    EXPECT_EQ(RealTimeClock::framesAfter(std::chrono::hours(10), 1.0), 1587600000u);
}

TEST(RealTimeClock, NoTimeOrNoSpeedGivesNoFrames)
{
    EXPECT_EQ(RealTimeClock::framesAfter(std::chrono::nanoseconds(-5), 1.0), 0u);
    EXPECT_EQ(RealTimeClock::framesAfter(std::chrono::seconds(1), 0.0), 0u);
}

TEST(RealTimeClock, PumpMovesDevicesToTheTimeDueNow)
{
    std::chrono::nanoseconds fakeNow{5'000'000'000};
    RealTimeClock clock(2.0, [&] { return fakeNow; });
    std::vector<std::string> log;
    LoggingDevice device("d", log);
    ASSERT_EQ(clock.attach(device, true), kMmNoError);
    fakeNow += std::chrono::milliseconds(10); // 441 frames of real time, 882 at speed 2
    clock.pump();
    EXPECT_EQ(clock.nowFrames(), 882u);
    EXPECT_EQ(log, (std::vector<std::string>{"d@882"}));
    clock.detach(device);
}

TEST(VirtualSpeed, DefaultsToOneWhenUnset)
{
    ScopedEnv env("VUMO_VIRTUAL_SPEED", std::nullopt);
    EXPECT_EQ(virtualSpeedFromEnv(), 1.0);
}

TEST(VirtualSpeed, ReadsAPositiveFactor)
{
    ScopedEnv env("VUMO_VIRTUAL_SPEED", "8");
    EXPECT_EQ(virtualSpeedFromEnv(), 8.0);
    ScopedEnv half("VUMO_VIRTUAL_SPEED", "0.5");
    EXPECT_EQ(virtualSpeedFromEnv(), 0.5);
}

TEST(VirtualSpeed, FallsBackToOneForZeroNegativeHugeOrGarbage)
{
    for (const char* bad : {"0", "-3", "5000", "fast", "2x", "nan", "inf", ""})
    {
        ScopedEnv env("VUMO_VIRTUAL_SPEED", bad);
        EXPECT_EQ(virtualSpeedFromEnv(), 1.0) << bad;
    }
}

TEST(VirtualLoopback, ReturnsTheFrameHandedOverAtThatTime)
{
    VirtualLoopback loopback;
    loopback.publish(7, 0x00020001u);
    EXPECT_EQ(loopback.frameAt(7), 0x00020001u);
    EXPECT_EQ(loopback.frameAt(6), 0u);
}

TEST(VirtualLoopback, AFrameOverwrittenByALaterTimeReadsAsSilence)
{
    VirtualLoopback loopback;
    loopback.publish(3, 11);
    loopback.publish(3 + VirtualLoopback::kFrames, 22);
    EXPECT_EQ(loopback.frameAt(3), 0u);
    EXPECT_EQ(loopback.frameAt(3 + VirtualLoopback::kFrames), 22u);
}

TEST(AcquireVirtualClock, ReturnsTheClockSetForTests)
{
    auto stepped = std::make_shared<SteppedClock>();
    setVirtualClock(stepped);
    EXPECT_EQ(acquireVirtualClock(), stepped);
    setVirtualClock(nullptr);
    EXPECT_NE(acquireVirtualClock(), stepped);
}

TEST(AcquireVirtualClock, SharesOneRealTimeClockWhileItIsHeld)
{
    setVirtualClock(nullptr);
    ScopedEnv env("VUMO_VIRTUAL_SPEED", "3");
    auto first = acquireVirtualClock();
    auto second = acquireVirtualClock();
    EXPECT_EQ(first, second);
    auto* realTime = dynamic_cast<RealTimeClock*>(first.get());
    ASSERT_NE(realTime, nullptr);
    EXPECT_EQ(realTime->speed(), 3.0);
}
