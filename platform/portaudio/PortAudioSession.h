// PortAudioSession: PortAudio initialised once per process while any session object lives.
//
// The first session initialises PortAudio (after turning the ALSA and JACK libraries' own
// messages on standard error off, when those libraries are linked), the last one to go
// terminates it. Sessions may be made and dropped on any thread.
#pragma once

#include <portaudio.h>

#include <cstdint>
#include <string>

namespace platform
{

class PortAudioSession
{
public:
    PortAudioSession();
    ~PortAudioSession();
    PortAudioSession(const PortAudioSession&) = delete;
    PortAudioSession& operator=(const PortAudioSession&) = delete;

    // The MmResult of initialising PortAudio (0 = usable).
    int32_t result() const { return m_result; }

    // Whether PortAudio has a default output (input) device on this machine.
    static bool hasDefaultOutput();
    static bool hasDefaultInput();
    // The name of the default output device, or "" when there is none.
    static std::string defaultOutputName();

private:
    int32_t m_result;
};

// A PortAudio error (PaError) as an MmResult number.
int32_t mmResultFromPortAudio(int paError);

// Opens a stream on the default output (or input) device: 2 channels of 16-bit samples at
// 44100 frames per second, calling callback(..., user) for every buffer. kMmNoDriver when
// there is no default device of that kind; needs a live session. The stream is returned
// stopped. Streams ask for the device's high latency (whole-track blocks favour robustness)
// unless `lowLatency` asks for its low one (live sound such as the synthesizer's).
int32_t openDefaultStream(bool output, PaStreamCallback* callback, void* user, PaStream** stream,
                          bool lowLatency = false);

// Stops a stream that is running or that completed by itself, so it can start again.
void stopStream(PaStream* stream);

} // namespace platform
