// modVumo: the project state, the settings and the drum data of the studio, as the project model
// keeps them.
#pragma once

#include "drums/DrumData.h"
#include "model/FixedText.h"

#include <QString>

#include <array>
#include <cstdint>

namespace vumo
{

constexpr int kMaxTracks = 17;
constexpr int32_t kFramesPerMB = 262144;

// One element of the track table; the field order is the order in the project file.
struct TrackRecord
{
    FixedText<16> title;
    FixedText<128> fileName;
    int16_t volume = 0; // 0 ... 255; 255 for a new track
    int16_t pan = 0;    // 0 ... 255; 127 for a new track
    int16_t mute = 0;   // 1 = left out of the mix
    FixedText<6> reserved;

    bool operator==(const TrackRecord&) const = default;
};

// What the Project Settings dialog sets: the title, the length of every track and the recording
// time shown beside the window's length.
struct ProjectProps
{
    FixedText<16> projTitle;
    int32_t trackLength = 0; // frames
    QString recTimeText;

    bool operator==(const ProjectProps&) const = default;
};

// The per-user settings (LoadSettings / SaveSettings).
struct StudioSettings
{
    QString mixerPath;
    QString sequencerPath;
    int32_t midiInDevice = 0;
    int32_t midiBufLen = 32768; // bytes
    int16_t defaultTrackMB = 4;
    bool ownFileBrowser = false; // file choices in the studio's own browser, not the system's

    bool operator==(const StudioSettings&) const = default;
};

struct ModVumo
{
    // Project header, in project file order.
    FixedText<4> projVersion;
    FixedText<16> projTitle;
    int32_t trackLength = 0; // frames per track buffer, MB * 262144
    int16_t trackCount = 0;
    int32_t tempo = 100; // one drum beat in ms; the view ticks every 32 beats
    FixedText<252> projReserved;
    std::array<TrackRecord, kMaxTracks> tracks;

    int32_t currentTrack = 0;
    QString recTimeText;

    StudioSettings settings;

    // The drum editor's patterns, song and instrument table; they outlive the editor window.
    drums::DrumData drums;
};

} // namespace vumo
