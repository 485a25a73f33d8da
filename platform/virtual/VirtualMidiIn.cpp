// VirtualMidiIn: delivers the events of a file at their times on a thread of its own.
#include "VirtualMidiIn.h"

#include "../files/RegularFile.h"

#include <cstdlib>
#include <sstream>

namespace platform
{

namespace
{

// The longest file of timed messages read: some hundred thousand lines.
constexpr uint64_t kMaxEventFileBytes = uint64_t(16) << 20;

} // namespace

std::vector<TimedMidiEvent> readMidiEventsFile(const std::string& path)
{
    // Only a regular file: a FIFO or a device would stall the read or never end it.
    std::vector<TimedMidiEvent> events;
    std::vector<uint8_t> bytes;
    if (!readRegularFile(path.c_str(), kMaxEventFileBytes, bytes).empty())
        return events;
    std::istringstream file(std::string(bytes.begin(), bytes.end()));
    std::string line;
    while (std::getline(file, line))
    {
        std::istringstream fields(line);
        uint64_t timeMs = 0;
        unsigned status = 0, data1 = 0, data2 = 0;
        if (!(fields >> timeMs >> status >> data1 >> data2) || timeMs > UINT32_MAX)
            continue;
        events.push_back(
            {uint32_t(timeMs), (status & 0xFFu) | (data1 & 0xFFu) << 8 | (data2 & 0xFFu) << 16});
    }
    return events;
}

VirtualMidiIn::VirtualMidiIn(std::shared_ptr<Clock> clock, std::string eventsPath)
    : m_clock(clock ? std::move(clock) : steadyClock()), m_eventsPath(std::move(eventsPath))
{
}

VirtualMidiIn::~VirtualMidiIn()
{
    close();
}

int32_t VirtualMidiIn::open(int32_t device, MidiInCallback onInput)
{
    if (m_open)
        return kMmAllocated;
    if (device != 0)
        return kMmBadDeviceId;
    if (!onInput)
        return kMmInvalidParam;
    m_onInput = std::move(onInput);
    m_open = true;
    return kMmNoError;
}

int32_t VirtualMidiIn::reset()
{
    return stop();
}

int32_t VirtualMidiIn::start()
{
    if (!m_open)
        return kMmInvalidHandle;
    if (m_thread.joinable())
        return kMmNoError;
    std::string path = m_eventsPath;
    if (path.empty())
    {
        const char* env = std::getenv("VUMO_VIRTUAL_MIDI_IN");
        path = env ? env : "";
    }
    auto events = path.empty() ? std::vector<TimedMidiEvent>{} : readMidiEventsFile(path);
    const auto startedAt = m_clock->now();
    m_thread =
        std::jthread([this, startedAt, events = std::move(events)](std::stop_token stop) mutable
                     { deliver(stop, startedAt, std::move(events)); });
    return kMmNoError;
}

int32_t VirtualMidiIn::stop()
{
    if (!m_open)
        return kMmInvalidHandle;
    if (m_thread.joinable())
    {
        m_thread.request_stop();
        m_thread.join();
    }
    return kMmNoError;
}

int32_t VirtualMidiIn::close()
{
    if (!m_open)
        return kMmInvalidHandle;
    stop();
    m_onInput = nullptr;
    m_open = false;
    return kMmNoError;
}

void VirtualMidiIn::deliver(std::stop_token stop, std::chrono::microseconds startedAt,
                            std::vector<TimedMidiEvent> events)
{
    for (const TimedMidiEvent& e : events)
    {
        if (!m_clock->sleepUntil(startedAt + std::chrono::milliseconds(e.timeMs), stop))
            return;
        m_onInput(MidiInNotice::Data, e.message, e.timeMs);
    }
}

} // namespace platform
