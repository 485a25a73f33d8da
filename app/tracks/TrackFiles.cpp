// TrackFiles: blank track files and new track names.
#include "tracks/TrackFiles.h"

#include "files/SafeWrite.h"
#include "state/AppFolder.h"

#include <QtEndian>

namespace vumo::tracks
{
namespace
{

template <class T> void appendLE(QByteArray& bytes, T value)
{
    char le[sizeof(T)];
    qToLittleEndian(value, le);
    bytes.append(le, sizeof le);
}

} // namespace

QByteArray blankWaveBytes()
{
    QByteArray b;
    b.append("RIFF");
    appendLE<uint32_t>(b, 40); // the file's size after these 8 bytes
    b.append("WAVE");
    b.append("fmt ");
    appendLE<uint32_t>(b, 16);
    appendLE<uint16_t>(b, 1); // PCM
    appendLE<uint16_t>(b, 2); // channels
    appendLE<uint32_t>(b, 44100);
    appendLE<uint32_t>(b, 176400); // bytes per second
    appendLE<uint16_t>(b, 4);      // bytes per frame
    appendLE<uint16_t>(b, 16);     // bits per sample
    b.append("data");
    appendLE<uint32_t>(b, 4);
    b.append(4, '\0'); // one silent frame
    return b;
}

QString writeBlankWave(const QString& path)
{
    return files::writeFileSafely(path, blankWaveBytes());
}

QString newTrackFileName(const QString& appFolder, const QString& projectTitle, char kind,
                         int track)
{
    return joinPath(
        appFolder,
        QStringLiteral("%1-%2%3.wav").arg(projectTitle).arg(QLatin1Char(kind)).arg(track + 1));
}

QString newTrackTitle(char kind, int track)
{
    return QStringLiteral("%1%2").arg(QLatin1Char(kind)).arg(track + 1);
}

} // namespace vumo::tracks
