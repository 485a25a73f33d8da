// File names and paths, and the rename that puts a file written beside its target in its place.
#include "FileNames.h"

#include <cerrno>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>

#include <vector>
#endif

namespace platform
{

#if defined(_WIN32)

std::filesystem::path pathOf(const std::string& name)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), n);
    return std::filesystem::path(wide.data());
}

std::string nameOf(const std::filesystem::path& path)
{
    const std::wstring& wide = path.native();
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy)
        return {};
    std::vector<char> text(static_cast<size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), n, nullptr, nullptr);
    return text.data();
}

int replaceFile(const std::string& from, const std::string& to)
{
    const std::filesystem::path source = pathOf(from), target = pathOf(to);
    if (source.empty() || target.empty())
        return int(ERROR_INVALID_NAME);
    // No MOVEFILE_COPY_ALLOWED: the file was written beside its target, on the same volume, and a
    // copy would not be one step (nor MOVEFILE_WRITE_THROUGH, which only flushes such a copy).
    if (!MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return int(GetLastError());
    return 0;
}

#else

std::filesystem::path pathOf(const std::string& name)
{
    return std::filesystem::path(name);
}

std::string nameOf(const std::filesystem::path& path)
{
    return path.string();
}

int replaceFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

#endif

} // namespace platform
