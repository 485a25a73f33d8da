// Writes beside the target, renamed over it only once complete.
#include "FileWrite.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace vumo::cab
{

PartFile::PartFile(std::string target)
    : m_target(std::move(target)), m_part(m_target + ".vumo-part")
{
}

PartFile::~PartFile()
{
    discard();
}

bool PartFile::fail(const std::string& what, int error)
{
    if (m_error.empty())
        m_error = what + ": " + std::strerror(error);
    discard();
    return false;
}

bool PartFile::open()
{
    // A part left by a killed run is never reused: it goes, and a link standing in its place
    // goes with it (unlink removes the link, not what it names).
    if (::unlink(m_part.c_str()) != 0 && errno != ENOENT)
        return fail("cannot create " + m_part, errno);
    const int fd =
        ::open(m_part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail("cannot create " + m_part, errno);
    m_exists = true;
    m_file = ::fdopen(fd, "wb");
    if (!m_file)
    {
        const int error = errno;
        ::close(fd);
        return fail("cannot create " + m_part, error);
    }
    return true;
}

bool PartFile::write(const void* data, size_t size)
{
    if (!m_file)
        return false;
    if (size > 0 && std::fwrite(data, 1, size, m_file) != size)
        return fail("cannot write " + m_target, errno);
    m_written += size;
    return true;
}

bool PartFile::commit()
{
    if (!m_file)
        return false;
    int error = std::fflush(m_file) != 0 ? errno : 0;
    if (std::fclose(m_file) != 0 && error == 0)
        error = errno;
    m_file = nullptr;
    if (error != 0)
        return fail("cannot write " + m_target, error);
    if (std::rename(m_part.c_str(), m_target.c_str()) != 0)
        return fail("cannot write " + m_target, errno);
    m_exists = false;
    return true;
}

void PartFile::discard()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    if (m_exists)
        ::unlink(m_part.c_str());
    m_exists = false;
}

std::string writeFileBeside(const std::string& path, const void* data, size_t size)
{
    PartFile part(path);
    if (part.open() && part.write(data, size) && part.commit())
        return {};
    return part.error();
}

} // namespace vumo::cab
