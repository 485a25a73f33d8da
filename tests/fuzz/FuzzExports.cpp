// Fuzz target: random sequences of the 37 exports with arbitrary int32 arguments, on the
// virtual devices. Each step is one byte choosing the export and three little-endian int32
// arguments. OpenLib's track length is kept below 32 K frames (besides lengths the engine
// refuses), and an input runs at most 32 steps: the phase vocoder over a whole track takes
// about 10 s a million frames under the sanitizers, and libFuzzer counts a unit that runs 20 s
// as a hang. Every other argument is taken as it comes. The engine must never touch memory
// outside its buffers (the sanitizers check).
#include "wavorn.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace
{

std::string g_clip, g_missing, g_out;

int32_t trackLength(int32_t v)
{
    switch (v & 7)
    {
    case 0:
        if (v < 1 || v > 67108864)
            return v; // refused: below 1 or above 64 M frames
        break;
    case 1:
        return 67108865;
    default:
        break;
    }
    return int32_t(uint32_t(v) % (1u << 15));
}

const char* path(int32_t v)
{
    switch (uint32_t(v) % 3)
    {
    case 0:
        return g_clip.c_str();
    case 1:
        return g_missing.c_str();
    default:
        return g_out.c_str();
    }
}

void step(uint8_t op, int32_t a, int32_t b, int32_t c)
{
    switch (op % 37)
    {
    case 0:
        OpenLib(trackLength(a), 0);
        break;
    case 1:
        CloseLib();
        break;
    case 2:
        ClearTracks();
        break;
    case 3:
        SetTrackInfo(a, path(b));
        break;
    case 4:
        SetTrackAttr(a, b, c);
        break;
    case 5:
        SetCurTrack(a, b);
        break;
    case 6:
        PlayTracks(a, b);
        break;
    case 7:
        RecordTrack(a, b, c);
        break;
    case 8:
        StopTracks(a, b, c);
        break;
    case 9:
        IsPlaying();
        break;
    case 10:
        GetPosition();
        break;
    case 11:
        TrackRead(a);
        break;
    case 12:
        TrackWrite(a, b);
        break;
    case 13:
        SaveAsWave(a, b, g_out.c_str());
        break;
    case 14:
        CopyTo(a, b, g_clip.c_str());
        break;
    case 15:
        CutTo(a, b, g_out.c_str());
        break;
    case 16:
        PasteFrom(a, b, path(c), c);
        break;
    case 17:
        SaveEdits();
        break;
    case 18:
        Undo();
        break;
    case 19:
        FXIt(a, b, c, a >> 8, b >> 8, c >> 8);
        break;
    case 20:
        FilterGraph(a, b, c);
        break;
    case 21:
        PlayMidi();
        break;
    case 22:
        AddMidi(a, b);
        break;
    case 23:
        MidiPlaying();
        break;
    case 24:
        GetMidiTimer();
        break;
    case 25:
        StopMidi();
        break;
    case 26:
        OpenMidiPlay(a);
        break;
    case 27:
        CloseMidiPlay();
        break;
    case 28:
        CmdMidi(a, b, c);
        break;
    case 29:
        OpenMidiRec(a, b);
        break;
    case 30:
        CloseMidiRec();
        break;
    case 31:
        RecordMidi();
        break;
    case 32:
        GetRecordLength();
        break;
    case 33:
        GetRecordData(a);
        break;
    case 34:
        StopMidiRec();
        break;
    case 35:
        LoadSK1(path(a));
        break;
    default:
    {
        double step = double(b) / 65536.0, gain = double(c) / 65536.0;
        if (b == INT_MIN)
            step = __builtin_nan("");
        if (c == INT_MIN)
            gain = __builtin_inf();
        SK1(a, b, step, gain);
        break;
    }
    }
}

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
        step(data[at], args[0], args[1], args[2]);
    }
    StopTracks(0, 0, 0);
    CloseMidiRec();
    CloseMidiPlay();
    CloseLib();
    return 0;
}
