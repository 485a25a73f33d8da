// Backend selection: VUMO_AUDIO_BACKEND, read at every call, picks PortAudio or the virtual
// devices for each of output and input.
#include "AudioBackend.h"
#include "BackendChoice.h"

#include "portaudio/PortAudioSession.h"
#include "portaudio/PortAudioWaveIn.h"
#include "portaudio/PortAudioWaveOut.h"
#include "virtual/VirtualWaveIn.h"
#include "virtual/VirtualWaveOut.h"

namespace platform
{

namespace
{

AudioBackend choose(bool (*hasDefaultDevice)())
{
    switch (audioBackendChoice("portaudio"))
    {
    case BackendChoice::Real:
        return AudioBackend::PortAudio;
    case BackendChoice::Virtual:
        return AudioBackend::Virtual;
    case BackendChoice::Auto:
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
    return audioBackendChoice("portaudio") != BackendChoice::Auto;
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
