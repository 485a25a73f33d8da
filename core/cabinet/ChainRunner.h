// The cabinet chain runner: carries out "vumocab.bat" and the "unshortn.bat" it calls with
// Vumo's own code, never through a shell. It knows exactly the command forms the studio writes:
//
//   shortn32.exe WAVE tK.shn          compress a track file into the application folder
//   shortn32.exe -x tK.shn WAVE       restore it (WAVE must end in ".wav")
//   MakeCAB.EXE /F vumo.ddf           pack the cabinet the directive file describes
//   extract /y CABINET *.*            unpack a ".cab" into the application folder
//   del tK.shn | del vumo.ddf         remove a working file
//   REN A.vum B.vum                   rename the unpacked project file
//   echo TEXT                         report progress
//   unshortn.bat                      run the restore chain (extracted from the cabinet)
//
// Every line of a batch file is checked before any of it runs; a line of any other form stops
// the chain before it writes anything, with a message naming the line. A chain either makes a
// cabinet (compress, MakeCAB, del, echo) or opens one (extract, an optional REN, then
// unshortn.bat). Opening unpacks the cabinet into a private folder and lets nothing out of it
// until every check has passed (CabinetOpen.h); the restore chain it carries may only restore,
// delete and echo, and must match its project's tracks line for line. Relative names are taken
// in the application folder, which is where the chain runs.
#pragma once

#include "CabinetScript.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vumo::cab
{

struct ChainStep
{
    enum Kind
    {
        Compress, // first: the wave file; second: the compressed file
        Expand,   // first: the compressed file; second: the wave file
        MakeCabinet,
        Extract, // first: the cabinet
        Delete,  // first: the file
        Rename,  // first to second
        Echo,    // first: the text
        Restore, // run "unshortn.bat"
    };
    Kind kind = Echo;
    std::string first;
    std::string second;
    std::string line;
};

// Checks and parses a batch file's lines. restoreOnly: the restore chain of a cabinet, which
// may only expand, delete and echo. False with a message naming the refused line.
bool parseChain(const Lines& lines, const std::string& fileName, bool restoreOnly,
                std::vector<ChainStep>& steps, std::string& error);

// What opening a cabinet needs of the project it carries. The project file's reader and writer
// belong to the studio's core, so the caller of the runner hands them in.
struct CabinetRecords
{
    int32_t trackLength = 0;             // frames per track, from the project's header
    std::vector<std::string> trackFiles; // the records' track paths, in track order
};
struct ProjectAccess
{
    // Reads the project file at path; an empty text, or why it cannot be used.
    std::function<std::string(const std::string& path, CabinetRecords& records)> read;
    // Points the records of the project file at path to these track paths (in track order); an
    // empty text, or why it could not be written.
    std::function<std::string(const std::string& path, const std::vector<std::string>& trackFiles)>
        rewrite;
};

struct ChainEvents
{
    // Steps done of the steps known so far, and the file the next step works on.
    std::function<void(int done, int total, const std::string& file)> progress;
    // Asked once per cabinet, before anything is restored, with the track files the restore
    // would replace. True replaces them; false restores them beside the project file instead.
    // Unset: keep (restore beside).
    std::function<bool(const std::vector<std::string>& existing)> replaceExisting;
    // A track restored somewhere other than its stored path: its folder does not exist on this
    // machine, another track names the same file, or the user kept the existing file. Once per
    // track so moved.
    std::function<void(const std::string& stored, const std::string& restored)> relocated;
    std::function<void(const std::string& text)> echo;
    // The opened cabinet's project file, in the application folder, once everything is restored.
    std::function<void(const std::string& projectPath)> opened;
    // Needed to open a cabinet; a chain that makes one does without.
    ProjectAccess project;
};

// Runs batch file `file` (a name in `folder`, normally "vumocab.bat"). Returns an empty text
// when every step succeeded, else what failed; the chain stops at the first failure, and no
// step leaves a half-written file behind. A failed chain removes its working files: the
// compressed tracks it made, or, when it opened a cabinet, the completion marker and everything
// the cabinet brought.
std::string runChain(const std::string& folder, const std::string& file, const ChainEvents& events);

} // namespace vumo::cab
