// The test's own JACK MIDI clients (tests/servers.sh): an output port and a listening input port.
#pragma once

#include <RtMidi.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace platform::test
{

// An output port, "<client>:out".
class PeerOut
{
public:
    explicit PeerOut(const std::string& client) : m_out(RtMidi::UNIX_JACK, client)
    {
        m_out.openVirtualPort("out");
    }
    void send(const std::vector<unsigned char>& bytes) { m_out.sendMessage(&bytes); }

private:
    RtMidiOut m_out;
};

// An input port, "<client>:in", keeping each message with the time its callback saw it.
class PeerIn
{
public:
    struct Heard
    {
        std::vector<unsigned char> bytes;
        std::chrono::steady_clock::time_point at;
    };

    explicit PeerIn(const std::string& client) : m_in(RtMidi::UNIX_JACK, client)
    {
        m_in.ignoreTypes(false, false, false);
        m_in.setCallback(&PeerIn::received, this);
        m_in.openVirtualPort("in");
    }

    // The messages heard other than `skip`, once there are `count` of them or after `limit`.
    std::vector<Heard> waitFor(size_t count, const std::vector<unsigned char>& skip = {},
                               std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        std::vector<Heard> heard;
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, limit,
                           [&]
                           {
                               heard = m_heard;
                               std::erase_if(heard,
                                             [&](const Heard& h) { return h.bytes == skip; });
                               return heard.size() >= count;
                           });
        return heard;
    }

private:
    static void received(double, std::vector<unsigned char>* bytes, void* self)
    {
        const auto at = std::chrono::steady_clock::now();
        auto& peer = *static_cast<PeerIn*>(self);
        std::lock_guard lock(peer.m_mutex);
        peer.m_heard.push_back({*bytes, at});
        peer.m_arrived.notify_all();
    }

    // The client's thread calls received(): what it touches is made before the client.
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Heard> m_heard;
    RtMidiIn m_in;
};

} // namespace platform::test
