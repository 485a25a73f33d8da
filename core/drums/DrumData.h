// DrumData: the drum editor's patterns, song and instrument table, and the queueing of the song
// as timed MIDI note-on messages.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace vumo::drums
{

constexpr int kPatterns = 8;
constexpr int kInstruments = 58;
constexpr int kBeats = 32;
constexpr uint8_t kLastBeat = kBeats - 1;
constexpr uint8_t kMaxDataByte = 127; // largest velocity and note of a MIDI message
constexpr int32_t kMinMsPerBeat = 1;
constexpr int32_t kMaxMsPerBeat = 255;
constexpr int32_t kNoteOnChannel10 = 153; // note-on status on MIDI channel 10
constexpr int kNoteOffset = 12;           // the note played is drumNotes + 12

using BeatRow = std::array<uint8_t, kBeats>;           // one velocity per beat, 0 = silent
using PatternGrid = std::array<BeatRow, kInstruments>; // instrument, beat

// The drum data of the running program; it outlives the editor window.
struct DrumData
{
    std::array<PatternGrid, kPatterns> drumGrid{}; // pattern, instrument, beat: 0 ... 127
    std::array<uint8_t, kPatterns> patLastBeat{};  // last beat played, 0 ... 31
    std::array<uint8_t, kPatterns> patMsPerBeat{}; // beat length in ms, 1 ... 255
    QString songPattern;  // one pattern digit "1" ... "8" per occurrence; empty until first opened
    QString drumFileName; // path of the current drum file

    std::array<QString, kInstruments> drumNames;
    std::array<uint8_t, kInstruments> drumNotes{}; // MIDI note number - 12

    PatternGrid drumClip{}; // the editor's clipboard; single-instrument copies use row 0
    uint8_t drumClipLastBeat = kLastBeat;
    uint8_t drumClipMsPerBeat = 100;

    DrumData();
};

// The default instrument table: General MIDI percussion names and notes.
void InitDrumNames(DrumData& drums);

// The beat length a project tempo gives a pattern: the tempo clamped to 1 ... 255 ms.
uint8_t msPerBeatFromTempo(int32_t tempo);

// The first opening of the editor in a run: every pattern 32 beats of tempo ms, song "1111",
// drum file "untitled.mbt". Later openings keep what is there (the song is then not empty).
void prepareDrumData(DrumData& drums, int32_t tempo);

// File New: every cell silent, every pattern 32 beats of tempo ms, drum file "untitled.mbt".
// The song and the instrument table stay.
void clearPatterns(DrumData& drums, int32_t tempo);

// The packed short MIDI message: status + data1 * 256 + data2 * 65536.
int32_t PackMidiMessage(int32_t status, int32_t data1, int32_t data2);

// The engine's AddMidi: appends one event (time in ms from the start, packed message) to the
// MIDI queue and returns the queue count in words.
using AddMidiFn = std::function<int32_t(int32_t timeMs, int32_t message)>;

// Hands the song to addMidi as note-ons on channel 10 in non-decreasing time order: pattern
// after pattern, beat by beat, instrument 0 to 57 within a beat; silent cells queue nothing.
// Song characters other than "1" to "8" are skipped and take no time. Returns the number of
// events handed over.
int32_t QueueDrums(const DrumData& drums, const AddMidiFn& addMidi);

} // namespace vumo::drums
