// Writes for the cabinets and Shorten files: beside the target, then renamed over it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vumo::cab
{

// A file being written beside its target, as path + ".vumo-part". A stale part of that name (left
// by a run that was killed) is removed first; the part is then made afresh, never through a link
// that stands in its place. Every write, the flush and the close are checked. commit() renames
// the part over the target; a part that was not committed is removed when the object goes.
class PartFile
{
public:
    explicit PartFile(std::string target);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // False with error() set when the part could not be made.
    bool open();
    // Appends size bytes; false (with error() set) on the first failed write.
    bool write(const void* data, size_t size);
    // Flushes, closes and renames the part over the target. False with error() set; the part is
    // then removed.
    bool commit();
    // Removes the part (nothing when there is none).
    void discard();

    const std::string& target() const { return m_target; }
    const std::string& error() const { return m_error; }
    uint64_t bytesWritten() const { return m_written; }

private:
    bool fail(const std::string& what, int error);

    std::string m_target;
    std::string m_part;
    std::FILE* m_file = nullptr;
    bool m_exists = false; // the part is on disk and ours
    uint64_t m_written = 0;
    std::string m_error;
};

// Writes size bytes to path through a PartFile: on any failure the part is removed and an older
// file at path stays whole. Returns an empty text, or why the file could not be written.
std::string writeFileBeside(const std::string& path, const void* data, size_t size);

} // namespace vumo::cab
