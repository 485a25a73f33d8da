// DrumData: the drum editor's patterns, song and instrument table, and the queueing of the song.
#include "drums/DrumData.h"

#include <algorithm>
#include <limits>

namespace vumo::drums
{
namespace
{

struct Instrument
{
    const char* name;
    uint8_t note; // MIDI note number - 12
};

// The names keep the spellings the program has always shown.
constexpr Instrument kDefaultInstruments[kInstruments] = {
    {"Hi Q", 3},
    {"Scratch H", 5},
    {"Scratch L", 6},
    {"Brush Slap", 15},
    {"Reverse Cymbal", 16},
    {"Electronic Bass Drum", 18},
    {"Electronic Snare Drum", 20},
    {"Bass Drum 1", 23},
    {"Bass Drum 2", 24},
    {"Rim Shot", 25},
    {"Snare Drum 1", 26},
    {"Electronic Floor Tom", 27},
    {"Snare Drum 2", 28},
    {"Floor Tom", 29},
    {"Hi-Hat Closed", 30},
    {"Electronic Low Tom", 31},
    {"Hi-Hat Pedal", 32},
    {"Low Tom", 33},
    {"Hi-Hat Open", 34},
    {"Electronic Mid Tom", 35},
    {"Mid Tom", 36},
    {"Crash Cymbal", 37},
    {"High Tom", 38},
    {"Ride Cymbol 1", 39},
    {"Electronic High Tom", 40},
    {"Ride Cymbal Cup", 41},
    {"Tambourine", 42},
    {"Spash Symbal", 43},
    {"Cow Bell", 44},
    {"Ride Symbal 2", 47},
    {"Bongo High", 48},
    {"Bongo Low", 49},
    {"Conga High Mute", 50},
    {"Conga Low Mute", 51},
    {"Conga Low", 52},
    {"Timbale High", 53},
    {"Timbale Low", 54},
    {"Agogo High", 55},
    {"Agogo Low", 56},
    {"Guiro Short", 61},
    {"Guiro Long", 62},
    {"Claves", 63},
    {"Triangle Mute", 68},
    {"Trianlge Open", 69},
    {"Shaker", 70},
    {"Bell Tree", 72},
    {"Elec Bass Drum A", 73},
    {"Elec Bass Drum B", 74},
    {"Elec Bass Drum C", 75},
    {"Elec Snare Drum A", 76},
    {"Elec Snare Drum B", 77},
    {"Elec Rim Shot", 78},
    {"Reverse Pulse", 79},
    {"Hand Clap", 80},
    {"Orchestra Hit", 81},
    {"Scratch 1", 82},
    {"Scratch 2", 83},
    {"Scratch 3", 84},
};

const QString kUntitledDrumFile = QStringLiteral("untitled.mbt");

// The pattern a song character selects: "1" to "8" give 0 to 7; anything else (letters, spaces,
// "0", "9") selects no pattern and gives -1.
int patternOf(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'1' && u < u'1' + kPatterns ? int(u - u'1') : -1;
}

} // namespace

DrumData::DrumData()
{
    patLastBeat.fill(kLastBeat);
    patMsPerBeat.fill(msPerBeatFromTempo(100));
    InitDrumNames(*this);
}

void InitDrumNames(DrumData& drums)
{
    for (int i = 0; i < kInstruments; ++i)
    {
        drums.drumNames[i] = QString::fromLatin1(kDefaultInstruments[i].name);
        drums.drumNotes[i] = kDefaultInstruments[i].note;
    }
}

uint8_t msPerBeatFromTempo(int32_t tempo)
{
    return uint8_t(std::clamp(tempo, kMinMsPerBeat, kMaxMsPerBeat));
}

void prepareDrumData(DrumData& drums, int32_t tempo)
{
    if (!drums.songPattern.isEmpty())
        return;
    drums.patMsPerBeat.fill(msPerBeatFromTempo(tempo));
    drums.patLastBeat.fill(kLastBeat);
    drums.songPattern = QStringLiteral("1111");
    drums.drumFileName = kUntitledDrumFile;
}

void clearPatterns(DrumData& drums, int32_t tempo)
{
    for (PatternGrid& grid : drums.drumGrid)
        for (BeatRow& row : grid)
            row.fill(0);
    drums.patMsPerBeat.fill(msPerBeatFromTempo(tempo));
    drums.patLastBeat.fill(kLastBeat);
    drums.drumFileName = kUntitledDrumFile;
}

int32_t PackMidiMessage(int32_t status, int32_t data1, int32_t data2)
{
    // Unsigned arithmetic: out-of-range bytes wrap instead of overflowing.
    return int32_t(uint32_t(status) + (uint32_t(data1) << 8) + (uint32_t(data2) << 16));
}

int32_t QueueDrums(const DrumData& drums, const AddMidiFn& addMidi)
{
    constexpr int64_t kLatestMs = std::numeric_limits<int32_t>::max();
    int32_t queued = 0;
    int64_t t = 0; // start of the current pattern occurrence, ms
    for (const QChar c : drums.songPattern)
    {
        const int p = patternOf(c);
        if (p < 0)
            continue;
        // The data invariants (last beat 0 ... 31, beat at least 1 ms, velocity 0 ... 127) are
        // enforced here too, so a damaged value never reads outside the grid or sends a
        // data byte with the status bit set.
        const int lastBeat = std::min<int>(drums.patLastBeat[p], kLastBeat);
        const int64_t msPerBeat = std::max<int64_t>(drums.patMsPerBeat[p], kMinMsPerBeat);
        for (int b = 0; b <= lastBeat; ++b)
        {
            const int64_t timeMs = t + msPerBeat * b;
            if (timeMs > kLatestMs)
                return queued; // a song this long cannot be timed in 32 bits
            for (int i = 0; i < kInstruments; ++i)
            {
                const uint8_t v = std::min(drums.drumGrid[p][i][b], kMaxDataByte);
                if (v == 0)
                    continue;
                const int note = std::min(drums.drumNotes[i] + kNoteOffset, int(kMaxDataByte));
                addMidi(int32_t(timeMs), PackMidiMessage(kNoteOnChannel10, note, v));
                ++queued;
            }
        }
        t += (lastBeat + 1) * msPerBeat;
    }
    return queued;
}

} // namespace vumo::drums
