// SoundFont: VUMO_SOUNDFONT, else the first readable General MIDI SoundFont at the usual places.
#include "SoundFont.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <system_error>

namespace platform
{

namespace
{

std::mutex g_pathsMutex;
std::optional<std::vector<std::string>> g_testPaths;

bool readableFile(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec) &&
           std::ifstream(path, std::ios::binary).good();
}

} // namespace

std::vector<std::string> soundFontSearchPaths()
{
    {
        std::lock_guard lock(g_pathsMutex);
        if (g_testPaths)
            return *g_testPaths;
    }
    return {"/usr/share/sounds/sf2/default-GM.sf2",   "/usr/share/sounds/sf2/FluidR3_GM.sf2",
            "/usr/share/sounds/sf2/TimGM6mb.sf2",     "/usr/share/sounds/sf3/default-GM.sf3",
            "/usr/share/soundfonts/default.sf2",      "/usr/share/soundfonts/FluidR3_GM.sf2",
            "/usr/local/share/soundfonts/default.sf2"};
}

void setSoundFontSearchPaths(std::vector<std::string> paths)
{
    std::lock_guard lock(g_pathsMutex);
    g_testPaths = std::move(paths);
}

void resetSoundFontSearchPaths()
{
    std::lock_guard lock(g_pathsMutex);
    g_testPaths.reset();
}

SoundFontChoice findSoundFont()
{
    SoundFontChoice choice;
    const char* named = std::getenv("VUMO_SOUNDFONT");
    if (named != nullptr && *named != '\0')
    {
        if (readableFile(named))
        {
            choice.path = named;
            return choice;
        }
        choice.problem = std::string("VUMO_SOUNDFONT names no readable file: ") + named;
    }
    for (const std::string& path : soundFontSearchPaths())
    {
        if (readableFile(path))
        {
            choice.path = path;
            break;
        }
    }
    if (!choice.problem.empty())
        choice.problem +=
            choice.path.empty() ? "; no other SoundFont found" : "; using " + choice.path;
    return choice;
}

} // namespace platform
