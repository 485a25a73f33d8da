// TrackImport: decoding through the media layer, writing through the safe writer.
#include "tracks/TrackImport.h"

#include "files/SafeWrite.h"
#include "platform/WaveHeader.h"
#include "platform/media/MediaReader.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <vector>

namespace vumo::tracks
{
namespace
{

constexpr int64_t kRate = 44100;
// The frames decoded before each write: about 1.5 s, so progress is told often and the buffer
// stays small whatever the file's length.
constexpr size_t kPieceFrames = 65536;

using platform::media::MediaReader;

// Decodes into samples until they hold a piece or the source ends; false with error on a
// decoding error. ended tells the end of the source.
bool decodePiece(MediaReader& reader, std::vector<int16_t>& samples, bool& ended,
                 std::string& error)
{
    while (samples.size() < 2 * kPieceFrames)
    {
        const size_t before = samples.size();
        if (!reader.read(samples, error))
            return false;
        if (samples.size() == before)
        {
            ended = true;
            break;
        }
    }
    return true;
}

// Whether the source has frames beyond those decoded so far.
bool holdsMore(MediaReader& reader)
{
    std::vector<int16_t> samples;
    std::string error;
    return reader.read(samples, error) && !samples.empty();
}

QString writeFailure(const QString& target, const QString& why)
{
    return QStringLiteral("Unable to write %1: %2").arg(QDir::toNativeSeparators(target), why);
}

QString writeSamples(files::SafeFileWriter& out, std::vector<int16_t>& samples, size_t frames)
{
    qToLittleEndian<int16_t>(samples.data(), qsizetype(2 * frames), samples.data());
    return out.write(reinterpret_cast<const char*>(samples.data()), qint64(4 * frames));
}

QByteArray headerBytes(int64_t frames)
{
    const auto header = platform::waveHeader(uint32_t(frames));
    return QByteArray(reinterpret_cast<const char*>(header.data()), qsizetype(header.size()));
}

} // namespace

ImportResult importAudio(const QString& source, const QString& target, int64_t maxFrames,
                         const ImportProgress& progress)
{
    ImportResult r;
    maxFrames = std::clamp<int64_t>(maxFrames, 0, platform::kLongestTrackFrames);
    platform::media::MediaOpenResult opened =
        platform::media::openMedia(QFile::encodeName(source).toStdString());
    if (!opened.reader)
    {
        r.error = QString::fromLocal8Bit(opened.error);
        return r;
    }
    const int64_t stated = opened.reader->statedFrames();
    const int64_t total = stated < 0 ? -1 : std::min(stated, maxFrames);
    files::SafeFileWriter out(target);
    QString why = out.open();
    if (why.isEmpty())
        why = out.write(headerBytes(0).constData(), qint64(platform::kWaveHeaderBytes));
    std::vector<int16_t> samples;
    samples.reserve(2 * kPieceFrames + 16384);
    std::string error;
    bool ended = false;
    while (why.isEmpty() && !ended && r.frames < maxFrames)
    {
        samples.clear();
        if (!decodePiece(*opened.reader, samples, ended, error))
        {
            r.error = QString::fromLocal8Bit(error);
            return r; // the writer removes its part file
        }
        const size_t frames = std::min<size_t>(samples.size() / 2, size_t(maxFrames - r.frames));
        r.cut = frames < samples.size() / 2;
        why = writeSamples(out, samples, frames);
        r.frames += int64_t(frames);
        if (why.isEmpty() && progress && !progress(r.frames, total))
        {
            r.cancelled = true;
            return r;
        }
    }
    if (why.isEmpty() && r.frames == 0)
    {
        r.error =
            QStringLiteral("The file \"%1\" holds no audio.").arg(QDir::toNativeSeparators(source));
        return r;
    }
    if (why.isEmpty() && !ended && !r.cut)
        r.cut = holdsMore(*opened.reader);
    if (r.cut && stated > maxFrames)
        r.cutFrames = stated - maxFrames;
    if (why.isEmpty())
        why = out.writeAt(0, headerBytes(r.frames));
    if (why.isEmpty())
        why = out.commit();
    if (!why.isEmpty())
        r.error = writeFailure(target, why);
    return r;
}

QString secondsText(int64_t frames)
{
    if (frames < kRate / 10)
        return QStringLiteral("less than 0.1");
    return QString::number(double(frames) / kRate, 'f', 1);
}

} // namespace vumo::tracks
