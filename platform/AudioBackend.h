// Chooses the wave devices for this process.
//
// VUMO_AUDIO_BACKEND selects them: "portaudio" (the default devices through PortAudio),
// "virtual" (no hardware, see virtual/VirtualAudio.h) or "auto" (the default): PortAudio for
// each of output and input when a default device of that kind exists, the virtual device
// otherwise, so the engine opens on a machine without a sound card.
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
    Virtual
};

// The backend that makeWaveOut()/makeWaveIn() would use now.
AudioBackend outputBackend();
AudioBackend inputBackend();
const char* backendName(AudioBackend b);

std::unique_ptr<WaveOut> makeWaveOut();
std::unique_ptr<WaveIn> makeWaveIn();

} // namespace platform
