// MidiFileReader: a standard MIDI file, checked and read whole, rendered offline by the built-in
// General MIDI synth's module (FluidSynth's own file player, timed by the samples it renders).
#include "MediaReader.h"

#include "../files/RegularFile.h"
#include "../synth/SoundFont.h"
#include "../synth/SynthModule.h"

#include <cstdio>

namespace platform::media
{

namespace
{

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
    std::string error;
    const SynthModuleTable* synth = synthModule(error);
    if (synth == nullptr)
        return {nullptr, "Rendering MIDI files is not available: " + error + "."};
    return synth->openSong(path, song, font.path);
}

} // namespace platform::media
