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
    shutDown();
}

int32_t WinMmWaveIn::openDevice()
{
    if (waveInGetNumDevs() == 0)
        return kMmNoDriver;
    const WAVEFORMATEX format = waveFormatOf(WaveFormat{});
    HWAVEIN device = nullptr;
    const MMRESULT rc = waveInOpen(&device, WAVE_MAPPER, &format, DWORD_PTR(&onWaveIn),
                                   DWORD_PTR(this), CALLBACK_FUNCTION);
    if (rc != MMSYSERR_NOERROR)
        return int32_t(rc);
    m_device = device;
    return kMmNoError;
}

int32_t WinMmWaveIn::prepareDevice(std::span<int16_t> block)
{
    m_header = WAVEHDR{};
    m_header.lpData = reinterpret_cast<LPSTR>(block.data());
    m_header.dwBufferLength = DWORD(block.size() * 2);
    return int32_t(waveInPrepareHeader(m_device, &m_header, sizeof m_header));
}

int32_t WinMmWaveIn::addToDevice()
{
    setBlockState(kQueued);
    const MMRESULT rc = waveInAddBuffer(m_device, &m_header, sizeof m_header);
    if (rc != MMSYSERR_NOERROR)
        setBlockState(kIdle);
    return int32_t(rc);
}

int32_t WinMmWaveIn::startDevice()
{
    // Media capture needs decoders this build may lack: say so rather than record the device.
    const media::CaptureStart capture = media::startCaptureFromEnvironment(blockFrames());
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

int32_t WinMmWaveIn::readPosition(uint32_t& frames)
{
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    const MMRESULT rc = waveInGetPosition(m_device, &time, sizeof time);
    // The device counts on after a full block; the block holds no more than its frames.
    frames = blockState() != kIdle ? std::min(framesOf(time), blockFrames())
                                   : DWORD(m_header.dwBytesRecorded / 4);
    return int32_t(rc);
}

int32_t WinMmWaveIn::resetDevice()
{
    return int32_t(waveInReset(m_device));
}

int32_t WinMmWaveIn::unprepareDevice()
{
    return int32_t(waveInUnprepareHeader(m_device, &m_header, sizeof m_header));
}

int32_t WinMmWaveIn::closeDevice()
{
    const MMRESULT rc = waveInClose(m_device);
    if (rc == MMSYSERR_NOERROR)
        m_device = nullptr;
    return int32_t(rc);
}

void WinMmWaveIn::notify(UINT message)
{
    if (message == WIM_DATA && endBlock(kQueued))
        notifyBlockDone();
}

} // namespace platform
