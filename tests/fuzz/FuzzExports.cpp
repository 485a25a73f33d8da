// Fuzz target: sequences of the 37 exports with arbitrary int32 arguments on the virtual devices
// (a step: one byte choosing the export, three little-endian int32). Track lengths stay below
// 32 K frames and inputs at 32 steps, so that no unit of the phase vocoder nears the hang limit.
#include "wavorn.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace
{

std::string g_clip, g_missing, g_out;

// v & 7 == 0: v itself when the engine refuses it (below 1, above 64 M frames); v & 7 == 1: one
// frame past 64 M; else a length below 32 K frames.
int32_t trackLength(int32_t v)
{
    if ((v & 7) == 0 && (v < 1 || v > 67108864))
        return v;
    return (v & 7) == 1 ? 67108865 : int32_t(uint32_t(v) % (1u << 15));
}

const char* path(int32_t v)
{
    const std::string* paths[] = {&g_clip, &g_missing, &g_out};
    return paths[uint32_t(v) % 3]->c_str();
}

void sk1(int32_t a, int32_t b, int32_t c)
{
    double step = double(b) / 65536.0, gain = double(c) / 65536.0;
    if (b == INT_MIN)
        step = __builtin_nan("");
    if (c == INT_MIN)
        gain = __builtin_inf();
    SK1(a, b, step, gain);
}

// The step's first byte modulo 37 picks the export: the order is that of the seed corpus.
using Step = void (*)(int32_t, int32_t, int32_t);
const Step kSteps[] = {
    [](int32_t a, int32_t, int32_t) { OpenLib(trackLength(a), 0); },
    [](int32_t, int32_t, int32_t) { CloseLib(); },
    [](int32_t, int32_t, int32_t) { ClearTracks(); },
    [](int32_t a, int32_t b, int32_t) { SetTrackInfo(a, path(b)); },
    [](int32_t a, int32_t b, int32_t c) { SetTrackAttr(a, b, c); },
    [](int32_t a, int32_t b, int32_t) { SetCurTrack(a, b); },
    [](int32_t a, int32_t b, int32_t) { PlayTracks(a, b); },
    [](int32_t a, int32_t b, int32_t c) { RecordTrack(a, b, c); },
    [](int32_t a, int32_t b, int32_t c) { StopTracks(a, b, c); },
    [](int32_t, int32_t, int32_t) { IsPlaying(); },
    [](int32_t, int32_t, int32_t) { GetPosition(); },
    [](int32_t a, int32_t, int32_t) { TrackRead(a); },
    [](int32_t a, int32_t b, int32_t) { TrackWrite(a, b); },
    [](int32_t a, int32_t b, int32_t) { SaveAsWave(a, b, g_out.c_str()); },
    [](int32_t a, int32_t b, int32_t) { CopyTo(a, b, g_clip.c_str()); },
    [](int32_t a, int32_t b, int32_t) { CutTo(a, b, g_out.c_str()); },
    [](int32_t a, int32_t b, int32_t c) { PasteFrom(a, b, path(c), c); },
    [](int32_t, int32_t, int32_t) { SaveEdits(); },
    [](int32_t, int32_t, int32_t) { Undo(); },
    [](int32_t a, int32_t b, int32_t c) { FXIt(a, b, c, a >> 8, b >> 8, c >> 8); },
    [](int32_t a, int32_t b, int32_t c) { FilterGraph(a, b, c); },
    [](int32_t, int32_t, int32_t) { PlayMidi(); },
    [](int32_t a, int32_t b, int32_t) { AddMidi(a, b); },
    [](int32_t, int32_t, int32_t) { MidiPlaying(); },
    [](int32_t, int32_t, int32_t) { GetMidiTimer(); },
    [](int32_t, int32_t, int32_t) { StopMidi(); },
    [](int32_t a, int32_t, int32_t) { OpenMidiPlay(a); },
    [](int32_t, int32_t, int32_t) { CloseMidiPlay(); },
    [](int32_t a, int32_t b, int32_t c) { CmdMidi(a, b, c); },
    [](int32_t a, int32_t b, int32_t) { OpenMidiRec(a, b); },
    [](int32_t, int32_t, int32_t) { CloseMidiRec(); },
    [](int32_t, int32_t, int32_t) { RecordMidi(); },
    [](int32_t, int32_t, int32_t) { GetRecordLength(); },
    [](int32_t a, int32_t, int32_t) { GetRecordData(a); },
    [](int32_t, int32_t, int32_t) { StopMidiRec(); },
    [](int32_t a, int32_t, int32_t) { LoadSK1(path(a)); },
    sk1,
};
static_assert(sizeof kSteps / sizeof kSteps[0] == 37, "one step for each export");

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
    setenv("VUMO_MIDI_BACKEND", "virtual", 1);
    setenv("VUMO_VIRTUAL_SPEED", "1000", 1);
    const std::string base = "/tmp/vumo-fuzz-exports-" + std::to_string(::getpid());
    g_clip = base + "-clip.wav";
    g_missing = base + "-missing/none.wav";
    g_out = base + "-out.wav";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kMaxSteps = 32;
    for (size_t at = 0; at + 13 <= size && at < 13 * kMaxSteps; at += 13)
    {
        int32_t args[3];
        std::memcpy(args, data + at + 1, sizeof args);
        kSteps[data[at] % 37](args[0], args[1], args[2]);
    }
    StopTracks(0, 0, 0);
    CloseMidiRec();
    CloseMidiPlay();
    CloseLib();
    return 0;
}
