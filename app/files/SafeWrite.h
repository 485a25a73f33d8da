// SafeWrite: the one way the studio writes a file (project, drum file, preset, chain, batch
// file, a track imported in pieces): all or nothing, and every failure reported.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vumo::files
{

// Writes bytes as the whole new contents of path. They go to a file beside it (the path with
// ".vumo-part" appended) that is written, checked for its full size, synced to the disk and
// closed, and only then renamed over path; the folder is synced after the rename. On any
// failure the part file is removed and path is left exactly as it was (or absent). A symbolic
// link is followed: the file it names is replaced, the link stays. An existing file keeps its
// permissions; a read-only one is not replaced.
// Returns an empty text on success, else why the write failed for a message to the user, for
// example "No space left on device" or "File too large".
QString writeFileSafely(const QString& path, const QByteArray& bytes);

// The same write in pieces, for a file too large to hold in memory twice: open(), write() and
// writeAt() as often as needed, then commit(), which syncs, checks the size and renames the part
// file over path. Every call returns an empty text or why it failed; after a failure, and when
// the writer is destroyed without a commit, the part file is removed and path is untouched.
class SafeFileWriter
{
public:
    explicit SafeFileWriter(const QString& path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    QString open();
    // Appends bytes at the end of what was written.
    QString write(const char* data, qint64 size);
    // Writes bytes over what was written from offset (a header filled in at the end).
    QString writeAt(qint64 offset, const QByteArray& bytes);
    QString commit();
    // Removes the part file; path stays as it was.
    void cancel();

private:
    QString fail(const QString& why);

    QString m_target; // the file replaced: path, or the file its link names
    QFile m_part;
    qint64 m_size = 0;     // the bytes the part file must hold
    bool m_opened = false; // the part file is ours to remove
};

} // namespace vumo::files
