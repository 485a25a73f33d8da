// The media readers of a build with modules: media files and CD tracks are opened by the media
// module, loaded the first time one is asked for. Without the module every such source is
// refused with a message that names the module and why it did not load.
#include "../PlatformModule.h"
#include "MediaModule.h"

namespace platform::media
{

namespace
{

const MediaModuleTable* mediaModule(std::string& error)
{
    const ModuleEntry entry = loadModule(kMediaModuleFile, kMediaModuleSymbol);
    error = entry.error;
    return static_cast<const MediaModuleTable*>(entry.table);
}

} // namespace

MediaOpenResult openFfmpegFile(const std::string& path)
{
    std::string error;
    const MediaModuleTable* module = mediaModule(error);
    if (module == nullptr)
        return {nullptr, "Decoding media files is not available: " + error + "."};
    return module->openFile(path);
}

MediaOpenResult openCdTrack(int track)
{
    std::string error;
    const MediaModuleTable* module = mediaModule(error);
    if (module == nullptr)
        return {nullptr, "Reading audio CD tracks is not available: " + error + "."};
    return module->openCdTrack(track);
}

} // namespace platform::media
