// FixedText: a text of exactly N single-byte characters, as the project file stores it.
#pragma once

#include <QString>

#include <algorithm>
#include <array>
#include <cstddef>

namespace vumo
{

// Assigning pads a shorter text with spaces on the right and cuts a longer one; a text that
// was never assigned holds NUL characters. Characters outside Latin-1 become '?'.
template <std::size_t N> class FixedText
{
public:
    FixedText() { m_chars.fill('\0'); }

    void assign(const QString& text)
    {
        const QByteArray bytes = text.toLatin1();
        m_chars.fill(' ');
        std::copy_n(bytes.constData(), std::min<std::size_t>(N, bytes.size()), m_chars.begin());
    }

    // The text without the padding spaces (and without NULs of a never-assigned text).
    QString trimmed() const
    {
        QString text = QString::fromLatin1(m_chars.data(), N);
        text.remove(QChar(u'\0'));
        return text.trimmed();
    }

    const std::array<char, N>& bytes() const { return m_chars; }
    std::array<char, N>& bytes() { return m_chars; }
    static constexpr std::size_t size() { return N; }

private:
    std::array<char, N> m_chars;
};

} // namespace vumo
