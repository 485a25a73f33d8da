// EffectChain: the chain window's ordered list of up to 17 effects and its chain file (".mfx").
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace vumo::fx
{

// One chain entry as the chain file stores it: six little-endian int32 in this order. The
// reserved words are never set by the studio and are written back as they were loaded.
struct ChainEntry
{
    int32_t value1 = 0;
    int32_t value2 = 0;
    int32_t reserved1 = 0;
    int32_t value3 = 0;
    int32_t reserved2 = 0;
    int32_t code = 0;
    bool operator==(const ChainEntry&) const = default;
};

struct EffectChain
{
    static constexpr int16_t kCapacity = 17;
    static constexpr qsizetype kEntryBytes = 24;
    static constexpr qsizetype kHeaderBytes = 6; // version and count

    QByteArray version = QByteArrayLiteral("1.00"); // 4 characters, kept as loaded
    int16_t count = 0;
    std::array<ChainEntry, kCapacity> entries{};

    bool full() const { return count >= kCapacity; }
    bool operator==(const EffectChain&) const = default;
};

// The chain file: version (4 bytes of text), count (int16), then entries 0 ... count - 1.
QByteArray chainFileBytes(const EffectChain& chain);
// Reads a chain from the start of bytes (bytes past the last entry are ignored). Returns false
// with a message in error for bytes shorter than the header or than count entries, or a
// count outside 0 ... 17; chain is then unchanged. The version is not checked.
bool parseChainFile(const QByteArray& bytes, EffectChain& chain, QString& error);

// Loads path into chain; false with a message when the file cannot be opened or read or is
// not a whole chain (chain unchanged).
bool loadChainFile(const QString& path, EffectChain& chain, QString& error);
// Writes the chain over the start of path (a longer file keeps its bytes beyond it); false
// with a message when the write fails (the file is then left as it was).
bool saveChainFile(const QString& path, const EffectChain& chain, QString& error);

} // namespace vumo::fx
