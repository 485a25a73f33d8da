// Fuzz target: wave files from elsewhere, through every export that loads one (a track, a
// paste in each mode, the sample keyboard's clip).
#include "FuzzSupport.h"
#include "wavorn.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("VUMO_AUDIO_BACKEND", "virtual", 1);
    setenv("VUMO_MIDI_BACKEND", "virtual", 1);
    return OpenLib(4096, 0) == 0 ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::InputFile file(data, size, ".wav");
    const char* path = file.path().c_str();
    ClearTracks();
    SetTrackInfo(0, path);
    SetTrackAttr(0, 255, 127);
    SetCurTrack(0, 1);
    for (int32_t mode = 0; mode < 4; ++mode)
        PasteFrom(10, 3000, path, mode);
    LoadSK1(path);
    Undo();
    return 0;
}
