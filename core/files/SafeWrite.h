// SafeWrite: the one way the studio writes a whole file (project, drum file, preset, chain,
// batch file): all or nothing, and every failure reported.
#pragma once

#include <QByteArray>
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

} // namespace vumo::files
