// MidiFileReader: renders a standard MIDI file offline with the built-in General MIDI synth
// (FluidSynth's own file player, timed by the samples it renders, not by a clock).
#include "MediaReader.h"

#include "../files/RegularFile.h"
#include "../synth/SoundFont.h"

#include <fluidsynth.h>

#include <algorithm>
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
// The largest MIDI file read: songs of hours are a few MB.
constexpr uint64_t kMaxMidiFileBytes = uint64_t(16) << 20;

uint32_t be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// A standard MIDI file: an "MThd" chunk of at least 6 bytes naming format 0 to 2 and at least
// one track, then its track chunks, each whole within the file. FluidSynth's player would
// otherwise take a damaged file for an empty song.
bool isWholeMidiFile(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 14 || std::string(bytes.begin(), bytes.begin() + 4) != "MThd")
        return false;
    const uint32_t headBytes = be32(&bytes[4]);
    const unsigned format = unsigned(bytes[8]) << 8 | bytes[9];
    unsigned tracks = unsigned(bytes[10]) << 8 | bytes[11];
    if (headBytes < 6 || format > 2 || tracks == 0 || headBytes > bytes.size() - 8)
        return false;
    for (size_t at = 8 + size_t(headBytes); tracks > 0; --tracks)
    {
        if (bytes.size() - at < 8)
            return false;
        const uint32_t length = be32(&bytes[at + 4]);
        if (std::string(bytes.begin() + long(at), bytes.begin() + long(at) + 4) != "MTrk" ||
            length > bytes.size() - at - 8)
            return false;
        at += 8 + size_t(length);
    }
    return true;
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

    // song: the whole file, which the player copies.
    std::string open(const std::string& path, const std::vector<uint8_t>& song,
                     const std::string& soundFont)
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
        if (m_player == nullptr ||
            fluid_player_add_mem(m_player, song.data(), song.size()) != FLUID_OK ||
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
    // Read once, as a regular file only (a FIFO or a device would stall the read or never end
    // it); the player plays these very bytes.
    const OpenedFile opened = openRegularFile(path.c_str(), kMaxMidiFileBytes);
    if (!opened.file)
        return {nullptr, "The file \"" + path + "\" cannot be opened: " +
                             refusalText(opened, kMaxMidiFileBytes) + "."};
    std::vector<uint8_t> song(size_t(opened.size));
    song.resize(std::fread(song.data(), 1, song.size(), opened.file.get()));
    if (!isWholeMidiFile(song))
        return {nullptr, "The file \"" + path + "\" cannot be opened as a MIDI file."};
    const SoundFontChoice font = findSoundFont();
    if (font.path.empty())
        return {nullptr, "MIDI files cannot be captured: the built-in General MIDI synth has no "
                         "SoundFont (install one, or name it in VUMO_SOUNDFONT)."};
    auto reader = std::make_unique<MidiFileReader>();
    if (std::string error = reader->open(path, song, font.path); !error.empty())
        return {nullptr, std::move(error)};
    return {std::move(reader), {}};
}

} // namespace platform::media
