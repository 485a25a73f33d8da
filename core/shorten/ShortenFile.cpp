// Shorten file to file: the chain's "shortn32.exe" steps, reading only regular files and writing
// beside the target.
#include "shorten/Shorten.h"

#include "files/FileWrite.h"
#include "platform/files/RegularFile.h"

#include <cerrno>
#include <cstring>

#include <sys/mman.h>

namespace vumo::cab
{
namespace
{

// A stream's bytes mapped into memory for as long as it is decoded: only a regular file of at
// most maxBytes.
class MappedFile
{
public:
    MappedFile(const std::string& path, uint64_t maxBytes, std::string& error)
    {
        const platform::OpenedFile opened = platform::openRegularFile(path.c_str(), maxBytes);
        if (!opened.file)
        {
            error = "cannot read " + path + ": " + platform::refusalText(opened, maxBytes);
            return;
        }
        m_size = size_t(opened.size);
        m_ok = true;
        if (m_size == 0)
            return;
        m_data = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, ::fileno(opened.file.get()), 0);
        if (m_data == MAP_FAILED)
        {
            error = "cannot read " + path + ": " + std::strerror(errno);
            m_data = nullptr;
            m_ok = false;
        }
    }
    ~MappedFile()
    {
        if (m_data)
            ::munmap(m_data, m_size);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool ok() const { return m_ok; }
    std::span<const uint8_t> bytes() const
    {
        return {static_cast<const uint8_t*>(m_data), m_data ? m_size : 0};
    }

private:
    void* m_data = nullptr;
    size_t m_size = 0;
    bool m_ok = false;
};

// The largest stream decoded: twice the largest wave file, more than the coding ever adds.
constexpr uint64_t kMaxStreamBytes = 2 * kMaxWaveFileBytes;

} // namespace

bool shortenEncodeFile(const std::string& wavePath, const std::string& shnPath, std::string& error,
                       const ShortenProgress& progress)
{
    std::vector<uint8_t> in, out;
    error = platform::readRegularFile(wavePath.c_str(), kMaxWaveFileBytes, in);
    if (!error.empty())
        return false;
    if (!shortenEncode(in, out, error, progress))
    {
        error = wavePath + ": " + error;
        return false;
    }
    error = writeFileBeside(shnPath, out.data(), out.size());
    return error.empty();
}

bool shortenDecodeToPart(const std::string& shnPath, PartFile& part, std::string& error,
                         const DecodeLimits& limits, const ShortenProgress& progress)
{
    const MappedFile in(shnPath, kMaxStreamBytes, error);
    if (!in.ok())
        return false;
    const ShortenSink sink = [&part](const uint8_t* data, size_t size)
    { return part.write(data, size); };
    if (shortenDecode(in.bytes(), sink, error, limits, progress))
        return true;
    if (error.empty())
        error = part.error();
    part.discard();
    return false;
}

bool shortenDecodeFile(const std::string& shnPath, const std::string& wavePath, std::string& error,
                       const DecodeLimits& limits, const ShortenProgress& progress)
{
    PartFile part(wavePath);
    if (!part.open())
    {
        error = part.error();
        return false;
    }
    if (!shortenDecodeToPart(shnPath, part, error, limits, progress))
    {
        error = shnPath + ": " + error;
        return false;
    }
    if (part.commit())
        return true;
    error = part.error();
    return false;
}

} // namespace vumo::cab
