// The studio's words for a wave file whose samples Vumo cannot read: 24-bit, floating-point,
// 8-bit or compressed samples, named for what they are.
#pragma once

#include <QString>

#include <cstdint>

namespace vumo::files
{

// The format chunk's fields that say how the samples are stored.
struct SampleFormat
{
    bool found = false;  // the file is a RIFF WAVE file with a format chunk
    uint16_t tag = 0;    // 1 PCM, 3 floating point, 0xFFFE extensible, others compressed
    uint16_t subTag = 0; // the extensible format's sub-format (1 PCM, 3 floating point)
    uint16_t bits = 0;   // bits per sample
    uint16_t channels = 0;
    uint32_t rate = 0; // frames per second
};

// Reads the format chunk of path, walking the chunks before it. Never blocks on a special
// file (it is refused unread) and reads no samples.
SampleFormat readSampleFormat(const QString& path);

// What every message naming a wave file Vumo cannot take as it is ends with.
inline const QString kConvertHint = QStringLiteral("Use Track > Import Audio to convert it.");

// "<path> holds 24-bit samples; Vumo reads 16-bit wave files. Use Track > Import Audio to
// convert it." for a wave file whose samples are not 16-bit PCM (floating point, 8, 24 or 32
// bits, compressed, or 16 bits in the extensible layout the loader refuses); empty for a 16-bit
// PCM file, for one that is not a wave file and for one that cannot be read. Every message that
// names such a file takes its words from here.
QString sampleFormatRefusal(const QString& path);

// Why a wave file needs converting before Vumo uses it: sampleFormatRefusal's text for samples
// the loader refuses, or the same kind of text for 16-bit samples it would take unchanged but
// wrongly (another rate plays at the wrong speed, more than two channels are read as stereo
// frames). Empty for a mono or stereo 16-bit 44100 Hz PCM file, for one that is not a wave file
// and for one that cannot be read.
QString conversionNeed(const QString& path);

} // namespace vumo::files
