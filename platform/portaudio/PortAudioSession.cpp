// PortAudioSession: counted PortAudio initialisation with the sound libraries kept quiet.
#include "PortAudioSession.h"

#include "../MmResult.h"

#include <portaudio.h>

#include <mutex>

#ifdef VUMO_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif
#ifdef VUMO_HAVE_JACK
#include <jack/jack.h>
#endif

namespace platform
{

namespace
{

// Held only while PortAudio is initialised or terminated, never on the audio path.
std::mutex g_sessionMutex;
int g_sessions = 0;
PaError g_initResult = paNoError;

#ifdef VUMO_HAVE_ALSA
// ALSA reports every missing card and PCM of its configuration on standard error.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
#endif
#ifdef VUMO_HAVE_JACK
// JACK reports a server that is not running on standard error.
void quietJack(const char*) {}
#endif

void quietSoundLibraries()
{
#ifdef VUMO_HAVE_ALSA
    snd_lib_error_set_handler(&quietAlsa);
#endif
#ifdef VUMO_HAVE_JACK
    jack_set_error_function(&quietJack);
    jack_set_info_function(&quietJack);
#endif
}

} // namespace

PortAudioSession::PortAudioSession()
{
    std::lock_guard lock(g_sessionMutex);
    if (g_sessions == 0)
    {
        quietSoundLibraries();
        g_initResult = Pa_Initialize();
    }
    ++g_sessions;
    m_result = mmResultFromPortAudio(g_initResult);
}

PortAudioSession::~PortAudioSession()
{
    std::lock_guard lock(g_sessionMutex);
    if (--g_sessions == 0 && g_initResult == paNoError)
        Pa_Terminate();
}

bool PortAudioSession::hasDefaultOutput()
{
    PortAudioSession session;
    return session.result() == kMmNoError && Pa_GetDefaultOutputDevice() != paNoDevice;
}

bool PortAudioSession::hasDefaultInput()
{
    PortAudioSession session;
    return session.result() == kMmNoError && Pa_GetDefaultInputDevice() != paNoDevice;
}

std::string PortAudioSession::defaultOutputName()
{
    PortAudioSession session;
    const PaDeviceIndex index =
        session.result() == kMmNoError ? Pa_GetDefaultOutputDevice() : paNoDevice;
    const PaDeviceInfo* info = index == paNoDevice ? nullptr : Pa_GetDeviceInfo(index);
    return info != nullptr && info->name != nullptr ? info->name : "";
}

int32_t openDefaultStream(bool output, PaStreamCallback* callback, void* user, PaStream** stream,
                          bool lowLatency)
{
    *stream = nullptr;
    const PaDeviceIndex index = output ? Pa_GetDefaultOutputDevice() : Pa_GetDefaultInputDevice();
    const PaDeviceInfo* info = index == paNoDevice ? nullptr : Pa_GetDeviceInfo(index);
    if (info == nullptr)
        return kMmNoDriver;
    PaStreamParameters params{};
    params.device = index;
    params.channelCount = 2;
    params.sampleFormat = paInt16;
    if (lowLatency)
        params.suggestedLatency =
            output ? info->defaultLowOutputLatency : info->defaultLowInputLatency;
    else
        params.suggestedLatency =
            output ? info->defaultHighOutputLatency : info->defaultHighInputLatency;
    const PaStreamParameters* in = output ? nullptr : &params;
    const PaStreamParameters* out = output ? &params : nullptr;
    if (const PaError e = Pa_IsFormatSupported(in, out, 44100.0); e != paFormatIsSupported)
        return mmResultFromPortAudio(e);
    return mmResultFromPortAudio(Pa_OpenStream(
        stream, in, out, 44100.0, paFramesPerBufferUnspecified, paClipOff, callback, user));
}

int32_t mmResultFromPortAudio(int paError)
{
    switch (paError)
    {
    case paNoError:
        return kMmNoError;
    case paNotInitialized:
        return kMmNotEnabled;
    case paInvalidDevice:
        return kMmBadDeviceId;
    case paDeviceUnavailable:
        return kMmAllocated;
    case paInsufficientMemory:
        return kMmNoMem;
    case paInvalidChannelCount:
    case paInvalidSampleRate:
    case paSampleFormatNotSupported:
    case paBadIODeviceCombination:
        return kWaveBadFormat;
    case paBadStreamPtr:
        return kMmInvalidHandle;
    case paStreamIsNotStopped:
        return kWaveStillPlaying;
    case paHostApiNotFound:
        return kMmNoDriver;
    case paInvalidFlag:
        return kMmInvalidFlag;
    default:
        return kMmError;
    }
}

void stopStream(PaStream* stream)
{
    if (Pa_IsStreamStopped(stream) == 0)
        Pa_AbortStream(stream);
}

} // namespace platform
