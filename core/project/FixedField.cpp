// FixedField: the fixed-length text fields of the project file.
#include "project/FixedField.h"

#include <QFile>
#include <QStringDecoder>

#include <optional>

namespace vumo::project
{
namespace
{

// The text decoded in the local 8-bit encoding; nothing when the bytes are not valid there.
std::optional<QString> decodeLocal(const QByteArray& text)
{
    QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    QString decoded = decoder(text);
    if (decoder.hasError())
        return std::nullopt;
    return decoded;
}

} // namespace

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

QByteArray fieldText(const QByteArray& field)
{
    const qsizetype end = field.indexOf('\0');
    QByteArrayView used = QByteArrayView(field).first(end < 0 ? field.size() : end);
    while (used.startsWith(' '))
        used = used.sliced(1);
    while (used.endsWith(' '))
        used.chop(1);
    return used.toByteArray();
}

QByteArray padField(const QByteArray& text, int size)
{
    QByteArray field = text;
    if (field.size() > size)
    {
        const std::optional<QString> decoded = decodeLocal(text);
        field = decoded ? encodeCut(*decoded, size) : text.left(size);
    }
    field.append(size - field.size(), ' ');
    return field;
}

QString displayText(const QByteArray& text)
{
    return decodeLocal(text).value_or(QString::fromLatin1(text));
}

QString decodeField(const QByteArray& field)
{
    return displayText(fieldText(field));
}

} // namespace vumo::project
