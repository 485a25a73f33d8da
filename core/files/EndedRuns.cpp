// Removing the working folders of processes that ended without removing them.
#include "EndedRuns.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#endif

namespace vumo::files
{
namespace
{

bool processEnded(long pid)
{
#if defined(_WIN32)
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
#else
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
#endif
}

} // namespace

void removeFoldersOfEndedRuns(const std::string& parent, const std::string& prefix)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(parent, ec))
    {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0 || !entry.is_directory(ec) || entry.is_symlink(ec))
            continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid > 0 && *end == '-' && processEnded(pid))
            fs::remove_all(entry.path(), ec);
    }
}

} // namespace vumo::files
