// SynthModule: the built-in synth's module, libvumo-synth.so, which holds everything that talks
// to FluidSynth: a synthesizer voice that the MIDI output (SynthMidiOut.h) plays and renders, and
// the offline renderer of MIDI files for media capture. The device layer loads it
// (PlatformModule.h) the first time the built-in synth or a MIDI file is used.
#pragma once

#include "../media/MediaReader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform
{

inline constexpr const char* kSynthModuleFile = "libvumo-synth.so";
// The table's exported name; a new version of the table takes a new name.
inline constexpr const char* kSynthModuleSymbol = "vumo_synth_module_v1";

// One General MIDI synthesizer at 44100 Hz. Its calls come from one thread at a time.
class SynthVoice
{
public:
    virtual ~SynthVoice() = default;
    // Plays a packed short message (status | data1 << 8 | data2 << 16): channel messages, and
    // reset (0xFF); other system messages are ignored.
    virtual void play(uint32_t message) = 0;
    // Renders the next `frames` frames (at most 4096) into the two channels.
    virtual void render(float* left, float* right, uint32_t frames) = 0;
};

struct SynthModuleTable
{
    // A voice with output gain `gain` (FluidSynth's synth.gain) and `soundFont` loaded: an
    // MmResult, kMmNoMem when FluidSynth cannot be set up, kMidiNoDevice when the SoundFont
    // does not load.
    int32_t (*openVoice)(const std::string& soundFont, double gain,
                         std::unique_ptr<SynthVoice>& voice);
    // The whole standard MIDI file `song` (already checked to be one), rendered offline with
    // `soundFont` as a media source; `path` names it in messages.
    media::MediaOpenResult (*openSong)(const std::string& path, const std::vector<uint8_t>& song,
                                       const std::string& soundFont);
};

// The loaded module's table; null, with the reason in `error` ("the module libvumo-synth.so
// could not be loaded: ..."), when it does not load.
const SynthModuleTable* synthModule(std::string& error);

// Inside the module: the functions behind the table.
int32_t openFluidSynthVoice(const std::string& soundFont, double gain,
                            std::unique_ptr<SynthVoice>& voice);
media::MediaOpenResult openFluidSynthSong(const std::string& path, const std::vector<uint8_t>& song,
                                          const std::string& soundFont);

} // namespace platform
