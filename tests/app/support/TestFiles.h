// Whole-file reads and writes for the tests' fixtures.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vumo::test
{

inline bool putFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The file's bytes; a null array when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace vumo::test
