// A small safe file write for the effect and chain files: the bytes go to a file beside the
// target, which replaces the target only once it is flushed, checked and closed. A stand-in
// for the studio's shared safe writer.
#pragma once

#include <QByteArray>
#include <QString>

namespace vumo::fx
{

// Writes bytes as the whole content of path through "<path>.tmp" and a rename. Returns false
// with a message in error when any step fails; the target is then left as it was.
bool writeFileBesideThenRename(const QString& path, const QByteArray& bytes, QString& error);

// The record bytes followed by what an existing longer file at path holds beyond them: a
// record is written over the start of the file and the rest of the file is kept.
QByteArray overStartOfFile(const QString& path, const QByteArray& record);

} // namespace vumo::fx
