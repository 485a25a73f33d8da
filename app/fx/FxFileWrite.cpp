// A small safe file write: beside the target, then a rename over it.
#include "FxFileWrite.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <system_error>

namespace vumo::fx
{

bool writeFileBesideThenRename(const QString& path, const QByteArray& bytes, QString& error)
{
    const QString temp = path + QStringLiteral(".tmp");
    QFile out(temp);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
    {
        error = QStringLiteral("The file %1 cannot be written: %2")
                    .arg(QDir::toNativeSeparators(path), out.errorString());
        return false;
    }
    const bool written =
        out.write(bytes) == bytes.size() && out.flush() && out.size() == bytes.size();
    out.close();
    if (!written || out.error() != QFileDevice::NoError)
    {
        error = QStringLiteral("The file %1 cannot be written: %2")
                    .arg(QDir::toNativeSeparators(path), out.errorString());
        QFile::remove(temp);
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(temp.toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), ec);
    if (ec)
    {
        error = QStringLiteral("The file %1 cannot be written: %2")
                    .arg(QDir::toNativeSeparators(path), QString::fromStdString(ec.message()));
        QFile::remove(temp);
        return false;
    }
    return true;
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
