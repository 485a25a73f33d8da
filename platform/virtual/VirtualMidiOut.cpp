// VirtualMidiOut: logs each short message with its time since the output was opened.
#include "VirtualMidiOut.h"

#include <cinttypes>
#include <cstdlib>

namespace platform
{

VirtualMidiOut::VirtualMidiOut(std::shared_ptr<Clock> clock, std::string logPath)
    : m_clock(clock ? std::move(clock) : steadyClock()), m_logPath(std::move(logPath))
{
}

VirtualMidiOut::~VirtualMidiOut()
{
    close();
}

int32_t VirtualMidiOut::open()
{
    if (m_open.load())
        return kMmAllocated;
    std::string path = m_logPath;
    if (path.empty())
    {
        const char* env = std::getenv("VUMO_VIRTUAL_MIDI_OUT");
        path = env ? env : "";
    }
    m_log = path.empty() ? nullptr : std::fopen(path.c_str(), "a");
    m_openedAt = m_clock->now();
    m_sent.store(0);
    m_open.store(true);
    return kMmNoError;
}

int32_t VirtualMidiOut::shortMsg(uint32_t message)
{
    if (!m_open.load())
        return kMmInvalidHandle;
    if (m_log)
    {
        const auto sinceOpen =
            std::chrono::duration_cast<std::chrono::milliseconds>(m_clock->now() - m_openedAt);
        // One call per line: the stream's own lock keeps lines from two threads whole.
        std::fprintf(m_log, "%" PRId64 " %u %u %u\n", int64_t(sinceOpen.count()),
                     unsigned(message & 0xFF), unsigned((message >> 8) & 0xFF),
                     unsigned((message >> 16) & 0xFF));
        std::fflush(m_log);
    }
    m_sent.fetch_add(1);
    return kMmNoError;
}

int32_t VirtualMidiOut::close()
{
    if (!m_open.exchange(false))
        return kMmInvalidHandle;
    if (m_log)
        std::fclose(m_log);
    m_log = nullptr;
    return kMmNoError;
}

} // namespace platform
