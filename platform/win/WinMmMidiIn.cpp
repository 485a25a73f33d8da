// WinMmMidiIn: MIDI input from one device through midiInOpen's callback.
#include "WinMmMidiIn.h"

#include <thread>

namespace platform
{

namespace
{

void CALLBACK onMidiIn(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                       DWORD_PTR param2)
{
    reinterpret_cast<WinMmMidiIn*>(instance)->gate().deliver(message, param1, param2);
}

} // namespace

std::optional<MidiInNotice> midiInNoticeOf(UINT message)
{
    switch (message)
    {
    case MIM_DATA:
        return MidiInNotice::Data;
    case MIM_MOREDATA:
        return MidiInNotice::MoreData;
    case MIM_LONGDATA:
        return MidiInNotice::LongData;
    case MIM_ERROR:
    case MIM_LONGERROR:
        return MidiInNotice::Error;
    default:
        return std::nullopt;
    }
}

WinMmMidiIn::~WinMmMidiIn()
{
    close();
}

int32_t WinMmMidiIn::open(int32_t device, MidiInCallback onInput)
{
    if (device < 0 || UINT(device) >= midiInGetNumDevs())
        return kMmBadDeviceId;
    if (m_device != nullptr)
        return kMmAllocated;
    if (!onInput)
        return kMmInvalidParam;
    m_gate.setCallback(std::move(onInput));
    HMIDIIN handle = nullptr;
    const MMRESULT rc = midiInOpen(&handle, UINT(device), DWORD_PTR(&onMidiIn), DWORD_PTR(this),
                                   CALLBACK_FUNCTION | MIDI_IO_STATUS);
    if (rc == MMSYSERR_NOERROR)
        m_device = handle;
    return int32_t(rc);
}

int32_t WinMmMidiIn::reset()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    m_gate.shut();
    return int32_t(midiInReset(m_device));
}

int32_t WinMmMidiIn::start()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    m_gate.open();
    const MMRESULT rc = midiInStart(m_device);
    if (rc != MMSYSERR_NOERROR)
        m_gate.shut();
    return int32_t(rc);
}

int32_t WinMmMidiIn::stop()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    m_gate.shut();
    return int32_t(midiInStop(m_device));
}

int32_t WinMmMidiIn::close()
{
    if (m_device == nullptr)
        return kMmInvalidHandle;
    m_gate.shut();
    midiInReset(m_device); // a device still running is stopped first
    const MMRESULT rc = midiInClose(m_device);
    if (rc == MMSYSERR_NOERROR)
        m_device = nullptr;
    return int32_t(rc);
}

void MidiInGate::deliver(UINT message, DWORD_PTR param1, DWORD_PTR param2)
{
    // Counted before the gate is looked at, so that shut() waits for this notice when it found
    // the gate open.
    m_inNotice.fetch_add(1);
    const std::optional<MidiInNotice> notice = midiInNoticeOf(message);
    // A long message's first parameter is its buffer's address, not a message.
    const bool buffer = message == MIM_LONGDATA || message == MIM_LONGERROR;
    if (notice && m_open.load())
        m_onInput(*notice, buffer ? 0u : uint32_t(param1), uint32_t(param2));
    m_inNotice.fetch_sub(1);
}

void MidiInGate::shut()
{
    m_open.store(false);
    while (m_inNotice.load() != 0)
        std::this_thread::yield();
}

} // namespace platform
