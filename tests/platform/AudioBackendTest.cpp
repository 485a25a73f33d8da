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

TEST(AudioBackend, TheSettingIsReadAtEveryCallAndAutoUsesPortAudioWhereADefaultDeviceExists)
{
    const auto autoOut =
        PortAudioSession::hasDefaultOutput() ? AudioBackend::PortAudio : AudioBackend::Virtual;
    const auto autoIn =
        PortAudioSession::hasDefaultInput() ? AudioBackend::PortAudio : AudioBackend::Virtual;
    const struct
    {
        std::optional<std::string> setting;
        AudioBackend out, in;
    } rows[] = {{"virtual", AudioBackend::Virtual, AudioBackend::Virtual},
                {"PortAudio", AudioBackend::PortAudio, AudioBackend::PortAudio},
                {"auto", autoOut, autoIn},
                {"portaudio", AudioBackend::PortAudio, AudioBackend::PortAudio},
                {std::nullopt, autoOut, autoIn},
                {"directsound", autoOut, autoIn}};
    for (const auto& r : rows)
    {
        ScopedEnv env("VUMO_AUDIO_BACKEND", r.setting);
        const std::string name = r.setting.value_or("(unset)");
        EXPECT_EQ(outputBackend(), r.out) << name;
        EXPECT_EQ(inputBackend(), r.in) << name;
        const auto out = makeWaveOut();
        const auto in = makeWaveIn();
        EXPECT_TRUE(r.out == AudioBackend::Virtual ? !!dynamic_cast<VirtualWaveOut*>(out.get())
                                                   : !!dynamic_cast<PortAudioWaveOut*>(out.get()))
            << name;
        EXPECT_TRUE(r.in == AudioBackend::Virtual ? !!dynamic_cast<VirtualWaveIn*>(in.get())
                                                  : !!dynamic_cast<PortAudioWaveIn*>(in.get()))
            << name;
    }
}
