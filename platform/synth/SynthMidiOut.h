// SynthMidiOut: the built-in General MIDI synthesizer, a MIDI output that makes sound itself.
//
// FluidSynth plays the messages with the SoundFont that findSoundFont() names at open();
// channel 10 is percussion, as General MIDI has it. The sound goes where the wave output
// backend in use (outputBackend()) sends wave audio:
// - PortAudio: a stream of its own on the default output device, beside the engine's track
//   stream, so drums and tracks sound together; a message sounds from the next buffer on.
// - virtual: the synthesizer runs as an output on the virtual stream (the process's stream, or
//   the one given to the constructor). Each message is stamped with the stream frame due when
//   it arrives and sounds from that frame on. When VUMO_VIRTUAL_MIDI_AUDIO (read at open)
//   names a file, every frame from open() on is appended to it as a 16-bit stereo 44100 wave
//   file (see VirtualWaveSink); without it nothing is rendered, but the messages are still
//   taken in at their frames.
// The synthesizer's sound does not reach virtual inputs in loopback mode.
#pragma once

#include "../MidiOut.h"

#include <memory>
#include <string>

namespace platform
{

class VirtualStream;

class SynthMidiOut final : public MidiOut
{
public:
    // Plays on the wave output backend in use at open().
    SynthMidiOut();
    // Always renders on `stream` (for example one a test steps by hand).
    explicit SynthMidiOut(std::shared_ptr<VirtualStream> stream);
    ~SynthMidiOut() override;

    // kMidiNoDevice when no SoundFont is found or it does not load; the device errors of the
    // sound card or of the wave file otherwise.
    int32_t open() override;
    // Channel messages are played; system messages other than reset (0xFF) are ignored.
    // kMmInvalidParam for a data byte in the status position, kMidiNotReady when more
    // messages wait than the synthesizer takes in before its next buffer.
    int32_t shortMsg(uint32_t message) override;
    int32_t close() override;
    // "built-in synth (<SoundFont path>)".
    std::string deviceName() const override;

    class Player;

private:
    std::shared_ptr<VirtualStream> m_fixedStream;
    std::unique_ptr<Player> m_player; // set while open
    std::string m_soundFont;
};

} // namespace platform
