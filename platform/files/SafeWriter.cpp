// SafeWriter: a part file beside the target, every step checked, renamed over the target once
// complete; devices and FIFOs written in place.
#include "SafeWriter.h"

#include "FileNames.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace platform
{

namespace
{

namespace fs = std::filesystem;

constexpr size_t kBufferBytes = size_t(1) << 16;
constexpr const char* kPartSuffix = ".vumo-part";

// The file a target names: itself, or the file its link names (one that is not there yet too).
std::string resolveTarget(const std::string& name, bool followLinks)
{
    std::error_code ec;
    const fs::path path = pathOf(name);
    if (!followLinks || !fs::is_symlink(fs::symlink_status(path, ec)))
        return name;
    fs::path real = fs::canonical(path, ec);
    if (ec)
    {
        real = fs::read_symlink(path, ec);
        if (ec)
            return name;
        if (real.is_relative())
            real = path.parent_path() / real;
    }
    const std::string text = nameOf(real);
    return text.empty() ? name : text;
}

bool isReadOnly(const std::string& name)
{
#if defined(_WIN32)
    return _waccess(pathOf(name).c_str(), 2) != 0;
#else
    // The effective user's right, as the writes would have it.
    return ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0;
#endif
}

int openFile(const std::string& name, int flags)
{
#if defined(_WIN32)
    return _wopen(pathOf(name).c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
#else
    return ::open(name.c_str(), flags | O_CLOEXEC, 0666);
#endif
}

bool syncToDisk(int fd)
{
#if defined(_WIN32)
    return _commit(fd) == 0;
#else
    while (::fsync(fd) != 0)
        if (errno != EINTR)
            return false;
    return true;
#endif
}

// The size of an open file, or false.
bool sizeOf(int fd, uint64_t& size)
{
#if defined(_WIN32)
    struct _stat64 s = {};
    if (_fstat64(fd, &s) != 0)
        return false;
#else
    struct stat s = {};
    if (::fstat(fd, &s) != 0)
        return false;
#endif
    size = uint64_t(s.st_size);
    return true;
}

// Makes a rename in the folder durable; a folder that cannot be synced changes nothing written.
void syncFolder(const std::string& file)
{
#if !defined(_WIN32)
    const fs::path folder = fs::path(file).parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
#else
    (void)file;
#endif
}

} // namespace

SafeWriter::SafeWriter(const std::string& target, SafeWriteOptions options)
    : m_target(resolveTarget(target, options.followLinks)), m_part(m_target + kPartSuffix),
      m_options(options)
{
}

SafeWriter::~SafeWriter()
{
    discard();
}

bool SafeWriter::open()
{
    std::error_code ec;
    const fs::path path = pathOf(m_target);
    const fs::file_type type =
        (m_options.followLinks ? fs::status(path, ec) : fs::symlink_status(path, ec)).type();
    const bool exists = type != fs::file_type::not_found;
    if (m_options.refuseReadOnly && exists && isReadOnly(m_target))
        return fail(WriteStep::ReadOnly, EACCES);
    // Something that is not a regular file (a device, a FIFO) is written, never replaced; a link
    // that is not followed is replaced.
    const bool special =
        exists && (ec || (type != fs::file_type::regular && type != fs::file_type::symlink));
    m_inPlace = m_options.inPlace || special;
    m_madeTarget = !exists;
    m_syncOnCommit = !special;
    return m_inPlace ? openInPlace() : openPart();
}

bool SafeWriter::openPart()
{
    // A part left by a writer that was stopped half-way (or a link in its place) goes first.
    std::error_code ec;
    const fs::path part = pathOf(m_part);
    int removeError = 0;
    if (!fs::is_directory(fs::symlink_status(part, ec)) && !fs::remove(part, ec) && ec)
        removeError = ec.value();
#if defined(_WIN32)
    m_fd = openFile(m_part, _O_WRONLY | _O_CREAT | _O_EXCL);
#else
    m_fd = openFile(m_part, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW);
#endif
    if (m_fd < 0)
        return fail(WriteStep::Create, removeError != 0 ? removeError : errno);
    m_partIsOurs = true;
#if !defined(_WIN32)
    // The file replaced keeps its permissions; a failure here loses nothing written.
    struct stat existing = {};
    if (::lstat(m_target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(m_fd, existing.st_mode & 0777);
#endif
    return true;
}

bool SafeWriter::openInPlace()
{
#if defined(_WIN32)
    m_fd = openFile(m_target, _O_WRONLY | _O_CREAT | _O_TRUNC);
    if (m_fd < 0)
        return fail(WriteStep::Create, errno);
#else
    // O_NONBLOCK: a FIFO that nobody reads refuses the open instead of stalling it; O_NOCTTY: a
    // terminal never becomes ours, and none takes a file.
    m_fd = openFile(m_target, O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0)
        return fail(WriteStep::Create, errno);
    const int status = ::fcntl(m_fd, F_GETFL);
    if (::isatty(m_fd) || status < 0 || ::fcntl(m_fd, F_SETFL, status & ~O_NONBLOCK) != 0)
        return fail(WriteStep::Create, EINVAL);
#endif
    return true;
}

bool SafeWriter::write(const void* data, size_t size)
{
    if (m_fd < 0)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_size += size;
    if (m_buffer.size() + size <= kBufferBytes)
    {
        m_buffer.insert(m_buffer.end(), bytes, bytes + size);
        return true;
    }
    return flushBuffer() && writeOut(bytes, size);
}

bool SafeWriter::writeAt(uint64_t offset, const void* data, size_t size)
{
    if (m_fd < 0 || !flushBuffer())
        return false;
    const auto seek = [this](uint64_t at)
    {
#if defined(_WIN32)
        return _lseeki64(m_fd, int64_t(at), SEEK_SET) >= 0;
#else
        return at <= uint64_t(INT64_MAX) && ::lseek(m_fd, off_t(at), SEEK_SET) >= 0;
#endif
    };
    if (!seek(offset))
        return fail(WriteStep::Write, errno);
    if (!writeOut(static_cast<const uint8_t*>(data), size))
        return false;
    m_size = std::max(m_size, offset + size);
    return seek(m_size) || fail(WriteStep::Write, errno);
}

bool SafeWriter::commit()
{
    if (m_fd < 0 || !flushBuffer())
        return false;
    if (m_syncOnCommit && !syncToDisk(m_fd))
        return fail(WriteStep::Write, errno);
    if (m_syncOnCommit && sizeOf(m_fd, m_stored) && m_stored != m_size)
        return fail(WriteStep::Size, 0);
    const int fd = m_fd;
    m_fd = -1;
#if defined(_WIN32)
    if (_close(fd) != 0)
#else
    if (::close(fd) != 0)
#endif
        return fail(WriteStep::Write, errno);
    if (m_inPlace)
    {
        m_madeTarget = false;
        // A part left by a writer that was stopped half-way goes with this write.
        std::error_code ec;
        if (fs::is_regular_file(fs::symlink_status(pathOf(m_part), ec)))
            fs::remove(pathOf(m_part), ec);
        return true;
    }
    if (const int rc = replaceFile(m_part, m_target); rc != 0)
        return fail(WriteStep::Rename, rc);
    m_partIsOurs = false; // the part is the target now
    syncFolder(m_target);
    return true;
}

void SafeWriter::discard()
{
    if (m_fd >= 0)
#if defined(_WIN32)
        _close(m_fd);
#else
        ::close(m_fd);
#endif
    m_fd = -1;
    m_buffer.clear();
    std::error_code ec;
    if (std::exchange(m_partIsOurs, false))
        fs::remove(pathOf(m_part), ec);
    if (m_inPlace && std::exchange(m_madeTarget, false))
        fs::remove(pathOf(m_target), ec);
}

std::string SafeWriter::errorText() const
{
    switch (m_step)
    {
    case WriteStep::None:
        return {};
    case WriteStep::ReadOnly:
        return "it is read-only";
    case WriteStep::Size:
        return "only " + std::to_string(m_stored) + " of its " + std::to_string(m_size) +
               " bytes were stored";
    case WriteStep::Rename: // the system's own error number there
        return std::system_category().message(m_error);
    default:
        return std::generic_category().message(m_error);
    }
}

bool SafeWriter::fail(WriteStep step, int error)
{
    if (m_step == WriteStep::None)
    {
        m_step = step;
        m_error = error;
    }
    discard();
    return false;
}

bool SafeWriter::flushBuffer()
{
    const bool ok = writeOut(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return ok;
}

bool SafeWriter::writeOut(const uint8_t* data, size_t size)
{
    // A short write is tried again for the rest, so that its cause (a full disk, a size limit)
    // is the error reported.
    while (size > 0)
    {
#if defined(_WIN32)
        const int n = _write(m_fd, data, unsigned(std::min<size_t>(size, size_t(1) << 30)));
#else
        const ssize_t n = ::write(m_fd, data, size);
#endif
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(WriteStep::Write, n < 0 ? errno : EIO);
        data += n;
        size -= size_t(n);
    }
    return true;
}

std::string writeFileSafely(const std::string& target, const void* data, size_t size,
                            SafeWriteOptions options)
{
    SafeWriter writer(target, options);
    if (writer.open() && writer.write(data, size) && writer.commit())
        return {};
    return writer.errorText();
}

} // namespace platform
