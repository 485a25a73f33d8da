// Backend selection on Windows: VUMO_AUDIO_BACKEND, read at every call, picks the Windows
// multimedia wave devices or the virtual devices for each of output and input.
#include "../AudioBackend.h"
#include "../BackendChoice.h"

#include "../virtual/VirtualWaveIn.h"
#include "../virtual/VirtualWaveOut.h"
#include "WinMmWaveIn.h"
#include "WinMmWaveOut.h"

#include <windows.h>

#include <mmsystem.h>

namespace platform
{

namespace
{

// The device count is asked only for auto: asking loads the system's audio drivers.
AudioBackend choose(UINT (*devices)())
{
    switch (audioBackendChoice("winmm"))
    {
    case BackendChoice::Real:
        return AudioBackend::WinMm;
    case BackendChoice::Virtual:
        return AudioBackend::Virtual;
    case BackendChoice::Auto:
        break;
    }
    return devices() > 0 ? AudioBackend::WinMm : AudioBackend::Virtual;
}

} // namespace

AudioBackend outputBackend()
{
    return choose([] { return waveOutGetNumDevs(); });
}

AudioBackend inputBackend()
{
    return choose([] { return waveInGetNumDevs(); });
}

bool backendNamed()
{
    return audioBackendChoice("winmm") != BackendChoice::Auto;
}

std::string defaultOutputName()
{
    WAVEOUTCAPSA caps{};
    if (waveOutGetNumDevs() == 0 ||
        waveOutGetDevCapsA(UINT_PTR(WAVE_MAPPER), &caps, sizeof caps) != MMSYSERR_NOERROR)
        return {};
    return caps.szPname;
}

const char* backendName(AudioBackend b)
{
    return b == AudioBackend::WinMm ? "winmm" : "virtual";
}

std::unique_ptr<WaveOut> makeWaveOut()
{
    if (outputBackend() == AudioBackend::WinMm)
        return std::make_unique<WinMmWaveOut>();
    return std::make_unique<VirtualWaveOut>();
}

std::unique_ptr<WaveIn> makeWaveIn()
{
    if (inputBackend() == AudioBackend::WinMm)
        return std::make_unique<WinMmWaveIn>();
    return std::make_unique<VirtualWaveIn>();
}

} // namespace platform
