// SafeWriter: the one way files are written, whole or not at all.
//
// The new contents go to a part file beside the target (its name with ".vumo-part" appended),
// created afresh: a part left by a writer that was stopped half-way, or a link standing in its
// place, is removed first (a folder of that name is left alone), and the part is never opened
// through a link. It takes the target's permissions. Every write, the flush to the disk, the
// close and the size are checked; only then is the part renamed over the target and the folder
// synced, so whoever opens the target finds the old file or the new one, never a part. On any
// failure the part is removed and the target is left as it was.
//
// A target that is a symbolic link is followed: the file it names is replaced (or made), the link
// stays. A read-only target is not replaced. A target that is there but is not a regular file (a
// device, a FIFO) is written in place, never replaced: a FIFO nobody reads and a terminal are
// refused at once. File names are 8-bit texts as platform/files/FileNames.h takes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform
{

// The step a write failed at.
enum class WriteStep
{
    None,
    ReadOnly, // the target is read-only
    Create,   // the part (or, in place, the target) cannot be made
    Write,    // a write, the flush to the disk or the close failed
    Size,     // the file does not hold every byte written
    Rename,   // the part cannot take the target's place
};

struct SafeWriteOptions
{
    bool followLinks = true;    // else a link at the target is replaced by the file
    bool refuseReadOnly = true; // else a read-only target is replaced as well
    bool inPlace = false;       // write the target itself (for a folder where no part can be made)
};

class SafeWriter
{
public:
    explicit SafeWriter(const std::string& target, SafeWriteOptions options = {});
    ~SafeWriter();
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    // Each returns false once a step has failed (failedStep() and error() say which and why);
    // the part is then gone and the target as it was.
    bool open();
    // Appends bytes after what was written.
    bool write(const void* data, size_t size);
    // Writes bytes over what was written from offset (a header filled in at the end).
    bool writeAt(uint64_t offset, const void* data, size_t size);
    // Flushes, syncs and closes the file and puts it in the target's place.
    bool commit();
    // Removes the part; the target stays as it was. Also what destruction without commit() does.
    void discard();

    // The file replaced: the target, or the file its link names.
    const std::string& target() const { return m_target; }
    const std::string& partName() const { return m_part; }
    WriteStep failedStep() const { return m_step; }
    // The system's error number of the failure (0 for a short file).
    int error() const { return m_error; }
    // Why, for a message: "it is read-only", the system's text for error(), or how many bytes
    // the file holds of how many.
    std::string errorText() const;

private:
    bool fail(WriteStep step, int error);
    bool openPart();
    bool openInPlace();
    bool flushBuffer();
    bool writeOut(const uint8_t* data, size_t size);

    std::string m_target;
    std::string m_part;
    SafeWriteOptions m_options;
    int m_fd = -1;
    bool m_inPlace = false;     // the target itself is written
    bool m_partIsOurs = false;  // the part is on disk and ours to remove
    bool m_madeTarget = false;  // in place: the target did not exist before the write
    bool m_syncOnCommit = true; // false for devices and FIFOs, which cannot be synced
    std::vector<uint8_t> m_buffer;
    uint64_t m_size = 0;   // the bytes the file must hold
    uint64_t m_stored = 0; // what it held at the size check
    WriteStep m_step = WriteStep::None;
    int m_error = 0;
};

// Writes size bytes as the whole new contents of target through a SafeWriter. Returns an empty
// text, or the writer's errorText().
std::string writeFileSafely(const std::string& target, const void* data, size_t size,
                            SafeWriteOptions options = {});

} // namespace platform
