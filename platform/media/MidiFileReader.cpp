// MidiFileReader: renders a standard MIDI file offline with the built-in General MIDI synth
// (FluidSynth's own file player, timed by the samples it renders, not by a clock).
#include "MediaReader.h"

#include "../synth/SoundFont.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <mutex>

namespace platform::media
{

namespace
{

constexpr double kSampleRate = 44100.0;
constexpr int kChunkFrames = 4096;
// A second of release after the last event, so the final notes fade as they would live.
constexpr int kTailFrames = 44100;

bool hasMidiHeader(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    std::array<char, 4> head{};
    const bool ok = std::fread(head.data(), 1, head.size(), f) == head.size() &&
                    std::string(head.data(), head.size()) == "MThd";
    std::fclose(f);
    return ok;
}

class MidiFileReader : public MediaReader
{
public:
    ~MidiFileReader() override
    {
        if (m_player != nullptr)
            delete_fluid_player(m_player);
        if (m_synth != nullptr)
            delete_fluid_synth(m_synth);
        if (m_settings != nullptr)
            delete_fluid_settings(m_settings);
    }

    std::string open(const std::string& path, const std::string& soundFont)
    {
        static std::once_flag quiet;
        std::call_once(quiet,
                       []
                       {
                           for (const int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
                               fluid_set_log_function(level, nullptr, nullptr);
                       });
        m_settings = new_fluid_settings();
        if (m_settings == nullptr)
            return "Out of memory for the built-in synth.";
        fluid_settings_setnum(m_settings, "synth.sample-rate", kSampleRate);
        fluid_settings_setint(m_settings, "synth.threadsafe-api", 0);
        fluid_settings_setstr(m_settings, "player.timing-source", "sample");
        m_synth = new_fluid_synth(m_settings);
        if (m_synth == nullptr)
            return "Out of memory for the built-in synth.";
        if (fluid_synth_sfload(m_synth, soundFont.c_str(), 1) == FLUID_FAILED)
            return "The built-in synth cannot load the SoundFont \"" + soundFont + "\".";
        m_player = new_fluid_player(m_synth);
        if (m_player == nullptr || fluid_player_add(m_player, path.c_str()) != FLUID_OK ||
            fluid_player_play(m_player) != FLUID_OK)
            return "The MIDI file \"" + path + "\" cannot be played.";
        return {};
    }

    bool read(std::vector<int16_t>& samples, std::string&) override
    {
        int frames = kChunkFrames;
        if (fluid_player_get_status(m_player) != FLUID_PLAYER_PLAYING)
        {
            frames = std::min(kChunkFrames, m_tailLeft);
            m_tailLeft -= frames;
        }
        if (frames <= 0)
            return true;
        const size_t before = samples.size();
        samples.resize(before + size_t(frames) * 2);
        int16_t* out = samples.data() + before;
        fluid_synth_write_s16(m_synth, frames, out, 0, 2, out, 1, 2);
        return true;
    }

private:
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    fluid_player_t* m_player = nullptr;
    int m_tailLeft = kTailFrames;
};

} // namespace

MediaOpenResult openMidiFile(const std::string& path)
{
    if (!hasMidiHeader(path))
        return {nullptr, "The file \"" + path + "\" cannot be opened as a MIDI file."};
    const SoundFontChoice font = findSoundFont();
    if (font.path.empty())
        return {nullptr, "MIDI files cannot be captured: the built-in General MIDI synth has no "
                         "SoundFont (install one, or name it in VUMO_SOUNDFONT)."};
    auto reader = std::make_unique<MidiFileReader>();
    if (std::string error = reader->open(path, font.path); !error.empty())
        return {nullptr, std::move(error)};
    return {std::move(reader), {}};
}

} // namespace platform::media
