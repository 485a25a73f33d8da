// Writing the effect and chain files through the studio's safe writer.
#include "FxFileWrite.h"

#include "files/SafeWrite.h"

#include <QDir>
#include <QFile>

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
    QFile old(path);
    if (!old.open(QIODevice::ReadOnly) || old.size() <= record.size())
        return record;
    old.seek(record.size());
    return record + old.readAll();
}

} // namespace vumo::fx
