// PlatformModule: the parts of the device layer that live in modules of their own and are loaded
// the first time they are used, so that a program that never decodes media or plays the built-in
// synth never loads FFmpeg, libcdio or FluidSynth.
//
// A module is a shared object beside the engine library (libwavorn.so), or in the "vumo" folder
// beside an installed one: the engine loaded in this process is found by its export OpenLib and
// its folder taken from there; a program that holds the device layer itself and has no engine
// loaded takes the folder of its own binary (and, installed, its library folder's "vumo").
// The current folder and the library search path are never looked in, so no file from elsewhere
// can stand in for a module. Each module exports one table of functions under a name that
// carries the version of the table; a module from another build is refused by that name. A
// module, once loaded, stays loaded for the life of the process.
#pragma once

#include <string>

namespace platform
{

struct ModuleEntry
{
    const void* table = nullptr; // the module's table of functions; null when not loaded
    std::string error;           // why not: "the module <file> could not be loaded: <reason>"
};

// Loads `file` (for example "libvumo-media.so") from the modules' folder, once per process, and
// looks up its exported table `symbol`. Safe to call from any thread.
ModuleEntry loadModule(const char* file, const char* symbol);

// The folder the modules are loaded from, without a trailing slash; empty when it cannot be
// found.
std::string moduleFolder();

} // namespace platform
