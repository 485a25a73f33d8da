// TrackFiles: blank track files and new track names.
#include "tracks/TrackFiles.h"

#include "files/SafeWrite.h"
#include "platform/WaveHeader.h"
#include "settings/AppFolder.h"

#include <QFileInfo>

namespace vumo::tracks
{
QByteArray blankWaveBytes()
{
    QByteArray b;
    const auto header = platform::waveHeader(1);
    b.append(reinterpret_cast<const char*>(header.data()), qsizetype(header.size()));
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

QString freeTrackFileName(const QString& path, const QStringList& taken)
{
    const auto free = [&taken](const QString& name)
    { return !QFileInfo(name).exists() && !QFileInfo(name).isSymLink() && !taken.contains(name); };
    const QString stem = path.chopped(4); // without ".wav"
    QString name = path;
    for (int n = 2; !free(name); ++n)
        name = QStringLiteral("%1-%2.wav").arg(stem).arg(n);
    return name;
}

QString newTrackTitle(char kind, int track)
{
    return QStringLiteral("%1%2").arg(QLatin1Char(kind)).arg(track + 1);
}

} // namespace vumo::tracks
