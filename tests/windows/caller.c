/* A plain C caller of the engine, loading it by name (LoadLibrary or dlopen) or, built with
   VUMO_CALLER_IMPORTS, through the import library: writes FOLDER/in.wav, applies an echo and an
   FFT pitch shift, mixes down FOLDER/out.wav and plays two MIDI messages through the queue.
     caller FOLDER    exit status 0 when every call returned what it should */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <time.h>
#endif
#if defined(VUMO_CALLER_IMPORTS)
#include "wavorn.h"
#endif

#if defined(_WIN32)
#define CALLER_CALL __stdcall
#else
#define CALLER_CALL
#endif

enum
{
    kFrames = 20000
};

typedef int32_t(CALLER_CALL* Fn0)(void);
typedef int32_t(CALLER_CALL* Fn1)(int32_t);
typedef int32_t(CALLER_CALL* Fn2)(int32_t, int32_t);
typedef int32_t(CALLER_CALL* FnName)(int32_t, const char*);
typedef int32_t(CALLER_CALL* FnRangeName)(int32_t, int32_t, const char*);
typedef int32_t(CALLER_CALL* Fn3)(int32_t, int32_t, int32_t);
typedef int32_t(CALLER_CALL* Fn6)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);

struct Engine
{
    Fn2 OpenLib;
    Fn0 CloseLib, ClearTracks, PlayMidi, MidiPlaying, GetMidiTimer, CloseMidiPlay;
    FnName SetTrackInfo;
    Fn3 SetTrackAttr;
    Fn2 SetCurTrack, AddMidi;
    Fn6 FXIt;
    FnRangeName SaveAsWave;
    Fn1 OpenMidiPlay;
};

#if defined(VUMO_CALLER_IMPORTS)
static int bindEngine(struct Engine* e)
{
    e->OpenLib = OpenLib, e->CloseLib = CloseLib, e->ClearTracks = ClearTracks;
    e->PlayMidi = PlayMidi, e->MidiPlaying = MidiPlaying, e->GetMidiTimer = GetMidiTimer;
    e->CloseMidiPlay = CloseMidiPlay, e->SetTrackInfo = SetTrackInfo;
    e->SetTrackAttr = SetTrackAttr, e->SetCurTrack = SetCurTrack, e->AddMidi = AddMidi;
    e->FXIt = FXIt, e->SaveAsWave = SaveAsWave, e->OpenMidiPlay = OpenMidiPlay;
    return 1;
}
#else
#if defined(_WIN32)
static HMODULE g_library;
static void* find(const char* name)
{
    FARPROC f = GetProcAddress(g_library, name);
    void* p;
    memcpy(&p, &f, sizeof p); /* a function pointer kept as data, as dlsym gives it */
    if (!p)
        fprintf(stderr, "caller: wavorn.dll has no export %s\n", name);
    return p;
}
#else
static void* g_library;
static void* find(const char* name)
{
    void* p = dlsym(g_library, name);
    if (!p)
        fprintf(stderr, "caller: libwavorn.so has no export %s\n", name);
    return p;
}
#endif

/* Stores the export's address in the function pointer at slot; false when there is none. */
static int take(void* slot, const char* name)
{
    void* p = find(name);
    memcpy(slot, &p, sizeof p);
    return p != 0;
}

#define FIND(e, name) take(&(e)->name, #name)

static int bindEngine(struct Engine* e)
{
#if defined(_WIN32)
    g_library = LoadLibraryA("wavorn.dll");
#else
    g_library = dlopen("libwavorn.so", RTLD_NOW);
#endif
    if (!g_library)
    {
        fprintf(stderr, "caller: the engine library does not load\n");
        return 0;
    }
    return FIND(e, OpenLib) & FIND(e, CloseLib) & FIND(e, ClearTracks) & FIND(e, PlayMidi) &
           FIND(e, MidiPlaying) & FIND(e, GetMidiTimer) & FIND(e, CloseMidiPlay) &
           FIND(e, SetTrackInfo) & FIND(e, SetTrackAttr) & FIND(e, SetCurTrack) & FIND(e, AddMidi) &
           FIND(e, FXIt) & FIND(e, SaveAsWave) & FIND(e, OpenMidiPlay);
}
#endif

static void sleepMs(int ms)
{
#if defined(_WIN32)
    Sleep((DWORD)ms);
#else
    struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, 0);
#endif
}

static void putLe(unsigned char* p, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = (unsigned char)(v >> (8 * i));
}

/* A 16-bit stereo track of kFrames frames: a sawtooth on the left, noise from a fixed
   generator on the right, so that every effect has something to change. */
static int writeTrack(const char* path)
{
    unsigned char header[44];
    memcpy(header, "RIFF", 4), putLe(header + 4, 36 + 4 * kFrames, 4);
    memcpy(header + 8, "WAVEfmt ", 8), putLe(header + 16, 16, 4), putLe(header + 20, 1, 2);
    putLe(header + 22, 2, 2), putLe(header + 24, 44100, 4), putLe(header + 28, 176400, 4);
    putLe(header + 32, 4, 2), putLe(header + 34, 16, 2);
    memcpy(header + 36, "data", 4), putLe(header + 40, 4 * kFrames, 4);
    FILE* f = fopen(path, "wb");
    if (!f)
        return 0;
    int ok = fwrite(header, 1, sizeof header, f) == sizeof header;
    uint32_t noise = 12345;
    for (int k = 0; k < kFrames && ok; ++k)
    {
        unsigned char frame[4];
        noise = noise * 1103515245u + 12345u;
        putLe(frame, (uint32_t)(int16_t)((k * 97) % 20000 - 10000), 2);
        putLe(frame + 2, (uint32_t)(int16_t)((noise >> 16) % 16000 - 8000), 2);
        ok = fwrite(frame, 1, 4, f) == 4;
    }
    return fclose(f) == 0 && ok;
}

static int expect(const char* what, int32_t got, int32_t wanted)
{
    printf("%s: %d\n", what, (int)got);
    if (got != wanted)
        fprintf(stderr, "caller: %s returned %d, not %d\n", what, (int)got, (int)wanted);
    return got == wanted;
}

/* Plays a note on and its note off 25 ms later on the MIDI output; true when the queue played
   out (the timer drives it) within two seconds. */
static int playMidi(const struct Engine* e)
{
    int ok = expect("OpenMidiPlay", e->OpenMidiPlay(64), 0);
    ok &= expect("AddMidi", e->AddMidi(0, 0x403C90), 2);
    ok &= expect("AddMidi", e->AddMidi(25, 0x003C80), 4);
    ok &= expect("PlayMidi", e->PlayMidi(), 4);
    for (int waited = 0; e->MidiPlaying() && waited < 2000; waited += 5)
        sleepMs(5);
    ok &= expect("MidiPlaying after the queue", e->MidiPlaying(), 0);
    ok &= expect("GetMidiTimer after the queue", e->GetMidiTimer(), 0);
    return ok & expect("CloseMidiPlay", e->CloseMidiPlay(), 0);
}

int main(int argc, char** argv)
{
    struct Engine e;
    char in[1024], out[1024];
    if (argc != 2 || strlen(argv[1]) > 900)
    {
        fprintf(stderr, "usage: caller FOLDER\n");
        return 2;
    }
    snprintf(in, sizeof in, "%s/in.wav", argv[1]);
    snprintf(out, sizeof out, "%s/out.wav", argv[1]);
    if (!bindEngine(&e) || !writeTrack(in))
        return 1;
    int ok = expect("OpenLib", e.OpenLib(kFrames, 0), 0);
    ok &= expect("ClearTracks", e.ClearTracks(), 0);
    ok &= expect("SetTrackInfo", e.SetTrackInfo(0, in), 0);
    ok &= expect("SetTrackAttr", e.SetTrackAttr(0, 200, 100), 0);
    ok &= expect("SetCurTrack", e.SetCurTrack(0, 1), 0);
    ok &= expect("FXIt echo", e.FXIt(3, 1000, 19000, 40, 150, 128), 0);
    ok &= expect("FXIt FFT pitch", e.FXIt(26, 0, kFrames, 150, 128, 128), 0);
    ok &= expect("SaveAsWave", e.SaveAsWave(500, 19500, out), 0);
    ok &= expect("CloseLib", e.CloseLib(), 0);
    ok &= playMidi(&e);
    return ok ? 0 : 1;
}
