// WinMmWaveOut: plays one whole block on the wave mapper with waveOutWrite.
#include "WinMmWaveOut.h"

#include "WinMmFormat.h"

#include <algorithm>

namespace platform
{

namespace
{

void CALLBACK onWaveOut(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR header, DWORD_PTR)
{
    reinterpret_cast<WinMmWaveOut*>(instance)->notify(message,
                                                      reinterpret_cast<const WAVEHDR*>(header));
}

} // namespace

WinMmWaveOut::~WinMmWaveOut()
{
    shutDown();
}

int32_t WinMmWaveOut::openDevice()
{
    if (waveOutGetNumDevs() == 0)
        return kMmNoDriver;
    const WAVEFORMATEX format = waveFormatOf(WaveFormat{});
    HWAVEOUT device = nullptr;
    const MMRESULT rc = waveOutOpen(&device, WAVE_MAPPER, &format, DWORD_PTR(&onWaveOut),
                                    DWORD_PTR(this), CALLBACK_FUNCTION);
    if (rc != MMSYSERR_NOERROR)
        return int32_t(rc);
    m_device = device;
    m_startFrames = 0;
    m_silence.assign(size_t(kTailFrames) * 2, 0);
    m_tailHeader = WAVEHDR{};
    m_tailHeader.lpData = reinterpret_cast<LPSTR>(m_silence.data());
    m_tailHeader.dwBufferLength = DWORD(m_silence.size() * 2);
    // Without its tail a block ends at its own notice.
    m_tailPrepared =
        waveOutPrepareHeader(m_device, &m_tailHeader, sizeof m_tailHeader) == MMSYSERR_NOERROR;
    return kMmNoError;
}

int32_t WinMmWaveOut::prepareDevice(std::span<const int16_t> block)
{
    m_header = WAVEHDR{};
    // The driver only reads an output block.
    m_header.lpData = reinterpret_cast<LPSTR>(const_cast<int16_t*>(block.data()));
    m_header.dwBufferLength = DWORD(block.size() * 2);
    return int32_t(waveOutPrepareHeader(m_device, &m_header, sizeof m_header));
}

int32_t WinMmWaveOut::writeDevice()
{
    setBlockState(kPlaying);
    m_startFrames = deviceFrames();
    m_last.store(m_tailPrepared ? &m_tailHeader : &m_header);
    const MMRESULT rc = waveOutWrite(m_device, &m_header, sizeof m_header);
    if (rc != MMSYSERR_NOERROR)
    {
        setBlockState(kIdle);
        return int32_t(rc);
    }
    if (m_tailPrepared && waveOutWrite(m_device, &m_tailHeader, sizeof m_tailHeader) != 0)
    {
        // No silence after it: the block ends at its own notice, which may have come already.
        m_last.store(&m_header);
        if ((m_header.dwFlags & WHDR_DONE) && endBlock(kPlaying))
            notifyBlockDone();
    }
    return kMmNoError;
}

int32_t WinMmWaveOut::readPosition(uint32_t& frames)
{
    frames = std::min(deviceFrames() - m_startFrames, blockFrames());
    return kMmNoError;
}

int32_t WinMmWaveOut::resetDevice()
{
    // The block is back at once (also when the driver's notice comes later): reset() has ended it.
    const MMRESULT rc = waveOutReset(m_device);
    m_startFrames = 0;
    return int32_t(rc);
}

int32_t WinMmWaveOut::unprepareDevice()
{
    return int32_t(waveOutUnprepareHeader(m_device, &m_header, sizeof m_header));
}

int32_t WinMmWaveOut::closeDevice()
{
    if (m_tailPrepared &&
        waveOutUnprepareHeader(m_device, &m_tailHeader, sizeof m_tailHeader) == MMSYSERR_NOERROR)
        m_tailPrepared = false;
    const MMRESULT rc = waveOutClose(m_device);
    if (rc == MMSYSERR_NOERROR)
        m_device = nullptr;
    return int32_t(rc);
}

void WinMmWaveOut::notify(UINT message, const WAVEHDR* header)
{
    // A notice that comes late, for a header already written again, is not done.
    if (message == WOM_DONE && header == m_last.load() && (header->dwFlags & WHDR_DONE) &&
        endBlock(kPlaying))
        notifyBlockDone();
}

uint32_t WinMmWaveOut::deviceFrames() const
{
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(m_device, &time, sizeof time) != MMSYSERR_NOERROR)
        return 0;
    return framesOf(time);
}

} // namespace platform
