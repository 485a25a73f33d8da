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
    if (m_device != nullptr)
    {
        reset();
        unprepare();
        close();
    }
}

int32_t WinMmWaveOut::open(const WaveFormat& f, std::function<void()> onBlockDone)
{
    if (m_device != nullptr)
        return kMmAllocated;
    if (!f.isStereo16At44100())
        return kWaveBadFormat;
    if (waveOutGetNumDevs() == 0)
        return kMmNoDriver;
    m_onBlockDone = std::move(onBlockDone);
    m_playing.store(0);
    const WAVEFORMATEX format = waveFormatOf(f);
    HWAVEOUT device = nullptr;
    const MMRESULT rc = waveOutOpen(&device, WAVE_MAPPER, &format, DWORD_PTR(&onWaveOut),
                                    DWORD_PTR(this), CALLBACK_FUNCTION);
    if (rc != MMSYSERR_NOERROR)
        return int32_t(rc);
    m_device = device;
    m_prepared = false;
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

int32_t WinMmWaveOut::prepare(std::span<const int16_t> block)
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    if (m_playing.load() != 0)
        return kWaveStillPlaying;
    if (block.size() % 2 != 0 || block.size() * 2 > MAXDWORD)
        return kMmInvalidParam;
    if (const int32_t rc = unprepare(); rc != kMmNoError)
        return rc;
    m_header = WAVEHDR{};
    // The driver only reads an output block.
    m_header.lpData = reinterpret_cast<LPSTR>(const_cast<int16_t*>(block.data()));
    m_header.dwBufferLength = DWORD(block.size() * 2);
    m_blockFrames = uint32_t(block.size() / 2);
    const MMRESULT rc = waveOutPrepareHeader(m_device, &m_header, sizeof m_header);
    m_prepared = rc == MMSYSERR_NOERROR;
    return int32_t(rc);
}

int32_t WinMmWaveOut::write()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    if (!m_prepared)
        return kWaveUnprepared;
    int32_t idle = 0;
    if (!m_playing.compare_exchange_strong(idle, 1))
        return kWaveStillPlaying;
    m_startFrames = devicePosition();
    m_last.store(m_tailPrepared ? &m_tailHeader : &m_header);
    const MMRESULT rc = waveOutWrite(m_device, &m_header, sizeof m_header);
    if (rc != MMSYSERR_NOERROR)
    {
        m_playing.store(0);
        return int32_t(rc);
    }
    if (m_tailPrepared && waveOutWrite(m_device, &m_tailHeader, sizeof m_tailHeader) != 0)
    {
        // No silence after it: the block ends at its own notice, which may have come already.
        m_last.store(&m_header);
        if (m_header.dwFlags & WHDR_DONE)
            endBlock();
    }
    return kMmNoError;
}

int32_t WinMmWaveOut::positionFrames(uint32_t& frames)
{
    frames = 0;
    if (m_device == nullptr)
        return kMmInvalidHandle;
    frames = std::min(devicePosition() - m_startFrames, m_blockFrames);
    return kMmNoError;
}

int32_t WinMmWaveOut::reset()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    const MMRESULT rc = waveOutReset(m_device);
    // The block is back (also when the driver's notice comes later): it has ended.
    endBlock();
    m_startFrames = 0;
    return int32_t(rc);
}

int32_t WinMmWaveOut::unprepare()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    if (m_playing.load() != 0)
        return kWaveStillPlaying;
    if (!m_prepared)
        return kMmNoError;
    const MMRESULT rc = waveOutUnprepareHeader(m_device, &m_header, sizeof m_header);
    if (rc == MMSYSERR_NOERROR)
        m_prepared = false;
    return int32_t(rc);
}

int32_t WinMmWaveOut::close()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    if (m_playing.load() != 0)
        return kWaveStillPlaying;
    unprepare();
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
    if (message == WOM_DONE && header == m_last.load() && (header->dwFlags & WHDR_DONE))
        endBlock();
}

void WinMmWaveOut::endBlock()
{
    int32_t playing = 1;
    if (m_playing.compare_exchange_strong(playing, 0) && m_onBlockDone)
        m_onBlockDone();
}

uint32_t WinMmWaveOut::devicePosition() const
{
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(m_device, &time, sizeof time) != MMSYSERR_NOERROR)
        return 0;
    return framesOf(time);
}

} // namespace platform
