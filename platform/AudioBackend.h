// Chooses the wave devices for this process.
//
// VUMO_AUDIO_BACKEND, read again at every call below, selects them: "portaudio" (the default
// devices through PortAudio), "virtual" (no hardware: virtual/VirtualWaveOut.h,
// virtual/VirtualWaveIn.h) or "auto" (the default, also for any other value): PortAudio for
// each of output and input when a default device of that kind exists, the virtual device
// otherwise, so the engine opens on a machine without a sound card. On Windows "winmm" (the
// Windows multimedia wave devices, win/WinMmWaveOut.h) takes PortAudio's place, in the setting
// and in the auto choice. Virtual devices made here run on the process's virtual stream
// (virtual/VirtualStream.h): real time × VUMO_VIRTUAL_SPEED, or the stream a test hands to
// setVirtualStream().
#pragma once

#include "WaveIn.h"
#include "WaveOut.h"

#include <memory>
#include <string>

namespace platform
{

enum class AudioBackend
{
    PortAudio,
    Virtual,
    WinMm
};

// The backend that makeWaveOut()/makeWaveIn() would use now.
AudioBackend outputBackend();
AudioBackend inputBackend();
const char* backendName(AudioBackend b);
// True when VUMO_AUDIO_BACKEND names the backend ("portaudio", "winmm" or "virtual") rather
// than leaving the choice to what the machine has.
bool backendNamed();
// The default sound output PortAudio (on Windows the wave mapper) offers, by name; "" when the
// machine has none.
std::string defaultOutputName();

std::unique_ptr<WaveOut> makeWaveOut();
std::unique_ptr<WaveIn> makeWaveIn();

} // namespace platform
