// Loads the built-in synth's module the first time a voice or a MIDI song is asked for.
#include "SynthModule.h"

#include "../PlatformModule.h"

namespace platform
{

const SynthModuleTable* synthModule(std::string& error)
{
    const ModuleEntry entry = loadModule(kSynthModuleFile, kSynthModuleSymbol);
    error = entry.error;
    return static_cast<const SynthModuleTable*>(entry.table);
}

} // namespace platform
