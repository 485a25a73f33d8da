// FixedText: a text of exactly N single-byte characters, as the project file stores it.
#pragma once

#include "project/FixedField.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <array>
#include <cstddef>

namespace vumo
{

// Assigning pads a shorter text with spaces on the right and cuts a longer one; a text that
// was never assigned holds NUL characters. The bytes are the local 8-bit file-name encoding
// (UTF-8 on Linux), the encoding track paths reach the engine in; a text is cut only between
// characters, never inside a multi-byte sequence.
template <std::size_t N> class FixedText
{
public:
    FixedText() { m_chars.fill('\0'); }

    void assign(const QString& text)
    {
        const QByteArray bytes = project::encodeField(text, static_cast<int>(N));
        std::copy_n(bytes.constData(), N, m_chars.begin());
    }

    // Stores the bytes of a file field as they are (padding and NULs included).
    void assignBytes(const QByteArray& bytes)
    {
        m_chars.fill('\0');
        std::copy_n(bytes.constData(), std::min<std::size_t>(N, bytes.size()), m_chars.begin());
    }

    // The text without the padding spaces (and without the NULs of a never-assigned text).
    QString trimmed() const
    {
        return project::decodeField(QByteArray(m_chars.data(), static_cast<qsizetype>(N)));
    }

    // The stored bytes without the padding: what the engine and the file system are handed.
    QByteArray text() const { return project::fieldText(toByteArray()); }

    // Whether text would be stored whole (not cut) by assign.
    static bool fits(const QString& text)
    {
        return project::encodeCut(text, static_cast<int>(N)).size() ==
               QFile::encodeName(text).size();
    }

    const std::array<char, N>& bytes() const { return m_chars; }
    std::array<char, N>& bytes() { return m_chars; }
    QByteArray toByteArray() const { return QByteArray(m_chars.data(), static_cast<qsizetype>(N)); }
    static constexpr std::size_t size() { return N; }

    bool operator==(const FixedText&) const = default;

private:
    std::array<char, N> m_chars;
};

} // namespace vumo
