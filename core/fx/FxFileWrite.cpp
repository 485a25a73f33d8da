// Writing the effect and chain files through the studio's safe writer.
#include "FxFileWrite.h"

#include "files/ReadFile.h"
#include "files/SafeWrite.h"

#include <QDir>

namespace vumo::fx
{

bool writeFileBesideThenRename(const QString& path, const QByteArray& bytes, QString& error)
{
    const QString why = files::writeFileSafely(path, bytes);
    if (why.isEmpty())
        return true;
    error = QStringLiteral("The file %1 cannot be written: %2")
                .arg(QDir::toNativeSeparators(path), why);
    return false;
}

QByteArray overStartOfFile(const QString& path, const QByteArray& record)
{
    // Only a regular file's tail is kept: a FIFO or a device in its place is never read.
    QByteArray old;
    if (!files::readWholeFile(path, files::kMaxDocumentBytes, old).isEmpty() ||
        old.size() <= record.size())
        return record;
    return record + old.mid(record.size());
}

} // namespace vumo::fx
