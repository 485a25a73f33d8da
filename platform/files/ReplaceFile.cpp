// The rename that puts a file written beside its target in the target's place.
#include "ReplaceFile.h"

#include <cerrno>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>

#include <vector>
#endif

namespace platform
{

#if defined(_WIN32)

namespace
{

// A code-page text as the wide text the system's own calls take; empty when it does not convert.
std::wstring widePath(const std::string& path)
{
    const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.c_str(), -1, wide.data(), n);
    return wide.data();
}

} // namespace

int replaceFile(const std::string& from, const std::string& to)
{
    const std::wstring source = widePath(from), target = widePath(to);
    if (source.empty() || target.empty())
        return int(ERROR_NO_UNICODE_TRANSLATION);
    // No MOVEFILE_COPY_ALLOWED: the file was written beside its target, on the same volume, and a
    // copy would not be one step.
    if (!MoveFileExW(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return int(GetLastError());
    return 0;
}

#else

int replaceFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

#endif

} // namespace platform
