// SafeWrite: Qt names and bytes over platform::SafeWriter, its failures as texts for the user.
#include "files/SafeWrite.h"

#include "platform/files/FileNames.h"

#include <QFile>

#include <filesystem>

namespace vumo::files
{
namespace
{

// The 8-bit name the platform's writer takes for a path.
std::string nameOf(const QString& path)
{
#if defined(Q_OS_WIN)
    return platform::nameOf(std::filesystem::path(path.toStdWString()));
#else
    return QFile::encodeName(path).toStdString();
#endif
}

} // namespace

SafeFileWriter::SafeFileWriter(const QString& path) : m_writer(nameOf(path)) {}

QString SafeFileWriter::open()
{
    return result(m_writer.open());
}

QString SafeFileWriter::write(const char* data, qint64 size)
{
    return result(size <= 0 || m_writer.write(data, size_t(size)));
}

QString SafeFileWriter::writeAt(qint64 offset, const QByteArray& bytes)
{
    return result(offset >= 0 &&
                  m_writer.writeAt(uint64_t(offset), bytes.constData(), size_t(bytes.size())));
}

QString SafeFileWriter::commit()
{
    return result(m_writer.commit());
}

QString SafeFileWriter::result(bool ok) const
{
    if (ok)
        return QString();
    const QString why = QString::fromStdString(m_writer.errorText());
    // The writer's own texts end a sentence in the studio's messages; the system's do not.
    const platform::WriteStep step = m_writer.failedStep();
    if (step == platform::WriteStep::ReadOnly || step == platform::WriteStep::Size)
        return why + u'.';
    return why.isEmpty() ? QStringLiteral("the file is not open") : why;
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
