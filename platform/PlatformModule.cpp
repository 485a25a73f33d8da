// PlatformModule: finds the engine's folder and loads the device layer's modules from it.
#include "PlatformModule.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>

// The installed modules' folder, from an installed program's folder (cmake/install.cmake).
#ifndef VUMO_MODULES_FROM_BIN
#define VUMO_MODULES_FROM_BIN "../lib/vumo"
#endif

namespace platform
{

namespace
{

// The file of the binary (program or shared object) that holds `address`, as an absolute path;
// empty when it cannot be told.
std::string binaryHolding(const void* address)
{
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
        map == nullptr)
        return {};
    // The program itself has no name in its map: the kernel knows its file.
    const char* name = map->l_name;
    char exe[PATH_MAX];
    if (name == nullptr || *name == '\0')
    {
        const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n <= 0)
            return {};
        exe[n] = '\0';
        return exe;
    }
    char resolved[PATH_MAX];
    return ::realpath(name, resolved) != nullptr ? resolved : std::string();
}

std::string folderOf(const std::string& file)
{
    const size_t slash = file.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string() : file.substr(0, slash);
}

// The engine library when this process has it loaded (the studio loads it by its full path, a
// tool through its link to it); null otherwise.
const void* loadedEngineExport()
{
    void* engine = ::dlopen("libwavorn.so", RTLD_LAZY | RTLD_NOLOAD);
    if (engine == nullptr)
        return nullptr;
    const void* openLib = ::dlsym(engine, "OpenLib");
    ::dlclose(engine); // drops only the reference that the look-up took
    return openLib;
}

// The module's file in the first of the folders where Vumo puts its modules that holds one:
// beside the engine (a build), in the "vumo" folder beside an installed engine, or in an
// installed program's library folder when the folder is that of a program. All of them are
// fixed from where Vumo's own code is; the first is named when none holds the file.
std::string modulePath(const std::string& folder, const char* file)
{
    const std::string besideEngine = folder + "/" + file;
    for (const std::string& candidate :
         {besideEngine, folder + "/vumo/" + file, folder + "/" VUMO_MODULES_FROM_BIN "/" + file})
    {
        struct stat info
        {
        };
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            return candidate;
    }
    return besideEngine;
}

ModuleEntry load(const char* file, const char* symbol)
{
    const std::string prefix = std::string("the module ") + file + " could not be loaded: ";
    const std::string folder = moduleFolder();
    if (folder.empty())
        return {nullptr, prefix + "the folder of the engine library is not known"};
    const std::string path = modulePath(folder, file);
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr)
    {
        const char* why = ::dlerror();
        return {nullptr, prefix + (why != nullptr ? why : path + " did not load")};
    }
    const void* table = ::dlsym(module, symbol);
    if (table == nullptr)
    {
        ::dlclose(module);
        return {nullptr, prefix + path + " is not the module of this build of Vumo (it has no " +
                             symbol + ")"};
    }
    return {table, {}}; // stays loaded: its readers and voices may live until the process ends
}

} // namespace

std::string moduleFolder()
{
    const void* engine = loadedEngineExport();
    return folderOf(
        binaryHolding(engine != nullptr ? engine : reinterpret_cast<const void*>(&moduleFolder)));
}

ModuleEntry loadModule(const char* file, const char* symbol)
{
    static std::mutex mutex;
    static std::map<std::string, ModuleEntry> loaded;
    std::lock_guard lock(mutex);
    const std::string key = std::string(file) + "\n" + symbol;
    const auto known = loaded.find(key);
    if (known != loaded.end())
        return known->second;
    return loaded.emplace(key, load(file, symbol)).first->second;
}

} // namespace platform
