// Stand-in devices for the MIDI queue and record list tests.
#include "MidiTestDevices.h"

#include "engine/midi/Midi.h"
#include "platform/virtual/VirtualMidiIn.h"
#include "platform/virtual/VirtualMidiOut.h"

#include <fstream>
#include <unistd.h>

namespace wavorn::midi::test
{

int32_t ManualTimer::start(int32_t periodMs, Tick tick)
{
    if (m_running)
        return platform::kMmAllocated;
    m_tick = std::move(tick);
    m_periodMs = periodMs;
    m_running = true;
    ++m_starts;
    return platform::kMmNoError;
}

bool ManualTimer::fire()
{
    if (!m_running)
        return false;
    m_tick(*this);
    return true;
}

int32_t ManualMidiIn::open(int32_t device, platform::MidiInCallback onInput)
{
    note("open " + std::to_string(device));
    if (device != 0)
        return platform::kMmBadDeviceId;
    m_onInput = std::move(onInput);
    m_open = true;
    ++s_openCount;
    return platform::kMmNoError;
}

int32_t ManualMidiIn::reset()
{
    note("reset");
    m_started = false;
    return platform::kMmNoError;
}

int32_t ManualMidiIn::start()
{
    note("start");
    m_started = true;
    return platform::kMmNoError;
}

int32_t ManualMidiIn::stop()
{
    note("stop");
    m_started = false;
    return platform::kMmNoError;
}

int32_t ManualMidiIn::close()
{
    note("close");
    if (m_open)
        --s_openCount;
    m_open = false;
    m_started = false;
    return platform::kMmNoError;
}

void ManualMidiIn::note(const std::string& call)
{
    m_calls.push_back(call);
    if (m_journal)
        m_journal->push_back(call);
}

void ManualMidiIn::deliver(platform::MidiInNotice notice, uint32_t message, uint32_t timeMs)
{
    if (m_open && m_started)
        m_onInput(notice, message, timeMs);
}

TempFile::TempFile(const char* tag)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = info ? info->name() : "none";
    m_path = (std::filesystem::temp_directory_path() /
              ("vumo_midi_" + name + "_" + tag + "_" + std::to_string(getpid()) + ".txt"))
                 .string();
    std::filesystem::remove(m_path);
}

TempFile::~TempFile()
{
    std::filesystem::remove(m_path);
}

void TempFile::write(const std::string& text) const
{
    std::ofstream(m_path) << text;
}

std::vector<std::string> TempFile::lines() const
{
    std::vector<std::string> result;
    std::ifstream file(m_path);
    for (std::string line; std::getline(file, line);)
        result.push_back(line);
    return result;
}

void MidiFixture::SetUp()
{
    MidiDevices devices;
    devices.makeOut = [this]
    { return std::make_unique<platform::VirtualMidiOut>(clock, outLog.path()); };
    devices.makeIn = [this]
    {
        auto in = std::make_unique<ManualMidiIn>(&inputCalls);
        input = in.get();
        return in;
    };
    devices.makeTimer = [this]
    {
        auto t = std::make_unique<ManualTimer>();
        timer = t.get();
        return t;
    };
    setMidiDevices(std::move(devices));
}

void MidiFixture::TearDown()
{
    closeMidiPlay();
    closeMidiRec();
    setMidiDevices(platformMidiDevices());
}

void MidiFixture::useThreadTimer()
{
    MidiDevices devices = midiDevices();
    devices.makeTimer = [this]
    {
        timer = nullptr;
        return platform::makePeriodicTimer(clock);
    };
    setMidiDevices(std::move(devices));
}

void MidiFixture::useVirtualInput(const std::string& eventsFile)
{
    MidiDevices devices = midiDevices();
    devices.makeIn = [this, eventsFile]
    {
        input = nullptr;
        return std::make_unique<platform::VirtualMidiIn>(clock, eventsFile);
    };
    setMidiDevices(std::move(devices));
}

} // namespace wavorn::midi::test
