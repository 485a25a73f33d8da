// ReadFile: the one way the studio reads a file from elsewhere (project, preset, chain, drum file
// and map, a clip to copy): only a regular file of a size the reader can take, opened without
// blocking, so a FIFO, a device or a folder is refused at once and never waited on.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace vumo::files
{

// The largest project, preset, chain, drum file or drum map read: the longest of them is a few
// dozen KB, so a larger file is none of them.
constexpr qint64 kMaxDocumentBytes = qint64(1) << 20;

// Reads the whole of path into bytes when it is a regular file of at most maxBytes bytes.
// Returns an empty text, or why not for a message: "it is not a regular file (a device, a pipe
// or a folder)", "it is larger than 1048576 bytes", or the system's reason ("No such file or
// directory").
QString readWholeFile(const QString& path, qint64 maxBytes, QByteArray& bytes);

} // namespace vumo::files
