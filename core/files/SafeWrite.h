// SafeWrite: the studio's side of the one safe writer (platform/files/SafeWriter) for the files
// it writes (project, drum file, preset, chain, batch file, a track imported in pieces): Qt
// names and bytes in, a text for the user out.
#pragma once

#include "platform/files/SafeWriter.h"

#include <QByteArray>
#include <QString>

namespace vumo::files
{

// Writes bytes as the whole new contents of path through platform::SafeWriter: beside it as the
// path with ".vumo-part" appended, checked, synced and renamed over path; on any failure path is
// left exactly as it was (or absent). A symbolic link is followed; a read-only file is not
// replaced. Returns an empty text on success, else why the write failed for a message to the
// user, for example "No space left on device" or "File too large".
QString writeFileSafely(const QString& path, const QByteArray& bytes);

// The same write in pieces, for a file too large to hold in memory twice: open(), write() and
// writeAt() as often as needed, then commit(). Every call returns an empty text or why it
// failed; after a failure, and when the writer is destroyed without a commit, the part file is
// removed and path is untouched.
class SafeFileWriter
{
public:
    explicit SafeFileWriter(const QString& path);

    QString open();
    // Appends bytes at the end of what was written.
    QString write(const char* data, qint64 size);
    // Writes bytes over what was written from offset (a header filled in at the end).
    QString writeAt(qint64 offset, const QByteArray& bytes);
    QString commit();
    // Removes the part file; path stays as it was.
    void cancel() { m_writer.discard(); }

private:
    QString result(bool ok) const;

    platform::SafeWriter m_writer;
};

} // namespace vumo::files
