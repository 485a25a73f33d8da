// The built-in synth's module (libvumo-synth.so): FluidSynth voices for the MIDI output, MIDI
// files rendered offline for media capture, and the table the module exports.
#include "../MmResult.h"
#include "SynthModule.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace platform
{

namespace
{

constexpr double kSampleRate = 44100.0;
constexpr int kSongChunkFrames = 4096;
// A second of release after a song's last event, so the final notes fade as they would live.
constexpr int kSongTailFrames = 44100;

// FluidSynth reports the SoundFonts it cannot read on standard error by itself; its warnings
// and chatter stay off.
void quietFluidSynth()
{
    static std::once_flag once;
    std::call_once(once,
                   []
                   {
                       for (const int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
                           fluid_set_log_function(level, nullptr, nullptr);
                   });
}

// Settings and a synthesizer at 44100 Hz, deleted together.
class FluidInstance
{
public:
    ~FluidInstance()
    {
        if (m_synth != nullptr)
            delete_fluid_synth(m_synth);
        if (m_settings != nullptr)
            delete_fluid_settings(m_settings);
    }

    // setUp tunes the settings before the synthesizer is made; false when out of memory.
    template <class SetUp> bool create(SetUp setUp)
    {
        quietFluidSynth();
        m_settings = new_fluid_settings();
        if (m_settings == nullptr)
            return false;
        fluid_settings_setnum(m_settings, "synth.sample-rate", kSampleRate);
        fluid_settings_setint(m_settings, "synth.threadsafe-api", 0);
        setUp(m_settings);
        m_synth = new_fluid_synth(m_settings);
        return m_synth != nullptr;
    }

    bool loadSoundFont(const std::string& soundFont)
    {
        return fluid_synth_sfload(m_synth, soundFont.c_str(), 1) != FLUID_FAILED;
    }

    fluid_synth_t* synth() const { return m_synth; }

private:
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
};

class FluidVoice final : public SynthVoice
{
public:
    FluidInstance fluid;

    void play(uint32_t message) override
    {
        fluid_synth_t* synth = fluid.synth();
        const int status = int(message & 0xFF);
        const int data1 = int((message >> 8) & 0x7F);
        const int data2 = int((message >> 16) & 0x7F);
        const int channel = status & 0x0F;
        switch (status & 0xF0)
        {
        case 0x80:
            fluid_synth_noteoff(synth, channel, data1);
            break;
        case 0x90: // velocity 0 is a note-off
            fluid_synth_noteon(synth, channel, data1, data2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, data1, data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, data1, data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth, channel, data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth, channel, data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7);
            break;
        default:
            if (status == 0xFF)
                fluid_synth_system_reset(synth);
            break;
        }
    }

    void render(float* left, float* right, uint32_t frames) override
    {
        fluid_synth_write_float(fluid.synth(), int(frames), left, 0, 1, right, 0, 1);
    }
};

// A MIDI file played by FluidSynth's own player, timed by the samples it renders.
class SongReader final : public media::MediaReader
{
public:
    ~SongReader() override
    {
        if (m_player != nullptr)
            delete_fluid_player(m_player);
    }

    // song: the whole file, which the player copies.
    std::string open(const std::string& path, const std::vector<uint8_t>& song,
                     const std::string& soundFont)
    {
        if (!m_fluid.create([](fluid_settings_t* s)
                            { fluid_settings_setstr(s, "player.timing-source", "sample"); }))
            return "Out of memory for the built-in synth.";
        if (!m_fluid.loadSoundFont(soundFont))
            return "The built-in synth cannot load the SoundFont \"" + soundFont + "\".";
        m_player = new_fluid_player(m_fluid.synth());
        if (m_player == nullptr ||
            fluid_player_add_mem(m_player, song.data(), song.size()) != FLUID_OK ||
            fluid_player_play(m_player) != FLUID_OK)
            return "The MIDI file \"" + path + "\" cannot be played.";
        return {};
    }

    bool read(std::vector<int16_t>& samples, std::string&) override
    {
        int frames = kSongChunkFrames;
        if (fluid_player_get_status(m_player) != FLUID_PLAYER_PLAYING)
        {
            frames = std::min(kSongChunkFrames, m_tailLeft);
            m_tailLeft -= frames;
        }
        if (frames <= 0)
            return true;
        const size_t before = samples.size();
        samples.resize(before + size_t(frames) * 2);
        int16_t* out = samples.data() + before;
        fluid_synth_write_s16(m_fluid.synth(), frames, out, 0, 2, out, 1, 2);
        return true;
    }

private:
    FluidInstance m_fluid; // deleted after the player
    fluid_player_t* m_player = nullptr;
    int m_tailLeft = kSongTailFrames;
};

} // namespace

int32_t openFluidSynthVoice(const std::string& soundFont, double gain,
                            std::unique_ptr<SynthVoice>& voice)
{
    auto made = std::make_unique<FluidVoice>();
    if (!made->fluid.create([gain](fluid_settings_t* s)
                            { fluid_settings_setnum(s, "synth.gain", gain); }))
        return kMmNoMem;
    if (!made->fluid.loadSoundFont(soundFont))
    {
        std::fprintf(stderr, "Vumo: the built-in synth cannot load the SoundFont %s\n",
                     soundFont.c_str());
        return kMidiNoDevice;
    }
    voice = std::move(made);
    return kMmNoError;
}

media::MediaOpenResult openFluidSynthSong(const std::string& path, const std::vector<uint8_t>& song,
                                          const std::string& soundFont)
{
    auto reader = std::make_unique<SongReader>();
    if (std::string error = reader->open(path, song, soundFont); !error.empty())
        return {nullptr, std::move(error)};
    return {std::move(reader), {}};
}

} // namespace platform

extern "C"
{
    __attribute__((
        visibility("default"))) extern const platform::SynthModuleTable vumo_synth_module_v1;
    const platform::SynthModuleTable vumo_synth_module_v1 = {
        platform::openFluidSynthVoice,
        platform::openFluidSynthSong,
    };
}
