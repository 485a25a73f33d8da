// WinMmMidiOut: short messages to the MIDI mapper.
#include "WinMmMidiOut.h"

namespace platform
{

WinMmMidiOut::~WinMmMidiOut()
{
    close();
}

int32_t WinMmMidiOut::open()
{
    if (m_device.load() != nullptr)
        return kMmAllocated;
    if (midiOutGetNumDevs() == 0)
        return kMidiNoDevice;
    HMIDIOUT device = nullptr;
    const MMRESULT rc = midiOutOpen(&device, MIDI_MAPPER, 0, 0, CALLBACK_NULL);
    if (rc == MMSYSERR_NOERROR)
        m_device.store(device);
    return int32_t(rc);
}

int32_t WinMmMidiOut::shortMsg(uint32_t message)
{
    const HMIDIOUT device = m_device.load();
    if (device == nullptr)
        return kMmInvalidHandle;
    return int32_t(midiOutShortMsg(device, DWORD(message)));
}

int32_t WinMmMidiOut::close()
{
    const HMIDIOUT device = m_device.load();
    if (device == nullptr)
        return kMmInvalidHandle;
    const MMRESULT rc = midiOutClose(device);
    if (rc == MMSYSERR_NOERROR)
        m_device.store(nullptr);
    return int32_t(rc);
}

std::string WinMmMidiOut::deviceName() const
{
    MIDIOUTCAPSA caps{};
    if (midiOutGetDevCapsA(UINT_PTR(MIDI_MAPPER), &caps, sizeof caps) != MMSYSERR_NOERROR)
        return "MIDI mapper";
    return caps.szPname;
}

} // namespace platform
