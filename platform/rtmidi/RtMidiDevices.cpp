// The rtmidi backend: RtMidiOut and RtMidiIn behind the device layer's MidiOut and MidiIn.
//
// RtMidi speaks JACK MIDI while a JACK server runs and the ALSA sequencer otherwise.
// RtMidi reports errors by throwing, or through an error callback once one is set; every call
// into it is caught here and mapped onto the multimedia numbers: no sequencer or no port is
// kMidiNoDevice for the output and kMmBadDeviceId for an input number, anything else kMmError.
#include "RtMidiDevices.h"

#include "../Clock.h"

#include <RtMidi.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

#ifdef VUMO_HAVE_JACK
#include <jack/jack.h>
#endif

#if defined(__linux__)
#include <unistd.h>
#endif

namespace platform
{

namespace
{

constexpr const char* kClientName = "Vumo";

// Keeps RtMidi from printing or throwing once an object exists; callers test isPortOpen().
void ignoreRtMidiError(RtMidiError::Type, const std::string&, void*) {}

#ifdef VUMO_HAVE_JACK
// JACK reports a server that is not running on standard error.
void quietJack(const char*) {}

// True when a JACK server answers (the one JACK_DEFAULT_SERVER names, else the default one).
// Asking first keeps RtMidi from warning on standard error where none runs.
bool jackServerRunning()
{
    jack_set_error_function(&quietJack);
    jack_set_info_function(&quietJack);
    jack_status_t status{};
    jack_client_t* client = jack_client_open(kClientName, JackNoStartServer, &status);
    if (client == nullptr)
        return false;
    jack_client_close(client);
    return true;
}
#endif

// Without the sequencer's device node RtMidi and ALSA would only print errors on the way to
// failing; asking first keeps a machine without MIDI quiet.
bool sequencerPresent()
{
#if defined(__linux__)
    return access("/dev/snd/seq", R_OK | W_OK) == 0;
#else
    return true;
#endif
}

// JACK MIDI while a JACK server runs (its users route MIDI there), else the ALSA sequencer where
// it exists; nothing when neither does.
std::optional<RtMidi::Api> midiApi()
{
#ifdef VUMO_HAVE_JACK
    if (jackServerRunning())
        return RtMidi::UNIX_JACK;
#endif
#if defined(__linux__)
    if (sequencerPresent())
        return RtMidi::LINUX_ALSA;
    return std::nullopt;
#else
    return RtMidi::UNSPECIFIED;
#endif
}

template <class Port> std::unique_ptr<Port> openClient()
{
    const std::optional<RtMidi::Api> api = midiApi();
    if (!api)
        return nullptr;
    try
    {
        auto client = std::make_unique<Port>(*api, kClientName);
        client->setErrorCallback(&ignoreRtMidiError, nullptr);
        return client;
    }
    catch (...)
    {
        return nullptr;
    }
}

template <class Port> unsigned portCount(Port& client)
{
    try
    {
        return client.getPortCount();
    }
    catch (...)
    {
        return 0;
    }
}

// The port's name as the sequencer gives it; empty when it cannot.
template <class Port> std::string portName(Port& client, unsigned port)
{
    try
    {
        return client.getPortName(port);
    }
    catch (...)
    {
        return {};
    }
}

// A port that leads somewhere: not a Through port (which only passes messages on to whatever
// is connected to it, usually nothing), not one of Vumo's own ports (JACK lists them as
// "Vumo:..." or, for a second client, "Vumo-01:..."), and not one whose name cannot be read.
bool isRealPort(const std::string& name)
{
    const bool vumoOwn = name.rfind(std::string(kClientName) + ":", 0) == 0 ||
                         name.rfind(std::string(kClientName) + "-", 0) == 0;
    return !name.empty() && !vumoOwn && name.find("Through") == std::string::npos;
}

// Bytes a short message occupies on the wire, from its status byte; 0 for data bytes in the
// status position (running status) and for system-exclusive, which short messages cannot carry.
size_t shortMessageBytes(uint8_t status)
{
    if (status < 0x80 || status == 0xF0 || status == 0xF7)
        return 0;
    if (status < 0xF0)
        return (status & 0xE0) == 0xC0 ? 2 : 3; // program change and channel pressure: 2
    switch (status)
    {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1;
    }
}

class RtMidiOutput final : public MidiOut
{
public:
    ~RtMidiOutput() override { close(); }

    int32_t open() override
    {
        if (m_port)
            return kMmAllocated;
        auto port = openClient<RtMidiOut>();
        if (!port)
            return kMidiNoDevice;
        const unsigned count = portCount(*port);
        if (count == 0)
            return kMidiNoDevice;
        const unsigned index = defaultPort(*port, count);
        try
        {
            port->openPort(index, "Vumo MIDI Out");
        }
        catch (...)
        {
        }
        if (!port->isPortOpen())
            return kMidiNoDevice;
        m_name = portName(*port, index);
        m_port = std::move(port);
        return kMmNoError;
    }

    std::string deviceName() const override { return m_name; }

    int32_t shortMsg(uint32_t message) override
    {
        if (!m_port)
            return kMmInvalidHandle;
        const uint8_t bytes[3] = {uint8_t(message & 0xFF), uint8_t((message >> 8) & 0x7F),
                                  uint8_t((message >> 16) & 0x7F)};
        const size_t size = shortMessageBytes(bytes[0]);
        if (size == 0)
            return kMmInvalidParam;
        // The sequencer's encoder is not reentrant: the timer's thread and the caller's thread
        // take turns here.
        std::lock_guard lock(m_sendMutex);
        try
        {
            m_port->sendMessage(bytes, size);
        }
        catch (...)
        {
            return kMmError;
        }
        return kMmNoError;
    }

    int32_t close() override
    {
        if (!m_port)
            return kMmInvalidHandle;
        try
        {
            m_port->closePort();
        }
        catch (...)
        {
        }
        m_port.reset();
        return kMmNoError;
    }

private:
    static unsigned defaultPort(RtMidiOut& port, unsigned count)
    {
        for (unsigned i = 0; i < count; ++i)
        {
            if (isRealPort(portName(port, i)))
                return i;
        }
        return 0;
    }

    std::unique_ptr<RtMidiOut> m_port; // set and reset on the caller's thread only
    std::string m_name;
    std::mutex m_sendMutex;
};

class RtMidiInput final : public MidiIn
{
public:
    ~RtMidiInput() override { close(); }

    int32_t open(int32_t device, MidiInCallback onInput) override
    {
        if (m_port)
            return kMmAllocated;
        if (!onInput)
            return kMmInvalidParam;
        auto port = openClient<RtMidiIn>();
        if (!port || device < 0 || unsigned(device) >= portCount(*port))
            return kMmBadDeviceId;
        m_onInput = std::move(onInput);
        try
        {
            port->setCallback(&RtMidiInput::received, this);
            port->ignoreTypes(true, false, false); // no system-exclusive: no long buffers
            port->openPort(unsigned(device), "Vumo MIDI In");
        }
        catch (...)
        {
        }
        if (!port->isPortOpen())
        {
            m_onInput = nullptr;
            return kMmBadDeviceId;
        }
        m_port = std::move(port);
        return kMmNoError;
    }

    int32_t reset() override { return stop(); }

    int32_t start() override
    {
        if (!m_port)
            return kMmInvalidHandle;
        if (!m_started.load())
        {
            m_startedAtUs.store(m_clock->now().count());
            m_started.store(true);
        }
        return kMmNoError;
    }

    int32_t stop() override
    {
        if (!m_port)
            return kMmInvalidHandle;
        m_started.store(false);
        // A message that saw the device started may still be on its way to the callback.
        while (m_inCallback.load() != 0)
            std::this_thread::yield();
        return kMmNoError;
    }

    int32_t close() override
    {
        if (!m_port)
            return kMmInvalidHandle;
        stop();
        try
        {
            m_port->closePort(); // joins the sequencer's input thread
        }
        catch (...)
        {
        }
        m_port.reset();
        m_onInput = nullptr;
        return kMmNoError;
    }

private:
    // Runs on RtMidi's input thread for every message received.
    static void received(double, std::vector<unsigned char>* bytes, void* self)
    {
        auto& input = *static_cast<RtMidiInput*>(self);
        input.m_inCallback.fetch_add(1);
        if (input.m_started.load() && bytes && !bytes->empty())
        {
            uint32_t message = 0;
            for (size_t i = 0; i < bytes->size() && i < 3; ++i)
                message |= uint32_t((*bytes)[i]) << (8 * i);
            const auto sinceStart =
                input.m_clock->now() - std::chrono::microseconds(input.m_startedAtUs.load());
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart);
            const auto notice = bytes->size() > 3 ? MidiInNotice::LongData : MidiInNotice::Data;
            input.m_onInput(notice, message, uint32_t(ms.count()));
        }
        input.m_inCallback.fetch_sub(1);
    }

    std::shared_ptr<Clock> m_clock = steadyClock();
    std::unique_ptr<RtMidiIn> m_port;      // set and reset on the caller's thread only
    MidiInCallback m_onInput;              // set before the port opens, cleared after it closed
    std::atomic<bool> m_started{false};    // written by start() and stop()
    std::atomic<int64_t> m_startedAtUs{0}; // written by start(), read by received()
    std::atomic<int32_t> m_inCallback{0};  // written by received()
};

} // namespace

std::vector<std::string> rtMidiInputNames()
{
    std::vector<std::string> names;
    auto client = openClient<RtMidiIn>();
    if (!client)
        return names;
    const unsigned count = portCount(*client);
    for (unsigned i = 0; i < count; ++i)
    {
        try
        {
            names.push_back(client->getPortName(i));
        }
        catch (...)
        {
            names.push_back("MIDI In " + std::to_string(i + 1));
        }
    }
    return names;
}

bool rtMidiUsesJack()
{
    return midiApi() == RtMidi::UNIX_JACK;
}

bool rtMidiHasOutput()
{
    auto client = openClient<RtMidiOut>();
    return client && portCount(*client) > 0;
}

bool rtMidiHasRealOutput()
{
    auto client = openClient<RtMidiOut>();
    const unsigned count = client ? portCount(*client) : 0;
    for (unsigned i = 0; i < count; ++i)
    {
        if (isRealPort(portName(*client, i)))
            return true;
    }
    return false;
}

bool rtMidiHasInput()
{
    auto client = openClient<RtMidiIn>();
    return client && portCount(*client) > 0;
}

std::unique_ptr<MidiOut> makeRtMidiOut()
{
    return std::make_unique<RtMidiOutput>();
}
std::unique_ptr<MidiIn> makeRtMidiIn()
{
    return std::make_unique<RtMidiInput>();
}

} // namespace platform
