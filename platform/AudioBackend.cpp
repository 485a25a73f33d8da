// Backend selection: VUMO_AUDIO_BACKEND, read at every call, picks PortAudio or the virtual
// devices for each of output and input.
#include "AudioBackend.h"

#include "portaudio/PortAudioSession.h"
#include "portaudio/PortAudioWaveIn.h"
#include "portaudio/PortAudioWaveOut.h"
#include "virtual/VirtualWaveIn.h"
#include "virtual/VirtualWaveOut.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace platform
{

namespace
{

enum class Choice
{
    PortAudio,
    Virtual,
    Auto
};

// "portaudio" or "virtual" in any letter case; unset, "auto" and anything else mean auto.
Choice choiceFromEnv()
{
    const char* text = std::getenv("VUMO_AUDIO_BACKEND");
    std::string value = text != nullptr ? text : "";
    std::transform(value.begin(), value.end(), value.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (value == "portaudio")
        return Choice::PortAudio;
    if (value == "virtual")
        return Choice::Virtual;
    return Choice::Auto;
}

AudioBackend choose(bool (*hasDefaultDevice)())
{
    switch (choiceFromEnv())
    {
    case Choice::PortAudio:
        return AudioBackend::PortAudio;
    case Choice::Virtual:
        return AudioBackend::Virtual;
    case Choice::Auto:
        break;
    }
    return hasDefaultDevice() ? AudioBackend::PortAudio : AudioBackend::Virtual;
}

} // namespace

AudioBackend outputBackend()
{
    return choose(&PortAudioSession::hasDefaultOutput);
}

AudioBackend inputBackend()
{
    return choose(&PortAudioSession::hasDefaultInput);
}

bool backendNamed()
{
    return choiceFromEnv() != Choice::Auto;
}

std::string defaultOutputName()
{
    return PortAudioSession::defaultOutputName();
}

const char* backendName(AudioBackend b)
{
    return b == AudioBackend::PortAudio ? "portaudio" : "virtual";
}

std::unique_ptr<WaveOut> makeWaveOut()
{
    if (outputBackend() == AudioBackend::PortAudio)
        return std::make_unique<PortAudioWaveOut>();
    return std::make_unique<VirtualWaveOut>();
}

std::unique_ptr<WaveIn> makeWaveIn()
{
    if (inputBackend() == AudioBackend::PortAudio)
        return std::make_unique<PortAudioWaveIn>();
    return std::make_unique<VirtualWaveIn>();
}

} // namespace platform
