// FixedField: the fixed-length text fields of the project file.
#include "project/FixedField.h"

#include <QFile>

namespace vumo::project
{

QByteArray encodeCut(const QString& text, int maxBytes)
{
    QByteArray bytes = QFile::encodeName(text);
    if (bytes.size() <= maxBytes)
        return bytes;
    // Drop whole characters from the end until the encoding fits; encoding the prefix again
    // keeps this correct for any 8-bit or multi-byte local encoding.
    qsizetype length = text.size();
    while (length > 0)
    {
        --length;
        if (length > 0 && text.at(length).isLowSurrogate() && text.at(length - 1).isHighSurrogate())
            --length;
        bytes = QFile::encodeName(text.left(length));
        if (bytes.size() <= maxBytes)
            return bytes;
    }
    return QByteArray();
}

QByteArray encodeField(const QString& text, int size)
{
    QByteArray field = encodeCut(text, size);
    field.append(size - field.size(), ' ');
    return field;
}

QString decodeField(const QByteArray& field)
{
    const qsizetype end = field.indexOf('\0');
    const QByteArray used = end < 0 ? field : field.left(end);
    return QFile::decodeName(used).trimmed();
}

} // namespace vumo::project
