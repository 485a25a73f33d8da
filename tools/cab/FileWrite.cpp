// Whole-file writes beside the target, renamed over it only once complete.
#include "FileWrite.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace vumo::cab
{

std::string writeFileBeside(const std::string& path, const void* data, size_t size)
{
    const std::string part = path + ".vumo-part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (!f)
        return "cannot create " + part + ": " + std::strerror(errno);
    int error = 0;
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        error = errno;
    if (std::fflush(f) != 0 && error == 0)
        error = errno;
    if (std::fclose(f) != 0 && error == 0)
        error = errno;
    std::error_code ec;
    if (error == 0)
    {
        std::filesystem::rename(part, path, ec);
        if (!ec)
            return {};
    }
    std::filesystem::remove(part);
    return "cannot write " + path + ": " + (error != 0 ? std::strerror(error) : ec.message());
}

} // namespace vumo::cab
