// WinMmWaveIn: records one whole block from the wave mapper with waveInAddBuffer.
#include "WinMmWaveIn.h"

#include "../media/CaptureStream.h"
#include "WinMmFormat.h"

#include <algorithm>
#include <cstdio>

namespace platform
{

namespace
{

void CALLBACK onWaveIn(HWAVEIN, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR)
{
    reinterpret_cast<WinMmWaveIn*>(instance)->notify(message);
}

} // namespace

WinMmWaveIn::~WinMmWaveIn()
{
    if (m_device != nullptr)
    {
        reset();
        unprepare();
        close();
    }
}

int32_t WinMmWaveIn::open(const WaveFormat& f, std::function<void()> onBlockDone)
{
    if (m_device != nullptr)
        return kMmAllocated;
    if (!f.isStereo16At44100())
        return kWaveBadFormat;
    if (waveInGetNumDevs() == 0)
        return kMmNoDriver;
    m_onBlockDone = std::move(onBlockDone);
    m_queued.store(0);
    const WAVEFORMATEX format = waveFormatOf(f);
    HWAVEIN device = nullptr;
    const MMRESULT rc = waveInOpen(&device, WAVE_MAPPER, &format, DWORD_PTR(&onWaveIn),
                                   DWORD_PTR(this), CALLBACK_FUNCTION);
    if (rc != MMSYSERR_NOERROR)
        return int32_t(rc);
    m_device = device;
    m_prepared = false;
    return kMmNoError;
}

int32_t WinMmWaveIn::prepare(std::span<int16_t> block)
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    if (m_queued.load() != 0)
        return kWaveStillPlaying;
    if (block.size() % 2 != 0 || block.size() * 2 > MAXDWORD)
        return kMmInvalidParam;
    if (const int32_t rc = unprepare(); rc != kMmNoError)
        return rc;
    m_header = WAVEHDR{};
    m_header.lpData = reinterpret_cast<LPSTR>(block.data());
    m_header.dwBufferLength = DWORD(block.size() * 2);
    m_blockFrames = uint32_t(block.size() / 2);
    const MMRESULT rc = waveInPrepareHeader(m_device, &m_header, sizeof m_header);
    m_prepared = rc == MMSYSERR_NOERROR;
    return int32_t(rc);
}

int32_t WinMmWaveIn::addBuffer()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    if (!m_prepared)
        return kWaveUnprepared;
    int32_t idle = 0;
    if (!m_queued.compare_exchange_strong(idle, 1))
        return kWaveStillPlaying;
    const MMRESULT rc = waveInAddBuffer(m_device, &m_header, sizeof m_header);
    if (rc != MMSYSERR_NOERROR)
        m_queued.store(0);
    return int32_t(rc);
}

int32_t WinMmWaveIn::start()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    // Media capture needs decoders this build may lack: say so rather than record the device.
    const media::CaptureStart capture = media::startCaptureFromEnvironment(m_blockFrames);
    if (capture.requested)
    {
        if (capture.stream)
            media::endCapture(capture.stream.get());
        std::fprintf(stderr, "Vumo: %s\n",
                     capture.stream ? "media capture needs the PortAudio or virtual input"
                                    : capture.error.c_str());
        return kMmError;
    }
    return int32_t(waveInStart(m_device));
}

int32_t WinMmWaveIn::positionFrames(uint32_t& frames)
{
    frames = 0;
    if (m_device == nullptr)
        return kMmInvalidHandle;
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    const MMRESULT rc = waveInGetPosition(m_device, &time, sizeof time);
    // The device counts on after a full block; the block holds no more than its frames.
    frames = m_queued.load() != 0 ? std::min(framesOf(time), m_blockFrames)
                                  : DWORD(m_header.dwBytesRecorded / 4);
    return int32_t(rc);
}

int32_t WinMmWaveIn::reset()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    const MMRESULT rc = waveInReset(m_device);
    endBlock();
    return int32_t(rc);
}

int32_t WinMmWaveIn::unprepare()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    if (m_queued.load() != 0)
        return kWaveStillPlaying;
    if (!m_prepared)
        return kMmNoError;
    const MMRESULT rc = waveInUnprepareHeader(m_device, &m_header, sizeof m_header);
    if (rc == MMSYSERR_NOERROR)
        m_prepared = false;
    return int32_t(rc);
}

int32_t WinMmWaveIn::close()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    if (m_queued.load() != 0)
        return kWaveStillPlaying;
    unprepare();
    const MMRESULT rc = waveInClose(m_device);
    if (rc == MMSYSERR_NOERROR)
        m_device = nullptr;
    return int32_t(rc);
}

void WinMmWaveIn::notify(UINT message)
{
    if (message == WIM_DATA)
        endBlock();
}

void WinMmWaveIn::endBlock()
{
    int32_t queued = 1;
    if (m_queued.compare_exchange_strong(queued, 0) && m_onBlockDone)
        m_onBlockDone();
}

} // namespace platform
