// EffectSetting: defaults from the effect catalog, the band-pass order and the effect file.
#include "EffectSetting.h"

#include "EffectCatalog.h"
#include "FxFileWrite.h"
#include "files/ReadFile.h"

#include <QDir>
#include <QtEndian>

#include <algorithm>

namespace vumo::fx
{

namespace
{

constexpr qsizetype kMaxText = 0xFFFF;

void putText(QByteArray& out, const QByteArray& text)
{
    const QByteArray t = text.left(kMaxText);
    char n[2];
    qToLittleEndian<quint16>(quint16(t.size()), n);
    out.append(n, 2);
    out.append(t);
}

void putInt32(QByteArray& out, int32_t v)
{
    char b[4];
    qToLittleEndian<qint32>(v, b);
    out.append(b, 4);
}

// Reads the record's fields in order from a byte string, stopping at the first fault.
class FieldReader
{
public:
    explicit FieldReader(const QByteArray& bytes) : m_bytes(bytes) {}

    bool text(QByteArray& out)
    {
        if (!has(2))
            return false;
        const qsizetype n = qFromLittleEndian<quint16>(m_bytes.constData() + m_at);
        m_at += 2;
        if (!has(n))
        {
            m_textTooLong = true;
            return false;
        }
        out = m_bytes.mid(m_at, n);
        m_at += n;
        return true;
    }
    bool int32(int32_t& out)
    {
        if (!has(4))
            return false;
        out = qFromLittleEndian<qint32>(m_bytes.constData() + m_at);
        m_at += 4;
        return true;
    }
    bool int16(int16_t& out)
    {
        if (!has(2))
            return false;
        out = qFromLittleEndian<qint16>(m_bytes.constData() + m_at);
        m_at += 2;
        return true;
    }
    bool textTooLong() const { return m_textTooLong; }

private:
    bool has(qsizetype n) const { return m_bytes.size() - m_at >= n; }

    const QByteArray& m_bytes;
    qsizetype m_at = 0;
    bool m_textTooLong = false;
};

} // namespace

bool fillDefaults(EffectSetting& setting, int32_t code)
{
    const EffectInfo* e = findEffectInfo(code);
    if (e == nullptr)
        return false;
    setting.name = e->name;
    setting.caption1 = e->captions[0];
    setting.caption2 = e->captions[1];
    setting.caption3 = e->captions[2];
    setting.value1 = e->defaults[0];
    setting.value2 = e->defaults[1];
    setting.value3 = e->defaults[2];
    return true;
}

void orderBandPass(EffectSetting& setting)
{
    if (setting.name == "Band Pass" && setting.value1 > setting.value2)
        std::swap(setting.value1, setting.value2);
}

QByteArray effectFileBytes(const EffectSetting& s)
{
    QByteArray out;
    putText(out, s.name);
    putInt32(out, s.value1);
    putText(out, s.caption1);
    putInt32(out, s.value2);
    putText(out, s.caption2);
    putInt32(out, s.value3);
    putText(out, s.caption3);
    char b[2];
    qToLittleEndian<qint16>(s.cancelled, b);
    out.append(b, 2);
    return out;
}

bool parseEffectFile(const QByteArray& bytes, EffectSetting& setting, QString& error)
{
    EffectSetting s;
    FieldReader r(bytes);
    const bool whole = r.text(s.name) && r.int32(s.value1) && r.text(s.caption1) &&
                       r.int32(s.value2) && r.text(s.caption2) && r.int32(s.value3) &&
                       r.text(s.caption3) && r.int16(s.cancelled);
    if (!whole)
    {
        error = r.textTooLong() ? QStringLiteral("declares a text longer than the bytes left")
                                : QStringLiteral("is too short to hold an effect setting");
        return false;
    }
    setting = s;
    return true;
}

bool loadEffectFile(const QString& path, EffectSetting& setting, QString& error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QByteArray bytes;
    if (const QString why = files::readWholeFile(path, files::kMaxDocumentBytes, bytes);
        !why.isEmpty())
    {
        error = QStringLiteral("The effect file %1 cannot be opened: %2").arg(shown, why);
        return false;
    }
    QString fault;
    if (!parseEffectFile(bytes, setting, fault))
    {
        error =
            QStringLiteral("The effect file %1 %2; the setting is unchanged.").arg(shown, fault);
        return false;
    }
    return true;
}

bool saveEffectFile(const QString& path, const EffectSetting& setting, QString& error)
{
    return writeFileBesideThenRename(path, overStartOfFile(path, effectFileBytes(setting)), error);
}

} // namespace vumo::fx
