// SafeWrite: writes a whole file beside the old one and renames it over only when every step
// succeeded. QSaveFile is not used: on a full disk its buffered data fails only inside commit(),
// and the cut file still replaced the old one.
#include "files/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vumo::files
{
namespace
{

#if defined(Q_OS_WIN)
bool syncToDisk(QFile& file)
{
    return ::_commit(file.handle()) == 0;
}

bool replaceFile(const QString& from, const QString& to)
{
    return ::MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                         reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void syncFolder(const QString&) {}
#else
bool syncToDisk(QFile& file)
{
    while (::fsync(file.handle()) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

bool replaceFile(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Makes the rename itself durable; a folder that cannot be synced changes nothing written.
void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
#endif

// The file that is replaced: the target of a symbolic link, else path itself.
QString fileToReplace(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

// Writes, syncs and closes part; empty on success, else why not.
QString writePart(QFile& part, const QByteArray& bytes, const QString& replaced)
{
    if (!part.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return part.errorString();
    if (QFileInfo::exists(replaced))
        part.setPermissions(QFile::permissions(replaced)); // a failure here loses nothing
    // A short write is tried again for the rest, so that its cause (a full disk, a size limit)
    // is the error reported.
    for (qint64 done = 0; done < bytes.size();)
    {
        const qint64 written = part.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return part.errorString();
        done += written;
    }
    if (!syncToDisk(part))
        return qt_error_string();
    part.close();
    if (part.error() != QFileDevice::NoError)
        return part.errorString();
    const qint64 stored = QFileInfo(part.fileName()).size();
    if (stored != bytes.size())
        return QStringLiteral("only %1 of its %2 bytes were stored.").arg(stored).arg(bytes.size());
    return QString();
}

} // namespace

QString writeFileSafely(const QString& path, const QByteArray& bytes)
{
    const QString target = fileToReplace(path);
    const QFileInfo existing(target);
    // A file the user protected is not replaced, although its folder would allow it.
    if (existing.exists() && existing.isFile() && !existing.isWritable())
        return QStringLiteral("it is read-only.");

    const QString partName = target + QStringLiteral(".vumo-part");
    QFile::remove(partName); // left by a writer that was killed
    QFile part(partName);
    QString why = writePart(part, bytes, target);
    if (why.isEmpty() && !replaceFile(partName, target))
        why = qt_error_string();
    if (!why.isEmpty())
    {
        part.close();
        QFile::remove(partName);
        return why;
    }
    syncFolder(existing.absolutePath());
    return QString();
}

} // namespace vumo::files
