// FixedField: the fixed-length text fields of the project file, in the local 8-bit file-name
// encoding (UTF-8 on Linux and macOS), padded with spaces.
#pragma once

#include <QByteArray>
#include <QString>

namespace vumo::project
{

// The longest prefix of text whose encoding fits in maxBytes, cut only between characters
// (never inside a multi-byte sequence or a surrogate pair).
QByteArray encodeCut(const QString& text, int maxBytes);

// The field as stored: the encoded text cut to size and padded with spaces.
QByteArray encodeField(const QString& text, int size);

// The text of a stored field: everything up to the first NUL (a field that was never assigned
// holds NULs), decoded and trimmed of spaces.
QString decodeField(const QByteArray& field);

} // namespace vumo::project
