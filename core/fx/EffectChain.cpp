// EffectChain: the chain file, read and written.
#include "EffectChain.h"

#include "FxFileWrite.h"
#include "files/ReadFile.h"

#include <QDir>
#include <QtEndian>

namespace vumo::fx
{

QByteArray chainFileBytes(const EffectChain& chain)
{
    QByteArray out = chain.version.leftJustified(4, ' ', true);
    char b[4];
    qToLittleEndian<qint16>(chain.count, b);
    out.append(b, 2);
    for (int16_t i = 0; i < chain.count && i < EffectChain::kCapacity; ++i)
    {
        const ChainEntry& e = chain.entries[size_t(i)];
        for (int32_t v : {e.value1, e.value2, e.reserved1, e.value3, e.reserved2, e.code})
        {
            qToLittleEndian<qint32>(v, b);
            out.append(b, 4);
        }
    }
    return out;
}

bool parseChainFile(const QByteArray& bytes, EffectChain& chain, QString& error)
{
    if (bytes.size() < EffectChain::kHeaderBytes)
    {
        error = QStringLiteral("is too short to hold an effect chain");
        return false;
    }
    const int16_t count = qFromLittleEndian<qint16>(bytes.constData() + 4);
    if (count < 0 || count > EffectChain::kCapacity)
    {
        error = QStringLiteral("holds %1 effects; a chain holds 0 to %2")
                    .arg(count)
                    .arg(EffectChain::kCapacity);
        return false;
    }
    if (bytes.size() < EffectChain::kHeaderBytes + count * EffectChain::kEntryBytes)
    {
        error = QStringLiteral("is too short to hold its %1 effects").arg(count);
        return false;
    }
    EffectChain c;
    c.version = bytes.left(4);
    c.count = count;
    const char* at = bytes.constData() + EffectChain::kHeaderBytes;
    for (int16_t i = 0; i < count; ++i)
    {
        int32_t v[6];
        for (int32_t& word : v)
        {
            word = qFromLittleEndian<qint32>(at);
            at += 4;
        }
        c.entries[size_t(i)] = {v[0], v[1], v[2], v[3], v[4], v[5]};
    }
    chain = c;
    return true;
}

bool loadChainFile(const QString& path, EffectChain& chain, QString& error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QByteArray bytes;
    if (const QString why = files::readWholeFile(path, files::kMaxDocumentBytes, bytes);
        !why.isEmpty())
    {
        error = QStringLiteral("The chain file %1 cannot be opened: %2").arg(shown, why);
        return false;
    }
    QString fault;
    if (!parseChainFile(bytes, chain, fault))
    {
        error = QStringLiteral("The chain file %1 %2; the chain is unchanged.").arg(shown, fault);
        return false;
    }
    return true;
}

bool saveChainFile(const QString& path, const EffectChain& chain, QString& error)
{
    return writeFileBesideThenRename(path, overStartOfFile(path, chainFileBytes(chain)), error);
}

} // namespace vumo::fx
