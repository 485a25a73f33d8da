// FixedField: the fixed-length text fields of the project file, padded with spaces. A field's
// text is kept as the bytes it holds, from reading to writing and to the engine (a file name
// from elsewhere need not be valid in the local encoding); it is decoded for display only.
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

// The text bytes of a stored field: everything up to the first NUL (a field that was never
// assigned holds NULs), trimmed of spaces at both ends. Other bytes are kept as they are.
QByteArray fieldText(const QByteArray& field);

// The field that stores text: text padded with spaces to size. A longer text is cut, between
// characters when it is valid in the local encoding, else after size bytes.
QByteArray padField(const QByteArray& text, int size);

// Text bytes shown to the user: decoded in the local 8-bit encoding (UTF-8 on Linux and macOS)
// when they are valid there, else as Latin-1, so a name written on a Latin-1 system reads
// "Café" rather than "Caf\uFFFD". For display only: the bytes stay what is used and written.
QString displayText(const QByteArray& text);

// The displayed text of a stored field: displayText(fieldText(field)).
QString decodeField(const QByteArray& field);

} // namespace vumo::project
