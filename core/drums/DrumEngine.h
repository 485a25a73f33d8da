// DrumEngine: the engine's MIDI playback calls the drum editor makes, as one small interface, so
// the editor can run over the real engine or a test double.
#pragma once

#include <cstdint>

namespace vumo::drums
{

class DrumEngine
{
public:
    virtual ~DrumEngine() = default;
    virtual int32_t OpenMidiPlay(int32_t capacityWords) = 0;
    virtual int32_t AddMidi(int32_t timeMs, int32_t message) = 0;
    virtual int32_t PlayMidi() = 0;
    virtual int32_t MidiPlaying() = 0;
    virtual int32_t GetMidiTimer() = 0;
    virtual int32_t StopMidi() = 0;
    virtual int32_t CloseMidiPlay() = 0;
    virtual int32_t CmdMidi(int32_t status, int32_t data1, int32_t data2) = 0;
};

// A DrumEngine over any object with the exports as member functions of the same names (the
// studio's engine table).
template <typename Api> class DrumEngineOver : public DrumEngine
{
public:
    explicit DrumEngineOver(Api& api) : m_api(api) {}
    int32_t OpenMidiPlay(int32_t capacityWords) override
    {
        return m_api.OpenMidiPlay(capacityWords);
    }
    int32_t AddMidi(int32_t timeMs, int32_t message) override
    {
        return m_api.AddMidi(timeMs, message);
    }
    int32_t PlayMidi() override { return m_api.PlayMidi(); }
    int32_t MidiPlaying() override { return m_api.MidiPlaying(); }
    int32_t GetMidiTimer() override { return m_api.GetMidiTimer(); }
    int32_t StopMidi() override { return m_api.StopMidi(); }
    int32_t CloseMidiPlay() override { return m_api.CloseMidiPlay(); }
    int32_t CmdMidi(int32_t status, int32_t data1, int32_t data2) override
    {
        return m_api.CmdMidi(status, data1, data2);
    }

private:
    Api& m_api;
};

} // namespace vumo::drums
