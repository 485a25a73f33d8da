// Backend selection by VUMO_AUDIO_BACKEND.
#include "platform/AudioBackend.h"
#include "PlatformTestSupport.h"
#include "platform/portaudio/PortAudioSession.h"
#include "platform/portaudio/PortAudioWaveIn.h"
#include "platform/portaudio/PortAudioWaveOut.h"
#include "platform/virtual/VirtualWaveIn.h"
#include "platform/virtual/VirtualWaveOut.h"

#include <gtest/gtest.h>

using namespace platform;
using platform::test::ScopedEnv;

TEST(AudioBackend, VirtualChoosesTheVirtualDevicesForBothDirections)
{
    ScopedEnv env("VUMO_AUDIO_BACKEND", "virtual");
    EXPECT_EQ(outputBackend(), AudioBackend::Virtual);
    EXPECT_EQ(inputBackend(), AudioBackend::Virtual);
    EXPECT_NE(dynamic_cast<VirtualWaveOut*>(makeWaveOut().get()), nullptr);
    EXPECT_NE(dynamic_cast<VirtualWaveIn*>(makeWaveIn().get()), nullptr);
}

TEST(AudioBackend, PortAudioChoosesPortAudioEvenWithoutADevice)
{
    ScopedEnv env("VUMO_AUDIO_BACKEND", "PortAudio");
    EXPECT_EQ(outputBackend(), AudioBackend::PortAudio);
    EXPECT_EQ(inputBackend(), AudioBackend::PortAudio);
    EXPECT_NE(dynamic_cast<PortAudioWaveOut*>(makeWaveOut().get()), nullptr);
    EXPECT_NE(dynamic_cast<PortAudioWaveIn*>(makeWaveIn().get()), nullptr);
}

TEST(AudioBackend, AutoUsesPortAudioWhereADefaultDeviceExists)
{
    ScopedEnv env("VUMO_AUDIO_BACKEND", "auto");
    const auto expectedOut =
        PortAudioSession::hasDefaultOutput() ? AudioBackend::PortAudio : AudioBackend::Virtual;
    const auto expectedIn =
        PortAudioSession::hasDefaultInput() ? AudioBackend::PortAudio : AudioBackend::Virtual;
    EXPECT_EQ(outputBackend(), expectedOut);
    EXPECT_EQ(inputBackend(), expectedIn);
    const bool outIsVirtual = dynamic_cast<VirtualWaveOut*>(makeWaveOut().get()) != nullptr;
    EXPECT_EQ(outIsVirtual, expectedOut == AudioBackend::Virtual);
}

TEST(AudioBackend, UnsetAndUnknownValuesMeanAuto)
{
    ScopedEnv env("VUMO_AUDIO_BACKEND", std::nullopt);
    const AudioBackend unsetOut = outputBackend();
    ScopedEnv odd("VUMO_AUDIO_BACKEND", "directsound");
    EXPECT_EQ(outputBackend(), unsetOut);
    EXPECT_EQ(unsetOut, PortAudioSession::hasDefaultOutput() ? AudioBackend::PortAudio
                                                             : AudioBackend::Virtual);
}

TEST(AudioBackend, TheChoiceIsReadAgainAtEveryCall)
{
    ScopedEnv env("VUMO_AUDIO_BACKEND", "virtual");
    EXPECT_EQ(outputBackend(), AudioBackend::Virtual);
    ScopedEnv changed("VUMO_AUDIO_BACKEND", "portaudio");
    EXPECT_EQ(outputBackend(), AudioBackend::PortAudio);
    EXPECT_NE(dynamic_cast<PortAudioWaveOut*>(makeWaveOut().get()), nullptr);
}

TEST(AudioBackend, NamesAreTheValuesOfTheEnvironmentSetting)
{
    EXPECT_STREQ(backendName(AudioBackend::PortAudio), "portaudio");
    EXPECT_STREQ(backendName(AudioBackend::Virtual), "virtual");
}
