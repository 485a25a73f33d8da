// TrackFiles: the blank wave file every new track starts with, and the names of new tracks.
#pragma once

#include <QByteArray>
#include <QString>

namespace vumo::tracks
{

// The 48-byte blank track file: a canonical 16-bit stereo 44100 header and one silent frame.
QByteArray blankWaveBytes();

// Writes the blank track file to path, replacing what is there, through files::writeFileSafely
// (a failed write leaves no cut file). Empty on success, else the reason.
QString writeBlankWave(const QString& path);

// application folder + separator + title + "-" + kind + (track + 1) + ".wav", where kind is
// 't' for Add and 'c' for the clones; the track number is decimal without leading zeros.
QString newTrackFileName(const QString& appFolder, const QString& projectTitle, char kind,
                         int track);

// The title of a new track: kind + (track + 1), for example "t3" or "c4".
QString newTrackTitle(char kind, int track);

} // namespace vumo::tracks
