// Naming a wave file's sample format when Vumo cannot read it.
#include "files/WaveSampleFormat.h"

#include "platform/WaveHeader.h"
#include "platform/files/RegularFile.h"
#include "platform/files/RiffWalker.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <limits>

namespace vumo::files
{
namespace
{

constexpr uint16_t kPcm = 1;
constexpr uint16_t kFloat = 3;
constexpr uint16_t kExtensible = 0xFFFE;

// The format chunk's body: tag at 0, channels at 2, rate at 4, bits at 14, the extensible
// sub-format's first two bytes at 24 (a GUID whose first word is the plain format's tag).
SampleFormat parseFormat(const uint8_t* body, uint32_t size)
{
    SampleFormat f;
    f.found = true;
    f.tag = uint16_t(platform::readLe16(body));
    f.channels = uint16_t(platform::readLe16(body + 2));
    f.rate = platform::readLe32(body + 4);
    f.bits = uint16_t(platform::readLe16(body + 14));
    if (f.tag == kExtensible && size >= 26)
        f.subTag = uint16_t(platform::readLe16(body + 24));
    return f;
}

} // namespace

SampleFormat readSampleFormat(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const platform::OpenedFile opened =
        platform::openRegularFile(name.constData(), std::numeric_limits<uint64_t>::max());
    std::FILE* file = opened.file.get();
    if (file == nullptr || !platform::readRiffWaveHead(file))
        return {};
    platform::RiffWalker walk(file, opened.size);
    for (auto chunk = walk.next(); chunk && !chunk->is("data"); chunk = walk.next())
        if (chunk->is("fmt "))
        {
            uint8_t body[26] = {};
            const size_t got =
                std::fread(body, 1, std::min<size_t>(chunk->size, sizeof body), file);
            return got >= 16 ? parseFormat(body, uint32_t(got)) : SampleFormat{};
        }
    return {};
}

QString sampleFormatRefusal(const QString& path)
{
    const SampleFormat f = readSampleFormat(path);
    if (!f.found)
        return {};
    // The loader reads the low byte of the tag.
    const uint16_t kind = f.tag == kExtensible ? f.subTag : uint16_t(f.tag & 0xFF);
    const QString bits = QString::number(f.bits);
    QString holds;
    QString reads = QStringLiteral("16-bit wave files");
    if (kind == kPcm && f.bits != 16)
        holds = QStringLiteral("%1-bit samples").arg(bits);
    else if (kind == kPcm && f.tag == kExtensible)
    {
        holds = QStringLiteral("16-bit samples in the extensible layout");
        reads = QStringLiteral("16-bit wave files in the plain PCM layout");
    }
    else if (kind == kFloat)
        holds = QStringLiteral("%1-bit floating-point samples").arg(bits);
    else if (kind != kPcm)
        holds = QStringLiteral("compressed samples (wave format %1)").arg(f.tag);
    if (holds.isEmpty())
        return {};
    return QStringLiteral("%1 holds %2; Vumo reads %3. %4")
        .arg(QDir::toNativeSeparators(path), holds, reads, kConvertHint);
}

QString conversionNeed(const QString& path)
{
    if (QString refused = sampleFormatRefusal(path); !refused.isEmpty())
        return refused;
    const SampleFormat f = readSampleFormat(path);
    QString holds, reads;
    if (f.found && f.channels > 2)
    {
        holds = QStringLiteral("%1 channels").arg(f.channels);
        reads = QStringLiteral("mono and stereo wave files");
    }
    else if (f.found && f.rate != 44100)
    {
        holds = QStringLiteral("samples at %1 Hz").arg(f.rate);
        reads = QStringLiteral("wave files at 44100 Hz: these would play at the wrong speed");
    }
    if (holds.isEmpty())
        return {};
    return QStringLiteral("%1 holds %2; Vumo reads %3. %4")
        .arg(QDir::toNativeSeparators(path), holds, reads, kConvertHint);
}

} // namespace vumo::files
