// EffectSetting: the parameter record of the effect dialog, its defaults and the effect file
// (".sfx") that keeps one record.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace vumo::fx
{

// Texts are the file's single-byte characters, kept as bytes so that a loaded file is saved
// back unchanged; the dialog shows them decoded as local 8-bit text.
struct EffectSetting
{
    QByteArray name; // shown in the dialog title
    int32_t value1 = 0;
    QByteArray caption1;
    int32_t value2 = 0;
    QByteArray caption2;
    int32_t value3 = 0;
    QByteArray caption3;
    int16_t cancelled = 0; // -1 while the dialog is open and after Cancel, 0 after OK

    static constexpr int16_t kTrue = -1;
    bool isCancelled() const { return cancelled != 0; }
    bool operator==(const EffectSetting&) const = default;
};

// Fills the record with the name, captions and default values of code. A code the catalog
// lacks leaves the record as it was and returns false.
bool fillDefaults(EffectSetting& setting, int32_t code);

// The band pass never runs with its low edge above its high edge: for a record named
// "Band Pass" with value1 > value2 the two are exchanged. Other names are left alone, so a
// band-pass setting loaded under another name keeps its order.
void orderBandPass(EffectSetting& setting);

// The effect file: little-endian, no header, no padding. Each text is a 16-bit length n and
// n bytes without terminator; fields in record order: name, value1 (int32), caption1, value2,
// caption2, value3, caption3, cancelled (int16). Texts longer than 65535 bytes are cut.
QByteArray effectFileBytes(const EffectSetting& setting);

// Reads a record from the start of bytes (bytes past the record are ignored). Returns false
// with a message in error for bytes shorter than the record or a text longer than the bytes
// left; setting is then unchanged. Values are kept as the file holds them, also outside
// 0 ... 255 (the dialog clamps them onto its sliders).
bool parseEffectFile(const QByteArray& bytes, EffectSetting& setting, QString& error);

// Loads path into setting; false with a message when the file cannot be opened or read or
// is not a whole record (setting unchanged).
bool loadEffectFile(const QString& path, EffectSetting& setting, QString& error);
// Writes the record over the start of path (a longer file keeps its bytes beyond the record);
// false with a message when the write fails (the file is then left as it was).
bool saveEffectFile(const QString& path, const EffectSetting& setting, QString& error);

} // namespace vumo::fx
