// Writing the effect and chain files: through the studio's safe writer (files/SafeWrite.h),
// with the message the effect dialogs show.
#pragma once

#include <QByteArray>
#include <QString>

namespace vumo::fx
{

// Writes bytes as the whole content of path (beside it, then renamed). Returns false with a
// message in error when any step fails; the target is then left as it was.
bool writeFileBesideThenRename(const QString& path, const QByteArray& bytes, QString& error);

// The record bytes followed by what an existing longer file at path holds beyond them: a
// record is written over the start of the file and the rest of the file is kept.
QByteArray overStartOfFile(const QString& path, const QByteArray& record);

} // namespace vumo::fx
