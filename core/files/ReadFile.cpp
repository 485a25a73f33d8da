// ReadFile: whole regular files from elsewhere, refused at once when they are anything else.
#include "files/ReadFile.h"

#include "platform/files/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vumo::files
{

QString readWholeFile(const QString& path, qint64 maxBytes, QByteArray& bytes)
{
    bytes.clear();
    const uint64_t limit = uint64_t(std::max<qint64>(maxBytes, 0));
    const platform::OpenedFile opened =
        platform::openRegularFile(QFile::encodeName(path).constData(), limit);
    if (!opened.file)
        return QString::fromLocal8Bit(platform::refusalText(opened, limit));
    // The size was checked; a file that grows meanwhile is read up to the limit only.
    bytes.resize(qsizetype(opened.size));
    const size_t got = std::fread(bytes.data(), 1, size_t(bytes.size()), opened.file.get());
    if (std::ferror(opened.file.get()))
    {
        bytes.clear();
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    bytes.resize(qsizetype(got));
    return QString();
}

} // namespace vumo::files
