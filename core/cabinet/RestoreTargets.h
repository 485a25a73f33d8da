// Where the tracks of a cabinet are restored on this machine: each track at its stored path when
// that can be done without harm, else beside the project in the application folder under a
// name of its own; the project's records then follow.
#pragma once

#include "ChainRunner.h"

#include <string>
#include <vector>

namespace vumo::cab
{

struct RestorePlan
{
    std::vector<std::string> targets; // per track: the file it is restored to
    std::vector<bool> relocated;      // per track: not its stored path
    std::vector<bool> replaces;       // per track: the target holds a file now
};

// Decides the targets of the tracks whose stored paths are `stored`. A stored path is used when
// it is an absolute path of this machine whose folder exists, names no file or a regular one,
// and no earlier track uses that file; the user is asked once (events.replaceExisting) before
// any existing file is replaced, and a file kept moves its track beside the project. Every other
// track goes to the application folder under its stored file name, made unique ("take-2.wav")
// against existing files and the other targets. events.relocated hears of each track moved.
// Returns an empty text, or why no target could be found.
std::string planRestore(const std::vector<std::string>& stored, const std::string& appFolder,
                        const ChainEvents& events, RestorePlan& plan);

// A name beside `path` that names no file and is not in `taken` (canonical paths): path itself,
// else "name-2.ext", "name-3.ext", ...; empty when none is free.
std::string freeName(const std::string& path, const std::vector<std::string>& taken = {});

// The canonical form of a path for comparing targets: links and "." or ".." resolved as far as
// the path exists.
std::string canonicalPath(const std::string& path);

} // namespace vumo::cab
