// SoundFont: where the built-in synthesizer finds its General MIDI SoundFont.
//
// VUMO_SOUNDFONT, read at every call, names a SoundFont file; when it is unset or empty, the
// first readable file among the usual places wins (Debian's default-GM link under
// /usr/share/sounds/sf2, the FluidR3 and TimGM6mb files, /usr/share/soundfonts/default.sf2 and
// the like). A VUMO_SOUNDFONT that names no readable file is reported in `problem` and the
// usual places are searched instead.
#pragma once

#include <string>
#include <vector>

namespace platform
{

struct SoundFontChoice
{
    std::string path;    // the SoundFont to load; empty when none was found
    std::string problem; // why VUMO_SOUNDFONT was not used and what was used instead; else empty
};

SoundFontChoice findSoundFont();

// The usual places, in the order they are tried.
std::vector<std::string> soundFontSearchPaths();
// Replaces the usual places until resetSoundFontSearchPaths() (tests: an empty list stands for
// a machine without any SoundFont installed).
void setSoundFontSearchPaths(std::vector<std::string> paths);
void resetSoundFontSearchPaths();

} // namespace platform
