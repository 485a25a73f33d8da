// Opening files from elsewhere for reading: regular files only, never blocking.
#include "RegularFile.h"

#include "FileNames.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform
{

void FileCloser::operator()(std::FILE* f) const
{
    std::fclose(f);
}

OpenedFile openRegularFile(const char* path, uint64_t maxBytes)
{
    OpenedFile opened;
    if (!path || !*path)
    {
        opened.osError = ENOENT;
        return opened;
    }
#if defined(_WIN32)
    // No FIFOs to stall on here: a status check names devices and folders.
    std::error_code ec;
    const std::filesystem::path file = pathOf(path);
    const std::filesystem::file_status status = std::filesystem::status(file, ec);
    if (ec)
    {
        opened.osError = ec.value();
        return opened;
    }
    if (status.type() != std::filesystem::file_type::regular)
    {
        opened.refusal = OpenRefusal::NotRegular;
        return opened;
    }
    opened.size = std::filesystem::file_size(file, ec);
    if (opened.size > maxBytes)
    {
        opened.refusal = OpenRefusal::TooLarge;
        return opened;
    }
    opened.file.reset(std::fopen(path, "rb"));
    if (!opened.file)
        opened.osError = errno;
    else
        opened.refusal = OpenRefusal::None;
    return opened;
#else
    // O_NONBLOCK: opening a FIFO without a writer, or a device, returns at once; O_NOCTTY: a
    // terminal never becomes ours.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
    {
        opened.osError = errno;
        return opened;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(fd);
        opened.refusal = OpenRefusal::NotRegular;
        return opened;
    }
    opened.size = uint64_t(st.st_size);
    if (opened.size > maxBytes)
    {
        ::close(fd);
        opened.refusal = OpenRefusal::TooLarge;
        return opened;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    opened.file.reset(::fdopen(fd, "rb"));
    if (!opened.file)
    {
        opened.osError = errno;
        ::close(fd);
        return opened;
    }
    opened.refusal = OpenRefusal::None;
    return opened;
#endif
}

std::string refusalText(const OpenedFile& opened, uint64_t maxBytes)
{
    switch (opened.refusal)
    {
    case OpenRefusal::None:
        return {};
    case OpenRefusal::NotRegular:
        return "it is not a regular file (a device, a pipe or a folder)";
    case OpenRefusal::TooLarge:
        return "it is larger than " + std::to_string(maxBytes) + " bytes";
    case OpenRefusal::CannotOpen:
        break;
    }
    return std::strerror(opened.osError ? opened.osError : ENOENT);
}

std::string readRegularFile(const char* path, uint64_t maxBytes, std::vector<uint8_t>& bytes)
{
    const OpenedFile opened = openRegularFile(path, maxBytes);
    const std::string name = path ? path : "";
    if (!opened.file)
        return "cannot read " + name + ": " + refusalText(opened, maxBytes);
    // The size was checked: the file may still grow while it is read, so the read stops at the
    // limit, and a file that shrank gives what it holds.
    bytes.assign(size_t(opened.size), 0);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), opened.file.get());
    if (std::ferror(opened.file.get()))
        return "cannot read " + name + ": " + std::strerror(errno);
    bytes.resize(got);
    return {};
}

} // namespace platform
