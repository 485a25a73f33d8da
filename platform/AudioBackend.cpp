// Backend selection (placeholder until the device backends land: no devices).
#include "AudioBackend.h"

namespace platform
{

AudioBackend outputBackend() { return AudioBackend::Virtual; }
AudioBackend inputBackend() { return AudioBackend::Virtual; }
const char* backendName(AudioBackend b) { return b == AudioBackend::PortAudio ? "portaudio" : "virtual"; }
std::unique_ptr<WaveOut> makeWaveOut() { return nullptr; }
std::unique_ptr<WaveIn> makeWaveIn() { return nullptr; }

} // namespace platform
