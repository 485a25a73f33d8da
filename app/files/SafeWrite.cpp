// SafeWrite: writes a file beside the old one, whole or in pieces, and renames it over only when
// every step succeeded. QSaveFile is not used: on a full disk its buffered data fails only inside
// commit(), and the cut file still replaced the old one.
#include "files/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

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

} // namespace

SafeFileWriter::SafeFileWriter(const QString& path)
    : m_target(fileToReplace(path)), m_part(m_target + QStringLiteral(".vumo-part"))
{
}

SafeFileWriter::~SafeFileWriter()
{
    cancel();
}

QString SafeFileWriter::open()
{
    const QFileInfo existing(m_target);
    // A file the user protected is not replaced, although its folder would allow it.
    if (existing.exists() && existing.isFile() && !existing.isWritable())
        return QStringLiteral("it is read-only.");
    QFile::remove(m_part.fileName()); // left by a writer that was killed
    if (!m_part.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return fail(m_part.errorString());
    m_opened = true;
    if (existing.exists())
        m_part.setPermissions(QFile::permissions(m_target)); // a failure here loses nothing
    return QString();
}

QString SafeFileWriter::write(const char* data, qint64 size)
{
    // A short write is tried again for the rest, so that its cause (a full disk, a size limit)
    // is the error reported.
    for (qint64 done = 0; done < size;)
    {
        const qint64 written = m_part.write(data + done, size - done);
        if (written <= 0)
            return fail(m_part.errorString());
        done += written;
    }
    m_size = std::max(m_size, m_part.pos());
    return QString();
}

QString SafeFileWriter::writeAt(qint64 offset, const QByteArray& bytes)
{
    if (!m_part.seek(offset))
        return fail(m_part.errorString());
    QString why = write(bytes.constData(), bytes.size());
    if (why.isEmpty() && !m_part.seek(m_size))
        why = fail(m_part.errorString());
    return why;
}

QString SafeFileWriter::commit()
{
    if (!syncToDisk(m_part))
        return fail(qt_error_string());
    m_part.close();
    if (m_part.error() != QFileDevice::NoError)
        return fail(m_part.errorString());
    const qint64 stored = QFileInfo(m_part.fileName()).size();
    if (stored != m_size)
        return fail(QStringLiteral("only %1 of its %2 bytes were stored.").arg(stored).arg(m_size));
    if (!replaceFile(m_part.fileName(), m_target))
        return fail(qt_error_string());
    m_opened = false; // the part file is the target now
    syncFolder(QFileInfo(m_target).absolutePath());
    return QString();
}

void SafeFileWriter::cancel()
{
    m_part.close();
    if (std::exchange(m_opened, false))
        QFile::remove(m_part.fileName());
}

QString SafeFileWriter::fail(const QString& why)
{
    cancel();
    return why;
}

QString writeFileSafely(const QString& path, const QByteArray& bytes)
{
    SafeFileWriter writer(path);
    QString why = writer.open();
    if (why.isEmpty())
        why = writer.write(bytes.constData(), bytes.size());
    if (why.isEmpty())
        why = writer.commit();
    return why;
}

} // namespace vumo::files
