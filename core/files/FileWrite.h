// Writes for the cabinets and Shorten files, through the one safe writer (platform/files/
// SafeWriter), with the tools' messages.
#pragma once

#include "platform/files/SafeWriter.h"

#include <cstddef>
#include <string>

namespace vumo::cab
{

// A file being written beside its target, as path + ".vumo-part" (platform::SafeWriter). A link
// at the target is replaced, not followed, and a read-only target is replaced as well: the
// cabinet's restore plan has already decided what may be replaced. commit() renames the part
// over the target; a part that was not committed is removed when the object goes.
class PartFile
{
public:
    explicit PartFile(const std::string& target);

    // False with error() set when the part could not be made.
    bool open() { return check(m_writer.open()); }
    // Appends size bytes; false (with error() set) on the first failed write.
    bool write(const void* data, size_t size) { return check(m_writer.write(data, size)); }
    // Flushes, syncs, checks and renames the part over the target. False with error() set; the
    // part is then removed.
    bool commit() { return check(m_writer.commit()); }
    // Removes the part (nothing when there is none).
    void discard() { m_writer.discard(); }

    const std::string& target() const { return m_writer.target(); }
    // "cannot create PART: why" or "cannot write TARGET: why".
    const std::string& error() const { return m_error; }

private:
    bool check(bool ok);

    platform::SafeWriter m_writer;
    std::string m_error;
};

// Writes size bytes to path through a PartFile: on any failure the part is removed and an older
// file at path stays whole. Returns an empty text, or why the file could not be written.
std::string writeFileBeside(const std::string& path, const void* data, size_t size);

} // namespace vumo::cab
